#pragma once
// Small text helpers for the values of channel-list fields.

#include <string>
#include <string_view>

namespace pl3::interchange {

// Without spaces and tabs at either end.
std::string_view trimBlanks(std::string_view text);

bool equalsIgnoringCase(std::string_view a, std::string_view b);

// A field value as a report shows it: at most a few dozen characters, control
// characters and broken UTF-8 replaced by '?', so junk in a file cannot garble the
// report.
std::string shownValue(std::string_view value);

}  // namespace pl3::interchange
