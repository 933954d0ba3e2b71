#pragma once
// A program folder for one test: setting.ini with three frequency ranges, and the
// shipped language files when asked for.

#include <string>

#include "platform/settings_file.h"
#include "temp_dir.h"

namespace pl3::test {

// 400-470, 430-440 and 420-450 MHz, as ranges 0, 1 and 2.
inline constexpr const char* kThreeRanges =
    "[setup]\ncom=1\nsearchcom=1\n\n[FreqRange]\n"
    "freq0=400-470MHz\ndata0=00400047\n"
    "freq1=430-440MHz\ndata1=00430044\n"
    "freq2=420-450MHz\ndata2=00420045\n";

class ProgramFolder {
  public:
    explicit ProgramFolder(const std::string& settingsText = kThreeRanges);

    const std::string& path() const { return dir_.path(); }
    std::string file(const std::string& name) const { return dir_.file(name); }
    std::string write(const std::string& name, const std::string& text) const {
        return dir_.write(name, text);
    }
    SettingsFile settings() const { return SettingsFile(dir_.file("setting.ini")); }
    // Copies resources/english.lang and chinese.lang into the folder.
    void installLanguageFiles() const;

  private:
    TempDir dir_;
};

}  // namespace pl3::test
