#pragma once
// Texts stored inside the image: channel names and the power-on message in the radio's
// display character code, DTMF codes as packed digit nibbles, the power-on password as
// one digit per byte.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pl3::text_codes {

using DisplayBytes = std::array<std::uint8_t, 6>;
using PasswordBytes = std::array<std::uint8_t, 4>;
inline constexpr int kDtmfMaxDigits = 16;

// Codes 0 ... 41 are characters; 42 and above end the text.
std::string decodeDisplayText(const DisplayBytes& bytes);
// Lower case is stored as upper case; the first character outside the alphabet ends
// the text and the remaining bytes become 0xFF.
DisplayBytes encodeDisplayText(std::string_view text);
// Characters a user may type into a name or message box ("#" can be stored but not typed).
bool isTypableDisplayChar(char c);

// Digits while the byte is below 10, at most four.
std::string decodePassword(const PasswordBytes& bytes);
PasswordBytes encodePassword(std::string_view text);

// A 16-byte DTMF code field: a digit count, then two digits per byte (earlier digit in
// the high nibble). A count above 16 reads as an empty code.
std::string decodeDtmf(const std::uint8_t* field);
// Writes up to 16 digits (0-9, A-D, a-d, *, #) until the first other character; only
// the written nibbles and the count change.
void encodeDtmf(std::string_view text, std::uint8_t* field);
bool isDtmfChar(char c);

}  // namespace pl3::text_codes
