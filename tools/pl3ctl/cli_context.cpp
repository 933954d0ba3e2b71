#include "tools/pl3ctl/cli_context.h"

#include <iostream>

#include "codeplug/data_file.h"
#include "codeplug/text_keys.h"
#include "platform/file_status.h"
#include "platform/system_locale.h"

namespace pl3::cli {

namespace {

bool isReadableFile(const std::string& path) {
    return platform::isRegularFile(path);
}

}  // namespace

CliContext::CliContext(AppPaths appPaths)
    : paths(std::move(appPaths)),
      settings(paths.settings()),
      texts(paths.languageFilePath),
      prompter(texts, "pl3ctl") {}

void CliContext::report(std::string_view textKey, std::string_view detail) const {
    std::cerr << "pl3ctl: " << texts.text(textKey) << detail << "\n";
}

void warnIfLongerThanDataFile(CliContext& context, const std::string& path) {
    std::optional<std::uint64_t> size = platform::regularFileSize(path);
    if (!size || *size <= data_file::kFileSize) return;
    context.prompter.showMessage(
        {text_key::kPrompt, text_key::kWarnFileLonger, path, PromptIcon::Exclamation});
}

std::unique_ptr<platform::FileLock> lockForChange(CliContext& context, const std::string& path) {
    auto lock = std::make_unique<platform::FileLock>(path, kFileInUseWait);
    if (lock->state() != platform::FileLockState::InUse) return lock;
    context.report(text_key::kCliFileInUse, path);
    return nullptr;
}

std::optional<AppPaths> startUp(const FolderLookup& lookup) {
    std::optional<AppPaths> paths = resolveAppPaths(lookup, platform::systemLocaleId());
    if (!paths) {
        std::cerr << missingSettingsMessage(lookup) << "\n";
        return std::nullopt;
    }
    if (!isReadableFile(paths->languageFilePath)) {
        // No language file means no texts to say this with.
        std::cerr << "pl3ctl: warning: language file " << paths->languageFilePath
                  << " not found; texts will read \"" << kTextNotFound << "\"\n";
    }
    return paths;
}

}  // namespace pl3::cli
