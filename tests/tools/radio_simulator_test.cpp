#include "sim/radio_simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "codeplug/data_file.h"
#include "codeplug/document.h"
#include "codeplug/document_commands.h"
#include "codeplug/model_constants.h"
#include "scripted_prompter.h"
#include "settings_fixture.h"
#include "temp_dir.h"

namespace pl3::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Generous: the suite runs under sanitizers on a loaded two-core machine.
constexpr int kReplyTimeoutMs = 5000;
// How long "no answer" is watched for. Too short can only let a wrong answer slip by
// unseen, never fail a right one.
constexpr int kSilenceMs = 300;

const Bytes kWake = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};
constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;

Bytes concat(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

Bytes readRequest(int address) {
    return {'R', static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address), 0x10};
}

Bytes writeRequest(int address, const Bytes& data) {
    return concat(
        {'w', static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address), 0x10},
        data);
}

// 16 bytes that differ from the factory image and from each other's seeds.
Bytes pattern(std::uint8_t seed) {
    Bytes data(16);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(seed + 37 * i + 1);
    return data;
}

Bytes prefix(const Bytes& bytes, std::size_t count) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

Bytes imageBytes(const Image& image, std::size_t at, std::size_t count = 16) {
    Bytes out;
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(image[(at + i) % image.size()]);
    return out;
}

Bytes challengeFor(std::uint8_t key) {
    Bytes response;
    for (std::uint8_t byte : model::kResponseWord)
        response.push_back(static_cast<std::uint8_t>(byte ^ key));
    return response;
}

