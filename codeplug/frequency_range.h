#pragma once
// The frequency ranges listed in setting.ini ("FreqRange"/"data%d") and the limits
// they give. A range code is eight hexadecimal digits d1...d8, stored as four bytes in
// the image; the same digits read as decimal give the limits in MHz: lower d3 d4 d1,
// upper d7 d8 d5.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/settings_file.h"

namespace pl3::freq_range {

using Code = std::array<std::uint8_t, 4>;

struct Limits {
    std::int32_t lower;  // 10 Hz units
    std::int32_t upper;
    bool operator==(const Limits&) const = default;
};

inline constexpr Limits kDefaultLimits = {10'000'000, 50'000'000};

// The four bytes of a "data" value (either letter case); nullopt unless it starts with
// eight hexadecimal digits.
std::optional<Code> parseCode(std::string_view data);

// The limits a "data" value names; nullopt when the digits that carry them are not
// decimal or the lower limit lies above the upper one.
std::optional<Limits> limitsOf(std::string_view data);

// The last range (scanning "data0", "data1", ... up to the first missing key) whose
// code equals the image's; 0 when none does.
int rangeIndexOf(const SettingsFile& settings, const Code& imageCode);

// The limits of the range the image's code selects, or 100 ... 500 MHz when that
// range has no usable entry.
Limits deriveLimits(const SettingsFile& settings, const Code& imageCode);

}  // namespace pl3::freq_range
