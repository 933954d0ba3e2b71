#include "platform/atomic_file.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "platform/file_status.h"
#include "platform/win32_text.h"

namespace pl3::platform {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr int kTemporaryNameTries = 100;
// What a user sets on a file and a save keeps.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool fail(FileError* error, int errorNumber) {
    if (error != nullptr) error->errorNumber = errorNumber;
    return false;
}

bool failWith(FileError* error, DWORD win32Error) {
    return fail(error, win32::errnoOf(win32Error));
}

bool notRegular(FileError* error) {
    if (error != nullptr) error->notRegularFile = true;
    return fail(error, EINVAL);
}

// Closes the handle on every path out of a function.
class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { close(); }
    Handle(Handle&& other) noexcept : handle_(other.handle_) {
        other.handle_ = INVALID_HANDLE_VALUE;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Closes now so that a failing close is seen.
    bool close() {
        bool closed = handle_ == INVALID_HANDLE_VALUE || ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE handle_;
};

Handle openExisting(const std::wstring& path, DWORD access, DWORD share = kShareAll) {
    return Handle(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool isMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// What is at a path, links followed.
struct Found {
    bool exists = false;
    bool folder = false;
    bool regular = false;
    unsigned long links = 0;
    DWORD attributes = 0;
};

std::optional<Found> lookAt(const std::wstring& path, FileError* error) {
    Handle file = openExisting(path, FILE_READ_ATTRIBUTES);
    if (!file) {
        DWORD failure = ::GetLastError();
        if (isMissing(failure)) return Found{};
        failWith(error, failure);
        return std::nullopt;
    }
    Found found{true};
    BY_HANDLE_FILE_INFORMATION information{};
    if (::GetFileInformationByHandle(file.get(), &information)) {
        found.folder = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        found.regular = !found.folder && ::GetFileType(file.get()) == FILE_TYPE_DISK;
        found.links = information.nNumberOfLinks;
        found.attributes = information.dwFileAttributes;
    }
    return found;
}

// ReplaceFileW wants full paths (Wine refuses relative ones).
std::wstring fullPath(const std::wstring& path) {
    DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::wstring full(length, L'\0');
    length = ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    full.resize(length);
    return full;
}

bool writeAll(HANDLE file, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr)) return false;
        data += written;
        size -= written;
    }
    return true;
}

