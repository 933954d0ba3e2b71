#pragma once
// The differences between two codeplugs in the words the pages show: a channel field under
// its grid column's heading with the cell words, a setting under its caption with the words
// of its list or box, grouped by the page that shows them. What no page shows keeps the
// field-name form.

#include <string>
#include <vector>

#include "codeplug/codeplug_diff.h"
#include "codeplug/document.h"
#include "lang/text_lookup.h"

namespace pl3 {

// The pages in tab order, then the group of what no page shows.
enum class ComparePage { Channels, Functions, Radio, Unshown };

struct WordedDifference {
    ComparePage page = ComparePage::Unshown;
    std::string item;  // "Channel 1 · Busy Lock", "Backlight", "VfoOffset", "0x0900"
    // The words each side shows; a value the page shows blank has the empty word.
    std::string before;
    std::string after;
    bool operator==(const WordedDifference&) const = default;
};

// The entries diffCodeplugs(before, after) gave, in words, page by page in tab order; within
// a page they keep their order.
std::vector<WordedDifference> wordDifferences(const std::vector<DiffEntry>& entries,
                                              const CMaItemDoc& before, const CMaItemDoc& after,
                                              const TextLookup& texts);

// A page's tab caption, or the heading of what no page shows.
std::string pageHeading(ComparePage page, const TextLookup& texts);

// Where an image byte lies, named as wordDifferences names it: "Channel 80 · RX Freq",
// "Backlight", "VfoOffset"; a byte of a channel's record or name slot that no field shows
// names its channel, "Channel 20". Empty when nothing names the byte.
std::string addressPlace(CMaItemDoc& doc, int address, const TextLookup& texts);

// "Channel 1 · Busy Lock: On → Off"
std::string wordedLine(const WordedDifference& difference, const TextLookup& texts);

}  // namespace pl3
