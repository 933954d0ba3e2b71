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
#include <deque>
#include <random>
#include <thread>

#include "codeplug/document.h"
#include "codeplug/document_commands.h"
#include "codeplug/model_constants.h"
#include "platform/prompter.h"
#include "platform/settings_file.h"

namespace pl3::sim {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::array<std::uint8_t, 7> kWakeWord = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};
constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;
constexpr std::uint8_t kIdentify = 0x02;
constexpr std::size_t kChallengeSize = 6;
constexpr std::size_t kIdentificationSize = 8;
constexpr std::size_t kBlockSize = 16;
constexpr std::size_t kShortReplySize = 10;
constexpr std::size_t kLastBlockAddress = kImageSize - kBlockSize;
constexpr std::size_t kTuningAddress = 0x08E0;

// 38400 baud, 8N1: ten bits on the wire for every byte.
constexpr Clock::duration kByteTime =
    std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(10'000'000'000LL / 38400));

// Command frames: the first byte fixes the length; header bytes that must have a fixed
// value are checked as they arrive so that a stray command letter costs only itself.
struct CommandShape {
    std::uint8_t code;
    std::size_t length;
    std::array<int, 3> fixed;  // bytes 1 ... 3; -1 = any value
};

constexpr std::array<CommandShape, 6> kCommands = {{
    {'r', 1, {-1, -1, -1}},
    {'S', 1, {-1, -1, -1}},
    {'R', 4, {-1, -1, 0x10}},
    {'w', 4 + kBlockSize, {-1, -1, 0x10}},
    {'t', 4 + kBlockSize, {0x08, 0xE0, 0x10}},
    {'K', 4 + 8, {0x08, 0xE0, 0x08}},
}};

const CommandShape* commandShape(std::uint8_t code) {
    for (const CommandShape& shape : kCommands) {
        if (shape.code == code) return &shape;
    }
    return nullptr;
}

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
    enum class State { Asleep, AwaitIdentify, AwaitChallenge, Commands };

    Impl(Options opts, const Image& image)
        : options(std::move(opts)), squelch(options.squelchAnswer), memory(image) {}

    // --- set up before the thread starts, read-only while it runs ---
    const Options options;
    std::string path;
    int master = -1;
    int slave = -1;  // kept open so the master never sees a hang-up between clients
    int slaveWatch = -1;
    int wakeRead = -1;
    int wakeWrite = -1;
    std::thread thread;

    std::atomic<std::uint8_t> squelch;

    mutable std::mutex mutex;
    Image memory;               // guarded by mutex
    std::vector<Frame> frames;  // guarded by mutex
    int sessions = 0;           // guarded by mutex

    // --- the conversation: only the thread touches these ---
    State state = State::Asleep;
    std::vector<std::uint8_t> partial;  // the frame being assembled
    std::size_t wakeMatched = 0;        // bytes of "PROGRAM" just received
    int attempts = 0;
    std::uint8_t key = 0;
    std::mt19937 rng{std::random_device{}()};
    Clock::time_point inboundDone{};  // when the last byte received has crossed the wire
    bool stopping = false;
    bool hungUp = false;

    bool open();
    void closeAll();
    void resetConversation();
    void run();
    void receive(const std::uint8_t* data, std::size_t count, Clock::time_point arrival);
    void onByte(std::uint8_t byte);
    void step(std::uint8_t byte, std::deque<std::uint8_t>& pending);
    void onWakeWord();
    void onChallenge();
    void onCommand();
    void readBlock(std::size_t address, int block);
    void writeBlock(std::size_t address, int block, const std::uint8_t* data);
    void storeTuning(const std::uint8_t* data);
    void logFrame(FrameKind kind, std::vector<std::uint8_t> bytes);
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

void RadioSimulator::Impl::resetConversation() {
    state = State::Asleep;
    partial.clear();
    wakeMatched = 0;
    attempts = 0;
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
        onByte(data[i]);
    }
}

