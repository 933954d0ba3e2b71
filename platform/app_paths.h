#pragma once
// The paths fixed at start-up: the program folder, setting.ini in it, and the language
// file the settings (or the system locale) choose.

#include <optional>
#include <string>

namespace pl3 {

struct AppPaths {
    std::string programFolder;
    std::string settingsPath;
    std::string languageFilePath;
};

std::string settingsPathIn(const std::string& programFolder);
std::string languageFilePathFor(const std::string& programFolder, const std::string& languageName);

// nullopt when setting.ini is missing from the program folder: the caller shows
// kMissingSettingsMessage and ends.
std::optional<AppPaths> resolveAppPaths(const std::string& programFolder, int systemLocaleId);

}  // namespace pl3
