#include "interchange/field_text.h"

#include <algorithm>

namespace pl3::interchange {

namespace {

constexpr int kShownCodePoints = 40;
constexpr std::string_view kCutMark = "...";

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Length of the well-formed UTF-8 sequence that starts at text[at], 0 when there is none.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                         : lead >= 0xE0                 ? 3
                         : lead >= 0xC2 && lead <= 0xDF ? 2
                                                        : 0;
    if (lead >= 0xF5) length = 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
    }
    return length;
}

}  // namespace

std::string_view trimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

std::string shownValue(std::string_view value) {
    std::string shown;
    std::size_t at = 0;
    for (int count = 0; at < value.size(); ++count) {
        if (count == kShownCodePoints) {
            shown += kCutMark;
            break;
        }
        const auto c = static_cast<unsigned char>(value[at]);
        if (c < 0x80) {
            shown += c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c);
            ++at;
            continue;
        }
        std::size_t length = utf8SequenceLength(value, at);
        if (length == 0) {
            shown += '?';
            ++at;
        } else {
            shown += value.substr(at, length);
            at += length;
        }
    }
    return shown;
}

}  // namespace pl3::interchange
