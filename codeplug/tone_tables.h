#pragma once
// CTCSS and DCS tones. A tone is handled as one code 0 ... 258 and stored in a channel
// record as an index byte and a kind byte. The order and texts of the tables are
// binding: the image stores positions in them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pl3::tone {

inline constexpr int kCtcssCount = 50;
inline constexpr int kDcsCount = 104;
inline constexpr int kOff = 0;
inline constexpr int kFirstCtcss = 1;
inline constexpr int kFirstDcsNormal = 51;
inline constexpr int kFirstDcsInverted = 155;
inline constexpr int kMaxCode = 258;

inline constexpr std::uint8_t kKindOff = 0xFF;
inline constexpr std::uint8_t kKindCtcss = 0xF8;
inline constexpr std::uint8_t kKindDcsNormal = 0xF9;
inline constexpr std::uint8_t kKindDcsInverted = 0xFB;

// Bits of the kind byte that the tone picker and the channel table use on their own.
inline constexpr int kKindBitDcs = 0;       // 1 = DCS, 0 = CTCSS
inline constexpr int kKindBitInverted = 1;  // 1 = inverted DCS
inline constexpr int kKindBitOff = 2;       // 1 = no tone

// "67.0" ... "254.1"
const std::array<std::string_view, kCtcssCount>& ctcssTable();
// "D023N" ... "D754N"
const std::array<std::string_view, kDcsCount>& dcsNormalTable();
// "D023I" ... "D754I"
const std::array<std::string_view, kDcsCount>& dcsInvertedTable();

struct Field {
    std::uint8_t index;
    std::uint8_t kind;
    bool operator==(const Field&) const = default;
};

// Kind bytes other than the three tone kinds read as off; the index is not checked.
int codeOf(Field field);
Field fieldOf(int code);

// Text of a code 1 ... 258; code 0 (off) has no table text: callers show "IDS_OFF".
std::optional<std::string_view> tableText(int code);

// The text the channel table shows for a stored field, decided by the index byte and
// the kind bits alone (a field the radio cannot use still shows something sensible):
// index 0 ... 49 with the DCS bit clear is CTCSS, index 0 ... 103 is DCS (inverted by
// its bit), anything else is off (no text).
std::optional<std::string_view> displayText(Field field);

// Inverse of tableText: "88.5" or "D023N" (any letter case) to its code.
std::optional<int> codeOfText(std::string_view text);

}  // namespace pl3::tone
