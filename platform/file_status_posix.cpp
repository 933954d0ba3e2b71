#include "platform/file_status.h"

#include <sys/stat.h>
#include <unistd.h>

namespace pl3::platform {

namespace {

std::int64_t nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

}  // namespace

std::optional<RegularFileStamp> regularFileStamp(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return RegularFileStamp{status.st_dev, status.st_ino, status.st_size,
                            nanoseconds(status.st_mtim), nanoseconds(status.st_ctim)};
}

std::optional<std::uint64_t> regularFileSize(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

bool mayWrite(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

}  // namespace pl3::platform
