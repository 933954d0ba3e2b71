// Feeds arbitrary bytes as a language file to the text lookup and the language list.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "codeplug/text_keys.h"
#include "lang/language_list.h"
#include "lang/text_lookup.h"

namespace {

struct ScratchFolder {
    std::string path;
    ~ScratchFolder() {
        std::remove((path + "/fuzz.lang").c_str());
        ::rmdir(path.c_str());
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder kFolder = [] {
        std::string pattern = "/tmp/pl3-fuzz-lang-XXXXXX";
        return ScratchFolder{::mkdtemp(pattern.data()) ? pattern : "/tmp"};
    }();
    const std::string file = kFolder.path + "/fuzz.lang";
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    pl3::TextLookup texts(file);
    (void)texts.text(pl3::text_key::kWarnLoad);
    (void)texts.text(pl3::text_key::kWarnSave, "/path");
    (void)texts.listItems(pl3::lang_section::kBackLamp);
    (void)texts.resourceCaption(130);
    (void)texts.heading(pl3::lang_section::kChText, pl3::lang_section::kChTextKeyFormat, 3);
    for (int id : pl3::text_key::kToolbarTooltipIds)
        (void)texts.tooltip(id);
    (void)pl3::languageList(kFolder.path);
    return 0;
}
