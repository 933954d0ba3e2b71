#include "platform/private_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace pl3::platform {

namespace {

constexpr mode_t kPrivateMode = 0600;

std::FILE* openAsStream(int fd) {
    std::FILE* file = ::fdopen(fd, "w");
    if (file == nullptr) {
        const int failure = errno;
        ::close(fd);
        errno = failure;
    }
    return file;
}

std::FILE* failWith(int fd, int errorNumber) {
    ::close(fd);
    errno = errorNumber;
    return nullptr;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".")
           : slash == 0               ? std::string("/")
                                      : path.substr(0, slash);
}

}  // namespace

std::FILE* createPrivateFile(const std::string& path) {
    // The mode is given at creation: a chmod afterwards would leave a moment in which
    // another user could open the file and keep reading it.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateMode);
    return fd < 0 ? nullptr : openAsStream(fd);
}

std::FILE* rewritePrivateFile(const std::string& path) {
    // O_NONBLOCK: a FIFO without a reader must not hang the open; it is refused below.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0) return failWith(fd, errno);
    if (!S_ISREG(info.st_mode)) return failWith(fd, EINVAL);
    // Made private before anything is written into it.
    if (::fchmod(fd, kPrivateMode) != 0 || ::ftruncate(fd, 0) != 0) return failWith(fd, errno);
    // O_NONBLOCK means nothing to a regular file, so it may stay.
    return openAsStream(fd);
}

bool mayWriteFile(const std::string& path, int* errorNumber) {
    auto fail = [&](int error) {
        *errorNumber = error;
        return false;
    };
    if (::access(path.c_str(), W_OK) == 0) return true;
    if (errno != ENOENT) return fail(errno);
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0) return fail(EEXIST);
    const std::string folder = folderOf(path);
    return ::access(folder.c_str(), W_OK | X_OK) == 0 || fail(errno);
}

}  // namespace pl3::platform
