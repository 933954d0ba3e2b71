#pragma once
// What every pl3ctl command needs: the program's paths, its settings and texts, and a
// Prompter that writes to standard error.

#include <optional>
#include <string>
#include <string_view>

#include "app/app_paths.h"
#include "app/settings_file.h"
#include "lang/text_lookup.h"
#include "platform/prompter.h"

namespace pl3::cli {

// Messages go to standard error; questions are never asked of a script, so they count
// as cancelled.
class StderrPrompter : public Prompter {
  public:
    explicit StderrPrompter(const TextLookup& texts) : texts_(texts) {}
    void showMessage(const PromptMessage& message) override;
    bool askOkCancel(const PromptMessage& message) override;
    PromptAnswer askYesNoCancel(const PromptMessage& message) override;

  private:
    const TextLookup& texts_;
};

struct CliContext {
    AppPaths paths;
    SettingsFile settings;
    TextLookup texts;
    StderrPrompter prompter;

    explicit CliContext(AppPaths appPaths);
    CliContext(const CliContext&) = delete;
    CliContext& operator=(const CliContext&) = delete;

    // "pl3ctl: " + the looked-up text + detail, on standard error.
    void report(std::string_view textKey, std::string_view detail = {}) const;
};

// Resolves the paths from the program folder; prints the fixed missing-settings message
// and returns nullopt when setting.ini is not there. Warns when the language file is
// missing (every text then reads "Not Found").
std::optional<AppPaths> startUp(const std::string& programFolder);

}  // namespace pl3::cli
