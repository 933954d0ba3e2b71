#include "platform/serial_device.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace pl3::platform {

struct SerialDevice::Impl {
    std::mutex mutex;
    // Signalled when the last user of the descriptor leaves and when a close has finished.
    std::condition_variable changed;
    int fd = -1;
    // An eventfd in every poll set: close() makes it readable so that waiters leave at once.
    int wakeFd = -1;
    int users = 0;
    bool closing = false;
    std::atomic<bool> open{false};
    std::atomic<bool> hungUp{false};

    // Holds the descriptor for one read, write or pause; close() waits until every holder
    // has left. Empty when the device is closed or closing.
    class Use {
      public:
        explicit Use(Impl& impl) : impl_(impl) {
            std::lock_guard lock(impl_.mutex);
            if (impl_.fd < 0 || impl_.closing) return;
            fd_ = impl_.fd;
            wakeFd_ = impl_.wakeFd;
            ++impl_.users;
        }
        ~Use() {
            if (fd_ < 0) return;
            std::lock_guard lock(impl_.mutex);
            if (--impl_.users == 0) impl_.changed.notify_all();
        }
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

        explicit operator bool() const { return fd_ >= 0; }
        int fd() const { return fd_; }
        int wakeFd() const { return wakeFd_; }

      private:
        Impl& impl_;
        int fd_ = -1;
        int wakeFd_ = -1;
    };
};

namespace {

using Clock = std::chrono::steady_clock;

constexpr short kTroubleEvents = POLLHUP | POLLERR | POLLNVAL;

std::optional<speed_t> speedFor(int baud) {
    switch (baud) {
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return std::nullopt;
    }
}

bool isHangUpError(int errorNumber) {
    return errorNumber == EIO || errorNumber == ENXIO || errorNumber == ENODEV;
}

// Time left until the deadline, never negative. Waits use the exact time rather than
// whole milliseconds: the 1 ms pause before every frame would otherwise grow by the
// rounding, 256 times per transfer.
timespec timeUntil(Clock::time_point deadline) {
    auto left = std::max(Clock::duration::zero(), deadline - Clock::now());
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds);
    return {static_cast<time_t>(seconds.count()), static_cast<long>(nanoseconds.count())};
}

Clock::time_point deadlineAfter(int timeoutMs) {
    return Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
}

std::string groupName(gid_t gid) {
    long suggested = ::sysconf(_SC_GETGR_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 1024);
    for (;;) {
        group entry{};
        group* found = nullptr;
        int result = ::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found);
        if (result == ERANGE && buffer.size() < 1024 * 1024) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (result == 0 && found != nullptr) return found->gr_name;
        return std::to_string(gid);
    }
}

std::string deviceGroup(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    return groupName(info.st_gid);
}

SerialOpenError classifyOpenError(int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return SerialOpenError::NoSuchDevice;
        case EBUSY:
            return SerialOpenError::Busy;
        case EACCES:
        case EPERM:
            return SerialOpenError::PermissionDenied;
        case EISDIR:
            return SerialOpenError::NotASerialDevice;
        default:
            return SerialOpenError::Other;
    }
}

bool fail(SerialOpenFailure* failure, SerialOpenError error, int errorNumber,
          std::string group = {}) {
    if (failure != nullptr) *failure = SerialOpenFailure{error, errorNumber, std::move(group)};
    return false;
}

bool applyLineSettings(int fd, speed_t speed) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) return false;
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    // Reads never block in the driver: every wait is a poll() with the caller's deadline.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::cfsetispeed(&settings, speed) != 0 || ::cfsetospeed(&settings, speed) != 0) {
        return false;
    }
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

// Programming cables commonly draw their power from DTR and RTS. Pseudo-terminals have no
// modem lines.
bool raiseModemLines(int fd) {
    int lines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(fd, TIOCMBIS, &lines) == 0) return true;
    return errno == ENOTTY || errno == EINVAL;
}

