#include "platform/program_folder.h"

#include <unistd.h>
#include <string_view>
#include <utility>
#include <vector>

namespace pl3::platform {

namespace {

constexpr std::string_view kOption = "--program-dir";
constexpr std::size_t kMaxLinkLength = 1 << 16;

std::string withoutTrailingSlashes(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

}  // namespace

std::string executableFolder() {
    std::vector<char> buffer(4096);
    for (;;) {
        ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return {};
        if (static_cast<std::size_t>(length) < buffer.size()) {
            std::string path(buffer.data(), static_cast<std::size_t>(length));
            std::size_t slash = path.rfind('/');
            if (slash == std::string::npos) return {};
            return slash == 0 ? "/" : path.substr(0, slash);
        }
        // The link may have been cut to the buffer: try again with more room.
        if (buffer.size() >= kMaxLinkLength) return {};
        buffer.resize(buffer.size() * 2);
    }
}

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
