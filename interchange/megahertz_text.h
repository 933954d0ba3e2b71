#pragma once
// Frequencies as channel lists write them: MHz with six decimals ("433.075000"). The
// image holds 10 Hz units, so the last decimal is always 0 on the way out and dropped
// on the way in, as the channel page drops digits past its fifth decimal.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pl3::interchange {

// "%i.%06i" of MHz and Hz; a negative value gets a leading '-'.
std::string megahertzText(std::int64_t tenHz);

// Decimal MHz with at most one '.', blanks around it allowed ("433.075", "433", ".5");
// nullopt for anything else, including more than six whole-MHz digits.
std::optional<std::int64_t> parseMegahertz(std::string_view text);

}  // namespace pl3::interchange