// The program's end of the cable: the pseudo-terminal's slave, raw unless asked not to
// be, every read bounded by poll() and a deadline.
class Line {
  public:
    explicit Line(const std::string& path, bool raw = true) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0 || !raw) return;
        termios attributes{};
        tcgetattr(fd_, &attributes);
        cfmakeraw(&attributes);
        tcsetattr(fd_, TCSANOW, &attributes);
    }
    ~Line() { close(); }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

    void send(const Bytes& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t written = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (written < 0 && errno == EINTR) continue;
            ASSERT_GT(written, 0) << "write failed: errno " << errno;
            done += static_cast<std::size_t>(written);
        }
    }
    // One byte at a time, about 1 ms apart, as the program sends the challenge response.
    void sendSlowly(const Bytes& bytes) {
        for (std::uint8_t byte : bytes) {
            send({byte});
            std::this_thread::sleep_for(milliseconds(1));
        }
    }

    // Up to count bytes: fewer when the time runs out or the line hangs up.
    Bytes receive(std::size_t count, int timeoutMs = kReplyTimeoutMs) {
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
    // Exactly these bytes, and nothing after them for a while.
    ::testing::AssertionResult answers(const Bytes& expected) {
        Bytes got = receive(expected.size());
        if (got != expected) {
            return ::testing::AssertionFailure()
                   << "got " << ::testing::PrintToString(got) << ", expected "
                   << ::testing::PrintToString(expected);
        }
        Bytes extra = receive(1, kSilenceMs);
        if (!extra.empty()) {
            return ::testing::AssertionFailure() << "extra byte " << ::testing::PrintToString(extra)
                                                 << " after " << ::testing::PrintToString(expected);
        }
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult staysSilent() { return answers({}); }
    // True once the radio's end is gone: poll reports a hang-up or read fails with EIO.
    bool hangsUp() {
        receive(1);
        return hungUp_;
    }

  private:
    int fd_ = -1;
    bool hungUp_ = false;
};

// Wakes the radio and reads its identification; the key comes from the first byte.
::testing::AssertionResult wakeAndIdentify(Line& line, std::uint8_t& key) {
    line.send(kWake);
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

// The whole handshake as the program does it.
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

std::vector<Bytes> frameBytes(const std::vector<Frame>& frames) {
    std::vector<Bytes> out;
    for (const Frame& frame : frames)
        out.push_back(frame.bytes);
    return out;
}

class RadioSimulatorTest : public ::testing::Test {
  protected:
    void startRadio(Options options = {}, std::optional<Image> memory = std::nullopt) {
        radio = std::make_unique<RadioSimulator>(std::move(options), memory);
        ASSERT_TRUE(radio->start());
        ASSERT_EQ(radio->devicePath().rfind("/dev/pts/", 0), 0u) << radio->devicePath();
        line = std::make_unique<Line>(radio->devicePath());
        ASSERT_TRUE(line->isOpen()) << "errno " << errno;
    }
    void startConnected(Options options = {}) {
        ASSERT_NO_FATAL_FAILURE(startRadio(std::move(options)));
        ASSERT_TRUE(connect(*line));
    }

    std::unique_ptr<RadioSimulator> radio;
    std::unique_ptr<Line> line;  // closed before the radio goes
};

TEST(FactoryMemoryTest, IsANewCodeplugForTheFirstRange) {
    test::ProgramFolder folder;  // range 0 is 400-470 MHz there
    CMaItemDoc doc(folder.settings());
    test::ScriptedPrompter prompter;
    bool skipPrompt = true;
    ASSERT_TRUE(newDocument(doc, prompter, skipPrompt));

    Image memory = factoryMemory();
    EXPECT_EQ(memory, doc.image());
    EXPECT_EQ(imageBytes(memory, 0x0000, 6),
              Bytes(model::kIdentification.begin(), model::kIdentification.end()));
    EXPECT_EQ(imageBytes(memory, 0x0008, 4), (Bytes{0x00, 0x40, 0x00, 0x47}));

    EXPECT_EQ(RadioSimulator(Options{}).memory(), memory);
    Image given;
    given.fill(0x5A);
    EXPECT_EQ(RadioSimulator(Options{}, given).memory(), given);
}

TEST_F(RadioSimulatorTest, AnswersAWholeConversation) {
    Options options;
    options.version = {3, 7};
    ASSERT_NO_FATAL_FAILURE(startRadio(options));
    Image expected = radio->memory();

    line->send(kWake);
    ASSERT_TRUE(line->answers({kAck}));
    line->send({0x02});
    Bytes identification = line->receive(8);
    ASSERT_EQ(identification.size(), 8u);
    std::uint8_t key = identification[0] ^ model::kIdentification[0];
    for (std::size_t n = 0; n < 6; ++n)
        EXPECT_EQ(identification[n] ^ key, model::kIdentification[n]) << n;
    EXPECT_EQ(radio->sessions(), 0);
    Bytes challenge = challengeFor(key);
    line->sendSlowly(challenge);
    ASSERT_TRUE(line->answers({kAck}));
    EXPECT_EQ(radio->sessions(), 1);

    line->send({'r'});
    EXPECT_TRUE(line->answers({3, 7}));

    line->send(readRequest(0x0050));
    EXPECT_TRUE(line->answers(concat({'R', 0x00, 0x50, 0x10}, imageBytes(expected, 0x0050))));

    Bytes block = pattern(9);
    line->send(writeRequest(0x0200, block));
    EXPECT_TRUE(line->answers({kAck}));
    std::copy(block.begin(), block.end(), expected.begin() + 0x0200);
    EXPECT_EQ(radio->memory(), expected);

    Bytes tuning = pattern(77);
    Bytes tuningFrame = concat({'t', 0x08, 0xE0, 0x10}, tuning);
    line->send(tuningFrame);
    EXPECT_TRUE(line->answers({kAck}));
    std::copy(tuning.begin(), tuning.end(), expected.begin() + 0x08E0);
    EXPECT_EQ(radio->memory(), expected);

    Bytes liveTuning = {'K', 0x08, 0xE0, 0x08, 1, 2, 3, 4, 5, 6, 7, 8};
    line->send(liveTuning);
    EXPECT_TRUE(line->answers({kAck}));
    EXPECT_EQ(radio->memory(), expected);

    line->send({'S'});
    EXPECT_TRUE(line->answers({'H'}));
    radio->setSquelchAnswer('L');
    line->send({'S'});
    EXPECT_TRUE(line->answers({'L'}));

    std::vector<Bytes> frames = {
        kWake,       {0x02},     challenge, {'r'}, readRequest(0x0050), writeRequest(0x0200, block),
        tuningFrame, liveTuning, {'S'},     {'S'}};
    EXPECT_EQ(frameBytes(radio->frames()), frames);
    // The challenge response is logged as such, whatever its first byte happens to be.
    std::vector<FrameKind> kinds;
    for (const Frame& frame : radio->frames())
        kinds.push_back(frame.kind);
    std::vector<FrameKind> expectedKinds = {FrameKind::WakeUp, FrameKind::Identify,
                                            FrameKind::ChallengeResponse};
    expectedKinds.resize(frames.size(), FrameKind::Command);
    EXPECT_EQ(kinds, expectedKinds);
    radio->clearFrames();
    EXPECT_TRUE(radio->frames().empty());
}

TEST_F(RadioSimulatorTest, AWrongChallengeEndsTheSession) {
    ASSERT_NO_FATAL_FAILURE(startRadio());
    std::uint8_t key = 0;
    ASSERT_TRUE(wakeAndIdentify(*line, key));
    Bytes wrong = challengeFor(key);
    wrong[5] ^= 0x01;
    line->send(wrong);  // all at once, unlike the program: must be the same to the radio
    Bytes answer = line->receive(1);
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_NE(answer[0], kAck);
    EXPECT_EQ(radio->sessions(), 0);
    line->send({'r'});
    EXPECT_TRUE(line->staysSilent()) << "commands need a handshake";

    // Every wake-up draws a new key; eight equal ones in a row would be a fixed key.
    std::set<int> keys = {key};
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(wakeAndIdentify(*line, key));
        keys.insert(key);
    }
    EXPECT_GT(keys.size(), 1u);
    line->send(challengeFor(key));
    EXPECT_TRUE(line->answers({kAck}));
    EXPECT_EQ(radio->sessions(), 1);
}

// A program that gave up half-way leaves the radio inside a frame or a handshake step;
// the next "PROGRAM" must still wake it at the first attempt, with nothing else answered.
TEST_F(RadioSimulatorTest, AWakeUpInterruptsWhateverWasGoingOn) {
    ASSERT_NO_FATAL_FAILURE(startConnected());
    Image before = radio->memory();
    const std::vector<Bytes> abandoned = {
        prefix(writeRequest(0x0100, pattern(1)), 13),  // "PROGRAM" would complete it
        {'R', 0x00},
        {'K', 0x08, 0xE0, 0x08, 1},
    };
    for (const Bytes& fragment : abandoned) {
        line->send(concat(fragment, kWake));
        EXPECT_TRUE(line->answers({kAck})) << ::testing::PrintToString(fragment);
    }
    // Woken but never identified; then woken again.
    line->send(kWake);
    ASSERT_TRUE(line->answers({kAck}));
    line->send(kWake);
    EXPECT_TRUE(line->answers({kAck}));
    // Identified but never answered the challenge; then woken again.
    std::uint8_t key = 0;
    ASSERT_TRUE(wakeAndIdentify(*line, key));
    line->send(kWake);
    EXPECT_TRUE(line->answers({kAck})) << "the wake-up must not be taken for a response";
    // Half a response, then a wake-up: the radio cannot tell "PROGR" from the rest of
    // the response, refuses it, and then wakes.
    line->send({0x02});
    ASSERT_EQ(line->receive(8).size(), 8u);
    line->send(concat({0x11, 0x22}, kWake));
    EXPECT_TRUE(line->answers({kNak, kAck}));

    ASSERT_TRUE(connect(*line));
    EXPECT_EQ(radio->sessions(), 2);
    EXPECT_EQ(radio->memory(), before);
    std::vector<Frame> frames = radio->frames();
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(),
                            [](const Frame& frame) {
                                return frame.kind == FrameKind::Command && frame.bytes[0] == 'w';
                            }),
              0)
        << "an unfinished frame is not a frame";
}

