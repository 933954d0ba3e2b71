#include "platform/app_paths.h"

#include "platform/settings_file.h"

namespace pl3 {

std::string settingsPathIn(const std::string& programFolder) {
    return programFolder + "/" + std::string(kSettingsFileName);
}

std::string languageFilePathFor(const std::string& programFolder, const std::string& languageName) {
    return programFolder + "/" + languageName + ".lang";
}

std::optional<AppPaths> resolveAppPaths(const std::string& programFolder, int systemLocaleId) {
    SettingsFile settings(settingsPathIn(programFolder));
    if (!settings.exists()) return std::nullopt;
    return AppPaths{
        programFolder, settings.path(),
        languageFilePathFor(programFolder, effectiveLanguageName(settings, systemLocaleId))};
}

}  // namespace pl3
