#include "lang/settings_warnings.h"

#include <vector>

#include "codeplug/frequency_range.h"
#include "codeplug/text_keys.h"
#include "platform/private_profile.h"

namespace pl3 {

void warnAboutUnusableSettings(const SettingsFile& settings, Prompter& prompter) {
    platform::FileError error;
    switch (platform::inspectProfile(settings.path(), &error)) {
        case platform::ProfileContent::Unreadable:
            prompter.showMessage({text_key::kPrompt, text_key::kErrorOpenFile,
                                  settings.path() + "\n" + error.describe(),
                                  PromptIcon::Exclamation});
            return;
        case platform::ProfileContent::NotText:
            prompter.showMessage({text_key::kPrompt, text_key::kWarnSettingsText, settings.path(),
                                  PromptIcon::Exclamation});
            return;
        case platform::ProfileContent::Text:
            break;
    }
    std::vector<std::string> entries = freq_range::unusableEntries(settings);
    if (entries.empty()) return;
    std::string detail = settings.path();
    for (const std::string& entry : entries)
        detail += "\n" + entry;
    prompter.showMessage(
        {text_key::kPrompt, text_key::kWarnSettingsRange, detail, PromptIcon::Exclamation});
}

void SettingsWriteWarning::tell(Prompter& prompter, const std::string& settingsPath) {
    if (told_) return;
    told_ = true;
    prompter.showMessage(
        {text_key::kPrompt, text_key::kWarnSettingsWrite, settingsPath, PromptIcon::Exclamation});
}

bool SettingsWriteWarning::check(bool written, Prompter& prompter,
                                 const std::string& settingsPath) {
    if (!written) tell(prompter, settingsPath);
    return written;
}

}  // namespace pl3