TEST_F(RadioSimulatorTest, WakesOnlyAtTheGivenAttemptOfEveryJob) {
    Options options;
    options.faults.wakeAtAttempt = 3;
    ASSERT_NO_FATAL_FAILURE(startRadio(options));
    for (int job = 0; job < 2; ++job) {
        for (int attempt = 1; attempt <= 2; ++attempt) {
            line->send(kWake);
            EXPECT_TRUE(line->staysSilent()) << "job " << job << " attempt " << attempt;
        }
        ASSERT_TRUE(connect(*line)) << "job " << job;
    }
    std::vector<Frame> frames = radio->frames();
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(),
                            [](const Frame& frame) { return frame.bytes == kWake; }),
              6);
}

TEST_F(RadioSimulatorTest, NeverWakes) {
    Options options;
    options.faults.neverWake = true;
    ASSERT_NO_FATAL_FAILURE(startRadio(options));
    for (int attempt = 1; attempt <= 10; ++attempt) {
        line->send(kWake);
        EXPECT_TRUE(line->receive(1, 50).empty()) << attempt;
    }
    EXPECT_TRUE(line->staysSilent());
    EXPECT_EQ(radio->frames().size(), 10u);
    EXPECT_EQ(radio->sessions(), 0);
}

TEST_F(RadioSimulatorTest, IdentificationFaults) {
    struct Case {
        int wrongByte;
        bool shortReply;
    } cases[] = {{0, false}, {3, false}, {5, false}, {-1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "wrong byte " << c.wrongByte << " short " << c.shortReply);
        Options options;
        options.faults.wrongIdentificationByte = c.wrongByte;
        options.faults.shortIdentification = c.shortReply;
        ASSERT_NO_FATAL_FAILURE(startRadio(options));
        line->send(kWake);
        ASSERT_TRUE(line->answers({kAck}));
        line->send({0x02});
        std::size_t size = c.shortReply ? 7 : 8;
        Bytes identification = line->receive(size);
        ASSERT_EQ(identification.size(), size);
        EXPECT_TRUE(line->staysSilent());
        // The key from a byte that is not the damaged one.
        std::size_t intact = c.wrongByte == 0 ? 1 : 0;
        std::uint8_t key = identification[intact] ^ model::kIdentification[intact];
        for (std::size_t n = 0; n < 6; ++n) {
            EXPECT_EQ((identification[n] ^ key) == model::kIdentification[n],
                      static_cast<int>(n) != c.wrongByte)
                << n;
        }
    }
}

