#include "platform/user_data_folder.h"

#include <cstdlib>

namespace pl3::platform {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string userFolder(const char* xdgVariable, const char* belowHome) {
    // A relative XDG path is invalid and must be ignored.
    std::string xdg = environment(xdgVariable);
    if (!xdg.empty() && xdg.front() == '/') return xdg;
    std::string home = environment("HOME");
    if (home.empty() || home.front() != '/') return {};
    return home + belowHome;
}

std::vector<std::string> userFolderSources(const char* xdgVariable, const char* belowHome) {
    return {std::string("$") + xdgVariable, std::string("$HOME") + belowHome};
}

}  // namespace

std::string userDataFolder() {
    return userFolder("XDG_DATA_HOME", "/.local/share");
}

std::string userRoamingDataFolder() {
    return userDataFolder();
}

std::string userConfigFolder() {
    return userFolder("XDG_CONFIG_HOME", "/.config");
}

std::vector<std::string> userConfigFolderSources() {
    return userFolderSources("XDG_CONFIG_HOME", "/.config");
}

std::string userStateFolder() {
    return userFolder("XDG_STATE_HOME", "/.local/state");
}

}  // namespace pl3::platform
