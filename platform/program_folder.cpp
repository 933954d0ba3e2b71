#include "platform/program_folder.h"

#include <string_view>
#include <utility>
#include <vector>

namespace pl3::platform {

namespace {

constexpr std::string_view kOption = "--program-dir";

std::string withoutTrailingSlashes(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

}  // namespace

std::optional<std::string> takeProgramDirOption(int& argc, char** argv) {
    if (argc <= 1 || argv == nullptr) return std::string();

    std::string folder;
    bool given = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i] != nullptr ? argv[i] : "";
        if (argument == kOption && i + 1 < argc && argv[i + 1] != nullptr) {
            folder = argv[++i];
            given = true;
            continue;
        }
        if (argument.size() > kOption.size() && argument.starts_with(kOption) &&
            argument[kOption.size()] == '=') {
            folder = std::string(argument.substr(kOption.size() + 1));
            given = true;
            continue;
        }
        argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;

    // The later of repeated options wins; an empty DIR names no folder.
    if (given && folder.empty()) return std::nullopt;
    return withoutTrailingSlashes(std::move(folder));
}

}  // namespace pl3::platform
