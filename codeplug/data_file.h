#pragma once
// The ".PL-3" data file: a 44-byte magic text, 4 reserved bytes kept as they are, and
// the 4096-byte image, 4144 bytes in all.

#include <cstddef>
#include <string>
#include <string_view>

#include "codeplug/image_layout.h"
#include "platform/atomic_file.h"

namespace pl3::data_file {

inline constexpr std::string_view kMagic = "Korvel Amberlin PL-3 Radio Program data v1.0";
inline constexpr std::size_t kMagicSize = 44;
inline constexpr std::size_t kFileSize = kHeaderSize + kImageSize;
inline constexpr std::string_view kExtension = ".PL-3";
inline constexpr std::string_view kFilter = "Radio Program Data Files(*.PL-3)";
static_assert(kMagic.size() == kMagicSize);

enum class ReadStatus {
    Complete,    // header and image loaded
    Incomplete,  // the magic matched but the file ended early: the rest stays erased
    WrongMagic,  // not a data file of this program: nothing loaded
    FileError,   // could not be opened or read (missing, a directory, unreadable)
};

struct ReadResult {
    ReadStatus status;
    std::size_t bytesRead = 0;
    platform::FileError error;
};

// Loads into header and image, which the caller has cleared. On WrongMagic and
// FileError neither is changed.
ReadResult read(const std::string& path, Header& header, Image& image);

// Writes header and image atomically: a failed write leaves the previous file intact.
bool write(const std::string& path, const Header& header, const Image& image,
           platform::FileError* error = nullptr, platform::WriteNotes* notes = nullptr);

void writeMagic(Header& header);

}  // namespace pl3::data_file
