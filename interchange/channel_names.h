#pragma once
// Channel names as the radio shows them: its display characters, at most six. A list's
// names are shortened together, so that names that differ in the list still differ in
// the radio ("PMR446 1" ... "PMR446 16" become "PMR 1" ... "PMR 16", not sixteen "PMR446";
// "PMR1-00" ... "PMR4-15" become "PMR100" ... "PMR415").

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pl3::interchange {

// The name in display characters: letters in upper case, the rest left out; not cut.
std::string displayCharacters(std::string_view name);

// Each name's six-character form, by its display characters. A name that fits stays as
// it is. A longer one keeps its trailing number after as much of its beginning as the
// longest number among names beginning alike leaves room for: with the blank or dash
// before the number when that keeps the numbered names apart, else without it, else the
// names are cut like the rest. Shortened names that still meet each other or a name that
// fits are numbered instead ("REPEA1", "REPEA2").
using ShortNames = std::map<std::string, std::string>;
ShortNames shortNames(const std::vector<std::string>& displayNames);

}  // namespace pl3::interchange
