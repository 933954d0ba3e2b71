#pragma once
// The folders where the platform keeps a user's own application data, settings and state
// (logs).

#include <string>
#include <vector>

namespace pl3::platform {

// Linux: $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share; Windows:
// %APPDATA%. Empty when the environment names no such folder.
std::string userDataFolder();

// Linux: $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config; Windows:
// %APPDATA%. Empty when the environment names no such folder.
std::string userConfigFolder();

// Where userConfigFolder() looks, as the user would write it, for a message when it
// found nothing: Linux "$XDG_CONFIG_HOME" and "$HOME/.config"; Windows "%APPDATA%".
std::vector<std::string> userConfigFolderSources();

// Linux: $XDG_STATE_HOME when it is an absolute path, else $HOME/.local/state; Windows:
// %APPDATA%. Empty when the environment names no such folder.
std::string userStateFolder();

}  // namespace pl3::platform
