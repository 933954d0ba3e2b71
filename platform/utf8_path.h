#pragma once
// A std::filesystem path from a UTF-8 name. The programs keep every name in UTF-8; the
// standard library reads a plain narrow string in the system's code page on Windows, so
// such a path would miss a folder named in Chinese. (path::string() gives UTF-8 back.)

#include <filesystem>
#include <string>
#include <string_view>

namespace pl3::platform {

inline std::filesystem::path utf8Path(std::string_view name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

}  // namespace pl3::platform
