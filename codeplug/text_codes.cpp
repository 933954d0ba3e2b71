#include "codeplug/text_codes.h"

#include <algorithm>
#include <optional>

namespace pl3::text_codes {

namespace {

constexpr std::uint8_t kEndOfText = 0xFF;
constexpr int kFirstEndCode = 42;

std::optional<std::uint8_t> displayCodeOf(char c) {
    if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
    if (c >= 'A' && c <= 'Z') return static_cast<std::uint8_t>(c - 'A' + 12);
    if (c >= 'a' && c <= 'z') return static_cast<std::uint8_t>(c - 'a' + 12);
    switch (c) {
        case '_':
            return 10;
        case ' ':
            return 11;
        case '-':
            return 38;
        case '+':
            return 39;
        case '*':
            return 40;
        case '#':
            return 41;
        default:
            return std::nullopt;
    }
}

char displayCharOf(std::uint8_t code) {
    if (code <= 9) return static_cast<char>('0' + code);
    if (code >= 12 && code <= 37) return static_cast<char>('A' + code - 12);
    switch (code) {
        case 10:
            return '_';
        case 11:
            return ' ';
        case 38:
            return '-';
        case 39:
            return '+';
        case 40:
            return '*';
        default:
            return '#';
    }
}

std::optional<int> dtmfDigitOf(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'D') return c - 'A' + 10;
    if (c >= 'a' && c <= 'd') return c - 'a' + 10;
    if (c == '*') return 14;
    if (c == '#') return 15;
    return std::nullopt;
}

constexpr char kDtmfChars[] = "0123456789ABCD*#";

}  // namespace

std::string decodeDisplayText(const DisplayBytes& bytes) {
    std::string text;
    for (std::uint8_t code : bytes) {
        if (code >= kFirstEndCode) break;
        text += displayCharOf(code);
    }
    return text;
}

DisplayBytes encodeDisplayText(std::string_view text) {
    DisplayBytes bytes;
    bytes.fill(kEndOfText);
    for (std::size_t i = 0; i < bytes.size() && i < text.size(); ++i) {
        std::optional<std::uint8_t> code = displayCodeOf(text[i]);
        if (!code) break;
        bytes[i] = *code;
    }
    return bytes;
}

bool isTypableDisplayChar(char c) {
    return c != '#' && displayCodeOf(c).has_value();
}

std::string decodePassword(const PasswordBytes& bytes) {
    std::string text;
    for (std::uint8_t b : bytes) {
        if (b >= 10) break;
        text += static_cast<char>('0' + b);
    }
    return text;
}

PasswordBytes encodePassword(std::string_view text) {
    PasswordBytes bytes;
    bytes.fill(kEndOfText);
    for (std::size_t i = 0; i < bytes.size() && i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') break;
        bytes[i] = static_cast<std::uint8_t>(text[i] - '0');
    }
    return bytes;
}

std::string decodeDtmf(const std::uint8_t* field) {
    int count = field[0] > kDtmfMaxDigits ? 0 : field[0];
    std::string text;
    for (int i = 0; i < count; ++i) {
        std::uint8_t b = field[1 + i / 2];
        int digit = (i % 2 == 0) ? (b >> 4) : (b & 0x0F);
        text += kDtmfChars[digit];
    }
    return text;
}

void encodeDtmf(std::string_view text, std::uint8_t* field) {
    int count = 0;
    for (; count < kDtmfMaxDigits && count < static_cast<int>(text.size()); ++count) {
        std::optional<int> digit = dtmfDigitOf(text[count]);
        if (!digit) break;
        std::uint8_t& b = field[1 + count / 2];
        b = (count % 2 == 0) ? static_cast<std::uint8_t>((b & 0x0F) | (*digit << 4))
                             : static_cast<std::uint8_t>((b & 0xF0) | *digit);
    }
    field[0] = static_cast<std::uint8_t>(count);
}

bool isDtmfChar(char c) {
    return dtmfDigitOf(c).has_value();
}

}  // namespace pl3::text_codes
