#include "platform/file_lock.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <thread>

#include "platform/win32_text.h"

namespace pl3::platform {

namespace {

// Short against the wait, long enough not to keep a core busy.
constexpr std::chrono::milliseconds kRetryInterval{50};

// Windows locks are mandatory: a locked byte cannot be read or written through any other
// handle, this process's own included. The lock is therefore taken on one byte far beyond
// any codeplug, so that reading and saving the file through other handles go on.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;
constexpr DWORD kLockOffsetLow = 0;

// Every sharing allowed, DELETE included: a save replaces the file while it is locked.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct Identity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const Identity&) const = default;
};

std::optional<Identity> identityOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file, &information)) return std::nullopt;
    return Identity{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                    information.nFileIndexLow};
}

// The file path names now, as it names it now; nullopt when it names none.
std::optional<Identity> identityAt(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<Identity> identity = identityOf(file);
    ::CloseHandle(file);
    return identity;
}

bool isRegularFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    return ::GetFileType(file) == FILE_TYPE_DISK &&
           ::GetFileInformationByHandle(file, &information) &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool lockWithoutWaiting(HANDLE file) {
    OVERLAPPED place{};
    place.Offset = kLockOffsetLow;
    place.OffsetHigh = kLockOffsetHigh;
    return ::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &place);
}

}  // namespace

// A lock belongs to the handle it was taken through, so reading and saving the file
// through other handles of this process keeps it, as flock() does on Linux.
FileLock::FileLock(const std::string& path, std::chrono::milliseconds wait) {
    const std::wstring name = win32::wide(path);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            errorNumber_ = win32::errnoOf(::GetLastError());
            return;
        }
        if (!isRegularFile(file)) {
            ::CloseHandle(file);
            errorNumber_ = EINVAL;
            return;
        }
        bool replaced = false;
        if (lockWithoutWaiting(file)) {
            const std::optional<Identity> opened = identityOf(file);
            if (opened && identityAt(name) == opened) {
                handle_ = reinterpret_cast<std::intptr_t>(file);
                state_ = FileLockState::Held;
                return;
            }
            replaced = true;  // a lock on the file replaced guards nothing
            ::CloseHandle(file);
        } else {
            const DWORD why = ::GetLastError();
            ::CloseHandle(file);
            if (why != ERROR_LOCK_VIOLATION && why != ERROR_IO_PENDING) {
                errorNumber_ = win32::errnoOf(why);
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
    // Closing the handle releases the lock taken through it.
    if (state_ == FileLockState::Held) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace pl3::platform
