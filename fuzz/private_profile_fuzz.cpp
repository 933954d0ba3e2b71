// Feeds arbitrary bytes as an INI file to the private-profile reader and writer.
// Beyond "no crash", it checks that a value written is the value read back.

#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/private_profile.h"

namespace {

// Removes the scratch file when the fuzzer exits.
struct ScratchFile {
    std::string path;
    ~ScratchFile() { std::remove(path.c_str()); }
};

void writeInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pl3::platform;
    // Memory-backed when possible: every writeString syncs to disk, which would dominate.
    static const std::string kFolder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    static const ScratchFile kInput{kFolder + "/pl3-fuzz-profile-" + std::to_string(::getpid()) +
                                    ".ini"};
    const std::string& path = kInput.path;
    static const std::string kCopy = path + ".copy";

    writeInput(path, data, size);
    for (std::string_view section : {"Main", "setting", ""}) {
        for (std::string_view key : {"Port", "language", ""}) {
            (void)readString(path, section, key, "default", 8);
            (void)readInt(path, section, key, -1);
        }
    }

    // The tail of the input doubles as a value, so quoting and odd bytes get exercised.
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string value(input.substr(size > 12 ? size - 12 : 0));
    for (std::string_view key : {"Port", "NewKey"}) {
        writeInput(kCopy, data, size);
        for (std::string_view section : {"main", "Other"}) {
            if (!writeString(kCopy, section, key, value)) continue;
            if (readString(kCopy, section, key, "\x01missing", 1 << 20) != value) std::abort();
        }
    }
    std::remove(kCopy.c_str());
    return 0;
}
