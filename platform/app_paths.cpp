#include "platform/app_paths.h"

#include <filesystem>

#include "platform/file_status.h"
#include "platform/program_folder.h"
#include "platform/user_data_folder.h"
#include "platform/utf8_path.h"

namespace pl3 {

namespace {

constexpr std::string_view kAppFolder = "/pl3";
constexpr std::string_view kInstalledDataFolder = "../share/pl3";

bool isFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(platform::utf8Path(path), error);
}

// Writing replaces the file through a temporary one beside it: both need write access.
bool isWritableInPlace(const std::string& folder, const std::string& file) {
    return platform::mayWrite(file) && platform::mayWrite(folder);
}

std::string underUserFolder(const std::string& base) {
    return base.empty() ? std::string() : base + std::string(kAppFolder);
}

AppPaths pathsIn(const std::string& programFolder) {
    AppPaths paths;
    paths.programFolder = programFolder;
    paths.settingsPath = settingsPathIn(programFolder);
    return paths;
}

void chooseLanguageFile(AppPaths& paths, int systemLocaleId) {
    paths.languageFilePath =
        languageFilePathFor(paths, effectiveLanguageName(paths.settings(), systemLocaleId));
}

}  // namespace

FolderLookup folderLookupFor(std::string givenFolder) {
    return {std::move(givenFolder), platform::executableFolder(), platform::userConfigFolder(),
            platform::userRoamingDataFolder()};
}

std::vector<std::string> programFolderCandidates(const FolderLookup& lookup) {
    if (!lookup.givenFolder.empty()) return {lookup.givenFolder};
    if (lookup.executableFolder.empty()) return {};
    std::filesystem::path installed =
        (platform::utf8Path(lookup.executableFolder) / kInstalledDataFolder).lexically_normal();
    std::string installedFolder = installed.string();
    while (installedFolder.size() > 1 && installedFolder.back() == '/')
        installedFolder.pop_back();
    return {lookup.executableFolder, installedFolder};
}

SettingsFile AppPaths::settings() const {
    if (perUserSettings) return SettingsFile(settingsPath, userSettingsPath);
    return SettingsFile(settingsPath);
}

std::vector<std::string> AppPaths::languageFolders() const {
    std::vector<std::string> folders{programFolder};
    if (!userLanguageFolder.empty()) folders.push_back(userLanguageFolder);
    return folders;
}

std::string settingsPathIn(const std::string& programFolder) {
    return programFolder + "/" + std::string(kSettingsFileName);
}

std::string languageFilePathFor(const std::string& programFolder, const std::string& languageName) {
    return programFolder + "/" + languageName + ".lang";
}

std::string languageFilePathFor(const AppPaths& paths, const std::string& languageName) {
    if (!paths.userLanguageFolder.empty()) {
        std::string own = languageFilePathFor(paths.userLanguageFolder, languageName);
        if (isFile(own)) return own;
    }
    return languageFilePathFor(paths.programFolder, languageName);
}

std::optional<AppPaths> resolveAppPaths(const FolderLookup& lookup, int systemLocaleId) {
    std::vector<std::string> candidates = programFolderCandidates(lookup);
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        AppPaths paths = pathsIn(candidates[i]);
        if (!isFile(paths.settingsPath)) continue;
        paths.userLanguageFolder = underUserFolder(lookup.userDataFolder);
        // Only the executable's own folder or a given one is portable; the installed data
        // folder is never written, whoever runs the program.
        const bool installed = lookup.givenFolder.empty() && i > 0;
        if (installed || !isWritableInPlace(paths.programFolder, paths.settingsPath)) {
            std::string userFolder = underUserFolder(lookup.userConfigFolder);
            paths.perUserSettings = true;
            if (!userFolder.empty())
                paths.userSettingsPath = userFolder + "/" + std::string(kSettingsFileName);
        }
        chooseLanguageFile(paths, systemLocaleId);
        return paths;
    }
    return std::nullopt;
}

std::optional<AppPaths> resolveAppPaths(const std::string& programFolder, int systemLocaleId) {
    AppPaths paths = pathsIn(programFolder);
    if (!isFile(paths.settingsPath)) return std::nullopt;
    chooseLanguageFile(paths, systemLocaleId);
    return paths;
}

std::vector<std::string> userSettingsPathsTried() {
    std::vector<std::string> paths;
    for (const std::string& folder : platform::userConfigFolderSources())
        paths.push_back(underUserFolder(folder) + "/" + std::string(kSettingsFileName));
    return paths;
}

std::string missingSettingsMessage(const FolderLookup& lookup) {
    std::string message(kMissingSettingsMessage);
    for (const std::string& folder : programFolderCandidates(lookup))
        message += "\n" + folder;
    return message;
}

std::string emptyProgramFolderMessage() {
    return std::string(kMissingSettingsMessage) + "\n--program-dir \"\"";
}

}  // namespace pl3
