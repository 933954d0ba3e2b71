#pragma once
// What a file looks like from outside: which file a path names, its size and when it was
// last written. A differing stamp means the file was written (or replaced) since.

#include <cstdint>
#include <optional>
#include <string>

namespace pl3::platform {

struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t fileNumber = 0;  // replaced by a rename: another file
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file path names (through symbolic links); nullopt when there is none.
std::optional<FileStamp> fileStampOf(const std::string& path);

}  // namespace pl3::platform
