#include "interchange/channel_import.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "codeplug/text_keys.h"
#include "interchange/channel_names.h"
#include "interchange/channel_request.h"
#include "interchange/channel_writer.h"
#include "interchange/delimited_reader.h"
#include "interchange/field_text.h"

namespace pl3::interchange {

namespace {

// The limits the image's range code gives, as the document derives them on loading.
freq_range::Limits limitsOf(const CMaItemDoc& doc) {
    return freq_range::deriveLimits(doc.settings(), doc.fields().freqRangeCode());
}

// The channel a row goes to: the one its Location names, or the one its position in the
// list gives when the rows are placed from a channel on; nullopt when there is none.
std::optional<int> targetChannel(const Record& record, const ColumnMap& columns,
                                 const ImportOptions& options, int position) {
    if (options.firstChannel == 0) return channelNumber(columns.value(record, Column::Location));
    const int channel = options.firstChannel + position;
    if (channel < 1 || channel > kChannelCount) return std::nullopt;
    return channel;
}

// The names of the rows that may become channels (the first row for each channel), in
// display characters, shortened together. Read in a pass of their own, so that a list
// of any length costs no more memory than its 128 names.
ShortNames listNames(std::string_view text, Format format, bool firstRecordIsRow,
                     const ColumnMap& columns, const ImportOptions& options) {
    if (!columns.has(Column::Name)) return {};
    DelimitedReader reader(text, separatorOf(format));
    Record record;
    if (!firstRecordIsRow) reader.next(record);  // the heading
    std::array<std::optional<std::string>, kChannelCount + 1> names;
    for (int position = 0; reader.next(record); ++position) {
        if (record.unterminatedQuote) continue;
        std::optional<int> channel = targetChannel(record, columns, options, position);
        if (!channel || names[static_cast<std::size_t>(*channel)]) continue;
        names[static_cast<std::size_t>(*channel)] =
            displayCharacters(columns.field(record, Column::Name));
    }
    std::vector<std::string> listed;
    for (const std::optional<std::string>& name : names) {
        if (name) listed.push_back(*name);
    }
    return shortNames(listed);
}

class Importer {
  public:
    Importer(const CMaItemDoc& doc, ImportOptions options, ShortNames names)
        : work_(doc.fields(), limitsOf(doc)),
          writer_(work_.target()),
          options_(options),
          names_(std::move(names)) {}

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

        RowReading reading = readRow(record, columns, *channel, names_);
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
    const Image& result() const { return work_.fields().image(); }

  private:
    std::optional<int> channelOf(const Record& record, const ColumnMap& columns, int position) {
        std::optional<int> channel = targetChannel(record, columns, options_, position);
        if (channel) return channel;
        if (options_.firstChannel == 0) {
            skip(record.line, text_key::kCsvSkipLocation,
                 shownValue(columns.value(record, Column::Location)));
        } else {
            const int past = options_.firstChannel + position;
            skip(record.line,
                 past > kChannelCount ? text_key::kCsvSkipPastLastChannel
                                      : text_key::kCsvSkipLocation,
                 std::to_string(past));
        }
        return std::nullopt;
    }

    void skip(int row, std::string_view key, std::string detail) {
        ++report_.rowsSkipped;
        report_.add({NoteKind::Skipped, row, key, std::move(detail)});
    }

    ScratchImage work_;  // the rules fill a copy; nothing is recorded until the plan is applied
    ChannelWriter writer_;
    ImportOptions options_;
    ShortNames names_;
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

    Importer importer(doc, options, listNames(text, format, firstRecordIsRow, *columns, options));
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
    // The rules made plan.after on a copy; it replaces the image whole.
    doc.rawFields().image() = plan.after;
    doc.markEdited();  // one undo step takes the whole import back
    doc.updateAllViews();
    return true;
}

}  // namespace pl3::interchange
