#include "sim/radio_conversation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "radio_frames.h"

namespace pl3::sim {
namespace {

using test::Bytes;
using test::challengeFor;
using test::concat;
using test::imageBytes;
using test::kWakeUpFrame;
using test::pattern;
using test::readRequest;
using test::writeRequest;

constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;
constexpr std::uint8_t kIdentify = 0x02;

Bytes prefix(const Bytes& bytes, std::size_t count) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

// A memory no two blocks of which are alike, so an answer from the wrong place shows.
Image patternedMemory() {
    Image image;
    for (std::size_t a = 0; a < image.size(); ++a)
        image[a] = static_cast<std::uint8_t>(a * 7 + a / 256 + 3);
    return image;
}

// What the radio did with some bytes.
struct Heard {
    Bytes replies;  // every reply, in order, run together
    std::vector<Frame> frames;
    bool hungUp = false;
};

class Radio {
  public:
    explicit Radio(const Faults& faults = {}, std::uint32_t seed = 1)
        : conversation_(faults, {1, 2}, 'H', patternedMemory(), seed) {}

    Heard send(const Bytes& bytes) {
        Heard heard;
        for (const Event& event : conversation_.receive(bytes)) {
            switch (event.type) {
                case Event::Type::Received:
                    heard.frames.push_back(event.frame);
                    break;
                case Event::Type::Reply:
                    heard.replies = concat(heard.replies, event.frame.bytes);
                    break;
                case Event::Type::HangUp:
                    heard.hungUp = true;
                    break;
            }
        }
        return heard;
    }
    Bytes answer(const Bytes& bytes) { return send(bytes).replies; }

    // Wakes the radio and reads its identification: the key from a byte not damaged.
    ::testing::AssertionResult identify(std::uint8_t& key, std::size_t intact = 0) {
        Bytes ack = answer(kWakeUpFrame);
        if (ack != Bytes{kAck})
            return ::testing::AssertionFailure() << "wake-up: " << ::testing::PrintToString(ack);
        Bytes identification = answer({kIdentify});
        if (identification.size() <= intact)
            return ::testing::AssertionFailure() << "no identification";
        key = identification[intact] ^ model::kIdentification[intact];
        return ::testing::AssertionSuccess();
    }
    // The whole handshake as the program does it.
    ::testing::AssertionResult connect() {
        std::uint8_t key = 0;
        if (::testing::AssertionResult identified = identify(key); !identified) return identified;
        Bytes ack = answer(challengeFor(key));
        if (ack != Bytes{kAck})
            return ::testing::AssertionFailure() << "challenge: " << ::testing::PrintToString(ack);
        return ::testing::AssertionSuccess();
    }

    RadioConversation& conversation() { return conversation_; }

