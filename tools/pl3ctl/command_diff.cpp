// pl3ctl diff: the differences between two codeplug files, by field or in the pages' words.

#include <iostream>
#include <optional>
#include <string>

#include "codeplug/codeplug_diff.h"
#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "editors/difference_words.h"
#include "tools/pl3ctl/commands.h"
#include "tools/pl3ctl/exit_codes.h"

namespace pl3::cli {

namespace {

bool load(CliContext& context, CMaItemDoc& doc, const std::string& path) {
    OpenOutcome outcome = openDocument(doc, path, context.prompter);
    return outcome == OpenOutcome::Loaded || outcome == OpenOutcome::LoadedIncomplete;
}

// Each page's heading, then its differences indented below it.
void printWorded(const std::vector<DiffEntry>& entries, const CMaItemDoc& before,
                 const CMaItemDoc& after, const TextLookup& texts) {
    std::optional<ComparePage> page;
    for (const WordedDifference& difference : wordDifferences(entries, before, after, texts)) {
        if (difference.page != page) {
            page = difference.page;
            std::cout << pageHeading(*page, texts) << "\n";
        }
        std::cout << "  " << wordedLine(difference, texts) << "\n";
    }
}

}  // namespace

// pl3ctl diff [--words] A.PL-3 B.PL-3: the differences on standard output, one a line.
int runDiff(CliContext& context, const Arguments& args) {
    bool inWords = false;
    std::vector<std::string> paths;
    for (const std::string& arg : args) {
        if (arg == "--words" && !inWords) {
            inWords = true;
        } else if (!arg.starts_with("-")) {
            paths.push_back(arg);
        } else {
            printUsage(std::cerr);
            return kExitUsage;
        }
    }
    if (paths.size() != 2) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    CMaItemDoc before(context.settings);
    CMaItemDoc after(context.settings);
    if (!load(context, before, paths[0]) || !load(context, after, paths[1])) return kExitFileError;

    std::vector<DiffEntry> entries = diffCodeplugs(before, after);
    if (inWords) {
        printWorded(entries, before, after, context.texts);
    } else {
        for (const DiffEntry& entry : entries)
            std::cout << formatDiffEntry(entry) << "\n";
    }
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
