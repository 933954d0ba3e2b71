#include "link/log_file_check.h"

#include <filesystem>
#include <system_error>

#include "codeplug/text_keys.h"
#include "link/transfer_log.h"
#include "platform/atomic_file.h"
#include "platform/private_file.h"
#include "platform/utf8_path.h"

namespace pl3::link {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit

// Where a name leads, whether or not a file is there yet: its symbolic links followed and
// its folder written without links, "." or "..".
fs::path location(fs::path path) {
    std::error_code error;
    for (int hop = 0; hop < kMaxLinkHops && fs::is_symlink(fs::symlink_status(path, error));
         ++hop) {
        fs::path target = fs::read_symlink(path, error);
        if (error) break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    const fs::path folder = fs::absolute(path, error).parent_path();
    fs::path canonical = fs::weakly_canonical(folder, error);
    if (error) canonical = folder.lexically_normal();
    return canonical / path.filename();
}

// The same file by device and inode; one that is not there yet by where its name leads.
bool sameFile(const std::string& aName, const std::string& bName) {
    const fs::path a = platform::utf8Path(aName);
    const fs::path b = platform::utf8Path(bName);
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
    return location(a) == location(b);
}

bool earlierLogOrEmpty(const std::string& path) {
    std::optional<std::vector<std::uint8_t>> head =
        platform::readFileHead(path, kLogHeaderStart.size());
    if (!head) return false;
    return head->empty() || std::string_view(reinterpret_cast<const char*>(head->data()),
                                             head->size()) == kLogHeaderStart;
}

}  // namespace

std::optional<LogFileProblem> logFileProblem(const std::string& path,
                                             const std::vector<std::string>& filesInUse) {
    std::error_code error;
    const fs::file_status status = fs::status(platform::utf8Path(path), error);
    const bool exists = fs::exists(status);
    if (exists && !fs::is_regular_file(status)) return LogFileProblem{LogFileRefusal::NotAFile};
    for (const std::string& inUse : filesInUse) {
        if (sameFile(path, inUse)) return LogFileProblem{LogFileRefusal::InUse};
    }
    if (exists && !earlierLogOrEmpty(path)) return LogFileProblem{LogFileRefusal::NotALog};
    int errorNumber = 0;
    if (!platform::mayWriteFile(path, &errorNumber))
        return LogFileProblem{LogFileRefusal::CannotWrite, errorNumber};
    return std::nullopt;
}

std::string_view refusalKey(LogFileRefusal refusal) {
    switch (refusal) {
        case LogFileRefusal::InUse:
            return text_key::kCliLogInUse;
        case LogFileRefusal::NotAFile:
            return text_key::kCliLogNotAFile;
        case LogFileRefusal::NotALog:
            return text_key::kCliLogNotALog;
        case LogFileRefusal::CannotWrite:
            break;
    }
    return text_key::kCliLogFile;
}

}  // namespace pl3::link
