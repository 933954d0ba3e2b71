#include "settings_fixture.h"

#include <filesystem>

namespace pl3::test {

ProgramFolder::ProgramFolder(const std::string& settingsText) {
    dir_.write("setting.ini", settingsText);
}

void ProgramFolder::installLanguageFiles() const {
    for (const char* name : {"english.lang", "chinese.lang"}) {
        std::filesystem::copy_file(std::string(PL3_SOURCE_DIR) + "/resources/" + name,
                                   dir_.file(name),
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

}  // namespace pl3::test
