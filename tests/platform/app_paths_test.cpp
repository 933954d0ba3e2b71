#include "platform/app_paths.h"

#include <gtest/gtest.h>

#include "app/program_info.h"
#include "codeplug/text_keys.h"
#include "platform/system_locale.h"
#include "scripted_prompter.h"
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

// About follows the language in effect, which an empty setting leaves to the locale; a
// name spelt otherwise than "english" keeps the Chinese box.
TEST(AppPaths, AboutIsEnglishForTheEnglishLanguageInEffect) {
    test::ProgramFolder unset("[setup]\nlanguage=\n");
    test::ProgramFolder capital("[setup]\nlanguage=English\n");
    struct Case {
        const test::ProgramFolder& folder;
        int locale;
        bool english;
    } cases[] = {
        {unset, platform::kLocaleEnglishUs, true},
        {unset, platform::kLocaleSimplifiedChinese, false},
        {capital, platform::kLocaleEnglishUs, false},
    };
    for (const Case& c : cases) {
        std::optional<AppPaths> paths = resolveAppPaths(c.folder.path(), c.locale);
        ASSERT_TRUE(paths);
        EXPECT_EQ(aboutInEnglish(paths->languageFilePath), c.english) << paths->languageFilePath;
    }
}

// Help opens the first manual that exists; when nothing can show it, the user is told
// which file it is.
TEST(AppPaths, HelpNamesTheManualNothingCouldShow) {
    test::TempDir dir;
    const std::string manual = dir.write("english.html", "<html></html>");
    for (bool shown : {true, false}) {
        test::ScriptedPrompter prompter;
        std::vector<std::string> opened;
        openManual(
            {dir.file("english.chm"), dir.file("english.html")},
            [&](const std::string& path) {
                opened.push_back(path);
                return shown;
            },
            prompter);
        EXPECT_EQ(opened, std::vector<std::string>{manual});
        ASSERT_EQ(prompter.prompts().size(), shown ? 0u : 1u);
        if (shown) continue;
        EXPECT_EQ(prompter.prompts()[0].textKey, text_key::kNoManualViewer);
        EXPECT_EQ(prompter.prompts()[0].detail, manual);
    }
}

TEST(AppPaths, NothingWithoutSettingsFile) {
    test::TempDir dir;
    EXPECT_EQ(resolveAppPaths(dir.path(), platform::kLocaleEnglishUs), std::nullopt);
}

}  // namespace
}  // namespace pl3
