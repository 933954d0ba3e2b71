#include <iostream>

#include "codeplug/document_commands.h"
#include "codeplug/field_registry.h"
#include "codeplug/text_keys.h"
#include "tools/pl3ctl/commands.h"
#include "tools/pl3ctl/exit_codes.h"

namespace pl3::cli {

// pl3ctl set FILE FIELD[=VALUE] ...: every FIELD=VALUE is written through the document's
// field operations and the file saved once; a FIELD alone prints its value. Nothing is
// written when any argument is wrong.
int runSet(CliContext& context, const Arguments& args) {
    if (args.size() < 2) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    CMaItemDoc doc(context.settings);
    OpenOutcome outcome = openDocument(doc, args[0], context.prompter);
    if (outcome == OpenOutcome::NotADataFile || outcome == OpenOutcome::FileError)
        return kExitFileError;

    bool changed = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::size_t equals = arg.find('=');
        std::string name = arg.substr(0, equals);
        std::optional<FieldRef> field = findField(name);
        if (!field) {
            context.report(text_key::kCliUnknownField, name);
            return kExitUsage;
        }
        if (equals == std::string::npos) {
            std::cout << field->get(doc) << "\n";
            continue;
        }
        if (!field->set(doc, std::string_view(arg).substr(equals + 1))) {
            context.report(text_key::kCliBadValue, arg + "  (" + field->info->valueHelp + ")");
            return kExitUsage;
        }
        changed = true;
    }
    if (!changed) return kExitDone;
    warnIfLongerThanDataFile(context, args[0]);
    return storeDocument(doc, args[0], context.prompter) ? kExitDone : kExitFileError;
}

}  // namespace pl3::cli
