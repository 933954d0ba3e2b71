#include "sim/radio_simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

#include "codeplug/document.h"
#include "codeplug/document_commands.h"
#include "codeplug/model_constants.h"
#include "radio_line.h"
#include "scripted_prompter.h"
#include "settings_fixture.h"

namespace pl3::sim {
namespace {

using test::Bytes;
using test::challengeFor;
using test::concat;
using test::connect;
using test::imageBytes;
using test::kReplyTimeoutMs;
using test::Line;
using test::pattern;
using test::readRequest;
using test::writeRequest;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const Bytes& kWake = test::kWakeUpFrame;
constexpr std::uint8_t kAck = 0x06;

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

}  // namespace
}  // namespace pl3::sim
