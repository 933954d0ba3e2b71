#include "app/program_info.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "codeplug/backup_store.h"
#include "codeplug/text_keys.h"
#include "platform/build_version.h"
#include "platform/system_locale.h"
#include "platform/utf8_path.h"

namespace pl3 {

namespace {

constexpr std::string_view kEnglishLanguage = "english";

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The file name without its folder and extension: the language name.
std::string stemOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.substr(0, name.rfind('.'));
}

}  // namespace

std::vector<FolderInUse> foldersInUse(const AppPaths& paths, const std::string& backupsFolder) {
    std::vector<FolderInUse> folders{{text_key::kProgramFolder, paths.programFolder}};
    if (!paths.userSettingsPath.empty())
        folders.push_back({text_key::kUserSettingsFile, paths.userSettingsPath});
    if (!paths.userLanguageFolder.empty())
        folders.push_back({text_key::kUserLanguageFolder, paths.userLanguageFolder});
    if (!backupsFolder.empty()) folders.push_back({text_key::kBackupFolder, backupsFolder});
    return folders;
}

std::optional<FolderInUse> conversationLogInUse(const link::LogOutcome& last) {
    const link::LogPlace& place = last.place;
    if (place.kind != link::LogPlace::Kind::Folder || place.path.empty()) return std::nullopt;
    if (!last.incomplete.empty())
        return FolderInUse{text_key::kLogIncomplete, last.path, last.incomplete};
    if (!last.path.empty()) return FolderInUse{text_key::kLogFile, last.path};
    std::vector<std::string> logs = link::transferLogsNewestFirst(place.path);
    if (!logs.empty()) return FolderInUse{text_key::kLogFile, logs.front()};
    return FolderInUse{text_key::kLogFolder, place.path};
}

void printVersion(std::ostream& out, std::string_view program, const FolderLookup& lookup) {
    out << program << " " << kVersionText << "\n";
    std::optional<AppPaths> paths = resolveAppPaths(lookup, platform::systemLocaleId());
    if (!paths) {
        out << missingSettingsMessage(lookup) << "\n";
        return;
    }
    TextLookup texts(paths->languageFilePath);
    for (const FolderInUse& folder : foldersInUse(*paths, backup::defaultFolder()))
        out << texts.text(folder.textKey) << " " << folder.path << "\n";
}

std::vector<std::string> helpFileCandidates(const AppPaths& paths,
                                            const std::string& languageFilePath) {
    const std::string language = stemOf(languageFilePath);
    const std::string beside = folderOf(languageFilePath) + "/" + language;
    std::vector<std::string> candidates{beside + ".chm", beside + ".html"};
    const std::string shipped = paths.programFolder + "/" + language + ".html";
    if (shipped != candidates.back()) candidates.push_back(shipped);
    return candidates;
}

void openManual(const std::vector<std::string>& candidates, const FileOpener& open,
                Prompter& prompter) {
    std::string looked;
    for (const std::string& candidate : candidates) {
        std::error_code error;
        if (std::filesystem::is_regular_file(platform::utf8Path(candidate), error)) {
            if (!open(candidate))
                prompter.showMessage({text_key::kPrompt, text_key::kNoManualViewer, candidate,
                                      PromptIcon::Exclamation});
            return;
        }
        looked += "\n" + candidate;
    }
    prompter.showMessage({text_key::kPrompt, text_key::kNoHelp, looked, PromptIcon::Information});
}

void openShownPath(const std::string& path, const FileOpener& open, Prompter& prompter) {
    if (!open(path))
        prompter.showMessage(
            {text_key::kPrompt, text_key::kNoFileViewer, path, PromptIcon::Exclamation});
}

bool aboutInEnglish(const std::string& languageFilePath) {
    return stemOf(languageFilePath) == kEnglishLanguage;
}

}  // namespace pl3
