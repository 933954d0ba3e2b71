#pragma once
// What the language dialog decides: which installed languages it offers, which one is
// selected when it opens, and which file the OK button switches to.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lang/language_list.h"
#include "lang/settings_warnings.h"
#include "lang/text_lookup.h"
#include "platform/settings_file.h"

namespace pl3 {

// The language file OK switches to: its path, and its title as stored in setting.ini.
struct LanguageSelection {
    std::string path;
    std::string title;
};

class LanguageChoice {
  public:
    // currentPath is the language file in use; it preselects its entry.
    LanguageChoice(std::vector<LanguageFile> entries, std::string_view currentPath);

    const std::vector<LanguageFile>& entries() const { return entries_; }
    // What the list shows, one per entry, in entry order.
    std::vector<std::string> displayNames() const;
    // The entry of the current language file, or -1 when it is not in the list.
    int initialIndex() const { return initialIndex_; }

    // The first entry whose display name is exactly selectedText (two files may share
    // one; the list itself is what the user sees), or nullopt.
    std::optional<LanguageSelection> commit(std::string_view selectedText) const;

  private:
    std::vector<LanguageFile> entries_;
    int initialIndex_ = -1;
};

// The languages of the folders (program folder, then the user's), with the file texts
// reads from preselected.
LanguageChoice languageChoiceFor(const std::vector<std::string>& folders, const TextLookup& texts);

// OK with selectedText: stores the chosen title as "language" and makes texts read the
// chosen file. Returns the selection, or nullopt (and changes nothing) when no entry has
// that text. A failed write is told through warning, in the chosen language.
std::optional<LanguageSelection> applyLanguageChoice(
    const LanguageChoice& choice, std::string_view selectedText, TextLookup& texts,
    const SettingsFile& settings, SettingsWriteWarning& warning, Prompter& prompter);

}  // namespace pl3
