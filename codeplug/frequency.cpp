#include "codeplug/frequency.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace pl3::frequency {

namespace {

int highNibble(std::uint8_t b) {
    return b >> 4;
}
int lowNibble(std::uint8_t b) {
    return b & 0x0F;
}

// Far above any frequency, far enough below INT32_MAX that rounding cannot overflow.
constexpr std::int64_t kSaturation = 999'999'999;

// atoi with saturation: leading blanks, an optional sign, then digits.
std::int32_t leadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), kSaturation);
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::int32_t nearestFiveKhz(std::int32_t v) {
    std::int32_t lo = (v / 500) * 500;
    std::int32_t hi = lo + 500;
    return (v - lo > hi - v) ? hi : lo;
}

}  // namespace

bool isEmptyField(const std::uint8_t* field) {
    return field[3] > 0x99;
}

void pack(std::int32_t v, std::uint8_t* field) {
    v = std::clamp<std::int32_t>(v, 0, kMaxValue);
    for (std::size_t i = 0; i < kFieldSize; ++i) {
        int low = v % 10;
        v /= 10;
        int high = v % 10;
        v /= 10;
        field[i] = static_cast<std::uint8_t>((high << 4) | low);
    }
}

void packEmpty(std::uint8_t* field) {
    std::fill(field, field + kFieldSize, 0xFF);
}

std::string channelText(const std::uint8_t* field) {
    if (isEmptyField(field)) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%x%x.%x%02x%02x", field[3], highNibble(field[2]),
                  lowNibble(field[2]), field[1], field[0]);
    return text;
}

std::string offsetText(const std::uint8_t* field) {
    if (isEmptyField(field)) return {};
    if (field[3] != 0) return channelText(field);
    char text[32];
    std::snprintf(text, sizeof text, "%x.%x%02x%02x", highNibble(field[2]), lowNibble(field[2]),
                  field[1], field[0]);
    return text;
}

std::int32_t parse(std::string_view text) {
    // Shift the decimal point five places right and read the whole number before it.
    std::string s(text);
    s += (s.find('.') == std::string::npos) ? ".00000" : "00000";
    std::size_t dot = s.find('.');
    std::size_t insertAt = std::min(dot + 6, s.size());
    s.insert(insertAt, 1, '.');
    s.erase(dot, 1);
    return leadingInteger(s);
}

std::int32_t roundToChannelRaster(std::int32_t v) {
    std::int32_t d = ((v + 75) / 625) * 625;
    if (v / 100 == d / 100) return d;
    std::int32_t f = nearestFiveKhz(v);
    return (std::abs(f - v) <= std::abs(v - d)) ? f : d;
}

std::int32_t roundToVfoRaster(std::int32_t v, int freqStep) {
    if (freqStep == 1 || freqStep == 3) {
        std::int32_t d = ((v + 75) / 625) * 625;
        if (v / 100 == d / 100) return d;
        std::int32_t lo = (v / 500) * 500;
        std::int32_t hi = lo + 500;
        return (v - lo > hi - v) ? hi : d;
    }
    return nearestFiveKhz(v);
}

void storeChannelValue(std::optional<std::int32_t> v, std::uint8_t* field) {
    if (!v) return packEmpty(field);
    pack(roundToChannelRaster(*v), field);
}

void storeChannelText(std::string_view text, std::uint8_t* field) {
    storeChannelValue(text.empty() ? std::nullopt : std::optional(parse(text)), field);
}

void storeVfoText(std::string_view text, int freqStep, VfoValue which, std::uint8_t* field) {
    if (text.empty()) return packEmpty(field);
    std::int32_t v = roundToVfoRaster(parse(text), freqStep);
    if (which == VfoValue::Offset) v = std::min(v, kOffsetMax);
    pack(v, field);
}

int rangeCheck(std::string_view text, std::int32_t lower, std::int32_t upper) {
    if (text.empty()) return 0;
    std::int32_t v = parse(text);
    if (v > upper) return 1;
    if (v < lower) return -1;
    return 0;
}

std::string limitText(std::int32_t limit) {
    char text[32];
    std::snprintf(text, sizeof text, "%03d.%05d", limit / kUnitsPerMhz, limit % kUnitsPerMhz);
    return text;
}

bool isWellFormedText(std::string_view text) {
    if (text.size() > 9) return false;
    int dots = 0;
    for (char c : text) {
        if (c == '.') {
            if (++dots > 1) return false;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    return text.empty() || text != ".";
}

std::string fmText(int index) {
    int tenths = 870 + index;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

}  // namespace pl3::frequency
