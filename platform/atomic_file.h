#pragma once
// Whole-file reads and atomic replacement: a failed write never damages the previous file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pl3::platform {

struct FileError {
    int errorNumber = 0;  // errno of the failing call
    std::string describe() const;
};

// Reads the whole file (at most maxBytes bytes). Fails for missing and unreadable files,
// directories (EISDIR), other non-regular files (EINVAL) and larger files (EFBIG).
std::optional<std::vector<std::uint8_t>> readFile(const std::string& path, std::size_t maxBytes,
                                                  FileError* error = nullptr);

// The first maxBytes bytes of a regular file (all of a shorter one); the rest is not read.
std::optional<std::vector<std::uint8_t>> readFileHead(const std::string& path, std::size_t maxBytes,
                                                      FileError* error = nullptr);

// Writes `bytes` to a temporary file beside `path`, flushes it, then renames it over
// `path`. The permissions of an existing file are kept; a new file gets 0644. On failure
// the temporary file is removed and `path` is untouched. A directory at `path` fails with
// EISDIR; a symbolic link at `path` is replaced by the file, not written through.
bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         FileError* error = nullptr);

}  // namespace pl3::platform
