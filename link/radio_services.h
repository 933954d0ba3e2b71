#pragma once
// What a conversation with the radio needs from the program: the port, the settings that
// choose it, the texts, where the automatic backups go and the once-a-run warning about
// settings that could not be stored. Dialogs that talk to the radio take this, not the
// whole application.

#include "codeplug/backup_store.h"
#include "lang/settings_warnings.h"
#include "lang/text_lookup.h"
#include "link/serial_port.h"
#include "platform/settings_file.h"

namespace pl3 {

struct RadioServices {
    SerialPort& port;
    SettingsFile& settings;
    const TextLookup& texts;
    backup::BackupStore& backups;
    SettingsWriteWarning& settingsWarning;
};

}  // namespace pl3
