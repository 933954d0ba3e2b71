#include "sim/radio_conversation.h"

#include <algorithm>
#include <deque>

#include "codeplug/model_constants.h"
#include "codeplug/wire_constants.h"

namespace pl3::sim {

namespace {

using wire::kAck;
using wire::kWakeUp;

constexpr std::size_t kChallengeSize = model::kResponseWord.size();
constexpr std::size_t kShortReplySize = 10;
constexpr std::size_t kLastBlockAddress = kImageSize - wire::kBlockSize;

// Command frames: the first byte fixes the length; header bytes that must have a fixed
// value are checked as they arrive so that a stray command letter costs only itself.
struct CommandShape {
    std::uint8_t code;
    std::size_t length;
    std::array<int, 3> fixed;  // bytes 1 ... 3; -1 = any value
};

constexpr int kTestDataHigh = wire::addressHigh(wire::kTestDataAddress);
constexpr int kTestDataLow = wire::addressLow(wire::kTestDataAddress);
constexpr int kBlockLength = static_cast<int>(wire::kBlockSize);

constexpr std::array<CommandShape, 6> kCommands = {{
    {wire::kVersionRequest, 1, {-1, -1, -1}},
    {wire::kSquelchQuery, 1, {-1, -1, -1}},
    {wire::kBlockRead, wire::kBlockHeaderSize, {-1, -1, kBlockLength}},
    {wire::kBlockWrite, wire::kBlockFrameSize, {-1, -1, kBlockLength}},
    {wire::kTestDataWrite, wire::kBlockFrameSize, {kTestDataHigh, kTestDataLow, kBlockLength}},
    {wire::kLiveSet,
     wire::kBlockHeaderSize + wire::kLiveSetRecordSize,
     {kTestDataHigh, kTestDataLow, static_cast<int>(wire::kLiveSetRecordSize)}},
}};

const CommandShape* commandShape(std::uint8_t code) {
    for (const CommandShape& shape : kCommands) {
        if (shape.code == code) return &shape;
    }
    return nullptr;
}

}  // namespace

RadioConversation::RadioConversation(const Faults& faults, std::array<std::uint8_t, 2> version,
                                     std::uint8_t squelchAnswer, const Image& memory,
                                     std::uint32_t keySeed)
    : faults_(faults),
      version_(version),
      squelchAnswer_(squelchAnswer),
      memory_(memory),
      random_(keySeed) {}

void RadioConversation::restartLine() {
    state_ = State::Asleep;
    partial_.clear();
    wakeMatched_ = 0;
    attempts_ = 0;
}

std::vector<Event> RadioConversation::receive(std::span<const std::uint8_t> bytes) {
    std::vector<Event> all;
    for (std::uint8_t byte : bytes) {
        std::vector<Event> events = receive(byte);
        all.insert(all.end(), std::make_move_iterator(events.begin()),
                   std::make_move_iterator(events.end()));
    }
    return all;
}

std::vector<Event> RadioConversation::receive(std::uint8_t byte) {
    events_.clear();
    if (state_ == State::LineDead) return {};
    // "PROGRAM" has no repeated prefix, so a mismatch can only restart the match at 'P'.
    if (byte == kWakeUp[wakeMatched_]) {
        ++wakeMatched_;
    } else {
        wakeMatched_ = byte == kWakeUp[0] ? 1 : 0;
    }
    if (wakeMatched_ == kWakeUp.size()) {
        wakeMatched_ = 0;
        onWakeWord();
        return std::move(events_);
    }
    std::deque<std::uint8_t> pending{byte};
    while (!pending.empty() && state_ != State::LineDead) {
        std::uint8_t next = pending.front();
        pending.pop_front();
        step(next, pending);
    }
    return std::move(events_);
}

// Feeds one byte to the frame assembler. Bytes of a frame that turned out to be noise go
// back to the front of pending, minus its first byte, to be looked at again.
void RadioConversation::step(std::uint8_t byte, std::deque<std::uint8_t>& pending) {
    auto resynchronise = [&](std::uint8_t last) {
        pending.push_front(last);
        pending.insert(pending.begin(), partial_.begin() + 1, partial_.end());
        partial_.clear();
    };

    if (state_ == State::Asleep) return;  // only "PROGRAM" matters, and receive() sees that

    if (state_ == State::AwaitChallenge) {
        // The response is arbitrary bytes, so nothing can be told from its first byte.
        // Only "PROGRA" is held back: its seventh byte decides whether it was a wake-up.
        if (partial_.size() == kChallengeSize) {
            pending.push_front(byte);
            onChallenge();
            return;
        }
        partial_.push_back(byte);
        if (partial_.size() == kChallengeSize &&
            !std::equal(partial_.begin(), partial_.end(), kWakeUp.begin())) {
            onChallenge();
        }
        return;
    }

    // A 'P' may begin "PROGRAM": hold it and what follows until the word is complete
    // (receive() acts then) or broken.
    if (!partial_.empty() && partial_.front() == kWakeUp[0]) {
        if (byte == kWakeUp[partial_.size()]) {
            partial_.push_back(byte);
        } else {
            resynchronise(byte);
        }
        return;
    }
    if (partial_.empty() && byte == kWakeUp[0]) {
        partial_.push_back(byte);
        return;
    }

    if (state_ == State::AwaitIdentify) {
        if (byte == wire::kIdentify) identify();
        return;
    }

    // State::Commands
    if (partial_.empty() && commandShape(byte) == nullptr) return;
    const CommandShape& shape = *commandShape(partial_.empty() ? byte : partial_.front());
    std::size_t position = partial_.size();
    if (position >= 1 && position <= shape.fixed.size() && shape.fixed[position - 1] >= 0 &&
        byte != shape.fixed[position - 1]) {
        resynchronise(byte);
        return;
    }
    partial_.push_back(byte);
    if (partial_.size() == shape.length) onCommand();
}

void RadioConversation::identify() {
    received(FrameKind::Identify, {wire::kIdentify});
    key_ = static_cast<std::uint8_t>(random_() & 0xFF);
    std::vector<std::uint8_t> identification(wire::kIdentificationSize);
    for (std::size_t n = 0; n < identification.size(); ++n) {
        identification[n] = n < model::kIdentification.size()
                                ? static_cast<std::uint8_t>(model::kIdentification[n] ^ key_)
                                : static_cast<std::uint8_t>(random_() & 0xFF);
    }
    if (faults_.wrongIdentificationByte >= 0 &&
        faults_.wrongIdentificationByte < static_cast<int>(identification.size())) {
        identification[static_cast<std::size_t>(faults_.wrongIdentificationByte)] ^= 0xFF;
    }
    if (faults_.shortIdentification) identification.pop_back();
    state_ = State::AwaitChallenge;
    reply(std::move(identification));
}

void RadioConversation::onWakeWord() {
    partial_.clear();  // an unfinished frame from an abandoned conversation
    received(FrameKind::WakeUp, {kWakeUp.begin(), kWakeUp.end()});
    ++attempts_;
    if (faults_.neverWake || attempts_ < faults_.wakeAtAttempt) {
        state_ = State::Asleep;
        return;
    }
    state_ = State::AwaitIdentify;
    reply({kAck});
}

void RadioConversation::onChallenge() {
    std::vector<std::uint8_t> response(partial_.begin(), partial_.begin() + kChallengeSize);
    partial_.clear();
    bool right = true;
    for (std::size_t n = 0; n < kChallengeSize; ++n) {
        right = right && response[n] == (model::kResponseWord[n] ^ key_);
    }
    received(FrameKind::ChallengeResponse, std::move(response));
    if (!right || faults_.refuseChallenge) {
        state_ = State::Asleep;
        reply({kRefused});
        return;
    }
    ++sessions_;
    attempts_ = 0;
    state_ = State::Commands;
    reply({kAck});
}

void RadioConversation::onCommand() {
    std::vector<std::uint8_t> frame;
    frame.swap(partial_);
    const std::uint8_t command = frame.front();
    const bool hasAddress = frame.size() > 2;
    std::size_t address = hasAddress ? (std::size_t{frame[1]} << 8) | frame[2] : 0;
    int block = address % wire::kBlockSize == 0 && address <= kLastBlockAddress
                    ? static_cast<int>(address / wire::kBlockSize)
                    : -1;
    std::vector<std::uint8_t> data(frame.begin() + std::min(frame.size(), wire::kBlockHeaderSize),
                                   frame.end());
    received(FrameKind::Command, std::move(frame));
    switch (command) {
        case wire::kVersionRequest:
            if (!faults_.noVersion) reply({version_.begin(), version_.end()});
            break;
        case wire::kSquelchQuery:
            if (!faults_.silentLiveTuning) reply({squelchAnswer_});
            break;
        case wire::kBlockRead:
            readBlock(address, block);
            break;
        case wire::kBlockWrite:
            writeBlock(address, block, data.data());
            break;
        case wire::kTestDataWrite:
            storeTestData(data.data());
            break;
        case wire::kLiveSet:
            // Live tuning changes the radio's behaviour, not its memory: the log is all.
            if (!faults_.silentLiveTuning) reply({kAck});
            break;
        default:
            break;
    }
}

void RadioConversation::readBlock(std::size_t address, int block) {
    if (block >= 0 && block == faults_.hangUpAtBlock) {
        hangUp();
        return;
    }
    std::vector<std::uint8_t> answer = {wire::kBlockRead, wire::addressHigh(address),
                                        wire::addressLow(address), wire::kBlockSize};
    for (std::size_t i = 0; i < wire::kBlockSize; ++i) {
        answer.push_back(memory_[(address + i) % kImageSize]);
    }
    if (block >= 0 && block == faults_.wrongAddressAtBlock) answer[2] ^= 0x10;
    if (block >= 0 && block == faults_.noisyReplyAtBlock) {
        for (std::size_t i = wire::kBlockHeaderSize; i < answer.size(); ++i)
            answer[i] = static_cast<std::uint8_t>(random_());
    }
    if (block >= 0 && block == faults_.shortReplyAtBlock) answer.resize(kShortReplySize);
    reply(std::move(answer));
}

void RadioConversation::writeBlock(std::size_t address, int block, const std::uint8_t* data) {
    if (block < 0) {
        reply({kRefused});
        return;
    }
    if (block == faults_.hangUpAtBlock) {
        hangUp();
        return;
    }
    if (block == faults_.noAckAtBlock) return;
    if (block == faults_.wrongAckAtBlock) {
        reply({kRefused});
        return;
    }
    std::copy_n(data, wire::kBlockSize, memory_.begin() + address);
    if (block == faults_.corruptStoredBlock) memory_[address + wire::kBlockSize - 1] ^= 0xFF;
    reply({kAck});
}

void RadioConversation::storeTestData(const std::uint8_t* data) {
    if (faults_.noTestDataAck) return;
    std::copy_n(data, wire::kBlockSize, memory_.begin() + wire::kTestDataAddress);
    reply({kAck});
}

void RadioConversation::received(FrameKind kind, std::vector<std::uint8_t> bytes) {
    events_.push_back({Event::Type::Received, {kind, std::move(bytes)}});
}

void RadioConversation::reply(std::vector<std::uint8_t> bytes) {
    events_.push_back({Event::Type::Reply, {FrameKind::Command, std::move(bytes)}});
}

void RadioConversation::hangUp() {
    state_ = State::LineDead;
    partial_.clear();
    events_.push_back({Event::Type::HangUp, {}});
}

}  // namespace pl3::sim
