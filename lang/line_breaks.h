#pragma once
// Where a text may break into lines, in both languages: after a blank, and between two
// Chinese characters (which have no blanks between words) - never before a closing mark or
// "/", never after an opening one.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pl3 {

// The byte offsets in UTF-8 text where a new line may begin.
std::vector<std::size_t> lineBreakOffsets(std::string_view utf8);

// The text's width in columns: a Chinese character takes two, any other one.
int textColumns(std::string_view utf8);

// The text with blanks and tabs taken off both ends.
std::string_view withoutOuterBlanks(std::string_view text);

// A text's width, in whatever unit the caller lays text out in.
using TextWidth = std::function<double(std::string_view utf8)>;

// One line of text (no line breaks) in lines no wider than `width`, each broken at the
// last place that fits; a word wider than a line stays whole on a line of its own.
std::vector<std::string> wrapLine(std::string_view utf8, double width, const TextWidth& measure);

// The text in lines of at most `columns` (see textColumns); its own line breaks stay.
std::string wrapText(std::string_view utf8, int columns);

}  // namespace pl3