void RadioSimulator::Impl::onByte(std::uint8_t byte) {
    // "PROGRAM" has no repeated prefix, so a mismatch can only restart the match at 'P'.
    if (byte == kWakeWord[wakeMatched]) {
        ++wakeMatched;
    } else {
        wakeMatched = byte == kWakeWord[0] ? 1 : 0;
    }
    if (wakeMatched == kWakeWord.size()) {
        wakeMatched = 0;
        onWakeWord();
        return;
    }
    std::deque<std::uint8_t> pending{byte};
    while (!pending.empty() && !stopping && !hungUp) {
        std::uint8_t next = pending.front();
        pending.pop_front();
        step(next, pending);
    }
}

// Feeds one byte to the frame assembler. Bytes of a frame that turned out to be noise go
// back to the front of pending, minus its first byte, to be looked at again.
void RadioSimulator::Impl::step(std::uint8_t byte, std::deque<std::uint8_t>& pending) {
    auto resynchronise = [&](std::uint8_t last) {
        pending.push_front(last);
        pending.insert(pending.begin(), partial.begin() + 1, partial.end());
        partial.clear();
    };

    if (state == State::Asleep) return;  // only "PROGRAM" matters, and onByte sees that

    if (state == State::AwaitChallenge) {
        // The response is arbitrary bytes, so nothing can be told from its first byte.
        // Only "PROGRA" is held back: its seventh byte decides whether it was a wake-up.
        if (partial.size() == kChallengeSize) {
            pending.push_front(byte);
            onChallenge();
            return;
        }
        partial.push_back(byte);
        if (partial.size() == kChallengeSize &&
            !std::equal(partial.begin(), partial.end(), kWakeWord.begin())) {
            onChallenge();
        }
        return;
    }

    // A 'P' may begin "PROGRAM": hold it and what follows until the word is complete
    // (onByte acts then) or broken.
    if (!partial.empty() && partial.front() == kWakeWord[0]) {
        if (byte == kWakeWord[partial.size()]) {
            partial.push_back(byte);
        } else {
            resynchronise(byte);
        }
        return;
    }
    if (partial.empty() && byte == kWakeWord[0]) {
        partial.push_back(byte);
        return;
    }

    if (state == State::AwaitIdentify) {
        if (byte != kIdentify) return;
        logFrame(FrameKind::Identify, {byte});
        key = static_cast<std::uint8_t>(rng() & 0xFF);
        std::vector<std::uint8_t> identification(kIdentificationSize);
        for (std::size_t n = 0; n < identification.size(); ++n) {
            identification[n] = n < model::kIdentification.size()
                                    ? static_cast<std::uint8_t>(model::kIdentification[n] ^ key)
                                    : static_cast<std::uint8_t>(rng() & 0xFF);
        }
        const Faults& faults = options.faults;
        if (faults.wrongIdentificationByte >= 0 &&
            faults.wrongIdentificationByte < static_cast<int>(identification.size())) {
            identification[static_cast<std::size_t>(faults.wrongIdentificationByte)] ^= 0xFF;
        }
        if (faults.shortIdentification) identification.pop_back();
        state = State::AwaitChallenge;
        reply(identification);
        return;
    }

    // State::Commands
    if (partial.empty() && commandShape(byte) == nullptr) return;
    const CommandShape& shape = *commandShape(partial.empty() ? byte : partial.front());
    std::size_t position = partial.size();
    if (position >= 1 && position <= shape.fixed.size() && shape.fixed[position - 1] >= 0 &&
        byte != shape.fixed[position - 1]) {
        resynchronise(byte);
        return;
    }
    partial.push_back(byte);
    if (partial.size() == shape.length) onCommand();
}

void RadioSimulator::Impl::onWakeWord() {
    partial.clear();  // an unfinished frame from an abandoned conversation
    logFrame(FrameKind::WakeUp, {kWakeWord.begin(), kWakeWord.end()});
    ++attempts;
    const Faults& faults = options.faults;
    if (faults.neverWake || attempts < faults.wakeAtAttempt) {
        state = State::Asleep;
        return;
    }
    state = State::AwaitIdentify;
    reply({kAck});
}

