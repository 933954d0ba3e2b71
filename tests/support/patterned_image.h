#pragma once
// An image whose bytes differ from their neighbours and from the erased state, so a
// transfer or copy that drops, shifts or repeats a block shows.

#include <cstdint>

#include "codeplug/image_layout.h"

namespace pl3::test {

// Byte i holds i * step + start (modulo 256).
Image patternedImage(std::uint8_t step, std::uint8_t start);

}  // namespace pl3::test