TEST_F(RadioSimulatorTest, RefusesEvenARightChallenge) {
    Options options;
    options.faults.refuseChallenge = true;
    ASSERT_NO_FATAL_FAILURE(startRadio(options));
    std::uint8_t key = 0;
    ASSERT_TRUE(wakeAndIdentify(*line, key));
    line->sendSlowly(challengeFor(key));
    EXPECT_TRUE(line->answers({kNak}));
    EXPECT_EQ(radio->sessions(), 0);
    line->send({'S'});
    EXPECT_TRUE(line->staysSilent());
}

TEST_F(RadioSimulatorTest, IgnoresTheVersionQuery) {
    Options options;
    options.faults.noVersion = true;
    ASSERT_NO_FATAL_FAILURE(startConnected(options));
    line->send({'r'});
    EXPECT_TRUE(line->staysSilent());
    line->send({'S'});
    EXPECT_TRUE(line->answers({'H'})) << "only the version query is ignored";
}

// Each fault hits block 9 only; block 8 beside it behaves.
TEST_F(RadioSimulatorTest, BlockFaults) {
    constexpr int kBlock = 9;
    constexpr int kAddress = kBlock * 16;
    enum class Stored { Nothing, Exactly, OneByteAltered };
    struct Case {
        const char* name;
        std::function<void(Faults&)> inject;
        bool write;
        // The answer to block 9, given the answer a healthy radio would give.
        std::function<void(const Bytes& got, const Bytes& healthy)> check;
        std::size_t answerSize;
        Stored stored;
    } cases[] = {
        {"short reply", [](Faults& f) { f.shortReplyAtBlock = kBlock; }, false,
         [](const Bytes& got, const Bytes& healthy) {
             EXPECT_EQ(got, Bytes(healthy.begin(), healthy.begin() + 10));
         },
         10, Stored::Nothing},
        {"wrong address", [](Faults& f) { f.wrongAddressAtBlock = kBlock; }, false,
         [](const Bytes& got, const Bytes& healthy) {
             EXPECT_EQ(got[0], 'R');
             EXPECT_NE(Bytes(got.begin() + 1, got.begin() + 3),
                       Bytes(healthy.begin() + 1, healthy.begin() + 3));
             EXPECT_EQ(Bytes(got.begin() + 3, got.end()),
                       Bytes(healthy.begin() + 3, healthy.end()));
         },
         20, Stored::Nothing},
        {"no ack", [](Faults& f) { f.noAckAtBlock = kBlock; }, true,
         [](const Bytes& got, const Bytes&) { EXPECT_TRUE(got.empty()); }, 0, Stored::Nothing},
        {"wrong ack", [](Faults& f) { f.wrongAckAtBlock = kBlock; }, true,
         [](const Bytes& got, const Bytes&) { EXPECT_EQ(got, Bytes{kNak}); }, 1, Stored::Nothing},
        {"corrupt block", [](Faults& f) { f.corruptStoredBlock = kBlock; }, true,
         [](const Bytes& got, const Bytes&) { EXPECT_EQ(got, Bytes{kAck}); }, 1,
         Stored::OneByteAltered},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Options options;
        c.inject(options.faults);
        ASSERT_NO_FATAL_FAILURE(startConnected(options));
        Image before = radio->memory();
        Image expected = before;
        Bytes data = pattern(50);

        auto request = [&](int address) {
            return c.write ? writeRequest(address, data) : readRequest(address);
        };
        auto healthyAnswer = [&](int address) {
            return c.write ? Bytes{kAck}
                           : concat(readRequest(address), imageBytes(before, address));
        };

        line->send(request(kAddress - 16));
        EXPECT_TRUE(line->answers(healthyAnswer(kAddress - 16)));
        if (c.write) std::copy(data.begin(), data.end(), expected.begin() + kAddress - 16);

        line->send(request(kAddress));
        Bytes got = line->receive(c.answerSize);
        ASSERT_EQ(got.size(), c.answerSize);
        EXPECT_TRUE(line->staysSilent());
        c.check(got, healthyAnswer(kAddress));

        Image after = radio->memory();
        Bytes stored = imageBytes(after, kAddress);
        switch (c.stored) {
            case Stored::Nothing:
                EXPECT_EQ(stored, imageBytes(before, kAddress));
                break;
            case Stored::Exactly:
                EXPECT_EQ(stored, data);
                break;
            case Stored::OneByteAltered: {
                int differing = 0;
                for (std::size_t i = 0; i < 16; ++i)
                    differing += stored[i] != data[i];
                EXPECT_EQ(differing, 1);
                break;
            }
        }
        std::copy(stored.begin(), stored.end(), expected.begin() + kAddress);
        EXPECT_EQ(after, expected) << "only the blocks written may change";

        // The line is still usable after the fault.
        line->send({'S'});
        EXPECT_TRUE(line->answers({'H'}));
    }
}