void RadioSimulator::Impl::onChallenge() {
    std::vector<std::uint8_t> response(partial.begin(), partial.begin() + kChallengeSize);
    partial.clear();
    logFrame(FrameKind::ChallengeResponse, response);
    bool right = true;
    for (std::size_t n = 0; n < kChallengeSize; ++n) {
        right = right && response[n] == (model::kResponseWord[n] ^ key);
    }
    if (!right || options.faults.refuseChallenge) {
        state = State::Asleep;
        reply({kNak});
        return;
    }
    {
        std::lock_guard lock(mutex);
        ++sessions;
    }
    attempts = 0;
    state = State::Commands;
    reply({kAck});
}

void RadioSimulator::Impl::onCommand() {
    std::vector<std::uint8_t> frame;
    frame.swap(partial);
    logFrame(FrameKind::Command, frame);
    std::size_t address =
        (std::size_t{frame.size() > 2 ? frame[1] : 0u} << 8) | (frame.size() > 2 ? frame[2] : 0u);
    int block = address % kBlockSize == 0 && address <= kLastBlockAddress
                    ? static_cast<int>(address / kBlockSize)
                    : -1;
    switch (frame.front()) {
        case 'r':
            if (!options.faults.noVersion) {
                reply({options.version.begin(), options.version.end()});
            }
            break;
        case 'S':
            if (!options.faults.silentLiveTuning) reply({squelch.load()});
            break;
        case 'R':
            readBlock(address, block);
            break;
        case 'w':
            writeBlock(address, block, frame.data() + 4);
            break;
        case 't':
            storeTuning(frame.data() + 4);
            break;
        case 'K':
            // Live tuning changes the radio's behaviour, not its memory: the log is all.
            if (!options.faults.silentLiveTuning) reply({kAck});
            break;
        default:
            break;
    }
}

void RadioSimulator::Impl::readBlock(std::size_t address, int block) {
    const Faults& faults = options.faults;
    if (block >= 0 && block == faults.hangUpAtBlock) {
        hangUp();
        return;
    }
    std::vector<std::uint8_t> answer = {'R', static_cast<std::uint8_t>(address >> 8),
                                        static_cast<std::uint8_t>(address & 0xFF), 0x10};
    {
        std::lock_guard lock(mutex);
        for (std::size_t i = 0; i < kBlockSize; ++i) {
            answer.push_back(memory[(address + i) % kImageSize]);
        }
    }
    if (block >= 0 && block == faults.wrongAddressAtBlock) answer[2] ^= 0x10;
    if (block >= 0 && block == faults.shortReplyAtBlock) answer.resize(kShortReplySize);
    reply(answer);
}

void RadioSimulator::Impl::writeBlock(std::size_t address, int block, const std::uint8_t* data) {
    const Faults& faults = options.faults;
    if (block < 0) {
        reply({kNak});
        return;
    }
    if (block == faults.hangUpAtBlock) {
        hangUp();
        return;
    }
    if (block == faults.noAckAtBlock) return;
    if (block == faults.wrongAckAtBlock) {
        reply({kNak});
        return;
    }
    {
        std::lock_guard lock(mutex);
        std::copy_n(data, kBlockSize, memory.begin() + address);
        if (block == faults.corruptStoredBlock) memory[address + kBlockSize - 1] ^= 0xFF;
    }
    reply({kAck});
}

void RadioSimulator::Impl::storeTuning(const std::uint8_t* data) {
    if (options.faults.noTestDataAck) return;
    {
        std::lock_guard lock(mutex);
        std::copy_n(data, kBlockSize, memory.begin() + kTuningAddress);
    }
    reply({kAck});
}

void RadioSimulator::Impl::logFrame(FrameKind kind, std::vector<std::uint8_t> bytes) {
    Frame frame{kind, std::move(bytes)};
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

RadioSimulator::RadioSimulator(Options options, std::optional<Image> memory)
    : impl_(std::make_unique<Impl>(std::move(options), memory ? *memory : factoryMemory())) {}

RadioSimulator::~RadioSimulator() {
    stop();
}

bool RadioSimulator::start() {
    stop();
    impl_->resetConversation();
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
    return impl_->memory;
}

void RadioSimulator::setMemory(const Image& image) {
    std::lock_guard lock(impl_->mutex);
    impl_->memory = image;
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
    return impl_->sessions;
}

void RadioSimulator::setSquelchAnswer(std::uint8_t answer) {
    impl_->squelch.store(answer);
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
