#include "platform/app_paths.h"

#include <gtest/gtest.h>

#include "app/program_info.h"
#include "platform/system_locale.h"
#include "settings_fixture.h"

namespace pl3 {
namespace {

TEST(AppPaths, ResolvedFromTheProgramFolder) {
    test::ProgramFolder folder("[setup]\nlanguage=chinese\n");
    std::optional<AppPaths> paths = resolveAppPaths(folder.path(), platform::kLocaleEnglishUs);
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->programFolder, folder.path());
    EXPECT_EQ(paths->settingsPath, folder.path() + "/setting.ini");
    EXPECT_EQ(paths->languageFilePath, folder.path() + "/chinese.lang");
}

TEST(AppPaths, LocaleChoosesWhenTheSettingIsEmpty) {
    test::ProgramFolder folder("[setup]\nlanguage=\n");
    EXPECT_EQ(resolveAppPaths(folder.path(), platform::kLocaleSimplifiedChinese)->languageFilePath,
              folder.path() + "/chinese.lang");
    EXPECT_EQ(resolveAppPaths(folder.path(), platform::kLocaleEnglishUs)->languageFilePath,
              folder.path() + "/english.lang");
}

// The compiled help beside the language file first, then the HTML manual beside it, then
// the shipped HTML manual (a user's own language file may come without a manual).
TEST(AppPaths, HelpFilesOfTheLanguageInUse) {
    AppPaths paths{"/usr/share/pl3", "", "", true, "/home/u/.local/share/pl3", ""};
    struct Case {
        std::string languageFile;
        std::vector<std::string> candidates;
    } cases[] = {
        {"/usr/share/pl3/english.lang",
         {"/usr/share/pl3/english.chm", "/usr/share/pl3/english.html"}},
        {"/home/u/.local/share/pl3/chinese.lang",
         {"/home/u/.local/share/pl3/chinese.chm", "/home/u/.local/share/pl3/chinese.html",
          "/usr/share/pl3/chinese.html"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(helpFileCandidates(paths, c.languageFile), c.candidates) << c.languageFile;
}

TEST(AppPaths, NothingWithoutSettingsFile) {
    test::TempDir dir;
    EXPECT_EQ(resolveAppPaths(dir.path(), platform::kLocaleEnglishUs), std::nullopt);
}

}  // namespace
}  // namespace pl3
