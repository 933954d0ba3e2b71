#include "platform/file_status.h"

#include <windows.h>

#include "platform/win32_text.h"

namespace pl3::platform {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// FILETIME counts 100 ns steps from 1601; the stamps count nanoseconds from 1970.
constexpr std::int64_t kFileTimeTo1970 = 116444736000000000;

std::int64_t nanoseconds(std::int64_t fileTime) {
    return (fileTime - kFileTimeTo1970) * 100;
}

std::int64_t fileTimeValue(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime);
}

class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

// Opens what path names, links followed, only to look at it.
Handle openForLook(const std::string& path, DWORD access) {
    return Handle(::CreateFileW(win32::wide(path).c_str(), access, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::optional<BY_HANDLE_FILE_INFORMATION> regularFileInformation(const Handle& file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::nullopt;
    return information;
}

std::int64_t sizeOf(const BY_HANDLE_FILE_INFORMATION& information) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) |
                                     information.nFileSizeLow);
}

}  // namespace

// Settings and language files are stamped at every lookup, thousands of times while a page
// fills: without a link in the way the stamp comes from the name alone, which costs a
// fraction of opening the file. Windows then tells no file number or change time; the
// creation time stands in for the latter (a file copied over this one brings its own).
std::optional<RegularFileStamp> regularFileStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (::GetFileAttributesExW(win32::wide(path).c_str(), GetFileExInfoStandard, &data) &&
        (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
        return RegularFileStamp{
            0, 0,
            static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                      data.nFileSizeLow),
            nanoseconds(fileTimeValue(data.ftLastWriteTime)),
            nanoseconds(fileTimeValue(data.ftCreationTime))};
    }
    Handle file = openForLook(path, FILE_READ_ATTRIBUTES);
    std::optional<BY_HANDLE_FILE_INFORMATION> information = regularFileInformation(file);
    if (!information) return std::nullopt;
    FILE_BASIC_INFO times{};
    if (!::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &times, sizeof times))
        return std::nullopt;
    return RegularFileStamp{information->dwVolumeSerialNumber,
                            (static_cast<std::uint64_t>(information->nFileIndexHigh) << 32) |
                                information->nFileIndexLow,
                            sizeOf(*information),
                            nanoseconds(fileTimeValue(information->ftLastWriteTime)),
                            nanoseconds(times.ChangeTime.QuadPart)};
}

std::optional<std::uint64_t> regularFileSize(const std::string& path) {
    std::optional<BY_HANDLE_FILE_INFORMATION> information =
        regularFileInformation(openForLook(path, FILE_READ_ATTRIBUTES));
    if (!information) return std::nullopt;
    return static_cast<std::uint64_t>(sizeOf(*information));
}

bool mayWrite(const std::string& path) {
    DWORD attributes = ::GetFileAttributesW(win32::wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    // The access check is the system's own: the file's or folder's permissions decide.
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!folder && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    return static_cast<bool>(openForLook(path, folder ? FILE_ADD_FILE : FILE_WRITE_DATA));
}

}  // namespace pl3::platform
