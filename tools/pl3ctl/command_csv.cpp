// pl3ctl export-csv and import-csv: a codeplug's channels to and from a CSV channel list.

#include <iostream>

#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "interchange/channel_export.h"
#include "interchange/channel_import.h"
#include "interchange/channel_request.h"
#include "platform/atomic_file.h"
#include "platform/console.h"
#include "tools/pl3ctl/commands.h"
#include "tools/pl3ctl/exit_codes.h"

namespace pl3::cli {

namespace {

// As an output or input name: standard output or standard input.
constexpr std::string_view kStandardStream = "-";

bool openCodeplug(CliContext& context, CMaItemDoc& doc, const std::string& path) {
    OpenOutcome outcome = openDocument(doc, path, context.prompter);
    return outcome != OpenOutcome::NotADataFile && outcome != OpenOutcome::FileError;
}

}  // namespace

// pl3ctl export-csv FILE.PL-3 OUT.csv
int runExportCsv(CliContext& context, const Arguments& args) {
    if (args.size() != 2) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    CMaItemDoc doc(context.settings);
    if (!openCodeplug(context, doc, args[0])) return kExitFileError;
    std::string text = interchange::exportCsv(doc);
    if (args[1] == kStandardStream) {
        std::cout << text << std::flush;
        return std::cout ? kExitDone : kExitFileError;
    }
    platform::FileError error;
    platform::WriteNotes notes;
    if (!platform::writeFileAtomically(args[1], {text.begin(), text.end()}, &error, &notes)) {
        context.prompter.showMessage(saveFailure(args[1], error));
        return kExitFileError;
    }
    tellSharedNames(args[1], notes, context.prompter);
    return kExitDone;
}

// pl3ctl import-csv [--first-channel N] FILE.PL-3 IN.csv: the report goes to standard
// error; FILE is written only when the import changes it. A text that is no channel list,
// or whose every row was skipped, is a file error.
int runImportCsv(CliContext& context, const Arguments& allArgs) {
    Arguments args;
    interchange::ImportOptions options;
    for (std::size_t i = 0; i < allArgs.size(); ++i) {
        if (allArgs[i] != "--first-channel" || i + 1 == allArgs.size()) {
            args.push_back(allArgs[i]);
            continue;
        }
        const std::string& value = allArgs[++i];
        std::optional<int> channel = interchange::channelNumber(value);
        if (!channel) {
            context.report(text_key::kCliBadValue, "--first-channel " + value);
            return kExitUsage;
        }
        options.firstChannel = *channel;
    }
    if (args.size() != 2) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    // The list is read before the codeplug is locked: standard input may take as long as
    // its writer likes, and others may change the codeplug meanwhile.
    // One byte more than the import takes, so that a larger file is reported as such.
    platform::FileError error;
    std::optional<std::vector<std::uint8_t>> bytes =
        args[1] == kStandardStream
            ? platform::readStandardInputHead(interchange::kMaxImportBytes + 1, &error)
            : platform::readFileHead(args[1], interchange::kMaxImportBytes + 1, &error);
    if (!bytes) {
        context.report(text_key::kErrorOpenFile, args[1] + "\n" + error.describe());
        return kExitFileError;
    }
    std::unique_ptr<platform::FileLock> lock = lockForChange(context, args[0]);
    if (!lock) return kExitFileError;
    CMaItemDoc doc(context.settings);
    if (!openCodeplug(context, doc, args[0])) return kExitFileError;
    std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    interchange::ImportPlan plan =
        interchange::planImport(doc, text, interchange::Format::Csv, options);
    for (const std::string& line : interchange::describeImport(plan.report, context.texts))
        std::cerr << "pl3ctl: " << line << "\n";

    const interchange::ImportReport& report = plan.report;
    if (report.rejected || (report.rowsImported == 0 && report.rowsSkipped > 0))
        return kExitFileError;
    if (!plan.changesDocument()) return kExitDone;
    interchange::applyImport(doc, plan);
    warnIfLongerThanDataFile(context, args[0]);
    return storeDocument(doc, args[0], context.prompter) ? kExitDone : kExitFileError;
}

}  // namespace pl3::cli
