#pragma once
// A PL-3 radio on a pseudo-terminal: it answers every frame of the programming
// protocol, logs what it receives, and can be told to misbehave in the ways a real
// radio or cable does. Used by the pl3-radio-sim program and directly by the tests.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "codeplug/image_layout.h"
#include "codeplug/radio_tuning.h"
#include "codeplug/wire_constants.h"
#include "sim/radio_conversation.h"

namespace pl3::sim {

struct Options {
    Faults faults;
    bool pace = false;     // every byte takes its wire time at 38400 baud 8N1 (10 bits)
    int usbLatencyMs = 0;  // hold each reply back like a USB adapter's latency timer
    std::uint8_t squelchAnswer = wire::kSquelchOpenReply;  // reply to the squelch query "S"
    std::array<std::uint8_t, 2> version = {1, 2};
    // The radio's own tuning values: its memory starts with them at 0x08E0, whatever
    // image it is given, so a program can tell them from a file's.
    std::optional<TuningBlock> tuning;
    // Told every frame as it is logged, on the simulator's thread, before the radio
    // answers it; keep it short. The program writes its --log file from here.
    std::function<void(const Frame&)> onFrame;
};

// The radio itself is a RadioConversation; this class carries it over a pseudo-terminal,
// at the wire's pace when asked, and logs the frames it receives.
class RadioSimulator {
  public:
    // Memory starts as the given image (the factory defaults when none is given), with the
    // options' tuning values when they have any.
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
