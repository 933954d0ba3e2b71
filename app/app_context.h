#pragma once
// What the whole program shares, passed to whoever needs it: the paths fixed at start-up,
// the settings and texts, the one serial port (with its conversation log), the radio's version text
// and the skip-prompt flag of the document's new step.

#include <string>

#include "codeplug/backup_store.h"
#include "lang/settings_warnings.h"
#include "lang/text_lookup.h"
#include "link/radio_services.h"
#include "link/serial_port.h"
#include "platform/app_paths.h"
#include "platform/settings_file.h"

namespace pl3 {

struct AppContext {
    explicit AppContext(AppPaths appPaths)
        : paths(std::move(appPaths)),
          settings(paths.settings()),
          texts(paths.languageFilePath),
          port(settings) {
        logTransfers(settings.logCommunication());
    }
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    AppPaths paths;
    SettingsFile settings;
    TextLookup texts;
    SerialPort port;
    std::string radioVersion;  // "%d.%d" of the last read, empty before
    // Where the radio jobs keep their automatic backups (warns once per run on failure).
    backup::BackupStore backups;
    // Says once per run that setting.ini could not be written.
    SettingsWriteWarning settingsWarning;
    bool skipPrompt = false;

    // While "Log radio communication" is on, each transfer is logged in the state folder.
    void logTransfers(bool on) {
        port.setLogPlace(on ? link::LogPlace::folder(link::defaultLogFolder())
                            : link::LogPlace::off());
    }

    RadioServices radio() { return {port, settings, texts, backups, settingsWarning}; }
};

}  // namespace pl3