TEST_F(RadioSimulatorTest, HangsUpAtTheGivenBlock) {
    for (bool write : {false, true}) {
        SCOPED_TRACE(write ? "write" : "read");
        Options options;
        options.faults.hangUpAtBlock = 4;
        ASSERT_NO_FATAL_FAILURE(startConnected(options));
        std::string path = radio->devicePath();
        auto request = [&](int address) {
            return write ? writeRequest(address, pattern(3)) : readRequest(address);
        };
        line->send(request(0x0030));
        EXPECT_EQ(line->receive(write ? 1 : 20).size(), write ? 1u : 20u);
        line->send(request(0x0040));
        EXPECT_TRUE(line->hangsUp());
        EXPECT_EQ(radio->frames().back().bytes, request(0x0040));
        line->close();
        Line again(path);
        EXPECT_FALSE(again.isOpen()) << "the device should be gone";

        // start() brings a radio back.
        ASSERT_TRUE(radio->start());
        Line fresh(radio->devicePath());
        ASSERT_TRUE(fresh.isOpen());
        EXPECT_TRUE(connect(fresh));
    }
}

TEST_F(RadioSimulatorTest, RepliesWaitForTheDelays) {
    struct Case {
        int extraDelayMs;
        int usbLatencyMs;
    } cases[] = {{150, 0}, {0, 150}, {100, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.extraDelayMs << " + " << c.usbLatencyMs);
        Options options;
        options.faults.extraDelayMs = c.extraDelayMs;
        options.usbLatencyMs = c.usbLatencyMs;
        ASSERT_NO_FATAL_FAILURE(startRadio(options));
        milliseconds least(c.extraDelayMs + c.usbLatencyMs);

        Clock::time_point sent = Clock::now();
        line->send(kWake);
        ASSERT_EQ(line->receive(1), Bytes{kAck});
        EXPECT_GE(Clock::now() - sent, least);

        line->send({0x02});
        std::uint8_t key = line->receive(8).at(0) ^ model::kIdentification[0];
        line->send(challengeFor(key));
        ASSERT_EQ(line->receive(1), Bytes{kAck});
        sent = Clock::now();
        line->send(readRequest(0x0100));
        EXPECT_EQ(line->receive(20).size(), 20u);
        EXPECT_GE(Clock::now() - sent, least);
    }
}

TEST_F(RadioSimulatorTest, StopDoesNotWaitForAHeldReply) {
    int frameSeen[2];
    ASSERT_EQ(pipe2(frameSeen, O_CLOEXEC), 0);
    Options options;
    options.faults.extraDelayMs = 60000;
    options.onFrame = [&](const Frame&) { (void)!::write(frameSeen[1], "f", 1); };
    ASSERT_NO_FATAL_FAILURE(startRadio(options));
    line->send(kWake);
    pollfd framed = {frameSeen[0], POLLIN, 0};
    ASSERT_EQ(poll(&framed, 1, kReplyTimeoutMs), 1) << "the wake-up never arrived";
    Clock::time_point stopping = Clock::now();
    radio->stop();
    EXPECT_LT(Clock::now() - stopping, std::chrono::seconds(10));
    EXPECT_EQ(radio->frames().size(), 1u);
    ::close(frameSeen[0]);
    ::close(frameSeen[1]);
}

