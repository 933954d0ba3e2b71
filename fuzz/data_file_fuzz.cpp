// Feeds arbitrary bytes as a ".PL-3" data file to the loader, then shows every field of
// whatever loaded, as the pages and pl3ctl would.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "codeplug/document_commands.h"
#include "codeplug/field_registry.h"

namespace {

struct ScratchFile {
    std::string path;
    ~ScratchFile() { std::remove(path.c_str()); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile kFile{"/tmp/pl3-fuzz-data-" + std::to_string(::getpid()) + ".PL-3"};
    std::ofstream(kFile.path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    pl3::SilentPrompter prompter;
    // No settings file: the limits fall back to their defaults.
    pl3::CMaItemDoc doc(pl3::SettingsFile("/nonexistent/setting.ini"));
    if (pl3::openDocument(doc, kFile.path, prompter) == pl3::OpenOutcome::Loaded ||
        doc.pathName() == kFile.path) {
        for (const pl3::FieldInfo& info : pl3::fieldTable()) {
            for (int i = info.indexMin; i <= info.indexMax; ++i)
                (void)info.get(doc, i);
        }
        for (int n = 1; n <= pl3::kChannelCount; ++n) {
            (void)pl3::tone::displayText(doc.fields().toneField(n, pl3::Side::Receive));
            (void)doc.fields().lacksFrequency(n);
        }
    }
    return 0;
}
