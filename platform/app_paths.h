#pragma once
// The paths fixed at start-up: the program folder (found by a lookup order), its
// setting.ini, the per-user settings file and language folder, and the language file the
// settings (or the system locale) choose.

#include <optional>
#include <string>
#include <vector>

#include "platform/settings_file.h"

namespace pl3 {

// Where the program folder may be, in the order it is looked for.
struct FolderLookup {
    std::string givenFolder;       // --program-dir; empty when not given
    std::string executableFolder;  // the portable layout: setting.ini beside the program
    std::string userConfigFolder;  // $XDG_CONFIG_HOME (or ~/.config); empty when unknown
    std::string userDataFolder;    // $XDG_DATA_HOME (or ~/.local/share); empty when unknown
};

// The lookup for this process: the executable's folder and the user's folders.
FolderLookup folderLookupFor(std::string givenFolder);

// The folders that may hold setting.ini, in order: the given folder alone when there is
// one; else the executable's folder, then ../share/pl3 beside it (an installed program).
std::vector<std::string> programFolderCandidates(const FolderLookup& lookup);

struct AppPaths {
    std::string programFolder;
    std::string settingsPath;        // setting.ini in the program folder
    std::string userSettingsPath;    // where the programs write; empty when they write settingsPath
    bool perUserSettings = false;    // settings read per user over settingsPath, written per user
    std::string userLanguageFolder;  // per-user *.lang files; empty when unknown
    std::string languageFilePath;

    SettingsFile settings() const;
    // Where language files are found; a later folder overrides an earlier one by name.
    std::vector<std::string> languageFolders() const;
};

std::string settingsPathIn(const std::string& programFolder);
std::string languageFilePathFor(const std::string& programFolder, const std::string& languageName);
// The per-user language file of that name when there is one, else the program folder's.
std::string languageFilePathFor(const AppPaths& paths, const std::string& languageName);

// nullopt when no candidate holds setting.ini: the caller shows missingSettingsMessage
// and ends. A given or portable folder whose setting.ini can be written keeps reading and
// writing it; otherwise the programs write the per-user file, never the program folder.
std::optional<AppPaths> resolveAppPaths(const FolderLookup& lookup, int systemLocaleId);
// The portable layout in programFolder alone, nothing per user.
std::optional<AppPaths> resolveAppPaths(const std::string& programFolder, int systemLocaleId);

// Where the per-user setting.ini is looked for, as the user would write it ("$HOME/..."),
// for a message when no such folder is known.
std::vector<std::string> userSettingsPathsTried();

// kMissingSettingsMessage on the first line, then each folder searched on a line.
std::string missingSettingsMessage(const FolderLookup& lookup);
// For a "--program-dir" whose DIR is empty, which names no folder to search:
// kMissingSettingsMessage, then the option as given.
std::string emptyProgramFolderMessage();

}  // namespace pl3