TEST_F(RadioSimulatorTest, SurvivesGarbage) {
    ASSERT_NO_FATAL_FAILURE(startRadio());
    Image memory = radio->memory();
    line->send({0x00, 0xFF, 'R', 'w', 0x06, 0x02, 'P', 'R', 'O', 0x13, 'r', 'S', 'X'});
    EXPECT_TRUE(line->staysSilent()) << "asleep, only PROGRAM counts";
    ASSERT_TRUE(connect(*line));

    const Bytes garbage[] = {
        {0x00, 'x', 0xFF},
        {'R', 0x00, 0x50, 0x11},  // a read with a wrong length byte
        {'P', 'R', 'Q', 0xFF},    // not quite PROGRAM
        {'t', 0x08, 0xE1},        // tuning with a wrong address
        {'K', 0x09},
        {'P', 'R', 'O', 'G', 'R', 'A', 'X'},
        // Unfinished frames: the read's length byte ends them.
        {'w', 0x01},
        {'R'},
    };
    for (const Bytes& noise : garbage) {
        SCOPED_TRACE(::testing::PrintToString(noise));
        line->send(concat(noise, readRequest(0x0070)));
        EXPECT_TRUE(line->answers(concat(readRequest(0x0070), imageBytes(memory, 0x0070))));
    }
    line->send({0x13, 0x11, 'S'});
    EXPECT_TRUE(line->answers({'H'}));
    EXPECT_EQ(radio->memory(), memory);
    // The handshake and the commands after the noise: nothing else.
    EXPECT_EQ(radio->frames().size(), 3 + std::size(garbage) + 1);
}

// Control characters a terminal would act on must cross the line both ways untouched,
// even for a client that leaves the terminal as it finds it.
TEST_F(RadioSimulatorTest, ControlCharactersPassUnchanged) {
    const Bytes data = {0x03, 0x0D, 0x11, 0x13, 0x7F, 0x0A, 0x04, 0x1A,
                        0x1C, 0x15, 0x17, 0x16, 0x12, 0x0F, 0x00, 0xFF};
    constexpr int kAddress = 0x0D10;  // 0x0D in the address too
    for (bool clientRaw : {true, false}) {
        SCOPED_TRACE(clientRaw ? "raw client" : "client keeps the settings");
        radio = std::make_unique<RadioSimulator>(Options{});
        ASSERT_TRUE(radio->start());
        line = std::make_unique<Line>(radio->devicePath(), clientRaw);
        ASSERT_TRUE(connect(*line));
        line->send(writeRequest(kAddress, data));
        EXPECT_TRUE(line->answers({kAck}));
        EXPECT_EQ(imageBytes(radio->memory(), kAddress), data);
        line->send(readRequest(kAddress));
        EXPECT_TRUE(line->answers(concat(readRequest(kAddress), data)));
        EXPECT_EQ(radio->frames().back().bytes, readRequest(kAddress));
    }
}

TEST_F(RadioSimulatorTest, OddAddresses) {
    ASSERT_NO_FATAL_FAILURE(startConnected());
    Image memory = radio->memory();
    // Reads wrap at the end of the image; writes outside it or between blocks are refused.
    struct Read {
        int address;
        std::size_t from;
    } reads[] = {{0x0FF8, 0x0FF8}, {0x1000, 0x0000}, {0xFFF0, 0x0FF0}, {0x0008, 0x0008}};
    for (const Read& read : reads) {
        SCOPED_TRACE(read.address);
        line->send(readRequest(read.address));
        EXPECT_TRUE(
            line->answers(concat(readRequest(read.address), imageBytes(memory, read.from))));
    }
    for (int address : {0x1000, 0x0FF8, 0x0008, 0xFFF0}) {
        SCOPED_TRACE(address);
        line->send(writeRequest(address, pattern(1)));
        EXPECT_TRUE(line->answers({kNak}));
    }
    EXPECT_EQ(radio->memory(), memory);
    line->send(writeRequest(0x0FF0, pattern(2)));
    EXPECT_TRUE(line->answers({kAck}));
    EXPECT_EQ(imageBytes(radio->memory(), 0x0FF0), pattern(2));
}

TEST_F(RadioSimulatorTest, PacedBytesTakeTheirWireTime) {
    Options options;
    options.pace = true;
    ASSERT_NO_FATAL_FAILURE(startConnected(options));
    Image memory = radio->memory();
    constexpr int kBlocks = 16;
    Clock::time_point begin = Clock::now();
    for (int block = 0; block < kBlocks; ++block) {
        line->send(readRequest(block * 16));
        ASSERT_EQ(line->receive(20),
                  concat(readRequest(block * 16), imageBytes(memory, block * 16)));
    }
    // 4 bytes out and 20 back per block, 10 bits each at 38400 baud: about 260 us a byte.
    auto wireTime = std::chrono::microseconds(260) * (kBlocks * 24);
    EXPECT_GE(Clock::now() - begin, wireTime);
}

