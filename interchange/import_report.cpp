#include "interchange/import_report.h"

#include <initializer_list>

#include "codeplug/text_keys.h"

namespace pl3::interchange {

namespace {

constexpr std::string_view kNumberMark = "%d";

// The text with its "%d" marks replaced by the numbers, in order.
std::string withNumbers(std::string text, std::initializer_list<long long> numbers) {
    std::size_t from = 0;
    for (long long number : numbers) {
        std::size_t at = text.find(kNumberMark, from);
        if (at == std::string::npos) break;
        std::string digits = std::to_string(number);
        text.replace(at, kNumberMark.size(), digits);
        from = at + digits.size();
    }
    return text;
}

}  // namespace

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
