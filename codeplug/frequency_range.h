#pragma once
// The frequency ranges listed in setting.ini ("FreqRange"/"data%d") and the limits
// they give. A range code is eight hexadecimal digits d1...d8, stored as four bytes in
// the image; the same digits read as decimal give the limits in MHz: lower d3 d4 d1,
// upper d7 d8 d5.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings_file.h"

namespace pl3::freq_range {

using Code = std::array<std::uint8_t, 4>;

struct Limits {
    std::int32_t lower;  // 10 Hz units
    std::int32_t upper;
    bool operator==(const Limits&) const = default;
};

inline constexpr Limits kDefaultLimits = {10'000'000, 50'000'000};

// A "data" value is usable when it is exactly eight hexadecimal digits (either letter
// case), the six digits that carry the limits are decimal, and the lower limit is not
// above the upper one. An unusable value is skipped: it selects nothing, matches no
// image and gives no limits.

// The four bytes of a usable "data" value; nullopt for any other.
std::optional<Code> parseCode(std::string_view data);

// The limits a usable "data" value names; nullopt for any other.
std::optional<Limits> limitsOf(std::string_view data);

// A "data%d" entry whose value is not usable, as a "key=value" line, with the file that
// holds it (the per-user or the shipped setting file).
struct UnusableEntry {
    std::string file;
    std::string line;
    bool operator==(const UnusableEntry&) const = default;
};

// The unusable "data%d" entries before the first missing key, so that the user can be
// told once which entries are skipped and where they are.
std::vector<UnusableEntry> unusableEntries(const SettingsFile& settings);

// The last range (scanning "data0", "data1", ... up to the first missing key) whose
// code equals the image's; 0 when none does.
int rangeIndexOf(const SettingsFile& settings, const Code& imageCode);

// The limits of the range the image's code selects, or 100 ... 500 MHz when that
// range has no usable entry.
Limits deriveLimits(const SettingsFile& settings, const Code& imageCode);

}  // namespace pl3::freq_range
