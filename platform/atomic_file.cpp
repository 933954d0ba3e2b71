#include "platform/atomic_file.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <system_error>

namespace pl3::platform {

namespace {

constexpr mode_t kNewFileMode = 0644;
constexpr std::size_t kReadChunk = 64 * 1024;

bool fail(FileError* error, int errorNumber) {
    if (error != nullptr) error->errorNumber = errorNumber;
    return false;
}

// Closes the descriptor on every path out of a function.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now so that a failing close (a late write error on some file systems) is seen.
    int close() {
        int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

  private:
    int fd_;
};

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Makes the rename itself durable; failure only weakens crash safety, so it is ignored.
void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::string FileError::describe() const {
    return std::error_code(errorNumber, std::generic_category()).message();
}

namespace {

// Reads a regular file; a file longer than maxBytes fails with EFBIG unless its head is
// all the caller wants.
std::optional<std::vector<std::uint8_t>> readRegularFile(const std::string& path,
                                                         std::size_t maxBytes, bool headOnly,
                                                         FileError* error) {
    // O_NONBLOCK keeps a FIFO without writer from hanging the open; it is rejected below.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        fail(error, errno);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        fail(error, errno);
        return std::nullopt;
    }
    if (S_ISDIR(info.st_mode)) {
        fail(error, EISDIR);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        fail(error, EINVAL);
        return std::nullopt;
    }
    if (!headOnly && info.st_size > 0 && static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        fail(error, EFBIG);
        return std::nullopt;
    }

    const auto expected = std::min(static_cast<std::size_t>(info.st_size), maxBytes);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(expected);
    // The file may grow while it is read, so the limit is checked on what arrives too.
    for (;;) {
        std::size_t used = bytes.size();
        // Usually the size from fstat is right and a one-byte probe confirms the end.
        std::size_t wanted = used < expected ? expected - used : used == expected ? 1 : kReadChunk;
        std::size_t room = maxBytes - used;  // used never exceeds maxBytes here
        // Asking for one byte more than allowed reveals an oversized file.
        std::size_t chunk = room < wanted ? room + 1 : wanted;
        bytes.resize(used + chunk);
        ssize_t got = ::read(file.get(), bytes.data() + used, chunk);
        if (got < 0) {
            if (errno == EINTR) {
                bytes.resize(used);
                continue;
            }
            fail(error, errno);
            return std::nullopt;
        }
        bytes.resize(used + static_cast<std::size_t>(got));
        if (got == 0) break;
        if (headOnly && bytes.size() >= maxBytes) {
            bytes.resize(maxBytes);
            break;
        }
        if (bytes.size() > maxBytes) {
            fail(error, EFBIG);
            return std::nullopt;
        }
    }
    return bytes;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> readFile(const std::string& path, std::size_t maxBytes,
                                                  FileError* error) {
    return readRegularFile(path, maxBytes, false, error);
}

std::optional<std::vector<std::uint8_t>> readFileHead(const std::string& path, std::size_t maxBytes,
                                                      FileError* error) {
    return readRegularFile(path, maxBytes, true, error);
}

std::optional<std::vector<std::uint8_t>> readDescriptorHead(int fd, std::size_t maxBytes,
                                                            FileError* error) {
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < maxBytes) {
        std::size_t used = bytes.size();
        std::size_t chunk = std::min(kReadChunk, maxBytes - used);
        bytes.resize(used + chunk);
        ssize_t got = ::read(fd, bytes.data() + used, chunk);
        if (got < 0) {
            bytes.resize(used);
            if (errno == EINTR) continue;
            fail(error, errno);
            return std::nullopt;
        }
        bytes.resize(used + static_cast<std::size_t>(got));
        if (got == 0) break;
    }
    return bytes;
}

namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".")
           : slash == 0               ? std::string("/")
                                      : path.substr(0, slash);
}

// Follows symbolic links to the path of the file they end at, which need not exist.
std::optional<std::string> finalTarget(std::string path, FileError* error) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string target(static_cast<std::size_t>(info.st_size) + 1, '\0');
        ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0) {
            fail(error, errno);
            return std::nullopt;
        }
        target.resize(static_cast<std::size_t>(length));
        path = target.starts_with('/') || path.find('/') == std::string::npos
                   ? target
                   : folderOf(path) + "/" + target;
    }
    fail(error, ELOOP);
    return std::nullopt;
}

// Keeps the owner and group of the file replaced. Only root may give a file away; a user
// may still set a group of their own, so that is tried alone when both are refused.
bool keepOwner(int fd, const struct stat& existing) {
    if (::fchown(fd, existing.st_uid, existing.st_gid) == 0) return true;
    if (errno != EPERM) return false;
    ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
    return true;
}

