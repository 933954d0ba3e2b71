#pragma once
// Channel lists into the document, in two steps so the user decides in between:
// planImport reads the text and works out the whole result and its report on a copy,
// changing nothing; applyImport then puts the result into the document in one piece,
// as one edit that one undo takes back.

#include <cstddef>
#include <string_view>

#include "codeplug/document.h"
#include "interchange/channel_columns.h"
#include "interchange/import_report.h"

namespace pl3::interchange {

// Far beyond any channel list (128 rows); larger text is refused unread.
inline constexpr std::size_t kMaxImportBytes = 16 * 1024 * 1024;

struct ImportOptions {
    // 0: each row goes to the channel its Location names. Otherwise the rows go to
    // this channel and the ones after it, in file order, whatever their Location says
    // (a paste at the grid's current row, or a list made for a radio that counts its
    // memories from 0 or leaves gaps). Rows past channel 128 are skipped.
    int firstChannel = 0;
};

struct ImportPlan {
    Image before{};  // the document's image the plan was made from
    Image after{};   // the image with the import done
    ImportReport report;

    bool changesDocument() const { return before != after; }
};

// Csv text must start with a heading line; Tsv text may also be bare rows in the
// written column order.
ImportPlan planImport(const CMaItemDoc& doc, std::string_view text, Format format,
                      ImportOptions options = {});

// Puts the plan's result into the document as one edit (modified, one undo step) and
// updates the views.
// False, and nothing changed, when the document no longer holds the image the plan
// was made from.
bool applyImport(CMaItemDoc& doc, const ImportPlan& plan);

}  // namespace pl3::interchange
