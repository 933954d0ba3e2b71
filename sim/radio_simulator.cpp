#include "sim/radio_simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>

#include "codeplug/document.h"
#include "codeplug/document_commands.h"
#include "codeplug/wire_constants.h"
#include "platform/prompter.h"
#include "platform/settings_file.h"

namespace pl3::sim {

namespace {

using Clock = std::chrono::steady_clock;

// Every byte's time on the wire.
constexpr Clock::duration kByteTime = std::chrono::duration_cast<Clock::duration>(
    std::chrono::nanoseconds(1'000'000'000LL * wire::kBitsPerByte / wire::kBaud));

bool makeRaw(int fd) {
    termios attributes{};
    if (tcgetattr(fd, &attributes) != 0) return false;
    cfmakeraw(&attributes);
    cfsetispeed(&attributes, B38400);
    cfsetospeed(&attributes, B38400);
    return tcsetattr(fd, TCSANOW, &attributes) == 0;
}

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

struct RadioSimulator::Impl {
    Impl(Options opts, const Image& image)
        : options(std::move(opts)),
          conversation(options.faults, options.version, options.squelchAnswer, image,
                       std::random_device{}()) {}

    // --- set up before the thread starts, read-only while it runs ---
    const Options options;
    std::string path;
    int master = -1;
    int slave = -1;  // kept open so the master never sees a hang-up between clients
    int slaveWatch = -1;
    int wakeRead = -1;
    int wakeWrite = -1;
    std::thread thread;

    mutable std::mutex mutex;
    RadioConversation conversation;  // guarded by mutex
    std::vector<Frame> frames;       // guarded by mutex

    // --- the line: only the thread touches these ---
    Clock::time_point inboundDone{};  // when the last byte received has crossed the wire
    bool stopping = false;
    bool hungUp = false;

    bool open();
    void closeAll();
    void resetLine();
    void run();
    void receive(const std::uint8_t* data, std::size_t count, Clock::time_point arrival);
    void carryOut(Event& event);
    void logFrame(Frame frame);
    void reply(const std::vector<std::uint8_t>& bytes);
    bool writeAll(const std::uint8_t* data, std::size_t count);
    bool waitUntil(Clock::time_point deadline);
    void onSlaveClosed();
    void hangUp();
};

bool RadioSimulator::Impl::open() {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) return false;
    char name[128] = {};
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0)
        return false;
    path = name;
    int flags = fcntl(master, F_GETFL);
    if (flags < 0 || fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0) return false;
    slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) return false;
    // Both ends raw: a line discipline would eat or translate 0x03, 0x0D, 0x11, 0x13 ...
    if (!makeRaw(master) || !makeRaw(slave)) return false;

    // A client's close is when a real port drops its exclusive claim; see onSlaveClosed().
    slaveWatch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (slaveWatch < 0 ||
        inotify_add_watch(slaveWatch, name, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0)
        return false;

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    wakeRead = pipeFds[0];
    wakeWrite = pipeFds[1];
    return true;
}

void RadioSimulator::Impl::closeAll() {
    closeFd(master);
    closeFd(slave);
    closeFd(slaveWatch);
    closeFd(wakeRead);
    closeFd(wakeWrite);
}

void RadioSimulator::Impl::resetLine() {
    {
        std::lock_guard lock(mutex);
        conversation.restartLine();
    }
    inboundDone = Clock::time_point{};
    stopping = false;
    hungUp = false;
}

void RadioSimulator::Impl::run() {
    std::array<std::uint8_t, 512> buffer{};
    while (!stopping && !hungUp) {
        pollfd fds[3] = {{wakeRead, POLLIN, 0}, {slaveWatch, POLLIN, 0}, {master, POLLIN, 0}};
        int ready = poll(fds, 3, -1);
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents != 0) break;
        // Before the master's bytes: a client that closed came before whatever a new
        // client has sent since.
        if (fds[1].revents & POLLIN) onSlaveClosed();
        if (fds[2].revents & POLLIN) {
            ssize_t got = ::read(master, buffer.data(), buffer.size());
            if (got > 0) {
                receive(buffer.data(), static_cast<std::size_t>(got), Clock::now());
            } else if (got < 0 && errno != EAGAIN && errno != EINTR) {
                break;
            }
        } else if (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            // Cannot happen while our own slave descriptor is open; leave rather than spin.
            break;
        }
    }
    // Whatever ended the loop, stop() finds the thread finished and joins at once.
}

void RadioSimulator::Impl::receive(const std::uint8_t* data, std::size_t count,
                                   Clock::time_point arrival) {
    for (std::size_t i = 0; i < count && !stopping && !hungUp; ++i) {
        inboundDone = std::max(inboundDone, arrival) + kByteTime;
        std::vector<Event> events;
        {
            std::lock_guard lock(mutex);
            events = conversation.receive(data[i]);
        }
        for (Event& event : events) {
            if (stopping || hungUp) break;
            carryOut(event);
        }
    }
}

void RadioSimulator::Impl::carryOut(Event& event) {
    switch (event.type) {
        case Event::Type::Received:
            logFrame(std::move(event.frame));
            break;
        case Event::Type::Reply:
            reply(event.frame.bytes);
            break;
        case Event::Type::HangUp:
            hangUp();
            break;
    }
}

void RadioSimulator::Impl::logFrame(Frame frame) {
    if (options.onFrame) options.onFrame(frame);
    std::lock_guard lock(mutex);
    frames.push_back(std::move(frame));
}

void RadioSimulator::Impl::reply(const std::vector<std::uint8_t>& bytes) {
    if (options.pace && !waitUntil(inboundDone)) return;
    int holdMs = std::max(0, options.faults.extraDelayMs) + std::max(0, options.usbLatencyMs);
    if (holdMs > 0 && !waitUntil(Clock::now() + std::chrono::milliseconds(holdMs))) return;
    if (!options.pace) {
        writeAll(bytes.data(), bytes.size());
        return;
    }
    // Each byte leaves when the one before it has crossed the wire; the schedule is fixed
    // up front so that late wake-ups do not add up.
    Clock::time_point start = Clock::now();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!waitUntil(start + kByteTime * static_cast<int>(i + 1))) return;
        if (!writeAll(&bytes[i], 1)) return;
    }
}

