// pl3ctl new: a codeplug file with the factory defaults of a frequency range.

#include <charconv>
#include <iostream>

#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "tools/pl3ctl/commands.h"
#include "tools/pl3ctl/exit_codes.h"

namespace pl3::cli {

// pl3ctl new [--range N] -o FILE
int runNew(CliContext& context, const Arguments& args) {
    std::string output;
    int range = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-o" && i + 1 < args.size()) {
            output = args[++i];
        } else if (arg == "--range" && i + 1 < args.size()) {
            const std::string& value = args[++i];
            auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), range);
            if (error != std::errc() || end != value.data() + value.size() || range < 0 ||
                range >= kMaxFreqRanges ||
                !freq_range::parseCode(context.settings.freqRangeData(range).value_or(""))) {
                context.report(text_key::kCliBadValue, "--range " + value);
                return kExitUsage;
            }
        } else {
            printUsage(std::cerr);
            return kExitUsage;
        }
    }
    if (output.empty()) {
        printUsage(std::cerr);
        return kExitUsage;
    }

    CMaItemDoc doc(context.settings);
    bool skipPrompt = true;
    newDocument(doc, context.prompter, skipPrompt);
    // The factory defaults do not depend on the range, so selecting it last is the same
    // as the channel page's range change.
    doc.selectRange(range);
    return storeDocument(doc, output, context.prompter) ? kExitDone : kExitFileError;
}

}  // namespace pl3::cli
