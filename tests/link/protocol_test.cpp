#include "link/protocol.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "codeplug/model_constants.h"
#include "patterned_image.h"
#include "simulated_radio.h"

namespace pl3::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kWakeUp = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};

int countFrames(const std::vector<sim::Frame>& frames, const Bytes& bytes) {
    int count = 0;
    for (const sim::Frame& frame : frames)
        count += frame.bytes == bytes;
    return count;
}

// Block frames by their command byte and length (the challenge response, random as it is,
// may well start with the same byte).
int countCommand(const std::vector<sim::Frame>& frames, std::uint8_t command) {
    const std::size_t size = command == 'R' ? 4 : 20;
    int count = 0;
    for (const sim::Frame& frame : frames)
        count += frame.bytes.size() == size && frame.bytes[0] == command;
    return count;
}

// One conversation of a job against a simulated radio on port 1.
struct Session {
    explicit Session(sim::Options options = {}, JobKind kind = JobKind::MainRead)
        : radio(options), port(radio.settings()), conversation(port, kind, cancel) {}

    Outcome connectAndHandshake() {
        Outcome outcome = conversation.connect({1, std::nullopt, false});
        return outcome == Outcome::Ok ? conversation.handshake() : outcome;
    }

    test::SimulatedRadio radio;
    SerialPort port;
    CancelToken cancel;
    Conversation conversation;
};

TEST(Protocol, ReadsTheWholeImage) {
    Session session;
    session.radio.radio().setMemory(test::patternedImage(31, 7));
    ASSERT_EQ(session.connectAndHandshake(), Outcome::Ok);
    EXPECT_EQ(session.conversation.readVersion(), "1.2");
    Image image{};
    std::vector<int> blocks;
    ASSERT_EQ(session.conversation.readImage(image, [&](int k) { blocks.push_back(k); }),
              Outcome::Ok);
    EXPECT_EQ(image, test::patternedImage(31, 7));
    ASSERT_EQ(blocks.size(), 256u);
    EXPECT_EQ(blocks.back(), 255);

    std::vector<sim::Frame> frames = session.radio.radio().frames();
    ASSERT_GE(frames.size(), 4u + 256u);
    EXPECT_EQ(frames[0].bytes, kWakeUp);
    EXPECT_EQ(frames[1].bytes, Bytes{0x02});
    EXPECT_EQ(frames[2].bytes.size(), 6u);
    EXPECT_EQ(frames[3].bytes, Bytes{'r'});
    for (int k = 0; k < 256; ++k) {
        Bytes expected = {'R', static_cast<std::uint8_t>((k * 16) >> 8),
                          static_cast<std::uint8_t>((k * 16) & 0xFF), 0x10};
        ASSERT_EQ(frames[4 + static_cast<std::size_t>(k)].bytes, expected) << k;
    }
    EXPECT_EQ(session.radio.radio().sessions(), 1);
}

TEST(Protocol, WritesTheWholeImage) {
    Session session({}, JobKind::MainWrite);
    ASSERT_EQ(session.connectAndHandshake(), Outcome::Ok);
    ASSERT_EQ(session.conversation.writeImage(test::patternedImage(31, 7)), Outcome::Ok);
    EXPECT_EQ(session.radio.radio().memory(), test::patternedImage(31, 7));
    EXPECT_EQ(countCommand(session.radio.radio().frames(), 'w'), 256);
}

