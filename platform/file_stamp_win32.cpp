#include "platform/file_stamp.h"

#include <windows.h>

#include "platform/win32_text.h"

namespace pl3::platform {

namespace {

// FILETIME counts 100 ns steps from 1601; the stamp counts from 1970.
constexpr std::int64_t kFileTimeTo1970 = 116444736000000000;
constexpr std::int64_t kStepsPerSecond = 10'000'000;

std::uint64_t joined(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

}  // namespace

std::optional<FileStamp> fileStampOf(const std::string& path) {
    if (path.empty()) return std::nullopt;
    HANDLE file = ::CreateFileW(win32::wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = ::GetFileInformationByHandle(file, &information);
    ::CloseHandle(file);
    if (!known) return std::nullopt;
    const std::int64_t sinceEpoch =
        static_cast<std::int64_t>(joined(information.ftLastWriteTime.dwHighDateTime,
                                         information.ftLastWriteTime.dwLowDateTime)) -
        kFileTimeTo1970;
    return FileStamp{information.dwVolumeSerialNumber,
                     joined(information.nFileIndexHigh, information.nFileIndexLow),
                     joined(information.nFileSizeHigh, information.nFileSizeLow),
                     sinceEpoch / kStepsPerSecond, sinceEpoch % kStepsPerSecond * 100};
}

}  // namespace pl3::platform