std::string baseOf(const std::string& path) {
    std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// The file a symbolic link ends at, so that the link stays a link; else the path.
std::string finalTarget(const std::string& path) {
    const std::wstring name = win32::wide(path);
    DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return path;
    Handle file = openExisting(name, FILE_READ_ATTRIBUTES);
    if (!file) return path;
    std::wstring buffer(32768, L'\0');
    DWORD length = ::GetFinalPathNameByHandleW(file.get(), buffer.data(),
                                               static_cast<DWORD>(buffer.size()), 0);
    if (length == 0 || length >= buffer.size()) return path;
    buffer.resize(length);
    // "\\?\C:\..." and "\\?\UNC\server\..." as the user would write them.
    if (buffer.starts_with(L"\\\\?\\UNC\\")) return "\\\\" + win32::utf8(buffer.substr(8));
    if (buffer.starts_with(L"\\\\?\\")) return win32::utf8(buffer.substr(4));
    return win32::utf8(buffer);
}

std::optional<std::vector<std::uint8_t>> readRegularFile(const std::string& path,
                                                         std::size_t maxBytes, bool headOnly,
                                                         FileError* error) {
    Handle file = openExisting(win32::wide(path), GENERIC_READ);
    if (!file) {
        failWith(error, ::GetLastError());
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = ::GetFileInformationByHandle(file.get(), &information);
    if (known && (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        fail(error, EISDIR);
        return std::nullopt;
    }
    if (!known || ::GetFileType(file.get()) != FILE_TYPE_DISK) {
        fail(error, EINVAL);
        return std::nullopt;
    }
    const std::uint64_t size =
        (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    if (!headOnly && size > maxBytes) {
        fail(error, EFBIG);
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(size, maxBytes)));
    // The file may grow while it is read, so the limit is checked on what arrives too:
    // asking for one byte more than allowed reveals an oversized file.
    for (;;) {
        std::size_t used = bytes.size();
        std::size_t chunk = std::min(kReadChunk, maxBytes - used + 1);
        bytes.resize(used + chunk);
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + used, static_cast<DWORD>(chunk), &got,
                        nullptr)) {
            failWith(error, ::GetLastError());
            return std::nullopt;
        }
        bytes.resize(used + got);
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

// A new, empty file beside the target, named after it: ".NAME.1a2b3c4d".
Handle createTemporary(const std::string& folder, const std::string& base, std::wstring* name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        const unsigned long long salt =
            (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32) ^ ::GetTickCount64() ^
            (counter++ * 0x9E3779B9u);
        char suffix[17];
        std::snprintf(suffix, sizeof suffix, "%08llx", salt & 0xFFFFFFFFull);
        *name = fullPath(win32::wide(folder + "\\." + base + "." + suffix));
        Handle file(::CreateFileW(name->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || ::GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    ::SetLastError(ERROR_FILE_EXISTS);
    return Handle(INVALID_HANDLE_VALUE);
}

// The file back at its former size after a failed reservation, which may have grown it
// without touching a byte it held; false when even that failed.
bool restoreSize(HANDLE file, LARGE_INTEGER size) {
    LARGE_INTEGER now{};
    return ::GetFileSizeEx(file, &now) &&
           (now.QuadPart == size.QuadPart ||
            (::SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(file)));
}

// Overwrites the file itself, so that every hard link to it sees the new content. Room
// for all of it is reserved first (growing the file allocates its clusters), so that a
// full disk fails before any byte changes; changed tells whether the file may differ from
// before when this fails.
DWORD writeInPlace(const std::wstring& path, const std::vector<std::uint8_t>& bytes,
                   bool& changed) {
    Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ::GetLastError();
    LARGE_INTEGER before{};
    if (!::GetFileSizeEx(file.get(), &before)) return ::GetLastError();
    LARGE_INTEGER newSize{};
    newSize.QuadPart = static_cast<LONGLONG>(bytes.size());
    if (newSize.QuadPart > before.QuadPart &&
        (!::SetFilePointerEx(file.get(), newSize, nullptr, FILE_BEGIN) ||
         !::SetEndOfFile(file.get()))) {
        const DWORD failure = ::GetLastError();
        changed = !restoreSize(file.get(), before);
        return failure;
    }
    changed = true;
    if (!::SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN) ||
        !writeAll(file.get(), bytes.data(), bytes.size()) || !::SetEndOfFile(file.get()) ||
        !::FlushFileBuffers(file.get()) || !file.close())
        return ::GetLastError();
    return ERROR_SUCCESS;
}

}  // namespace

std::string FileError::describe() const {
    return std::error_code(errorNumber, std::generic_category()).message();
}

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
        unsigned chunk = static_cast<unsigned>(std::min(kReadChunk, maxBytes - used));
        bytes.resize(used + chunk);
        int got = ::_read(fd, bytes.data() + used, chunk);
        if (got < 0) {
            fail(error, errno);
            return std::nullopt;
        }
        bytes.resize(used + static_cast<std::size_t>(got));
        if (got == 0) break;
    }
    return bytes;
}

// The temporary copy is complete and flushed before the target changes: ReplaceFileW then
// keeps the target's attributes, permissions and creation time, as the Linux save keeps
// mode, owner and group. A target with further hard links is written in place instead.
bool writeFileAtomically(const std::string& givenPath, const std::vector<std::uint8_t>& bytes,
                         FileError* error, WriteNotes* notes) {
    if (givenPath.empty()) return fail(error, ENOENT);
    const std::string path = finalTarget(givenPath);
    const std::string base = baseOf(path);
    if (base.empty()) return fail(error, EISDIR);  // "name\" can only mean a folder
    const std::wstring target = fullPath(win32::wide(path));
    std::optional<Found> existing = lookAt(target, error);
    if (!existing) return false;
    if (existing->folder) return fail(error, EISDIR);
    if (existing->exists && !existing->regular) return notRegular(error);
    const bool inPlace = existing->links > 1;

    std::wstring temporary;
    Handle file = createTemporary(win32::folderOf(path), base, &temporary);
    if (!file) return failWith(error, ::GetLastError());
    DWORD failure = ERROR_SUCCESS;
    if (!writeAll(file.get(), bytes.data(), bytes.size()) || !::FlushFileBuffers(file.get()))
        failure = ::GetLastError();
    if (!file.close() && failure == ERROR_SUCCESS) failure = ::GetLastError();
    bool targetChanged = false;
    if (failure == ERROR_SUCCESS) {
        if (inPlace) {
            failure = writeInPlace(target, bytes, targetChanged);
        } else if (existing->exists) {
            if (::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                               REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
                // Windows keeps them already; Wine's ReplaceFileW drops them.
                const DWORD kept = existing->attributes & kKeptAttributes;
                ::SetFileAttributesW(target.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL);
            } else {
                failure = ::GetLastError();
            }
        } else if (!::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
            failure = ::GetLastError();
        }
    }
    // After a failed overwrite the complete copy is all that holds the new content.
    const bool keepCopy = failure != ERROR_SUCCESS && targetChanged;
    if ((failure != ERROR_SUCCESS || inPlace) && !keepCopy) ::DeleteFileW(temporary.c_str());
    if (keepCopy && error != nullptr) {
        error->partlyWritten = true;
        error->completeCopy = win32::utf8(temporary);
    }
    if (failure != ERROR_SUCCESS) return failWith(error, failure);
    if (notes != nullptr) notes->otherNames = inPlace ? existing->links - 1 : 0;
    return true;
}

bool canWriteFile(const std::string& path, FileError* error, std::string* folder) {
    if (path.empty()) return fail(error, ENOENT);
    const std::string target = finalTarget(path);
    const std::string targetFolder = win32::folderOf(target);
    if (folder != nullptr) *folder = targetFolder;
    std::optional<Found> place = lookAt(win32::wide(targetFolder), error);
    if (!place) return false;
    if (!place->exists) return fail(error, ENOENT);
    if (!place->folder) return fail(error, ENOTDIR);
    if (!mayWrite(targetFolder)) return fail(error, EACCES);
    std::optional<Found> existing = lookAt(win32::wide(target), error);
    if (!existing) return false;
    if (existing->folder) return fail(error, EISDIR);
    if (existing->exists && !existing->regular) return notRegular(error);
    return true;
}

}  // namespace pl3::platform
