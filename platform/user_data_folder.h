#pragma once
// The folders where the platform keeps a user's own application data, settings and state
// (logs).

#include <string>
#include <vector>

namespace pl3::platform {

// What stays on this machine (backups): Linux: $XDG_DATA_HOME when it is an absolute path,
// else $HOME/.local/share; Windows: %LOCALAPPDATA%. Empty when the environment names no
// such folder.
std::string userDataFolder();

// The user's own additions to the program's data (language files), which follow the user
// from machine to machine where the platform does that: Linux: the same as
// userDataFolder(); Windows: %APPDATA%.
std::string userRoamingDataFolder();

// Linux: $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config; Windows:
// %APPDATA%. Empty when the environment names no such folder.
std::string userConfigFolder();

// Where userConfigFolder() looks, as the user would write it, for a message when it
// found nothing: Linux "$XDG_CONFIG_HOME" and "$HOME/.config"; Windows "%APPDATA%".
std::vector<std::string> userConfigFolderSources();

// Linux: $XDG_STATE_HOME when it is an absolute path, else $HOME/.local/state; Windows:
// %LOCALAPPDATA%. Empty when the environment names no such folder.
std::string userStateFolder();

}  // namespace pl3::platform
