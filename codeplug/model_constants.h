#pragma once
// Constants of the PL-3 radio model used by the handshake, the factory defaults
// (image 0x0000-0x0005) and the simulator.

#include <array>
#include <cstdint>

namespace pl3::model {

// "PL-3" followed by the two fixed bytes of the model.
inline constexpr std::array<std::uint8_t, 6> kIdentification = {0x50, 0x4C, 0x2D, 0x33, 0xA5, 0x01};

// The word the radio expects back, each byte XOR the session's key byte.
inline constexpr std::array<std::uint8_t, 6> kResponseWord = {0x4D, 0x31, 0xC7, 0x0E, 0x92, 0x5B};

}  // namespace pl3::model