bool RadioSimulator::Impl::writeAll(const std::uint8_t* data, std::size_t count) {
    while (count > 0) {
        ssize_t written = ::write(master, data, count);
        if (written > 0) {
            data += written;
            count -= static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && errno != EAGAIN) return false;
        // The client is not reading: wait for room or for stop().
        pollfd fds[3] = {{wakeRead, POLLIN, 0}, {slaveWatch, POLLIN, 0}, {master, POLLOUT, 0}};
        if (poll(fds, 3, -1) < 0 && errno != EINTR) return false;
        if (fds[0].revents != 0) {
            stopping = true;
            return false;
        }
        if (fds[1].revents & POLLIN) onSlaveClosed();
    }
    return true;
}

bool RadioSimulator::Impl::waitUntil(Clock::time_point deadline) {
    while (true) {
        Clock::duration left = deadline - Clock::now();
        // Whole milliseconds in poll(), where stop() can end the wait; the rest of a
        // millisecond (the pace of single bytes) in a plain sleep.
        auto wholeMs = std::chrono::duration_cast<std::chrono::milliseconds>(left).count();
        pollfd wake = {wakeRead, POLLIN, 0};
        int ready = poll(&wake, 1, static_cast<int>(std::max<decltype(wholeMs)>(wholeMs, 0)));
        if (ready > 0) {
            stopping = true;
            return false;
        }
        if (ready < 0 && errno != EINTR) return true;
        if (wholeMs <= 0) break;
    }
    std::this_thread::sleep_until(deadline);
    return true;
}

// A real port is released when its last user closes it, and the next user may claim it
// exclusively (TIOCEXCL) again. Our own slave descriptor keeps the terminal alive and with
// it the exclusive flag, which would lock out every later non-root client: clear it.
void RadioSimulator::Impl::onSlaveClosed() {
    alignas(inotify_event) char events[1024];
    while (::read(slaveWatch, events, sizeof events) > 0) {
    }
    ioctl(slave, TIOCNXCL);
}

void RadioSimulator::Impl::hangUp() {
    closeFd(master);
    closeFd(slave);
    closeFd(slaveWatch);
    hungUp = true;
}

namespace {

Image startingMemory(const Options& options, const std::optional<Image>& memory) {
    Image image = memory ? *memory : factoryMemory();
    if (options.tuning) putTuningBlock(image, *options.tuning);
    return image;
}

}  // namespace

RadioSimulator::RadioSimulator(Options options, std::optional<Image> memory) {
    Image start = startingMemory(options, memory);
    impl_ = std::make_unique<Impl>(std::move(options), start);
}

RadioSimulator::~RadioSimulator() {
    stop();
}

bool RadioSimulator::start() {
    stop();
    impl_->resetLine();
    impl_->path.clear();
    if (!impl_->open()) {
        int error = errno;  // for the caller's message, not the clean-up's
        impl_->closeAll();
        errno = error;
        impl_->path.clear();
        return false;
    }
    clearFrames();
    impl_->thread = std::thread([impl = impl_.get()] { impl->run(); });
    return true;
}

void RadioSimulator::stop() {
    if (impl_->thread.joinable()) {
        const char wake = 1;
        while (::write(impl_->wakeWrite, &wake, 1) < 0 && errno == EINTR) {
        }
        impl_->thread.join();
    }
    impl_->closeAll();
}

const std::string& RadioSimulator::devicePath() const {
    return impl_->path;
}

Image RadioSimulator::memory() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->conversation.memory();
}

void RadioSimulator::setMemory(const Image& image) {
    std::lock_guard lock(impl_->mutex);
    impl_->conversation.setMemory(image);
}

std::vector<Frame> RadioSimulator::frames() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->frames;
}

void RadioSimulator::clearFrames() {
    std::lock_guard lock(impl_->mutex);
    impl_->frames.clear();
}

int RadioSimulator::sessions() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->conversation.sessions();
}

void RadioSimulator::setSquelchAnswer(std::uint8_t answer) {
    std::lock_guard lock(impl_->mutex);
    impl_->conversation.setSquelchAnswer(answer);
}

Image factoryMemory() {
    // An empty settings path: no setting.ini, so range 0 has no code and the code of a
    // new radio (400-470 MHz) is stored below.
    CMaItemDoc doc{SettingsFile(std::string())};
    SilentPrompter prompter;
    bool skipPrompt = true;
    newDocument(doc, prompter, skipPrompt);
    Image image = doc.image();
    constexpr std::array<std::uint8_t, 4> kRange400To470 = {0x00, 0x40, 0x00, 0x47};
    std::copy(kRange400To470.begin(), kRange400To470.end(), image.begin() + layout::kFreqRangeCode);
    return image;
}

}  // namespace pl3::sim
