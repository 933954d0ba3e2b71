#include "platform/private_file.h"

#include <aclapi.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <vector>

#include "platform/win32_text.h"

namespace pl3::platform {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A list of who may open a file that names this process's user alone, with full access,
// and takes nothing from the folder: what mode 0600 is on Linux.
class OwnerOnlyAccess {
  public:
    OwnerOnlyAccess() {
        HANDLE token = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return;
        DWORD size = 0;
        ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        user_.resize(size);
        const bool known =
            size > 0 && ::GetTokenInformation(token, TokenUser, user_.data(), size, &size);
        ::CloseHandle(token);
        if (!known) return;
        PSID sid = reinterpret_cast<TOKEN_USER*>(user_.data())->User.Sid;
        list_.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(sid));
        auto* list = reinterpret_cast<PACL>(list_.data());
        ready_ = ::InitializeAcl(list, static_cast<DWORD>(list_.size()), ACL_REVISION) &&
                 ::AddAccessAllowedAce(list, ACL_REVISION, FILE_ALL_ACCESS, sid) &&
                 ::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
                 ::SetSecurityDescriptorDacl(&descriptor_, TRUE, list, FALSE) &&
                 ::SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    }
    OwnerOnlyAccess(const OwnerOnlyAccess&) = delete;
    OwnerOnlyAccess& operator=(const OwnerOnlyAccess&) = delete;

    bool ready() const { return ready_; }
    // For a file being made: it is private from its first moment.
    SECURITY_ATTRIBUTES* forNewFile() {
        attributes_ = {sizeof attributes_, &descriptor_, FALSE};
        return &attributes_;
    }
    // For a file already there.
    bool applyTo(HANDLE file) {
        return ::SetSecurityInfo(file, SE_FILE_OBJECT,
                                 DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                 nullptr, nullptr, reinterpret_cast<PACL>(list_.data()),
                                 nullptr) == ERROR_SUCCESS;
    }

  private:
    std::vector<std::uint8_t> user_;
    std::vector<std::uint8_t> list_;
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{};
    bool ready_ = false;
};

std::FILE* failWith(HANDLE file, int errorNumber) {
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    errno = errorNumber;
    return nullptr;
}

std::FILE* failWithLastError(HANDLE file) {
    return failWith(file, win32::errnoOf(::GetLastError()));
}

// Binary, as on Linux: the file gets the very bytes written, "\n" line ends included.
std::FILE* openAsStream(HANDLE file) {
    const int fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(file), _O_WRONLY | _O_BINARY);
    if (fd < 0) return failWith(file, EMFILE);
    std::FILE* stream = ::_fdopen(fd, "wb");
    if (stream == nullptr) {
        const int failure = errno;
        ::_close(fd);  // closes the handle too
        errno = failure;
    }
    return stream;
}

bool isRegularFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    return ::GetFileType(file) == FILE_TYPE_DISK &&
           ::GetFileInformationByHandle(file, &information) &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// FAT volumes (most memory sticks) keep no access lists: there is nothing to set.
bool keepsAccessLists(HANDLE file) {
    DWORD flags = 0;
    return ::GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, &flags, nullptr,
                                           0) &&
           (flags & FILE_PERSISTENT_ACLS) != 0;
}

bool isMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Whether this process may write into what path names (a folder: make files in it). The
// read-only mark is looked at first, as Windows' open refuses it (Wine's, run as root,
// does not).
DWORD writeAccessTo(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return ERROR_ACCESS_DENIED;
    HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_DATA, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ::GetLastError();
    ::CloseHandle(file);
    return ERROR_SUCCESS;
}

}  // namespace

std::FILE* createPrivateFile(const std::string& path) {
    OwnerOnlyAccess access;
    if (!access.ready()) return failWithLastError(INVALID_HANDLE_VALUE);
    HANDLE file = ::CreateFileW(win32::wide(path).c_str(), GENERIC_WRITE, kShareAll,
                                access.forNewFile(), CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? failWithLastError(file) : openAsStream(file);
}

std::FILE* rewritePrivateFile(const std::string& path) {
    HANDLE file = ::CreateFileW(win32::wide(path).c_str(), GENERIC_WRITE | WRITE_DAC, kShareAll,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return failWithLastError(file);
    if (!isRegularFile(file)) return failWith(file, EINVAL);
    // Made private before anything is written into it.
    OwnerOnlyAccess access;
    if (keepsAccessLists(file) && (!access.ready() || !access.applyTo(file)))
        return failWithLastError(file);
    if (!::SetEndOfFile(file)) return failWithLastError(file);
    return openAsStream(file);
}

bool mayWriteFile(const std::string& path, int* errorNumber) {
    auto fail = [&](DWORD error) {
        *errorNumber = win32::errnoOf(error);
        return false;
    };
    const std::wstring name = win32::wide(path);
    const DWORD toFile = writeAccessTo(name);
    if (toFile == ERROR_SUCCESS) return true;
    if (!isMissing(toFile)) return fail(toFile);
    // The name is there but leads nowhere: a symbolic link to a missing file.
    if (::GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES)
        return fail(ERROR_FILE_EXISTS);
    const DWORD toFolder = writeAccessTo(win32::wide(win32::folderOf(path)));
    return toFolder == ERROR_SUCCESS || fail(toFolder);
}

}  // namespace pl3::platform