TEST(Protocol, HandshakeFaults) {
    struct Case {
        const char* what;
        sim::Faults faults;
        JobKind kind;
        Outcome outcome;
        int wakeUps;
    };
    Case cases[] = {
        {"wakes at the third attempt",
         test::faultsWhere([](sim::Faults& f) { f.wakeAtAttempt = 3; }), JobKind::MainRead,
         Outcome::Ok, 3},
        {"never wakes", test::faultsWhere([](sim::Faults& f) { f.neverWake = true; }),
         JobKind::MainRead, Outcome::NoRadio, 10},
        {"seven identification bytes",
         test::faultsWhere([](sim::Faults& f) { f.shortIdentification = true; }), JobKind::MainRead,
         Outcome::WrongRadio, 1},
        {"identification byte 2 wrong",
         test::faultsWhere([](sim::Faults& f) { f.wrongIdentificationByte = 2; }),
         JobKind::TestDataRead, Outcome::WrongRadio, 1},
        {"byte 4 wrong, main job",
         test::faultsWhere([](sim::Faults& f) { f.wrongIdentificationByte = 4; }),
         JobKind::MainWrite, Outcome::WrongRadio, 1},
        {"byte 4 wrong, service job",
         test::faultsWhere([](sim::Faults& f) { f.wrongIdentificationByte = 4; }),
         JobKind::ServiceReadAll, Outcome::Ok, 1},
        {"byte 6 is never looked at",
         test::faultsWhere([](sim::Faults& f) { f.wrongIdentificationByte = 6; }),
         JobKind::MainRead, Outcome::Ok, 1},
        {"challenge refused", test::faultsWhere([](sim::Faults& f) { f.refuseChallenge = true; }),
         JobKind::MainRead, Outcome::WrongRadio, 1},
    };
    for (const Case& c : cases) {
        Session session(test::optionsWith(c.faults), c.kind);
        EXPECT_EQ(session.connectAndHandshake(), c.outcome) << c.what;
        EXPECT_EQ(countFrames(session.radio.radio().frames(), kWakeUp), c.wakeUps) << c.what;
    }
}

TEST(Protocol, MissingVersionDoesNotStopTheRead) {
    sim::Options options;
    options.faults.noVersion = true;
    Session session(options);
    ASSERT_EQ(session.connectAndHandshake(), Outcome::Ok);
    EXPECT_EQ(session.conversation.readVersion(), std::nullopt);
    Image image{};
    EXPECT_EQ(session.conversation.readImage(image), Outcome::Ok);
}

TEST(Protocol, BlockFaults) {
    struct Case {
        const char* what;
        sim::Faults faults;
        JobKind kind;
        Outcome outcome;
        int blocksDone;  // blocks reported before the end
        int framesSent;  // block frames the radio received
    };
    Case cases[] = {
        {"short reply", test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 100; }),
         JobKind::MainRead, Outcome::ReadFailed, 100, 101},
        {"wrong address, main read",
         test::faultsWhere([](sim::Faults& f) { f.wrongAddressAtBlock = 7; }), JobKind::MainRead,
         Outcome::ReadFailed, 7, 8},
        {"wrong address, service read",
         test::faultsWhere([](sim::Faults& f) { f.wrongAddressAtBlock = 7; }),
         JobKind::ServiceReadAll, Outcome::Ok, 256, 256},
        {"no acknowledgement, main write",
         test::faultsWhere([](sim::Faults& f) { f.noAckAtBlock = 5; }), JobKind::MainWrite,
         Outcome::WriteFailed, 5, 6},
        {"wrong acknowledgement, main write",
         test::faultsWhere([](sim::Faults& f) { f.wrongAckAtBlock = 0; }), JobKind::MainWrite,
         Outcome::WriteFailed, 0, 1},
        {"no acknowledgement, service write",
         test::faultsWhere([](sim::Faults& f) { f.noAckAtBlock = 5; }), JobKind::ServiceWriteAll,
         Outcome::WriteFailed, 256, 256},
        {"hang-up while reading", test::faultsWhere([](sim::Faults& f) { f.hangUpAtBlock = 50; }),
         JobKind::MainRead, Outcome::ReadFailed, 50, 51},
        {"hang-up while writing", test::faultsWhere([](sim::Faults& f) { f.hangUpAtBlock = 3; }),
         JobKind::MainWrite, Outcome::WriteFailed, 3, 4},
    };
    for (const Case& c : cases) {
        Session session(test::optionsWith(c.faults), c.kind);
        ASSERT_EQ(session.connectAndHandshake(), Outcome::Ok) << c.what;
        int done = 0;
        auto onBlock = [&](int) { ++done; };
        bool writing = c.kind == JobKind::MainWrite || c.kind == JobKind::ServiceWriteAll;
        Image image = test::patternedImage(31, 7);
        Outcome outcome = writing ? session.conversation.writeImage(image, onBlock)
                                  : session.conversation.readImage(image, onBlock);
        EXPECT_EQ(outcome, c.outcome) << c.what;
        EXPECT_EQ(done, c.blocksDone) << c.what;
        EXPECT_EQ(countCommand(session.radio.radio().frames(), writing ? 'w' : 'R'), c.framesSent)
            << c.what;
        if (c.faults.hangUpAtBlock >= 0) {
            EXPECT_TRUE(session.port.hungUp()) << c.what;
        }
    }
}

