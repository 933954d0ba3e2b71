#pragma once
// The folder where the platform keeps a user's own application data.

#include <string>

namespace pl3::platform {

// Linux: $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share; Windows:
// %APPDATA%. Empty when the environment names no such folder.
std::string userDataFolder();

}  // namespace pl3::platform
