#include "codeplug/data_file.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace pl3::data_file {

ReadResult read(const std::string& path, Header& header, Image& image) {
    ReadResult result{ReadStatus::FileError, 0, {}};
    // Anything past the image is ignored, so there is no need to read it.
    std::optional<std::vector<std::uint8_t>> bytes =
        platform::readFileHead(path, kFileSize, &result.error);
    if (!bytes) return result;
    result.bytesRead = bytes->size();
    if (bytes->size() < kMagicSize || std::memcmp(bytes->data(), kMagic.data(), kMagicSize) != 0) {
        result.status = ReadStatus::WrongMagic;
        return result;
    }
    std::size_t headerBytes = std::min(bytes->size(), kHeaderSize);
    std::copy_n(bytes->begin(), headerBytes, header.begin());
    if (bytes->size() > kHeaderSize) {
        std::copy(bytes->begin() + kHeaderSize, bytes->end(), image.begin());
    }
    result.status = bytes->size() < kFileSize ? ReadStatus::Incomplete : ReadStatus::Complete;
    return result;
}

bool write(const std::string& path, const Header& header, const Image& image,
           platform::FileError* error, platform::WriteNotes* notes) {
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), image.begin(), image.end());
    return platform::writeFileAtomically(path, bytes, error, notes);
}

void writeMagic(Header& header) {
    std::copy(kMagic.begin(), kMagic.end(), header.begin());
}

}  // namespace pl3::data_file