// The program claims the port with TIOCEXCL. A real port drops the claim when the program
// closes it; so must the simulator, or a non-root program could open it only once.
TEST_F(RadioSimulatorTest, AClosedClientGivesUpItsClaim) {
    ASSERT_NO_FATAL_FAILURE(startRadio());
    ASSERT_EQ(ioctl(line->fd(), TIOCEXCL), 0);
    int exclusive = -1;
    ASSERT_EQ(ioctl(line->fd(), TIOCGEXCL, &exclusive), 0);
    ASSERT_EQ(exclusive, 1);
    line->close();

    Line next(radio->devicePath());  // root may open it anyway; the flag tells
    ASSERT_TRUE(next.isOpen());
    // The close was reported before this wake-up was sent; once answered, it was handled.
    next.send(kWake);
    ASSERT_TRUE(next.answers({kAck}));
    ASSERT_EQ(ioctl(next.fd(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
}

TEST_F(RadioSimulatorTest, StartsAgainAfterStop) {
    ASSERT_NO_FATAL_FAILURE(startConnected());
    line->send(writeRequest(0x0400, pattern(4)));
    EXPECT_TRUE(line->answers({kAck}));
    line->close();
    radio->stop();
    radio->stop();
    ASSERT_TRUE(radio->start());
    EXPECT_TRUE(radio->frames().empty());
    Line again(radio->devicePath());
    ASSERT_TRUE(connect(again));
    EXPECT_EQ(radio->sessions(), 2);
    again.send(readRequest(0x0400));
    EXPECT_TRUE(again.answers(concat(readRequest(0x0400), pattern(4))));
}

// --- the pl3-radio-sim program ---

// The program running in the background, its standard output on a pipe.
class SimulatorProcess {
  public:
    SimulatorProcess(const std::vector<std::string>& args, const std::string& errPath) {
        std::string program = std::string(PL3_BIN_DIR) + "/pl3-radio-sim";
        std::vector<std::string> copies(args);
        std::vector<char*> argv = {program.data()};
        for (std::string& arg : copies)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        out_ = out[0];
    }
    ~SimulatorProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
    }

    bool started() const { return pid_ > 0; }
    void signal(int number) { kill(pid_, number); }

    // The next line of standard output without its newline; nullopt at the end or when
    // the time runs out.
    std::optional<std::string> readLine(int timeoutMs = 20000) {
        Clock::time_point deadline = Clock::now() + milliseconds(timeoutMs);
        while (true) {
            if (std::size_t end = buffered_.find('\n'); end != std::string::npos) {
                std::string line = buffered_.substr(0, end);
                buffered_.erase(0, end + 1);
                return line;
            }
            if (!fill(deadline)) return std::nullopt;
        }
    }
    // Waits for the program to end (its output closing, then its exit status); -1 when
    // it does not end in time.
    int exitCode(int timeoutMs = 20000) {
        Clock::time_point deadline = Clock::now() + milliseconds(timeoutMs);
        while (fill(deadline)) {
        }
        if (Clock::now() >= deadline) return -1;
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

  private:
    // Reads what is there; false at the end of the output or the deadline.
    bool fill(Clock::time_point deadline) {
        while (true) {
            auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return false;
            pollfd wait = {out_, POLLIN, 0};
            int ready = poll(&wait, 1, static_cast<int>(left));
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) return false;
            char buffer[256];
            ssize_t n = ::read(out_, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            buffered_.append(buffer, static_cast<std::size_t>(n));
            return true;
        }
    }

    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffered_;
};

std::string hex(const Bytes& bytes) {
    std::string text;
    char digits[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += (text.empty() ? "" : " ") + std::string(digits);
    }
    return text;
}

TEST(RadioSimulatorProgramTest, SavesWhatWasWrittenAndLogsTheFrames) {
    test::TempDir dir;
    std::string link = dir.file("radio"), saved = dir.file("radio.PL-3"), log = dir.file("log");
    SimulatorProcess sim(
        {"--link", link, "--save", saved, "--log", log, "--squelch", "L", "--version", "4.5"},
        dir.file("err"));
    ASSERT_TRUE(sim.started());
    std::optional<std::string> device = sim.readLine();
    ASSERT_TRUE(device) << test::readText(dir.file("err"));
    EXPECT_EQ(device->rfind("/dev/pts/", 0), 0u) << *device;
    char target[256] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), *device);

    Line line(link);
    ASSERT_TRUE(line.isOpen());
    std::uint8_t key = 0;
    ASSERT_TRUE(wakeAndIdentify(line, key));
    line.sendSlowly(challengeFor(key));
    ASSERT_EQ(line.receive(1), Bytes{kAck});
    line.send({'r'});
    EXPECT_TRUE(line.answers({4, 5}));
    line.send({'S'});
    EXPECT_TRUE(line.answers({'L'}));
    line.send(writeRequest(0x0070, pattern(7)));
    EXPECT_TRUE(line.answers({kAck}));

    auto savedBlock = [&](std::size_t address) {
        Bytes bytes = test::readBytes(saved);
        if (bytes.size() != data_file::kFileSize) return Bytes();
        return Bytes(bytes.begin() + 48 + address, bytes.begin() + 48 + address + 16);
    };
    sim.signal(SIGUSR1);
    EXPECT_EQ(sim.readLine(), "saved " + saved);
    EXPECT_EQ(savedBlock(0x0070), pattern(7));

    line.send(writeRequest(0x0080, pattern(8)));
    EXPECT_TRUE(line.answers({kAck}));
    line.close();
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.exitCode(), 0) << test::readText(dir.file("err"));

    Bytes file = test::readBytes(saved);
    ASSERT_EQ(file.size(), data_file::kFileSize);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 44), std::string(data_file::kMagic));
    EXPECT_EQ(savedBlock(0x0070), pattern(7));
    EXPECT_EQ(savedBlock(0x0080), pattern(8));
    Image expected = factoryMemory();
    std::copy_n(pattern(7).begin(), 16, expected.begin() + 0x0070);
    std::copy_n(pattern(8).begin(), 16, expected.begin() + 0x0080);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.begin() + 48));

    struct stat status {};
    EXPECT_NE(lstat(link.c_str(), &status), 0) << "the link should be gone";
    EXPECT_EQ(test::readText(log), hex(kWake) + "\n02\n" + hex(challengeFor(key)) + "\n72\n53\n" +
                                       hex(writeRequest(0x0070, pattern(7))) + "\n" +
                                       hex(writeRequest(0x0080, pattern(8))) + "\n");
}

