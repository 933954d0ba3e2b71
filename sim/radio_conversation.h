#pragma once
// The simulated radio's side of the programming protocol, bytes in and events out: it
// assembles frames, answers them from its memory and misbehaves as its faults say. It
// knows no line, thread or clock; RadioSimulator carries its replies over a
// pseudo-terminal.

#include <array>
#include <cstdint>
#include <deque>
#include <random>
#include <span>
#include <vector>

#include "codeplug/image_layout.h"

namespace pl3::sim {

// Faults to inject; block numbers are block addresses / 16 (0 ... 255), -1 = never.
// Block faults apply to "R" and "w" frames whose address is exactly 16 * block, every
// time that block is asked for.
struct Faults {
    bool neverWake = false;
    // Acknowledge "PROGRAM" only from this attempt on. Attempts count from 1 and start
    // again after every completed handshake (and at start()), so each job of a program
    // meets the same fault; a handshake that fails does not restart the count.
    int wakeAtAttempt = 1;
    int wrongIdentificationByte = -1;  // flip this byte (0 ... 7) of the identification reply
    bool shortIdentification = false;  // send 7 bytes instead of 8
    bool refuseChallenge = false;      // answer the response with 0x15 instead of 0x06
    bool noVersion = false;            // ignore "r"
    int shortReplyAtBlock = -1;        // block read: send only 10 of the 20 bytes
    int wrongAddressAtBlock = -1;      // block read: echo another address
    int noisyReplyAtBlock = -1;        // block read: the right header, 16 random data bytes
    int noAckAtBlock = -1;             // block write: send no acknowledgement, store nothing
    int wrongAckAtBlock = -1;          // block write: answer 0x15, store nothing
    // Close the line when this block's request (read or write) arrives: the device is gone
    // until start() runs again.
    int hangUpAtBlock = -1;
    int corruptStoredBlock = -1;    // block write: acknowledge but store one byte altered
    bool noTestDataAck = false;     // "t": send no acknowledgement, store nothing
    bool silentLiveTuning = false;  // "K" and "S": answer nothing
    int extraDelayMs = 0;           // before every reply
};

// What a received frame was to the radio. The challenge response is arbitrary bytes, so
// its first byte may well be a command letter: only the kind tells them apart.
enum class FrameKind { WakeUp, Identify, ChallengeResponse, Command };

// One complete frame as the radio received it.
struct Frame {
    FrameKind kind;
    std::vector<std::uint8_t> bytes;
};

// Something the radio does in answer to what it received, in the order it does it.
struct Event {
    enum class Type {
        Received,  // a frame is complete (logged before it is answered)
        Reply,     // these bytes go back on the line
        HangUp,    // the line goes dead; the radio hears nothing until restartLine()
    };
    Type type;
    Frame frame;  // Received: the frame; Reply: the bytes to send, kind unused
};

inline constexpr std::uint8_t kRefused = 0x15;  // any byte but the acknowledgement refuses

// Frames and what happens to odd requests:
// - "PROGRAM" is recognised anywhere in the byte stream, even inside an unfinished frame
//   (which is then dropped), because a program may have given up in the middle of one.
// - Bytes that start no frame in the current state are ignored and not logged.
// - A block read outside the image or not on a 16-byte boundary echoes the address asked
//   for and reads the 16 bytes from there with the address wrapping at 4096 (a 12-bit
//   address counter); it never reads outside the image.
// - A block write outside 0 ... 0x0FF0 or not on a 16-byte boundary is refused with 0x15
//   and stores nothing.
class RadioConversation {
  public:
    // keySeed draws the session keys and the identification's unchecked bytes.
    RadioConversation(const Faults& faults, std::array<std::uint8_t, 2> version,
                      std::uint8_t squelchAnswer, const Image& memory, std::uint32_t keySeed);

    std::vector<Event> receive(std::uint8_t byte);
    std::vector<Event> receive(std::span<const std::uint8_t> bytes);

    // A new line: asleep, no frame begun, wake attempts counted from 1 again. Memory and
    // sessions carry over.
    void restartLine();

    const Image& memory() const { return memory_; }
    void setMemory(const Image& image) { memory_ = image; }
    // How often a handshake completed.
    int sessions() const { return sessions_; }
    void setSquelchAnswer(std::uint8_t answer) { squelchAnswer_ = answer; }

  private:
    enum class State { Asleep, AwaitIdentify, AwaitChallenge, Commands, LineDead };

    void step(std::uint8_t byte, std::deque<std::uint8_t>& pending);
    void identify();
    void onWakeWord();
    void onChallenge();
    void onCommand();
    void readBlock(std::size_t address, int block);
    void writeBlock(std::size_t address, int block, const std::uint8_t* data);
    void storeTestData(const std::uint8_t* data);
    void received(FrameKind kind, std::vector<std::uint8_t> bytes);
    void reply(std::vector<std::uint8_t> bytes);
    void hangUp();

    const Faults faults_;
    const std::array<std::uint8_t, 2> version_;
    std::uint8_t squelchAnswer_;
    Image memory_;
    int sessions_ = 0;
    std::mt19937 random_;

    State state_ = State::Asleep;
    std::vector<std::uint8_t> partial_;  // the frame being assembled
    std::size_t wakeMatched_ = 0;        // bytes of "PROGRAM" just received
    int attempts_ = 0;
    std::uint8_t key_ = 0;
    std::vector<Event> events_;  // of the byte being received
};

}  // namespace pl3::sim
