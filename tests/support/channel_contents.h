#pragma once
// Everything of one channel as the image holds it (record, name slot, scan-list bit), and
// a reset channel's contents: what the tests of adding, deleting, clearing and moving
// channels compare.

#include <cstdint>
#include <vector>

#include "codeplug/image_layout.h"

namespace pl3::test {

inline std::vector<std::uint8_t> channelRecord(const Image& image, int n) {
    auto at = image.begin() + static_cast<std::ptrdiff_t>(layout::record(n));
    return {at, at + static_cast<std::ptrdiff_t>(layout::kRecordSize)};
}

inline std::vector<std::uint8_t> channelNameSlot(const Image& image, int n) {
    auto at = image.begin() + static_cast<std::ptrdiff_t>(layout::nameSlot(n));
    return {at, at + static_cast<std::ptrdiff_t>(layout::kNameSlotSize)};
}

inline bool channelScanBit(const Image& image, int n) {
    const std::size_t k = static_cast<std::size_t>(n - 1);
    return (image[layout::kScanList + k / 8] >> (k % 8)) & 1;
}

// A new channel in place of channel n of image: frequencies, tones and name erased, flags
// 0xBF, shift byte 0x3F; the bytes nobody interprets (record bytes 14-15, the name slot's
// last two) keep what image had there.
inline std::vector<std::uint8_t> resetRecord(const Image& image, int n) {
    std::vector<std::uint8_t> reset(12, 0xFF);
    reset.insert(reset.end(),
                 {0xBF, 0x3F, image[layout::record(n) + 14], image[layout::record(n) + 15]});
    return reset;
}

inline std::vector<std::uint8_t> resetNameSlot(const Image& image, int n) {
    std::vector<std::uint8_t> name(6, 0xFF);
    name.insert(name.end(), {image[layout::nameSlot(n) + 6], image[layout::nameSlot(n) + 7]});
    return name;
}

}  // namespace pl3::test
