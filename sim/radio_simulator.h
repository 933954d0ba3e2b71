#pragma once
// A PL-3 radio on a pseudo-terminal: it answers every frame of the programming
// protocol, logs what it receives, and can be told to misbehave in the ways a real
// radio or cable does. Used by the pl3-radio-sim program and directly by the tests.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
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

struct Options {
    Faults faults;
    bool pace = false;                 // every byte takes its wire time at 38400 baud 8N1 (10 bits)
    int usbLatencyMs = 0;              // hold each reply back like a USB adapter's latency timer
    std::uint8_t squelchAnswer = 'H';  // reply to the squelch query "S"
    std::array<std::uint8_t, 2> version = {1, 2};
    // Told every frame as it is logged, on the simulator's thread, before the radio
    // answers it; keep it short. The program writes its --log file from here.
    std::function<void(const Frame&)> onFrame;
};

// Frames and what happens to odd requests:
// - "PROGRAM" is recognised anywhere in the byte stream, even inside an unfinished frame
//   (which is then dropped), because a program may have given up in the middle of one.
// - Bytes that start no frame in the current state are ignored and not logged.
// - A block read outside the image or not on a 16-byte boundary echoes the address asked
//   for and reads the 16 bytes from there with the address wrapping at 4096 (a 12-bit
//   address counter); it never reads outside the image.
// - A block write outside 0 ... 0x0FF0 or not on a 16-byte boundary is refused with 0x15
//   and stores nothing.
class RadioSimulator {
  public:
    // Memory starts as the given image (the factory defaults when none is given).
    explicit RadioSimulator(Options options, std::optional<Image> memory = std::nullopt);
    ~RadioSimulator();
    RadioSimulator(const RadioSimulator&) = delete;
    RadioSimulator& operator=(const RadioSimulator&) = delete;

    // Creates the pseudo-terminal and starts answering on a thread of its own. A running
    // simulator is stopped first, so start() after a hang-up gives a new device (and a new
    // path). Clears frames(); memory and sessions() carry over.
    bool start();
    void stop();
    // The device path a program opens to talk to the radio (/dev/pts/N).
    const std::string& devicePath() const;

    Image memory() const;
    void setMemory(const Image& image);
    // Every frame received since start (or the last clear), in order.
    std::vector<Frame> frames() const;
    void clearFrames();
    // How often a handshake completed.
    int sessions() const;
    void setSquelchAnswer(std::uint8_t answer);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The image a new radio holds: the factory defaults of the program's new codeplug.
Image factoryMemory();

}  // namespace pl3::sim
