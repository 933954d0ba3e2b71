#include "platform/user_data_folder.h"

#include <cstdlib>

#include "platform/win32_text.h"

namespace pl3::platform {

namespace {

// The shell sets both variables for every process of a logged-on user; their folders
// already allow the user alone, and what is made below them inherits that.
std::string environment(const wchar_t* name) {
    const wchar_t* value = ::_wgetenv(name);
    return value != nullptr ? win32::utf8(value) : std::string();
}

}  // namespace

std::string userDataFolder() {
    return environment(L"LOCALAPPDATA");
}

std::string userRoamingDataFolder() {
    return environment(L"APPDATA");
}

std::string userConfigFolder() {
    return environment(L"APPDATA");
}

std::vector<std::string> userConfigFolderSources() {
    return {"%APPDATA%"};
}

std::string userStateFolder() {
    return environment(L"LOCALAPPDATA");
}

}  // namespace pl3::platform