TEST(RadioSimulatorProgramTest, ServesAndKeepsAMemoryFile) {
    test::TempDir dir;
    Header header{};
    data_file::writeMagic(header);
    header[44] = 0x12;  // reserved bytes: saved as they were read
    header[47] = 0x34;
    Image image = factoryMemory();
    std::copy_n(pattern(30).begin(), 16, image.begin() + 0x0300);
    std::string memory = dir.file("in.PL-3"), saved = dir.file("out.PL-3");
    ASSERT_TRUE(data_file::write(memory, header, image));

    SimulatorProcess sim({"--memory", memory, "--save", saved}, dir.file("err"));
    std::optional<std::string> device = sim.readLine();
    ASSERT_TRUE(device) << test::readText(dir.file("err"));
    Line line(*device);
    ASSERT_TRUE(connect(line));
    line.send(readRequest(0x0300));
    EXPECT_TRUE(line.answers(concat(readRequest(0x0300), pattern(30))));
    line.close();
    sim.signal(SIGINT);
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_EQ(test::readBytes(saved), test::readBytes(memory));
}

TEST(RadioSimulatorProgramTest, RefusesBadOptionsAndFiles) {
    test::TempDir dir;
    std::string foreign = dir.write("foreign.PL-3", std::string(4144, 'x'));
    std::string truncated =
        dir.write("short.PL-3", std::string(data_file::kMagic) + std::string(100, '\0'));
    struct Case {
        std::vector<std::string> args;
        int exitCode;
    } cases[] = {
        {{"--memory", foreign}, 2},
        {{"--memory", truncated}, 2},
        {{"--memory", dir.file("missing.PL-3")}, 2},
        {{"--memory", dir.path()}, 2},
        {{"--frobnicate"}, 1},
        {{"--wake-at", "0"}, 1},
        {{"--wrong-id-byte", "8"}, 1},
        {{"--short-reply-at", "256"}, 1},
        {{"--delay", "-5"}, 1},
        {{"--delay"}, 1},
        {{"--version", "1"}, 1},
        {{"--version", "1.x"}, 1},
        {{"--squelch", "HL"}, 1},
        {{"--pace=1"}, 1},
        {{"--hang-up-at", "3x"}, 1},
        {{"--help"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        SimulatorProcess sim(c.args, dir.file("err"));
        ASSERT_TRUE(sim.started());
        EXPECT_EQ(sim.exitCode(), c.exitCode);
        std::string err = test::readText(dir.file("err"));
        EXPECT_EQ(err.empty(), c.exitCode == 0) << err;
    }
}

}  // namespace
}  // namespace pl3::sim
