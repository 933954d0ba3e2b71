#pragma once
// What the user is told about setting.ini beyond its values: entries the program cannot
// use, a file that is not text, and writes that did not reach the file. Each is said once
// rather than at every use, since every use reads the file again.

#include <string>

#include "platform/prompter.h"
#include "platform/settings_file.h"

namespace pl3 {

// Looks at the whole file once (at start-up): a file that cannot be read or is not text
// is reported as such, else every "data%d" entry that is skipped, in one message.
void warnAboutUnusableSettings(const SettingsFile& settings, Prompter& prompter);

// A setting the user chose (or the port a search found) that could not be written lasts
// only until the program ends. The first failure of a run is shown, naming the file; the
// later ones would only repeat it.
class SettingsWriteWarning {
  public:
    void tell(Prompter& prompter, const std::string& settingsPath);
    // Tells when written is false; returns written.
    bool check(bool written, Prompter& prompter, const std::string& settingsPath);

  private:
    bool told_ = false;
};

}  // namespace pl3
