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

bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         FileError* error) {
    if (path.empty()) return fail(error, ENOENT);
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string(".")
                         : slash == 0               ? std::string("/")
                                                    : path.substr(0, slash);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.empty()) return fail(error, EISDIR);  // "name/" can only mean a directory

    mode_t mode = kNewFileMode;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return fail(error, EISDIR);
        mode = existing.st_mode & 07777;
    } else if (errno != ENOENT) {
        return fail(error, errno);
    }

    std::string temporary = folder + "/." + base + ".XXXXXX";
    FileDescriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0) return fail(error, errno);

    int failure = 0;
    if (!writeAll(file.get(), bytes.data(), bytes.size()) || ::fchmod(file.get(), mode) != 0 ||
        ::fsync(file.get()) != 0) {
        failure = errno;
    }
    if (file.close() != 0 && failure == 0) failure = errno;
    if (failure == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) failure = errno;
    if (failure != 0) {
        ::unlink(temporary.c_str());
        return fail(error, failure);
    }
    syncFolder(folder);
    return true;
}

}  // namespace pl3::platform
