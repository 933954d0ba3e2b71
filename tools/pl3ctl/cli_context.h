#pragma once
// What every pl3ctl command needs: the program's paths, its settings and texts, and a
// Prompter that writes to standard error.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "lang/settings_warnings.h"
#include "lang/stderr_prompter.h"
#include "lang/text_lookup.h"
#include "platform/app_paths.h"
#include "platform/file_lock.h"
#include "platform/settings_file.h"

namespace pl3::cli {

struct CliContext {
    AppPaths paths;
    SettingsFile settings;
    TextLookup texts;
    StderrPrompter prompter;
    SettingsWriteWarning settingsWarning;
    // --log FILE: where read and write log their conversation with the radio; empty: no log.
    std::string logFile;

    explicit CliContext(AppPaths appPaths);
    CliContext(const CliContext&) = delete;
    CliContext& operator=(const CliContext&) = delete;

    // "pl3ctl: " + the looked-up text + detail, on standard error.
    void report(std::string_view textKey, std::string_view detail = {}) const;
};

// Before a data file is saved again: one longer than the format loses the bytes after
// it, which the user hears of (the file is still saved).
void warnIfLongerThanDataFile(CliContext& context, const std::string& path);

// How long set and import-csv wait for a file another pl3ctl is changing (the message
// IDS_CLI_FILE_IN_USE names it).
inline constexpr std::chrono::seconds kFileInUseWait{10};

// For the whole load, change and save of a codeplug file: a lock that another pl3ctl
// changing the same file waits for. Null when that file is still in use after
// kFileInUseWait, which the user has been told. A file that cannot be locked (missing,
// not a regular file) is not guarded; loading it reports why.
std::unique_ptr<platform::FileLock> lockForChange(CliContext& context, const std::string& path);

// Looks for the program folder; prints the fixed missing-settings message with the
// folders searched and returns nullopt when none holds setting.ini. Warns when the language file is
// missing (every text then reads "Not Found").
std::optional<AppPaths> startUp(const FolderLookup& lookup);

}  // namespace pl3::cli
