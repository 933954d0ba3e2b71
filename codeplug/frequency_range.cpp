#include "codeplug/frequency_range.h"

#include <string>

#include "codeplug/frequency.h"

namespace pl3::freq_range {

namespace {

constexpr std::size_t kCodeDigits = 8;

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isDecimal(char c) {
    return c >= '0' && c <= '9';
}

// Whole MHz from three characters of the value, in the order given (1-based positions).
std::optional<int> megahertz(std::string_view data, int first, int second, int third) {
    char a = data[first - 1], b = data[second - 1], c = data[third - 1];
    if (!isDecimal(a) || !isDecimal(b) || !isDecimal(c)) return std::nullopt;
    return (a - '0') * 100 + (b - '0') * 10 + (c - '0');
}

}  // namespace

std::optional<Code> parseCode(std::string_view data) {
    if (!limitsOf(data)) return std::nullopt;
    Code code{};
    for (std::size_t i = 0; i < code.size(); ++i) {
        code[i] = static_cast<std::uint8_t>(hexValue(data[2 * i]) << 4 | hexValue(data[2 * i + 1]));
    }
    return code;
}

std::optional<Limits> limitsOf(std::string_view data) {
    if (data.size() != kCodeDigits) return std::nullopt;
    for (char c : data) {
        if (hexValue(c) < 0) return std::nullopt;
    }
    std::optional<int> lower = megahertz(data, 3, 4, 1);
    std::optional<int> upper = megahertz(data, 7, 8, 5);
    if (!lower || !upper || *lower > *upper) return std::nullopt;
    return Limits{*lower * frequency::kUnitsPerMhz, *upper * frequency::kUnitsPerMhz};
}

std::vector<UnusableEntry> unusableEntries(const SettingsFile& settings) {
    std::vector<UnusableEntry> entries;
    for (int n = 0; n < kMaxFreqRanges; ++n) {
        std::optional<std::string> data = settings.freqRangeData(n);
        if (!data) break;
        if (limitsOf(*data)) continue;
        std::string key(settings_key::kFreqDataFormat);
        key.replace(key.find("%d"), 2, std::to_string(n));
        entries.push_back({settings.freqRangeDataSource(n), key + "=" + *data});
    }
    return entries;
}

int rangeIndexOf(const SettingsFile& settings, const Code& imageCode) {
    int index = 0;
    for (int n = 0; n < kMaxFreqRanges; ++n) {
        std::optional<std::string> data = settings.freqRangeData(n);
        if (!data) break;
        if (parseCode(*data) == imageCode) index = n;
    }
    return index;
}

Limits deriveLimits(const SettingsFile& settings, const Code& imageCode) {
    std::optional<std::string> data = settings.freqRangeData(rangeIndexOf(settings, imageCode));
    if (!data) return kDefaultLimits;
    return limitsOf(*data).value_or(kDefaultLimits);
}

}  // namespace pl3::freq_range
