#pragma once
// The frames of the programming protocol as bytes on the wire. The program's side of the
// conversation and the simulated radio both build and recognise frames from these, so
// the two cannot drift apart.

#include <array>
#include <cstddef>
#include <cstdint>

#include "codeplug/image_layout.h"

namespace pl3::wire {

inline constexpr int kBaud = 38400;  // 8N1: ten bits on the wire for every byte
inline constexpr int kBitsPerByte = 10;

// "PROGRAM", with no terminator.
inline constexpr std::array<std::uint8_t, 7> kWakeUp = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};
inline constexpr std::uint8_t kAck = 0x06;

inline constexpr std::uint8_t kIdentify = 0x02;
inline constexpr std::size_t kIdentificationSize = 8;

inline constexpr std::uint8_t kVersionRequest = 'r';
inline constexpr std::size_t kVersionReplySize = 2;

// Block frames: command, address high, address low, length, then the data.
inline constexpr std::uint8_t kBlockRead = 'R';
inline constexpr std::uint8_t kBlockWrite = 'w';
inline constexpr std::uint8_t kTestDataWrite = 't';
inline constexpr std::size_t kBlockSize = 16;
inline constexpr std::size_t kBlockHeaderSize = 4;
inline constexpr std::size_t kBlockFrameSize = kBlockHeaderSize + kBlockSize;
inline constexpr std::size_t kTestDataAddress = layout::kTestData;

// Live tuning of the service mode: "K", the test-data address, the record length, then
// the record; and the squelch query "S", answered 'H' when the squelch is open.
inline constexpr std::uint8_t kLiveSet = 'K';
inline constexpr std::size_t kLiveSetRecordSize = 8;
inline constexpr std::uint8_t kSquelchQuery = 'S';
inline constexpr std::uint8_t kSquelchOpenReply = 'H';

constexpr std::uint8_t addressHigh(std::size_t address) {
    return static_cast<std::uint8_t>(address >> 8);
}
constexpr std::uint8_t addressLow(std::size_t address) {
    return static_cast<std::uint8_t>(address & 0xFF);
}

}  // namespace pl3::wire
