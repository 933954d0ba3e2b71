#include "platform/program_folder.h"

#include <unistd.h>

#include <vector>

namespace pl3::platform {

namespace {

constexpr std::size_t kMaxLinkLength = 1 << 16;

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

}  // namespace pl3::platform