TEST(Protocol, SearchFindsTheRadioAndRemembersItsPort) {
    test::SimulatedRadio radio({}, /*search=*/true, /*storedPort=*/7);
    radio.mapPort(1, "/nonexistent/tty1");
    radio.mapPort(2, "/nonexistent/tty2");
    radio.mapPort(4, radio.devicePath());
    // A pseudo-terminal with nobody answering, where the search must give up and go on.
    sim::Options silent;
    silent.faults.neverWake = true;
    sim::RadioSimulator quiet(silent);
    ASSERT_TRUE(quiet.start());
    radio.mapPort(3, quiet.devicePath());
    radio.mapPort(7, quiet.devicePath());

    SerialPort port(radio.settings());
    CancelToken cancel;
    Conversation conversation(port, JobKind::MainRead, cancel);
    std::vector<int> searched;
    PortPlan plan{radio.settings().comPort(), std::nullopt, radio.settings().portSearchEnabled()};
    ASSERT_EQ(conversation.connect(plan, [&](int n) { searched.push_back(n); }), Outcome::Ok);
    EXPECT_EQ(searched, (std::vector<int>{3, 4}));
    EXPECT_EQ(conversation.foundPort(), 4);
    EXPECT_EQ(countFrames(quiet.frames(), kWakeUp), 20);  // stored port 7, then port 3
    ASSERT_EQ(conversation.handshake(), Outcome::Ok);
    EXPECT_EQ(conversation.foundPort(), -1);
    EXPECT_EQ(radio.settings().comPort(), 4);
}

TEST(Protocol, SearchOffOrNoPortLeftMeansNoRadio) {
    test::SimulatedRadio radio({}, /*search=*/true, /*storedPort=*/2);
    radio.mapPort(1, "/nonexistent/tty");  // the radio is nowhere now
    SerialPort port(radio.settings());
    CancelToken cancel;
    Conversation conversation(port, JobKind::MainRead, cancel);
    EXPECT_EQ(conversation.connect({2, std::nullopt, true}), Outcome::NoRadio);
    EXPECT_EQ(conversation.connect({2, std::nullopt, false}), Outcome::NoRadio);
    EXPECT_EQ(conversation.connect({std::nullopt, radio.devicePath(), true}), Outcome::Ok);
    EXPECT_EQ(radio.settings().comPort(), 2);  // a device path is never stored
}

TEST(Protocol, CancelEndsConnectingPromptly) {
    sim::Options options;
    options.faults.neverWake = true;
    Session session(options);
    auto running = std::async(std::launch::async, [&] {
        return session.conversation.connect({1, std::nullopt, false});
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    auto cancelledAt = std::chrono::steady_clock::now();
    session.cancel.cancel();
    session.port.close();
    ASSERT_EQ(running.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(running.get(), Outcome::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - cancelledAt, std::chrono::seconds(2));
}

TEST(Protocol, TestDataWriteFrame) {
    Session session({}, JobKind::TestDataWrite);
    ASSERT_EQ(session.connectAndHandshake(), Outcome::Ok);
    std::uint8_t values[16];
    for (int i = 0; i < 16; ++i)
        values[i] = static_cast<std::uint8_t>(0xA0 + i);
    EXPECT_EQ(session.conversation.writeTestData(values), Outcome::Ok);
    Bytes frame = session.radio.radio().frames().back().bytes;
    ASSERT_EQ(frame.size(), 20u);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 4), (Bytes{'t', 0x08, 0xE0, 0x10}));
    EXPECT_EQ(session.radio.radio().memory()[0x08EF], 0xAF);
}

TEST(Protocol, BlockProgress) {
    EXPECT_EQ(blockProgress(0), 0);
    EXPECT_EQ(blockProgress(2), 1);
    EXPECT_EQ(blockProgress(114), 44);
    EXPECT_EQ(blockProgress(115), 45);
    EXPECT_EQ(blockProgress(255), 100);
}

}  // namespace
}  // namespace pl3::link