// USB adapters otherwise hold received bytes back for up to 16 ms; only a wish, since
// many drivers (and pseudo-terminals) do not support it.
void requestLowLatency(int fd) {
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0) return;
    serial.flags |= ASYNC_LOW_LATENCY;
    ::ioctl(fd, TIOCSSERIAL, &serial);
}

void closeKeepingErrno(int fd) {
    int saved = errno;
    ::close(fd);
    errno = saved;
}

enum class WaitResult { Ready, TimedOut, Woken, Failed };

// Waits for `events` on fd (or only on the wake-up descriptor when fd is -1) until the
// deadline; `revents` receives what fd reported.
WaitResult waitFor(int fd, short events, int wakeFd, std::optional<Clock::time_point> deadline,
                   short* revents) {
    for (;;) {
        pollfd set[2] = {{wakeFd, POLLIN, 0}, {fd, events, 0}};
        timespec timeout{};
        if (deadline) timeout = timeUntil(*deadline);
        const bool lastLook = deadline && timeout.tv_sec == 0 && timeout.tv_nsec == 0;
        int result = ::ppoll(set, fd >= 0 ? 2 : 1, deadline ? &timeout : nullptr, nullptr);
        if (result < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return WaitResult::Failed;
        }
        if (set[0].revents != 0) return WaitResult::Woken;
        if (set[1].revents != 0) {
            if (revents != nullptr) *revents = set[1].revents;
            return WaitResult::Ready;
        }
        // Only a look made at or after the deadline is final.
        if (lastLook) return WaitResult::TimedOut;
    }
}

}  // namespace

SerialDevice::SerialDevice() : impl_(new Impl) {}

SerialDevice::~SerialDevice() {
    close();
    if (impl_->wakeFd >= 0) ::close(impl_->wakeFd);
    delete impl_;
}

bool SerialDevice::open(const std::string& path, int baud, SerialOpenFailure* failure) {
    close();
    path_ = path;
    if (failure != nullptr) *failure = SerialOpenFailure{};

    std::optional<speed_t> speed = speedFor(baud);
    if (!speed) return fail(failure, SerialOpenError::Other, EINVAL);

    {
        std::lock_guard lock(impl_->mutex);
        if (impl_->wakeFd < 0) {
            impl_->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
            if (impl_->wakeFd < 0) return fail(failure, SerialOpenError::Other, errno);
        }
    }

    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        int errorNumber = errno;
        SerialOpenError error = classifyOpenError(errorNumber);
        std::string group;
        if (error == SerialOpenError::PermissionDenied) group = deviceGroup(path);
        return fail(failure, error, errorNumber, std::move(group));
    }

    termios probe{};
    if (::tcgetattr(fd, &probe) != 0) {
        closeKeepingErrno(fd);
        return fail(failure,
                    errno == ENOTTY ? SerialOpenError::NotASerialDevice : SerialOpenError::Other,
                    errno);
    }
    // TIOCEXCL keeps other programs out but not root; the lock covers that, and programs
    // that only honour locks.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        closeKeepingErrno(fd);
        return fail(failure, errno == EWOULDBLOCK ? SerialOpenError::Busy : SerialOpenError::Other,
                    errno);
    }
    if (::ioctl(fd, TIOCEXCL) != 0 || !applyLineSettings(fd, *speed) || !raiseModemLines(fd)) {
        closeKeepingErrno(fd);
        return fail(failure, SerialOpenError::Other, errno);
    }
    requestLowLatency(fd);
    // Whatever the radio sent before we were listening belongs to no exchange of ours.
    ::tcflush(fd, TCIFLUSH);

    std::lock_guard lock(impl_->mutex);
    impl_->fd = fd;
    impl_->hungUp.store(false);
    impl_->open.store(true);
    return true;
}

