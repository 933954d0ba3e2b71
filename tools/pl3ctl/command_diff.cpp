#include <iostream>
#include <string>

#include "codeplug/codeplug_diff.h"
#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "tools/pl3ctl/commands.h"
#include "tools/pl3ctl/exit_codes.h"

namespace pl3::cli {

namespace {

bool load(CliContext& context, CMaItemDoc& doc, const std::string& path) {
    OpenOutcome outcome = openDocument(doc, path, context.prompter);
    return outcome == OpenOutcome::Loaded || outcome == OpenOutcome::LoadedIncomplete;
}

}  // namespace

// pl3ctl diff A.PL-3 B.PL-3: the differences on standard output, one a line.
int runDiff(CliContext& context, const Arguments& args) {
    if (args.size() != 2 || args[0].starts_with("-") || args[1].starts_with("-")) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    CMaItemDoc before(context.settings);
    CMaItemDoc after(context.settings);
    if (!load(context, before, args[0]) || !load(context, after, args[1])) return kExitFileError;

    std::vector<DiffEntry> entries = diffCodeplugs(before, after);
    for (const DiffEntry& entry : entries)
        std::cout << formatDiffEntry(entry) << "\n";
    if (entries.empty()) {
        context.report(text_key::kDiffSame);
        return kExitDone;
    }
    std::cerr << "pl3ctl: "
              << withNumbers(context.texts.text(text_key::kDiffCount),
                             {static_cast<long long>(entries.size())})
              << "\n";
    return kExitDifferent;
}

}  // namespace pl3::cli
