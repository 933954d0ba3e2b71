#include "interchange/megahertz_text.h"

#include <algorithm>
#include <cstdio>

#include "codeplug/frequency.h"
#include "interchange/field_text.h"

namespace pl3::interchange {

namespace {

constexpr int kMaxWholeDigits = 6;
constexpr int kTenHzDecimals = 5;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string megahertzText(std::int64_t tenHz) {
    const char* sign = tenHz < 0 ? "-" : "";
    std::int64_t magnitude = tenHz < 0 ? -tenHz : tenHz;
    char text[40];
    std::snprintf(text, sizeof text, "%s%lld.%06lld", sign,
                  static_cast<long long>(magnitude / frequency::kUnitsPerMhz),
                  static_cast<long long>(magnitude % frequency::kUnitsPerMhz * 10));
    return text;
}

std::optional<std::int64_t> parseMegahertz(std::string_view text) {
    text = trimBlanks(text);
    std::size_t dot = text.find('.');
    std::string_view whole = text.substr(0, dot);
    std::string_view decimals =
        dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (whole.empty() && decimals.empty()) return std::nullopt;
    if (whole.size() > kMaxWholeDigits) return std::nullopt;
    if (!std::all_of(whole.begin(), whole.end(), isDigit) ||
        !std::all_of(decimals.begin(), decimals.end(), isDigit))
        return std::nullopt;

    std::int64_t value = 0;
    for (char c : whole)
        value = value * 10 + (c - '0');
    for (int i = 0; i < kTenHzDecimals; ++i) {
        int digit =
            i < static_cast<int>(decimals.size()) ? decimals[static_cast<std::size_t>(i)] - '0' : 0;
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace pl3::interchange
