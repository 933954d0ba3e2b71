#include "interchange/channel_import.h"

#include <array>
#include <optional>

#include "codeplug/text_keys.h"
#include "interchange/channel_request.h"
#include "interchange/channel_writer.h"
#include "interchange/delimited_reader.h"
#include "interchange/field_text.h"

namespace pl3::interchange {

namespace {

// The image, header and limits of doc in a document of its own: no views, no history.
CMaItemDoc workingCopy(const CMaItemDoc& doc) {
    CMaItemDoc copy(doc.settings());
    copy.header() = doc.header();
    copy.image() = doc.image();
    copy.deriveRangeLimits();
    return copy;
}

class Importer {
  public:
    Importer(const CMaItemDoc& doc, ImportOptions options)
        : work_(workingCopy(doc)), writer_(work_), options_(options) {}

    void importRow(const Record& record, const ColumnMap& columns) {
        const int position = position_++;
        if (record.unterminatedQuote) return skip(record.line, text_key::kCsvSkipQuote, "");
        std::optional<int> channel = channelOf(record, columns, position);
        if (!channel) return;
        std::size_t slot = static_cast<std::size_t>(*channel);
        if (rowOfChannel_[slot] != 0)
            return skip(
                record.line, text_key::kCsvSkipDuplicate,
                std::to_string(*channel) + " (" + std::to_string(rowOfChannel_[slot]) + ")");

        RowReading reading = readRow(record, columns, *channel);
        report_.powerInWatts = report_.powerInWatts || reading.powerInWatts;
        WriteResult result;
        if (reading.request) result = writer_.write(*reading.request, record.line);
        if (!reading.request || !result.written) {
            ++report_.rowsSkipped;
        } else {
            rowOfChannel_[slot] = record.line;
            ++report_.rowsImported;
        }
        bool adjusted = false;
        for (std::vector<ImportNote>* notes : {&reading.notes, &result.notes}) {
            for (ImportNote& note : *notes) {
                adjusted = adjusted || note.kind == NoteKind::Adjusted;
                report_.add(std::move(note));
            }
        }
        if (result.written && adjusted) ++report_.rowsAdjusted;
    }

    ImportReport& report() { return report_; }
    const Image& result() const { return work_.image(); }

  private:
    std::optional<int> channelOf(const Record& record, const ColumnMap& columns, int position) {
        if (options_.firstChannel == 0) {
            std::string_view location = columns.value(record, Column::Location);
            std::optional<int> channel = channelNumber(location);
            if (!channel) skip(record.line, text_key::kCsvSkipLocation, shownValue(location));
            return channel;
        }
        const int channel = options_.firstChannel + position;
        if (channel < 1 || channel > kChannelCount) {
            skip(record.line,
                 channel > kChannelCount ? text_key::kCsvSkipPastLastChannel
                                         : text_key::kCsvSkipLocation,
                 std::to_string(channel));
            return std::nullopt;
        }
        return channel;
    }

    void skip(int row, std::string_view key, std::string detail) {
        ++report_.rowsSkipped;
        report_.add({NoteKind::Skipped, row, key, std::move(detail)});
    }

    CMaItemDoc work_;
    ChannelWriter writer_;
    ImportOptions options_;
    ImportReport report_;
    std::array<int, kChannelCount + 1> rowOfChannel_{};  // the row each channel came from
    int position_ = 0;
};

ImportPlan rejected(const CMaItemDoc& doc, std::string_view key) {
    ImportPlan plan;
    plan.before = doc.image();
    plan.after = doc.image();
    plan.report.rejected = true;
    plan.report.add({NoteKind::File, 0, key, ""});
    return plan;
}

}  // namespace

ImportPlan planImport(const CMaItemDoc& doc, std::string_view text, Format format,
                      ImportOptions options) {
    if (text.size() > kMaxImportBytes) return rejected(doc, text_key::kCsvTooLarge);
    DelimitedReader reader(text, separatorOf(format));
    Record record;
    if (!reader.next(record)) return rejected(doc, text_key::kCsvNotAList);

    std::optional<ColumnMap> columns = ColumnMap::fromHeading(record);
    const bool firstRecordIsRow = !columns && format == Format::Tsv;
    if (firstRecordIsRow) columns = ColumnMap::inWrittenOrder();
    if (!columns) return rejected(doc, text_key::kCsvNotAList);

    Importer importer(doc, options);
    if (firstRecordIsRow) importer.importRow(record, *columns);
    while (reader.next(record))
        importer.importRow(record, *columns);

    ImportPlan plan;
    plan.before = doc.image();
    plan.after = importer.result();
    plan.report = std::move(importer.report());
    return plan;
}

bool applyImport(CMaItemDoc& doc, const ImportPlan& plan) {
    if (doc.image() != plan.before) return false;
    if (!plan.changesDocument()) return true;
    doc.image() = plan.after;
    doc.markEdited();  // one undo step takes the whole import back
    doc.updateAllViews();
    return true;
}

}  // namespace pl3::interchange
