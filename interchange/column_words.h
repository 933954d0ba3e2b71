#pragma once
// The words the Duplex, Mode, Power and Skip columns hold, written and read alike.

#include <string_view>

namespace pl3::interchange::word {

inline constexpr std::string_view kSimplex = "";     // transmits on the receive frequency
inline constexpr std::string_view kPlus = "+";       // receive + Offset
inline constexpr std::string_view kMinus = "-";      // receive - Offset
inline constexpr std::string_view kSplit = "split";  // Offset holds the transmit frequency
inline constexpr std::string_view kTxOff = "off";    // transmit inhibited
inline constexpr std::string_view kWide = "FM";
inline constexpr std::string_view kNarrow = "NFM";
inline constexpr std::string_view kHigh = "High";
inline constexpr std::string_view kLow = "Low";
inline constexpr std::string_view kNotScanned = "S";

}  // namespace pl3::interchange::word
