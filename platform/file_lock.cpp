#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace pl3::platform {

namespace {

// Short against the wait, long enough not to keep a core busy.
constexpr std::chrono::milliseconds kRetryInterval{50};

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

// flock() rather than fcntl() locks: these belong to the open file, so reading and
// saving the file through other descriptors of this process does not drop the lock.
FileLock::FileLock(const std::string& path, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        // O_NONBLOCK: a FIFO without writer must not hang the open; it is refused below.
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            errorNumber_ = errno;
            return;
        }
        struct stat opened {};
        const int statFailure = ::fstat(fd, &opened) == 0 ? 0 : errno;
        if (statFailure != 0 || !S_ISREG(opened.st_mode)) {
            errorNumber_ = statFailure != 0 ? statFailure : EINVAL;
            ::close(fd);
            return;
        }
        bool replaced = false;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            struct stat current {};
            if (::stat(path.c_str(), &current) == 0 && sameFile(current, opened)) {
                handle_ = fd;
                state_ = FileLockState::Held;
                return;
            }
            replaced = true;  // a lock on the file replaced guards nothing
            ::close(fd);
        } else {
            const int why = errno;
            ::close(fd);
            if (why != EWOULDBLOCK && why != EINTR) {
                errorNumber_ = why;
                return;
            }
        }
        const auto now = std::chrono::steady_clock::now();
        if (replaced && now < deadline) continue;
        if (now >= deadline) {
            state_ = FileLockState::InUse;
            return;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kRetryInterval, deadline - now));
    }
}

FileLock::~FileLock() {
    // Closing the last descriptor of the open file releases the lock.
    if (state_ == FileLockState::Held) ::close(static_cast<int>(handle_));
}

}  // namespace pl3::platform
