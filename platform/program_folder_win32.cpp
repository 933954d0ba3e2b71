#include "platform/program_folder.h"

#include <windows.h>

#include <string>

#include "platform/win32_text.h"

namespace pl3::platform {

std::string executableFolder() {
    // Long paths reach 32767 characters; grow the buffer until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
    std::size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return {};
    return win32::utf8(path.substr(0, separator));
}

}  // namespace pl3::platform
