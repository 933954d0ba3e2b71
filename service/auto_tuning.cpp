#include "service/auto_tuning.h"

#include <algorithm>

#include "codeplug/text_keys.h"

namespace pl3::service {

namespace {

constexpr std::int32_t kMHz = 100'000;  // in 10 Hz units

struct Band {
    std::int32_t lower;
    std::int32_t upper;
};
constexpr Band kVhf{136 * kMHz, 174 * kMHz};
constexpr Band kUhf{400 * kMHz, 470 * kMHz};
constexpr std::uint8_t kVhfCode = 0;
constexpr std::uint8_t kUhfCode = 1;
constexpr std::uint8_t kOtherBandCode = 2;

bool within(std::int32_t frequency, Band band) {
    return frequency >= band.lower && frequency <= band.upper;
}

}  // namespace

bool isSquelchItem(int n) {
    return n >= 0 && n < 3;
}

int itemValue(const CMaItemDoc& doc, int n) {
    return boxValue(doc, kTuningBoxes[static_cast<std::size_t>(n)]);
}

void storeItemValue(CMaItemDoc& doc, int n, int value) {
    storeBoxValue(doc, kTuningBoxes[static_cast<std::size_t>(n)], value);
}

std::uint8_t bandCode(std::int32_t lower, std::int32_t upper) {
    if (within(lower, kVhf) && within(upper, kVhf)) return kVhfCode;
    if (within(lower, kUhf) && within(upper, kUhf)) return kUhfCode;
    return kOtherBandCode;
}

LiveSetFrame liveSetFrame(const LiveRecord& record) {
    LiveSetFrame frame{wire::kLiveSet, wire::addressHigh(wire::kTestDataAddress),
                       wire::addressLow(wire::kTestDataAddress), wire::kLiveSetRecordSize};
    std::copy(record.begin(), record.end(), frame.begin() + wire::kBlockHeaderSize);
    return frame;
}

std::string_view squelchTextKey(bool open) {
    return open ? text_key::kOn : text_key::kOff;
}

}  // namespace pl3::service
