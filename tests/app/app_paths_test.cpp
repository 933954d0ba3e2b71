#include "platform/app_paths.h"

#include <gtest/gtest.h>

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

TEST(AppPaths, NothingWithoutSettingsFile) {
    test::TempDir dir;
    EXPECT_EQ(resolveAppPaths(dir.path(), platform::kLocaleEnglishUs), std::nullopt);
}

}  // namespace
}  // namespace pl3
