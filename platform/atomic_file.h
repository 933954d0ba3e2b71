#pragma once
// Whole-file reads and atomic replacement: a failed write never damages the previous file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pl3::platform {

struct FileError {
    int errorNumber = 0;  // errno of the failing call
    // The path names something that is neither a regular file nor a directory (a device,
    // a FIFO, a socket): nothing was written. errorNumber is then EINVAL.
    bool notRegularFile = false;
    // A file with further names failed while it was being overwritten in place: it holds
    // part of the new content now (under every name), and completeCopy names the file
    // kept beside it that holds all of it.
    bool partlyWritten = false;
    std::string completeCopy;
    std::string describe() const;
};

// What a successful write met at the path.
struct WriteNotes {
    // Further names (hard links) of the file written; they all see the new content.
    unsigned long otherNames = 0;
};

// Reads the whole file (at most maxBytes bytes). Fails for missing and unreadable files,
// directories (EISDIR), other non-regular files (EINVAL) and larger files (EFBIG).
std::optional<std::vector<std::uint8_t>> readFile(const std::string& path, std::size_t maxBytes,
                                                  FileError* error = nullptr);

// The first maxBytes bytes of a regular file (all of a shorter one); the rest is not read.
std::optional<std::vector<std::uint8_t>> readFileHead(const std::string& path, std::size_t maxBytes,
                                                      FileError* error = nullptr);

// The first maxBytes bytes an open descriptor delivers (a pipe or terminal included).
std::optional<std::vector<std::uint8_t>> readDescriptorHead(int fd, std::size_t maxBytes,
                                                            FileError* error = nullptr);

// Writes `bytes` to a temporary file beside the file `path` names, flushes it, then renames
// it over that file. A symbolic link is written through: the file it ends at is replaced
// (or created), the link stays. The mode, owner and group of an existing file are kept (the
// owner as far as this process may set it); a new file gets 0644. A file with further hard
// links is overwritten in place once the temporary copy is complete and room for the new
// content is reserved in it, so every name sees the new content; notes->otherNames says
// how many there are. On failure the temporary file is removed and the target is
// untouched, but for a failure after the overwrite began: then error->partlyWritten is
// set and the temporary copy is kept (error->completeCopy). A directory fails with
// EISDIR; anything else that is not a regular file fails with notRegularFile before
// anything is written.
bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         FileError* error = nullptr, WriteNotes* notes = nullptr);

// Whether writeFileAtomically may succeed at path, asked before long work whose result it
// will save: the folder of the file path names exists and may be written (else false with
// errno; *folder names that folder), and an existing file there is a regular one (else
// false with notRegularFile).
bool canWriteFile(const std::string& path, FileError* error = nullptr,
                  std::string* folder = nullptr);

}  // namespace pl3::platform