// The file back at its former size after a failed reservation, which may have grown it
// without touching a byte it held; false when even that failed.
bool restoreSize(int fd, off_t size) {
    struct stat now {};
    return ::fstat(fd, &now) == 0 && (now.st_size == size || ::ftruncate(fd, size) == 0);
}

// Overwrites the file itself, so that every hard link to it sees the new content. Room
// for all of it is reserved first, so that a full disk fails before any byte changes;
// *changed tells whether the file may differ from before when this fails.
int writeInPlace(const std::string& path, const std::vector<std::uint8_t>& bytes, bool& changed) {
    // Read access lets the C library reserve room where the file system cannot.
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    FileDescriptor file(fd);
    if (file.get() < 0) return errno;
    struct stat before {};
    if (::fstat(file.get(), &before) != 0) return errno;
    if (!bytes.empty()) {
        int reserved = ::posix_fallocate(file.get(), 0, static_cast<off_t>(bytes.size()));
        // Without reservation on this file system the overwrite is still tried.
        if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
            changed = !restoreSize(file.get(), before.st_size);
            return reserved;
        }
    }
    changed = true;
    if (!writeAll(file.get(), bytes.data(), bytes.size()) ||
        ::ftruncate(file.get(), static_cast<off_t>(bytes.size())) != 0 ||
        ::fsync(file.get()) != 0) {
        return errno;
    }
    return file.close() == 0 ? 0 : errno;
}

}  // namespace

bool writeFileAtomically(const std::string& givenPath, const std::vector<std::uint8_t>& bytes,
                         FileError* error, WriteNotes* notes) {
    if (givenPath.empty()) return fail(error, ENOENT);
    std::optional<std::string> target = finalTarget(givenPath, error);
    if (!target) return false;
    const std::string& path = *target;
    std::string folder = folderOf(path);
    std::string base = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    if (base.empty()) return fail(error, EISDIR);  // "name/" can only mean a directory

    struct stat existing {};
    bool exists = ::lstat(path.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) return fail(error, errno);
    if (exists && S_ISDIR(existing.st_mode)) return fail(error, EISDIR);
    if (exists && !S_ISREG(existing.st_mode)) {
        if (error != nullptr) error->notRegularFile = true;
        return fail(error, EINVAL);
    }
    const bool inPlace = exists && existing.st_nlink > 1;

    std::string temporary = folder + "/." + base + ".XXXXXX";
    FileDescriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0) return fail(error, errno);

    int failure = 0;
    if (!writeAll(file.get(), bytes.data(), bytes.size()) ||
        (exists && !keepOwner(file.get(), existing)) ||
        ::fchmod(file.get(), exists ? existing.st_mode & 07777 : kNewFileMode) != 0 ||
        ::fsync(file.get()) != 0) {
        failure = errno;
    }
    if (file.close() != 0 && failure == 0) failure = errno;
    bool targetChanged = false;
    if (failure == 0) {
        if (inPlace) {
            failure = writeInPlace(path, bytes, targetChanged);
        } else if (::rename(temporary.c_str(), path.c_str()) != 0) {
            failure = errno;
        }
    }
    // After a failed overwrite the complete copy is all that holds the new content.
    const bool keepCopy = failure != 0 && targetChanged;
    if ((failure != 0 || inPlace) && !keepCopy) ::unlink(temporary.c_str());
    if (keepCopy && error != nullptr) {
        error->partlyWritten = true;
        error->completeCopy = temporary;
    }
    if (failure != 0) return fail(error, failure);
    if (notes != nullptr) notes->otherNames = inPlace ? existing.st_nlink - 1 : 0;
    syncFolder(folder);
    return true;
}

bool canWriteFile(const std::string& path, FileError* error, std::string* folder) {
    if (path.empty()) return fail(error, ENOENT);
    std::optional<std::string> target = finalTarget(path, error);
    if (!target) return false;
    if (folder != nullptr) *folder = folderOf(*target);
    struct stat info {};
    if (::stat(folderOf(*target).c_str(), &info) != 0) return fail(error, errno);
    if (!S_ISDIR(info.st_mode)) return fail(error, ENOTDIR);
    if (::access(folderOf(*target).c_str(), W_OK | X_OK) != 0) return fail(error, errno);
    if (::stat(target->c_str(), &info) != 0) return errno == ENOENT || fail(error, errno);
    if (S_ISDIR(info.st_mode)) return fail(error, EISDIR);
    if (!S_ISREG(info.st_mode)) {
        if (error != nullptr) error->notRegularFile = true;
        return fail(error, EINVAL);
    }
    return true;
}

}  // namespace pl3::platform
