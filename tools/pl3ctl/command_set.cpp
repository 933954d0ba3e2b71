// pl3ctl set: fields of a codeplug file changed by name, as the pages change them, or printed.

#include <iostream>

#include "codeplug/document_commands.h"
#include "codeplug/field_registry.h"
#include "codeplug/text_keys.h"
#include "editors/field_edit.h"
#include "tools/pl3ctl/commands.h"
#include "tools/pl3ctl/exit_codes.h"

namespace pl3::cli {

namespace {

enum class Assignment { Done, BadValue, Refused };

// A field a page shows changes as that page changes it, unless --raw asks for the field
// alone (a technician's byte-level edit: fixed channels, nothing brought along).
Assignment assign(CMaItemDoc& doc, const TextLookup& texts, const FieldRef& field,
                  std::string_view value, bool raw) {
    if (!raw) {
        switch (setAsThePagesDo(doc.editTarget(), texts, field, value)) {
            case FieldEdit::Done:
                return Assignment::Done;
            case FieldEdit::BadValue:
                return Assignment::BadValue;
            case FieldEdit::Refused:
                return Assignment::Refused;
            case FieldEdit::NotOnAPage:
                break;
        }
    }
    return field.set(doc, value) ? Assignment::Done : Assignment::BadValue;
}

}  // namespace

// pl3ctl set [--raw] FILE FIELD[=VALUE] ...: every FIELD=VALUE is applied in order and
// the file saved once; a FIELD alone prints its value. Nothing is written when any
// argument is wrong.
int runSet(CliContext& context, const Arguments& given) {
    Arguments args = given;
    const bool raw = !args.empty() && args.front() == "--raw";
    if (raw) args.erase(args.begin());
    if (args.size() < 2) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    std::unique_ptr<platform::FileLock> lock = lockForChange(context, args[0]);
    if (!lock) return kExitFileError;
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
        switch (assign(doc, context.texts, *field, std::string_view(arg).substr(equals + 1), raw)) {
            case Assignment::Done:
                break;
            case Assignment::BadValue:
                context.report(text_key::kCliBadValue, arg + "  (" + field->info->valueHelp + ")");
                return kExitUsage;
            case Assignment::Refused:
                context.report(text_key::kCliFieldRefused, arg);
                return kExitUsage;
        }
        changed = true;
    }
    if (!changed) return kExitDone;
    warnIfLongerThanDataFile(context, args[0]);
    return storeDocument(doc, args[0], context.prompter) ? kExitDone : kExitFileError;
}

}  // namespace pl3::cli
