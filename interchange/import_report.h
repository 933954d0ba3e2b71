#pragma once
// What an import did or would do, row by row, for the user to read before anything
// changes. Notes carry text keys; describeImport turns them into the user's language.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lang/text_lookup.h"

namespace pl3::interchange {

enum class NoteKind {
    File,      // about the text as a whole: nothing was imported
    Adjusted,  // the row was imported with a change
    Skipped,   // the row was not imported
};

struct ImportNote {
    NoteKind kind;
    int row;  // the line of the text where the row starts; 0 for the whole text
    std::string_view textKey;
    std::string detail;  // shown after the text: the values concerned

    bool operator==(const ImportNote&) const = default;
};

// A junk file could otherwise produce a note per line; the counts stay exact.
inline constexpr std::size_t kMaxNotes = 200;

struct ImportReport {
    int rowsImported = 0;  // adjusted rows included
    int rowsAdjusted = 0;
    int rowsSkipped = 0;
    bool rejected = false;      // the text is no channel list; a File note says why
    bool powerInWatts = false;  // some Power was given in watts: the report says how it maps
    std::vector<ImportNote> notes;
    std::size_t notesLeftOut = 0;

    // Keeps the first kMaxNotes notes and counts the rest.
    void add(ImportNote note);
};

// The summary line, how power in watts maps when a row gave it, then one line per note ("Row 12:
// ..."), then how many notes were left out.
std::vector<std::string> describeImport(const ImportReport& report, const TextLookup& texts);

}  // namespace pl3::interchange
