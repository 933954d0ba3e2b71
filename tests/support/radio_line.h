#pragma once
// The program's end of a simulated radio's pseudo-terminal, for tests that talk to the
// radio byte by byte.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "radio_frames.h"

namespace pl3::test {

// Generous: the suite runs under sanitizers on a loaded two-core machine.
inline constexpr int kReplyTimeoutMs = 5000;
// How long "no answer" is watched for. Too short can only let a wrong answer slip by
// unseen, never fail a right one.
inline constexpr int kSilenceMs = 300;

// The program's end of the cable: the pseudo-terminal's slave, raw unless asked not to
// be, every read bounded by poll() and a deadline.
class Line {
  public:
    explicit Line(const std::string& path, bool raw = true);
    ~Line() { close(); }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    void close();

    void send(const Bytes& bytes);
    // One byte at a time, about 1 ms apart, as the program sends the challenge response.
    void sendSlowly(const Bytes& bytes);

    // Up to count bytes: fewer when the time runs out or the line hangs up.
    Bytes receive(std::size_t count, int timeoutMs = kReplyTimeoutMs);
    // Exactly these bytes, and nothing after them for a while.
    ::testing::AssertionResult answers(const Bytes& expected);
    ::testing::AssertionResult staysSilent() { return answers({}); }
    // True once the radio's end is gone: poll reports a hang-up or read fails with EIO.
    bool hangsUp();

  private:
    int fd_ = -1;
    bool hungUp_ = false;
};

// Wakes the radio and reads its identification; the key comes from the first byte.
::testing::AssertionResult wakeAndIdentify(Line& line, std::uint8_t& key);
// The whole handshake as the program does it.
::testing::AssertionResult connect(Line& line);

}  // namespace pl3::test
