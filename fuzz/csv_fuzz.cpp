// Feeds arbitrary bytes as a channel list to the delimited-text reader and the import.
// Beyond "no crash": every record read is written and read back unchanged, the import's
// counts add up to the rows read, and nothing outside the channels changes.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "codeplug/document_commands.h"
#include "interchange/channel_columns.h"
#include "interchange/channel_import.h"
#include "interchange/delimited_reader.h"
#include "interchange/delimited_writer.h"

namespace {

using namespace pl3;
using namespace pl3::interchange;

void require(bool condition) {
    if (!condition) std::abort();
}

// Records read back as they were written; returns the number of records.
int checkRecords(std::string_view text, char separator) {
    DelimitedReader reader(text, separator);
    Record record;
    int count = 0;
    while (reader.next(record)) {
        ++count;
        require(record.fields.size() <= kMaxFieldsPerRecord);
        for (const std::string& field : record.fields)
            require(field.size() <= kMaxFieldBytes);
        if (record.unterminatedQuote) continue;
        std::string written;
        appendRecord(written, record.fields, separator, "\n");
        DelimitedReader again(written, separator);
        Record reread;
        require(again.next(reread));
        require(reread.fields == record.fields);
        require(!again.next(reread));
    }
    return count;
}

bool insideChannels(std::size_t at) {
    const bool record = at >= layout::record(1) && at < layout::record(kChannelCount + 1);
    const bool name = at >= layout::nameSlot(1) && at < layout::nameSlot(kChannelCount + 1);
    const bool scan = at >= layout::kScanList && at < layout::kScanList + 16;
    return record || name || scan;
}

const CMaItemDoc& factoryDocument() {
    static CMaItemDoc doc = [] {
        // No settings file: the limits fall back to their defaults.
        CMaItemDoc made(SettingsFile("/nonexistent/setting.ini"));
        SilentPrompter prompter;
        bool skipPrompt = true;
        newDocument(made, prompter, skipPrompt);
        return made;
    }();
    return doc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const int records = checkRecords(text, ',');
    checkRecords(text, '\t');

    const CMaItemDoc& doc = factoryDocument();
    ImportPlan plan = planImport(doc, text, Format::Csv);
    const ImportReport& report = plan.report;
    require(report.notes.size() <= kMaxNotes);
    require(report.rowsImported <= kChannelCount);
    require(report.rowsAdjusted <= report.rowsImported);
    if (!report.rejected) require(report.rowsImported + report.rowsSkipped == records - 1);
    for (std::size_t at = 0; at < kImageSize; ++at) {
        if (!insideChannels(at)) require(plan.after[at] == plan.before[at]);
    }

    // A paste of tab-separated rows at some channel.
    const int firstChannel = size > 0 ? data[0] % (kChannelCount + 2) : 0;
    ImportPlan pasted = planImport(doc, text, Format::Tsv, {.firstChannel = firstChannel});
    require(pasted.report.rowsImported <= kChannelCount);
    (void)describeImport(pasted.report, TextLookup(""));
    return 0;
}
