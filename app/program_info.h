#pragma once
// What the programs say about themselves: the version and the folders they use (the
// About box and --version), and where the user's manual of a language is.

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "lang/text_lookup.h"
#include "link/transfer_log.h"
#include "platform/app_paths.h"
#include "platform/prompter.h"

namespace pl3 {

struct FolderInUse {
    std::string_view textKey;  // the caption before the path
    std::string path;
    std::string captionDetail = {};  // follows the caption's text: why a log is incomplete
};

// The program folder, the per-user settings file (when the programs write one), the
// per-user language folder and the backups folder (when known).
std::vector<FolderInUse> foldersInUse(const AppPaths& paths, const std::string& backupsFolder);

// The conversation log while transfers are logged in a folder: the log of the last
// transfer (said to be incomplete when it is), else the newest in the folder, else the
// folder itself.
std::optional<FolderInUse> conversationLogInUse(const link::LogOutcome& last);

// "<program> <version>" and then the folders in use, one a line, captions from texts.
// Without paths (no setting.ini found) the folders searched are named instead.
void printVersion(std::ostream& out, std::string_view program, const FolderLookup& lookup);

// The manual files of the language in use, in the order they are tried: the compiled
// help (".chm") beside the language file first, then the HTML manual beside it and in the
// program folder.
std::vector<std::string> helpFileCandidates(const AppPaths& paths,
                                            const std::string& languageFilePath);

// Hands a file or folder to whatever the desktop shows it with; false when nothing could.
using FileOpener = std::function<bool(const std::string& path)>;

// Help: opens the first manual file that exists. Without one the user learns which files
// were looked for; when nothing can show it, which file the manual is.
void openManual(const std::vector<std::string>& candidates, const FileOpener& open,
                Prompter& prompter);

// A file or folder the About box names: when nothing can show it, the user is told which.
void openShownPath(const std::string& path, const FileOpener& open, Prompter& prompter);

// Whether the About box is the English one: only when the language in effect (the file
// the texts come from, whether chosen in setting.ini or by the system's locale) is
// "english", spelt exactly so.
bool aboutInEnglish(const std::string& languageFilePath);

}  // namespace pl3
