#include "radio_line.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "codeplug/model_constants.h"

namespace pl3::test {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::uint8_t kAck = 0x06;

}  // namespace

Line::Line(const std::string& path, bool raw) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0 || !raw) return;
    termios attributes{};
    tcgetattr(fd_, &attributes);
    cfmakeraw(&attributes);
    tcsetattr(fd_, TCSANOW, &attributes);
}

void Line::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void Line::send(const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        ASSERT_GT(written, 0) << "write failed: errno " << errno;
        done += static_cast<std::size_t>(written);
    }
}

void Line::sendSlowly(const Bytes& bytes) {
    for (std::uint8_t byte : bytes) {
        send({byte});
        std::this_thread::sleep_for(milliseconds(1));
    }
}

Bytes Line::receive(std::size_t count, int timeoutMs) {
    Bytes got;
    Clock::time_point deadline = Clock::now() + milliseconds(timeoutMs);
    while (got.size() < count && !hungUp_) {
        auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
        if (left < 0) break;
        pollfd wait = {fd_, POLLIN, 0};
        int ready = poll(&wait, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        std::uint8_t buffer[64];
        ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0) {
            got.insert(got.end(), buffer, buffer + n);
        } else if (n == 0 || errno == EIO || (wait.revents & POLLHUP)) {
            hungUp_ = true;
        }
    }
    return got;
}

::testing::AssertionResult Line::answers(const Bytes& expected) {
    Bytes got = receive(expected.size());
    if (got != expected) {
        return ::testing::AssertionFailure() << "got " << ::testing::PrintToString(got)
                                             << ", expected " << ::testing::PrintToString(expected);
    }
    Bytes extra = receive(1, kSilenceMs);
    if (!extra.empty()) {
        return ::testing::AssertionFailure() << "extra byte " << ::testing::PrintToString(extra)
                                             << " after " << ::testing::PrintToString(expected);
    }
    return ::testing::AssertionSuccess();
}

bool Line::hangsUp() {
    receive(1);
    return hungUp_;
}

::testing::AssertionResult wakeAndIdentify(Line& line, std::uint8_t& key) {
    line.send(kWakeUpFrame);
    Bytes ack = line.receive(1);
    if (ack != Bytes{kAck}) {
        return ::testing::AssertionFailure()
               << "wake-up answered " << ::testing::PrintToString(ack);
    }
    line.send({0x02});
    Bytes identification = line.receive(8);
    if (identification.size() != 8) {
        return ::testing::AssertionFailure()
               << "identification " << ::testing::PrintToString(identification);
    }
    key = static_cast<std::uint8_t>(identification[0] ^ model::kIdentification[0]);
    for (std::size_t n = 0; n < model::kIdentification.size(); ++n) {
        if ((identification[n] ^ key) != model::kIdentification[n]) {
            return ::testing::AssertionFailure()
                   << "identification byte " << n << " does not decode with key " << int{key}
                   << ": " << ::testing::PrintToString(identification);
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult connect(Line& line) {
    std::uint8_t key = 0;
    ::testing::AssertionResult identified = wakeAndIdentify(line, key);
    if (!identified) return identified;
    line.sendSlowly(challengeFor(key));
    Bytes answer = line.receive(1);
    if (answer != Bytes{kAck}) {
        return ::testing::AssertionFailure()
               << "challenge answered " << ::testing::PrintToString(answer);
    }
    return ::testing::AssertionSuccess();
}

}  // namespace pl3::test
