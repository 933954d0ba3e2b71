#include "platform/user_data_folder.h"

#include <cstdlib>

namespace pl3::platform {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

std::string userDataFolder() {
#ifdef _WIN32
    return environment("APPDATA");
#else
    // A relative XDG_DATA_HOME is invalid and must be ignored.
    std::string xdg = environment("XDG_DATA_HOME");
    if (!xdg.empty() && xdg.front() == '/') return xdg;
    std::string home = environment("HOME");
    if (home.empty() || home.front() != '/') return {};
    return home + "/.local/share";
#endif
}

}  // namespace pl3::platform
