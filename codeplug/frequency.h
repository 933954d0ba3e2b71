#pragma once
// Frequencies in the image: eight packed BCD digits, least significant byte first,
// in units of 10 Hz (433.07500 MHz is 43307500, stored 00 75 30 43).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pl3::frequency {

inline constexpr std::int32_t kMaxValue = 99'999'999;
inline constexpr std::int32_t kUnitsPerMhz = 100'000;
inline constexpr std::int32_t kOffsetMax = 6'999'500;  // 69.99500 MHz
inline constexpr std::int32_t kDefaultLowerLimit = 10'000'000;
inline constexpr std::int32_t kDefaultUpperLimit = 50'000'000;
inline constexpr std::size_t kFieldSize = 4;

// A field is empty when its top byte is above 0x99.
bool isEmptyField(const std::uint8_t* field);

// Writes v as eight decimal digits (clamped to 0 ... kMaxValue).
void pack(std::int32_t v, std::uint8_t* field);
void packEmpty(std::uint8_t* field);

// Channel format "%x%x.%x%02x%02x": 433.07500; empty text for an empty field.
std::string channelText(const std::uint8_t* field);
// Offset format: as the channel format, but "5.00000" when the top byte is 0.
std::string offsetText(const std::uint8_t* field);

// MHz text to 10 Hz units: the whole MHz and the first five decimals, further decimals
// dropped; the text is read as far as it forms a number (no digits: 0).
std::int32_t parse(std::string_view text);

// The nearer of the 6.25 kHz and 5 kHz raster points, as the channel table stores it.
std::int32_t roundToChannelRaster(std::int32_t v);
// The VFO raster chosen by its step index (1 and 3: 6.25 kHz, else 5 kHz).
std::int32_t roundToVfoRaster(std::int32_t v, int freqStep);

// Stores a value with channel rounding; nullopt stores an empty field.
void storeChannelValue(std::optional<std::int32_t> v, std::uint8_t* field);
// Stores text with channel rounding; the empty text stores an empty field.
void storeChannelText(std::string_view text, std::uint8_t* field);
// Stores text with VFO rounding; an offset is clamped to 69.99500 MHz.
enum class VfoValue { Receive, Offset };
void storeVfoText(std::string_view text, int freqStep, VfoValue which, std::uint8_t* field);

// 1 above the upper limit, -1 below the lower limit, 0 inside (limits included) or empty.
int rangeCheck(std::string_view text, std::int32_t lower, std::int32_t upper);

// "%03d.%05d" of a limit: 400.00000.
std::string limitText(std::int32_t limit);

// Whether text is a frequency as a user may type it: digits with at most one '.'
// (at most 9 characters, as the channel editor allows). The empty text is accepted.
bool isWellFormedText(std::string_view text);

// FM broadcast index 0 ... 210 as MHz: "87.0" ... "108.0".
std::string fmText(int index);

}  // namespace pl3::frequency
