#pragma once
// What the programs ask of a file without opening it: is it a regular file and how long,
// may it be written, and a stamp that changes whenever the file does.

#include <cstdint>
#include <optional>
#include <string>

namespace pl3::platform {

// What tells an unchanged settings or language file: the same file (volume, file number),
// size, and modification and change times (nanoseconds since 1970); finer than FileStamp
// (file_stamp.h), which leaves the change time out. An atomic replace gives a new
// file number. (On Windows, for a file reached without a link: no file number, and the
// creation time for the change time.)
struct RegularFileStamp {
    std::uint64_t volume = 0;
    std::uint64_t fileNumber = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const RegularFileStamp&) const = default;
};

// The stamp of the regular file path names (links followed); nullopt for anything else.
std::optional<RegularFileStamp> regularFileStamp(const std::string& path);

// The size of the regular file path names (links followed); nullopt for anything else.
std::optional<std::uint64_t> regularFileSize(const std::string& path);

inline bool isRegularFile(const std::string& path) {
    return regularFileSize(path).has_value();
}

// Whether this process may write the file or, for a folder, make files in it.
bool mayWrite(const std::string& path);

}  // namespace pl3::platform
