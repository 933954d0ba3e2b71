#include "lang/settings_warnings.h"

#include <filesystem>
#include <vector>

#include "codeplug/frequency_range.h"
#include "codeplug/text_keys.h"
#include "platform/app_paths.h"
#include "platform/private_profile.h"
#include "platform/utf8_path.h"

namespace pl3 {

namespace {

// Tells the user when the file cannot be read or is not text; true when it reads.
bool isReadableText(const std::string& path, Prompter& prompter) {
    platform::FileError error;
    switch (platform::inspectProfile(path, &error)) {
        case platform::ProfileContent::Unreadable:
            prompter.showMessage({text_key::kPrompt, text_key::kErrorOpenFile,
                                  path + "\n" + error.describe(), PromptIcon::Exclamation});
            return false;
        case platform::ProfileContent::NotText:
            prompter.showMessage(
                {text_key::kPrompt, text_key::kWarnSettingsText, path, PromptIcon::Exclamation});
            return false;
        case platform::ProfileContent::Text:
            break;
    }
    return true;
}

}  // namespace

void warnAboutUnusableSettings(const SettingsFile& settings, Prompter& prompter) {
    if (!isReadableText(settings.shippedPath(), prompter)) return;
    // No per-user file yet is the usual case, not a fault; one that cannot even be looked
    // at (a loop of symbolic links) is there and unreadable.
    std::error_code lookFailure;
    if (settings.hasUserFile() &&
        (std::filesystem::exists(platform::utf8Path(settings.path()), lookFailure) ||
         lookFailure) &&
        !isReadableText(settings.path(), prompter)) {
        return;
    }
    std::vector<freq_range::UnusableEntry> entries = freq_range::unusableEntries(settings);
    if (entries.empty()) return;
    // Each file named once, before its entries.
    std::string detail;
    const std::string* file = nullptr;
    for (const freq_range::UnusableEntry& entry : entries) {
        if (file == nullptr || *file != entry.file) {
            file = &entry.file;
            detail += (detail.empty() ? "" : "\n") + entry.file;
        }
        detail += "\n" + entry.line;
    }
    prompter.showMessage(
        {text_key::kPrompt, text_key::kWarnSettingsRange, detail, PromptIcon::Exclamation});
}

void SettingsWriteWarning::tell(Prompter& prompter, const std::string& settingsPath) {
    if (told_) return;
    told_ = true;
    if (settingsPath.empty()) {
        // No per-user folder is known: name where it was looked for.
        std::string tried;
        for (const std::string& path : userSettingsPathsTried())
            tried += "\n" + path;
        prompter.showMessage({text_key::kPrompt, text_key::kWarnSettingsNoUserFolder, tried,
                              PromptIcon::Exclamation});
        return;
    }
    prompter.showMessage(
        {text_key::kPrompt, text_key::kWarnSettingsWrite, settingsPath, PromptIcon::Exclamation});
}

bool SettingsWriteWarning::check(bool written, Prompter& prompter,
                                 const std::string& settingsPath) {
    if (!written) tell(prompter, settingsPath);
    return written;
}

}  // namespace pl3
