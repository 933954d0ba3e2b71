#pragma once
// The auto-tuning dialog's data: the thirteen items a technician adjusts live on the
// radio, the band code, the 8-byte live-tuning record and the frames that carry it.

#include <array>
#include <cstdint>
#include <string_view>

#include "codeplug/document.h"
#include "codeplug/wire_constants.h"
#include "service/tuning_values.h"

namespace pl3::service {

struct AutoTuningItem {
    int index;  // byte index in the test-data block, which is also the list position
    ValueLimits range;
    std::uint8_t pointCode;  // the band point the radio tunes
};

// Squelch 3 at three points, high power and low power at five; battery and VOX are not
// offered.
inline constexpr std::array<AutoTuningItem, 13> kAutoTuningItems = {{
    {0, kSquelchLimits, 0},
    {1, kSquelchLimits, 2},
    {2, kSquelchLimits, 4},
    {3, kByteLimits, 0},
    {4, kByteLimits, 1},
    {5, kByteLimits, 2},
    {6, kByteLimits, 3},
    {7, kByteLimits, 4},
    {8, kByteLimits, 0},
    {9, kByteLimits, 1},
    {10, kByteLimits, 2},
    {11, kByteLimits, 3},
    {12, kByteLimits, 4},
}};
inline constexpr int kAutoTuningItemCount = static_cast<int>(kAutoTuningItems.size());

bool isSquelchItem(int n);
// An item's value from the document (a squelch byte above 127 reads as 127), and storing
// one: the live value is kept in the image.
int itemValue(const CMaItemDoc& doc, int n);
void storeItemValue(CMaItemDoc& doc, int n, int value);

// 0 when both frequency limits (10 Hz units) lie within 136 ... 174 MHz, 1 within
// 400 ... 470 MHz, else 2.
std::uint8_t bandCode(std::int32_t lower, std::int32_t upper);

enum class LiveAction : std::uint8_t { Discard = 0, Set = 1, Keep = 2 };

// Action, band code, point code, item, value, then three 0xFF.
using LiveRecord = std::array<std::uint8_t, wire::kLiveSetRecordSize>;
inline constexpr LiveRecord kBlankRecord = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
namespace live_record {
inline constexpr std::size_t kAction = 0;
inline constexpr std::size_t kBand = 1;
inline constexpr std::size_t kPoint = 2;
inline constexpr std::size_t kItem = 3;
inline constexpr std::size_t kValue = 4;
}  // namespace live_record

// "K", 0x08, 0xE0, 0x08, then the record.
using LiveSetFrame = std::array<std::uint8_t, wire::kBlockHeaderSize + wire::kLiveSetRecordSize>;
LiveSetFrame liveSetFrame(const LiveRecord& record);

// "IDS_ON" for an open squelch, "IDS_OFF" otherwise (also when the radio said nothing).
std::string_view squelchTextKey(bool open);

}  // namespace pl3::service
