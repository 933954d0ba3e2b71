#pragma once
// The folders where the platform keeps a user's own application data, settings and state
// (logs).

#include <string>

namespace pl3::platform {

// Linux: $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share; Windows:
// %APPDATA%. Empty when the environment names no such folder.
std::string userDataFolder();

// Linux: $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config; Windows:
// %APPDATA%. Empty when the environment names no such folder.
std::string userConfigFolder();

// Linux: $XDG_STATE_HOME when it is an absolute path, else $HOME/.local/state; Windows:
// %APPDATA%. Empty when the environment names no such folder.
std::string userStateFolder();

}  // namespace pl3::platform
