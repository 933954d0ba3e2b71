#include "interchange/import_report.h"

#include "codeplug/text_keys.h"
#include "lang/text_lookup.h"

namespace pl3::interchange {

void ImportReport::add(ImportNote note) {
    if (notes.size() < kMaxNotes) {
        notes.push_back(std::move(note));
    } else {
        ++notesLeftOut;
    }
}

std::vector<std::string> describeImport(const ImportReport& report, const TextLookup& texts) {
    std::vector<std::string> lines;
    lines.push_back(withNumbers(texts.text(text_key::kCsvSummary),
                                {report.rowsImported, report.rowsAdjusted, report.rowsSkipped}));
    if (report.powerInWatts) lines.push_back(texts.text(text_key::kCsvPowerInWatts));
    for (const ImportNote& note : report.notes) {
        std::string line =
            note.row > 0 ? withNumbers(texts.text(text_key::kCsvRow), {note.row}) : "";
        lines.push_back(line + texts.text(note.textKey, note.detail));
    }
    if (report.notesLeftOut > 0) {
        lines.push_back(texts.text(text_key::kCsvMoreNotes, std::to_string(report.notesLeftOut)));
    }
    return lines;
}

}  // namespace pl3::interchange