  private:
    RadioConversation conversation_;
};

template <class Change>
Faults faultsWhere(Change change) {
    Faults faults;
    change(faults);
    return faults;
}

TEST(RadioConversationTest, WakesAtTheAttemptItsFaultsAllow) {
    struct Case {
        const char* name;
        Faults faults;
        int silentAttempts;  // of every job; -1: never wakes
    } cases[] = {
        {"healthy", {}, 0},
        {"third attempt", faultsWhere([](Faults& f) { f.wakeAtAttempt = 3; }), 2},
        {"never", faultsWhere([](Faults& f) { f.neverWake = true; }), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Radio radio(c.faults);
        if (c.silentAttempts < 0) {
            for (int attempt = 1; attempt <= 10; ++attempt) {
                Heard heard = radio.send(kWakeUpFrame);
                EXPECT_TRUE(heard.replies.empty()) << attempt;
                ASSERT_EQ(heard.frames.size(), 1u);
                EXPECT_EQ(heard.frames[0].kind, FrameKind::WakeUp);
            }
            EXPECT_TRUE(radio.answer({kIdentify}).empty());
            continue;
        }
        // The count starts again after a completed handshake and on a new line.
        for (int job = 0; job < 3; ++job) {
            if (job == 2) radio.conversation().restartLine();
            for (int attempt = 1; attempt <= c.silentAttempts; ++attempt)
                EXPECT_TRUE(radio.answer(kWakeUpFrame).empty()) << job << "/" << attempt;
            ASSERT_TRUE(radio.connect()) << "job " << job;
        }
        EXPECT_EQ(radio.conversation().sessions(), 3);
    }
}

TEST(RadioConversationTest, IdentificationFaults) {
    struct Case {
        int wrongByte;
        bool shortReply;
    } cases[] = {{-1, false}, {0, false}, {3, false}, {5, false}, {-1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "wrong byte " << c.wrongByte << " short " << c.shortReply);
        Radio radio(faultsWhere([&](Faults& f) {
            f.wrongIdentificationByte = c.wrongByte;
            f.shortIdentification = c.shortReply;
        }));
        ASSERT_EQ(radio.answer(kWakeUpFrame), Bytes{kAck});
        Bytes identification = radio.answer({kIdentify});
        ASSERT_EQ(identification.size(), c.shortReply ? 7u : 8u);
        std::size_t intact = c.wrongByte == 0 ? 1 : 0;
        std::uint8_t key = identification[intact] ^ model::kIdentification[intact];
        for (std::size_t n = 0; n < model::kIdentification.size(); ++n) {
            EXPECT_EQ((identification[n] ^ key) == model::kIdentification[n],
                      static_cast<int>(n) != c.wrongByte)
                << n;
        }
    }
}

TEST(RadioConversationTest, OnlyTheRightChallengeOpensASession) {
    struct Case {
        const char* name;
        bool refuse;
        std::size_t flippedByte;  // of the response; 6: none
        bool opens;
    } cases[] = {
        {"right", false, 6, true},
        {"last byte wrong", false, 5, false},
        {"first byte wrong", false, 0, false},
        {"refused even when right", true, 6, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Radio radio(faultsWhere([&](Faults& f) { f.refuseChallenge = c.refuse; }));
        std::uint8_t key = 0;
        ASSERT_TRUE(radio.identify(key));
        Bytes response = challengeFor(key);
        if (c.flippedByte < response.size()) response[c.flippedByte] ^= 0x01;
        Heard heard = radio.send(response);
        EXPECT_EQ(heard.replies, Bytes{static_cast<std::uint8_t>(c.opens ? kAck : kNak)});
        ASSERT_EQ(heard.frames.size(), 1u);
        EXPECT_EQ(heard.frames[0].kind, FrameKind::ChallengeResponse);
        EXPECT_EQ(heard.frames[0].bytes, response);
        EXPECT_EQ(radio.conversation().sessions(), c.opens ? 1 : 0);
        EXPECT_EQ(radio.answer({'r'}).empty(), !c.opens) << "commands need a handshake";
    }
}

TEST(RadioConversationTest, EveryWakeUpDrawsANewKey) {
    Radio radio;
    std::set<int> keys;
    for (int i = 0; i < 8; ++i) {
        std::uint8_t key = 0;
        ASSERT_TRUE(radio.identify(key));
        keys.insert(key);
    }
    EXPECT_GT(keys.size(), 1u) << "eight equal keys in a row would be a fixed key";
}

// Each block fault hits block 9 only; block 8 beside it behaves.
TEST(RadioConversationTest, AnswersCommandsAsItsFaultsSay) {
    const Image memory = patternedMemory();
    const Bytes data = pattern(50);
    auto readAnswer = [&](int address, std::size_t from) {
        return concat(readRequest(address), imageBytes(memory, from));
    };
    Bytes wrongAddress = readAnswer(0x0090, 0x0090);
    wrongAddress[2] ^= 0x10;
    Bytes testData = pattern(77);
    struct Case {
        const char* name;
        Faults faults;
        Bytes request;
        Bytes reply;
        int storedAt = -1;  // where the request stores 16 bytes; -1: memory unchanged
        Bytes stored = {};  // what it stores there
        int altered = 0;    // bytes of stored that the radio keeps altered
    } cases[] = {
        {"version", {}, {'r'}, {1, 2}},
        {"no version", faultsWhere([](Faults& f) { f.noVersion = true; }), {'r'}, {}},
        {"squelch", {}, {'S'}, {'H'}},
        {"silent squelch", faultsWhere([](Faults& f) { f.silentLiveTuning = true; }), {'S'}, {}},
        {"live set", {}, {'K', 0x08, 0xE0, 0x08, 1, 2, 3, 4, 5, 6, 7, 8}, {kAck}},
        {"silent live set",
         faultsWhere([](Faults& f) { f.silentLiveTuning = true; }),
         {'K', 0x08, 0xE0, 0x08, 1, 2, 3, 4, 5, 6, 7, 8},
         {}},
        {"test data", {}, concat({'t', 0x08, 0xE0, 0x10}, testData), {kAck}, 0x08E0, testData},
        {"test data unanswered",
         faultsWhere([](Faults& f) { f.noTestDataAck = true; }),
         concat({'t', 0x08, 0xE0, 0x10}, testData),
         {}},
        {"read", {}, readRequest(0x0050), readAnswer(0x0050, 0x0050)},
        {"short reply", faultsWhere([](Faults& f) { f.shortReplyAtBlock = 9; }),
         readRequest(0x0090), prefix(readAnswer(0x0090, 0x0090), 10)},
        {"short reply beside", faultsWhere([](Faults& f) { f.shortReplyAtBlock = 9; }),
         readRequest(0x0080), readAnswer(0x0080, 0x0080)},
        {"wrong address", faultsWhere([](Faults& f) { f.wrongAddressAtBlock = 9; }),
         readRequest(0x0090), wrongAddress},
        {"wrong address beside", faultsWhere([](Faults& f) { f.wrongAddressAtBlock = 9; }),
         readRequest(0x0080), readAnswer(0x0080, 0x0080)},
        // Reads wrap at the end of the image; writes outside it or between blocks are refused.
        {"read across the end", {}, readRequest(0x0FF8), readAnswer(0x0FF8, 0x0FF8)},
        {"read past the end", {}, readRequest(0x1000), readAnswer(0x1000, 0x0000)},
        {"read far past the end", {}, readRequest(0xFFF0), readAnswer(0xFFF0, 0x0FF0)},
        {"read between blocks", {}, readRequest(0x0008), readAnswer(0x0008, 0x0008)},
        {"write", {}, writeRequest(0x0200, data), {kAck}, 0x0200, data},
        {"write the last block", {}, writeRequest(0x0FF0, data), {kAck}, 0x0FF0, data},
        {"write past the end", {}, writeRequest(0x1000, data), {kNak}},
        {"write across the end", {}, writeRequest(0x0FF8, data), {kNak}},
        {"write between blocks", {}, writeRequest(0x0008, data), {kNak}},
        {"write far past the end", {}, writeRequest(0xFFF0, data), {kNak}},
        {"no ack",
         faultsWhere([](Faults& f) { f.noAckAtBlock = 9; }),
         writeRequest(0x0090, data),
         {}},
        {"no ack beside",
         faultsWhere([](Faults& f) { f.noAckAtBlock = 9; }),
         writeRequest(0x0080, data),
         {kAck},
         0x0080,
         data},
        {"wrong ack",
         faultsWhere([](Faults& f) { f.wrongAckAtBlock = 9; }),
         writeRequest(0x0090, data),
         {kNak}},
        {"corrupt block",
         faultsWhere([](Faults& f) { f.corruptStoredBlock = 9; }),
         writeRequest(0x0090, data),
         {kAck},
         0x0090,
         data,
         1},
        {"corrupt block beside",
         faultsWhere([](Faults& f) { f.corruptStoredBlock = 9; }),
         writeRequest(0x0080, data),
         {kAck},
         0x0080,
         data},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Radio radio(c.faults);
        ASSERT_TRUE(radio.connect());
        Heard heard = radio.send(c.request);
        EXPECT_EQ(heard.replies, c.reply);
        ASSERT_EQ(heard.frames.size(), 1u);
        EXPECT_EQ(heard.frames[0].kind, FrameKind::Command);
        EXPECT_EQ(heard.frames[0].bytes, c.request);

        Image expected = memory;
        const Image& after = radio.conversation().memory();
        if (c.storedAt >= 0) {
            Bytes stored = imageBytes(after, static_cast<std::size_t>(c.storedAt));
            int differing = 0;
            for (std::size_t i = 0; i < stored.size(); ++i)
                differing += stored[i] != c.stored[i];
            EXPECT_EQ(differing, c.altered);
            std::copy(stored.begin(), stored.end(), expected.begin() + c.storedAt);
        }
        EXPECT_EQ(after, expected) << "only the block written may change";
        EXPECT_EQ(radio.answer({'S'}).size(), c.faults.silentLiveTuning ? 0u : 1u)
            << "still talking after the fault";
    }
}

// Noise costs only itself: the frame after it is answered, nothing else is.
TEST(RadioConversationTest, NoiseIsIgnored) {
    Radio radio;
    EXPECT_TRUE(radio.send({0x00, 0xFF, 'R', 'w', 0x06, 0x02, 'P', 'R', 'O', 0x13, 'r', 'S', 'X'})
                    .frames.empty())
        << "asleep, only PROGRAM counts";
    ASSERT_TRUE(radio.connect());
    const Bytes noises[] = {
        {0x00, 'x', 0xFF},
        {'R', 0x00, 0x50, 0x11},  // a read with a wrong length byte
        {'P', 'R', 'Q', 0xFF},    // not quite PROGRAM
        {'t', 0x08, 0xE1},        // test data with a wrong address
        {'K', 0x09},
        {'P', 'R', 'O', 'G', 'R', 'A', 'X'},
        // Unfinished frames: the read's length byte ends them.
        {'w', 0x01},
        {'R'},
    };
    for (const Bytes& noise : noises) {
        SCOPED_TRACE(::testing::PrintToString(noise));
        Heard heard = radio.send(concat(noise, readRequest(0x0070)));
        EXPECT_EQ(heard.replies,
                  concat(readRequest(0x0070), imageBytes(patternedMemory(), 0x0070)));
        ASSERT_EQ(heard.frames.size(), 1u);
        EXPECT_EQ(heard.frames[0].bytes, readRequest(0x0070));
    }
    EXPECT_EQ(radio.answer({0x13, 0x11, 'S'}), Bytes{'H'});
    EXPECT_EQ(radio.conversation().memory(), patternedMemory());
}

// A program that gave up half-way leaves the radio inside a frame or a handshake step;
// the next "PROGRAM" must still wake it at the first attempt, with nothing else answered.
TEST(RadioConversationTest, AWakeUpInterruptsWhateverWasGoingOn) {
    enum class Stage { Asleep, Identified, Connected };
    const Bytes unfinishedWrite = writeRequest(0x0100, pattern(1));
    struct Case {
        const char* name;
        Stage stage;
        Bytes before;  // sent ahead of the wake-up
        Bytes reply;   // to both
    } cases[] = {
        {"unfinished write", Stage::Connected, prefix(unfinishedWrite, 13), {kAck}},
        {"unfinished read", Stage::Connected, {'R', 0x00}, {kAck}},
        {"unfinished live set", Stage::Connected, {'K', 0x08, 0xE0, 0x08, 1}, {kAck}},
        {"woken, never identified", Stage::Asleep, kWakeUpFrame, {kAck, kAck}},
        {"challenge not yet answered", Stage::Identified, {}, {kAck}},
        // The radio cannot tell "PROGR" from the rest of the response: it refuses it, then
        // wakes.
        {"half a response", Stage::Identified, {0x11, 0x22}, {kNak, kAck}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Radio radio;
        std::uint8_t key = 0;
        if (c.stage == Stage::Identified) {
            ASSERT_TRUE(radio.identify(key));
        } else if (c.stage == Stage::Connected) {
            ASSERT_TRUE(radio.connect());
        }
        Heard heard = radio.send(concat(c.before, kWakeUpFrame));
        EXPECT_EQ(heard.replies, c.reply);
        ASSERT_FALSE(heard.frames.empty());
        EXPECT_EQ(heard.frames.back().kind, FrameKind::WakeUp);
        EXPECT_TRUE(std::none_of(heard.frames.begin(), heard.frames.end(), [](const Frame& f) {
            return f.kind == FrameKind::Command;
        })) << "an unfinished frame is not a frame";
        EXPECT_TRUE(radio.connect());
    }
}

TEST(RadioConversationTest, HangsUpAtTheGivenBlockAndHearsNothingUntilANewLine) {
    for (bool write : {false, true}) {
        SCOPED_TRACE(write ? "write" : "read");
        Radio radio(faultsWhere([](Faults& f) { f.hangUpAtBlock = 4; }));
        ASSERT_TRUE(radio.connect());
        auto request = [&](int address) {
            return write ? writeRequest(address, pattern(3)) : readRequest(address);
        };
        EXPECT_EQ(radio.answer(request(0x0030)).size(), write ? 1u : 20u);
        Heard heard = radio.send(concat(request(0x0040), kWakeUpFrame));
        EXPECT_TRUE(heard.hungUp);
        EXPECT_TRUE(heard.replies.empty());
        ASSERT_EQ(heard.frames.size(), 1u) << "the line is dead after the hang-up";
        EXPECT_EQ(heard.frames[0].bytes, request(0x0040));
        EXPECT_TRUE(radio.send(kWakeUpFrame).frames.empty());

        radio.conversation().restartLine();
        EXPECT_TRUE(radio.connect());
        EXPECT_EQ(radio.conversation().sessions(), 2);
        EXPECT_EQ(imageBytes(radio.conversation().memory(), 0x0040),
                  imageBytes(patternedMemory(), 0x0040))
            << "the block that hung up is not stored";
    }
}

}  // namespace
}  // namespace pl3::sim
