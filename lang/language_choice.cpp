#include "lang/language_choice.h"

namespace pl3 {

LanguageChoice::LanguageChoice(std::vector<LanguageFile> entries, std::string_view currentPath)
    : entries_(std::move(entries)) {
    if (const LanguageFile* current = findByPath(entries_, currentPath)) {
        initialIndex_ = static_cast<int>(current - entries_.data());
    }
}

std::vector<std::string> LanguageChoice::displayNames() const {
    std::vector<std::string> names;
    names.reserve(entries_.size());
    for (const LanguageFile& entry : entries_)
        names.push_back(entry.displayName);
    return names;
}

std::optional<LanguageSelection> LanguageChoice::commit(std::string_view selectedText) const {
    const LanguageFile* chosen = findByDisplayName(entries_, selectedText);
    if (chosen == nullptr) return std::nullopt;
    return LanguageSelection{chosen->path, chosen->title};
}

LanguageChoice languageChoiceFor(const std::vector<std::string>& folders, const TextLookup& texts) {
    return LanguageChoice(languageList(folders), texts.languageFilePath());
}

std::optional<LanguageSelection> applyLanguageChoice(
    const LanguageChoice& choice, std::string_view selectedText, TextLookup& texts,
    const SettingsFile& settings, SettingsWriteWarning& warning, Prompter& prompter) {
    std::optional<LanguageSelection> selection = choice.commit(selectedText);
    if (!selection) return std::nullopt;
    // The running program switches even when setting.ini cannot be written: the user
    // asked for the language now; only the next start would fall back.
    const bool written = settings.setLanguageName(selection->title);
    texts.setLanguageFilePath(selection->path);
    warning.check(written, prompter, settings.path());
    return selection;
}

}  // namespace pl3