void SerialDevice::setBaud(int baud) {
    std::optional<speed_t> speed = speedFor(baud);
    if (!speed) return;
    Impl::Use use(*impl_);
    if (!use) return;
    termios settings{};
    if (::tcgetattr(use.fd(), &settings) != 0) return;
    ::cfsetispeed(&settings, *speed);
    ::cfsetospeed(&settings, *speed);
    // TCSANOW: a drain could not be interrupted by close(); callers change the rate
    // between exchanges, not in the middle of one.
    ::tcsetattr(use.fd(), TCSANOW, &settings);
}

int SerialDevice::write(const std::uint8_t* data, int count) {
    if (count <= 0) return 0;
    Impl::Use use(*impl_);
    if (!use) return 0;
    int done = 0;
    short revents = 0;  // what the last poll reported
    while (done < count) {
        ssize_t written = ::write(use.fd(), data + done, static_cast<std::size_t>(count - done));
        if (written > 0) {
            done += static_cast<int>(written);
            revents = 0;
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && errno != EAGAIN) {
            if (isHangUpError(errno)) impl_->hungUp.store(true);
            break;
        }
        if ((revents & kTroubleEvents) != 0) {
            impl_->hungUp.store(true);
            break;
        }
        if (waitFor(use.fd(), POLLOUT, use.wakeFd(), std::nullopt, &revents) != WaitResult::Ready) {
            break;
        }
    }
    return done;
}

int SerialDevice::read(std::uint8_t* buffer, int count, int timeoutMs) {
    if (count <= 0) return 0;
    Impl::Use use(*impl_);
    if (!use) return 0;
    const Clock::time_point deadline = deadlineAfter(timeoutMs);
    int got = 0;
    // What the last poll reported. With VMIN = VTIME = 0 a terminal read returns 0 when
    // nothing is there, so 0 means end of file only right after poll said "readable".
    short revents = 0;
    while (got < count) {
        ssize_t n = ::read(use.fd(), buffer + got, static_cast<std::size_t>(count - got));
        if (n > 0) {
            got += static_cast<int>(n);
            revents = 0;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            if (isHangUpError(errno)) impl_->hungUp.store(true);
            break;
        }
        // Nothing although poll said "readable": the other end is gone. (EAGAIN after a
        // plain POLLIN is a driver lock held briefly; poll again.)
        if ((revents & kTroubleEvents) != 0 || (n == 0 && (revents & POLLIN) != 0)) {
            impl_->hungUp.store(true);
            break;
        }
        if (waitFor(use.fd(), POLLIN, use.wakeFd(), deadline, &revents) != WaitResult::Ready) {
            break;
        }
    }
    return got;
}

bool SerialDevice::pause(int ms) {
    Impl::Use use(*impl_);
    if (!use) return false;
    if (ms <= 0) return true;
    return waitFor(-1, 0, use.wakeFd(), deadlineAfter(ms), nullptr) == WaitResult::TimedOut;
}

void SerialDevice::close() {
    std::unique_lock lock(impl_->mutex);
    if (impl_->closing) {
        // Another thread is closing: return once it is done, as if this call had closed.
        impl_->changed.wait(lock, [this] { return !impl_->closing; });
        return;
    }
    if (impl_->fd < 0) return;
    impl_->closing = true;
    impl_->open.store(false);
    std::uint64_t one = 1;
    // Cannot fail short of a counter overflow: the counter is drained after every close.
    [[maybe_unused]] ssize_t signalled = ::write(impl_->wakeFd, &one, sizeof one);
    impl_->changed.wait(lock, [this] { return impl_->users == 0; });
    std::uint64_t drained = 0;
    [[maybe_unused]] ssize_t reset = ::read(impl_->wakeFd, &drained, sizeof drained);
    ::close(impl_->fd);
    impl_->fd = -1;
    impl_->closing = false;
    impl_->changed.notify_all();
}

bool SerialDevice::isOpen() const {
    return impl_->open.load();
}

bool SerialDevice::hungUp() const {
    return impl_->hungUp.load();
}

}  // namespace pl3::platform
