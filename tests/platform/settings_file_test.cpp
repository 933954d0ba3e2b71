#include "platform/settings_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "codeplug/text_keys.h"
#include "lang/settings_warnings.h"
#include "platform/system_locale.h"
#include "scripted_prompter.h"
#include "settings_fixture.h"

namespace pl3 {
namespace {

TEST(SettingsFile, DefaultsForMissingKeys) {
    test::ProgramFolder folder("; nothing set\n");
    SettingsFile settings = folder.settings();
    EXPECT_TRUE(settings.exists());
    EXPECT_EQ(settings.comPort(), 1);
    EXPECT_TRUE(settings.portSearchEnabled());
    EXPECT_EQ(settings.portSearchFlag(), 1);
    EXPECT_EQ(settings.languageName(), "");
    EXPECT_EQ(settings.freqRangeText(0), std::nullopt);
    EXPECT_EQ(settings.freqRangeData(0), std::nullopt);
    EXPECT_EQ(settings.portDevice(1), std::nullopt);
}

TEST(SettingsFile, UnusableContentIsToldInOneMessage) {
    using namespace std::string_literals;
    struct Case {
        const char* what;
        std::string text;
        std::string_view textKey;  // empty: nothing to tell
        std::string entries;       // what follows the path in the message
    } cases[] = {
        {"usable", test::kThreeRanges, {}, ""},
        {"Chinese range names", "[FreqRange]\nfreq0=四百兆\ndata0=00400047\n", {}, ""},
        {"bad range codes", "[FreqRange]\ndata0=00400047\ndata1=FFFFFFFF\ndata2=1234\n",
         text_key::kWarnSettingsRange, "\ndata1=FFFFFFFF\ndata2=1234"},
        {"NUL bytes", "[setup]\0com=5\n[FreqRange]\ndata0=FFFFFFFF\n"s, text_key::kWarnSettingsText,
         ""},
        {"not UTF-8", "[setup]\ncom=\xFF\xFE\n", text_key::kWarnSettingsText, ""},
    };
    for (const Case& c : cases) {
        test::ProgramFolder folder(c.text);
        test::ScriptedPrompter prompter;
        warnAboutUnusableSettings(folder.settings(), prompter);
        if (c.textKey.empty()) {
            EXPECT_TRUE(prompter.prompts().empty()) << c.what;
            continue;
        }
        ASSERT_EQ(prompter.prompts().size(), 1u) << c.what;
        EXPECT_EQ(prompter.prompts()[0].textKey, c.textKey) << c.what;
        EXPECT_EQ(prompter.prompts()[0].detail, folder.file("setting.ini") + c.entries) << c.what;
    }
}

TEST(SettingsFile, PerUserFileFaultsAreToldOnceByName) {
    using namespace std::string_literals;
    test::ProgramFolder folder("[FreqRange]\ndata0=00400047\ndata1=bad\ndata2=00430044\n");
    const std::string shipped = folder.file("setting.ini");
    const std::string garbled = folder.write("garbled.ini", "[setup]\0com=5\n"s);
    const std::string ranges = folder.write("ranges.ini", "[FreqRange]\ndata0=nonsense\n");
    struct Case {
        std::string userFile;
        std::string_view textKey;
        std::string detail;  // each bad range under the name of the file that holds it
    };
    std::vector<Case> cases = {
        {garbled, text_key::kWarnSettingsText, garbled},
        {ranges, text_key::kWarnSettingsRange,
         ranges + "\ndata0=nonsense\n" + shipped + "\ndata1=bad"},
    };
    // A link to itself: Linux's, as the Windows build's library makes no links.
    const std::string loop = folder.file("loop.ini");
    std::error_code noLinks;
    std::filesystem::create_symlink("loop.ini", loop, noLinks);
    if (!noLinks)
        cases.push_back({loop, text_key::kErrorOpenFile, loop + "\n" + std::strerror(ELOOP)});
    for (const Case& c : cases) {
        test::ScriptedPrompter prompter;
        warnAboutUnusableSettings(SettingsFile(shipped, c.userFile), prompter);
        ASSERT_EQ(prompter.prompts().size(), 1u) << c.userFile;
        EXPECT_EQ(prompter.prompts()[0].textKey, c.textKey);
        EXPECT_EQ(prompter.prompts()[0].detail, c.detail);
    }

    // No per-user file yet is nothing to tell.
    test::ProgramFolder usable;
    test::ScriptedPrompter quiet;
    warnAboutUnusableSettings(SettingsFile(usable.file("setting.ini"), usable.file("none.ini")),
                              quiet);
    EXPECT_TRUE(quiet.prompts().empty());
}

TEST(SettingsFile, AWriteWithoutAPerUserFolderNamesWhereItLooked) {
    test::ProgramFolder folder;
    SettingsFile settings(folder.file("setting.ini"), "");  // neither HOME nor XDG_CONFIG_HOME
    test::ScriptedPrompter prompter;
    SettingsWriteWarning().check(settings.setComPort(3), prompter, settings.path());
    ASSERT_EQ(prompter.textKeys(), std::vector<std::string>{"IDS_WARN_SETTINGS_NO_USER_FOLDER"});
#ifdef _WIN32
    EXPECT_EQ(prompter.prompts()[0].detail, "\n%APPDATA%/pl3/setting.ini");
#else
    EXPECT_EQ(prompter.prompts()[0].detail,
              "\n$XDG_CONFIG_HOME/pl3/setting.ini\n$HOME/.config/pl3/setting.ini");
#endif
}

TEST(SettingsFile, PortSearchIsOffOnlyForALeadingZero) {
    struct Case {
        const char* value;
        bool search;
        int flag;
    } cases[] = {
        {"0", false, 0},  {"0 ", false, 0}, {"01", false, 1}, {"1", true, 1},
        {"abc", true, 1}, {"", true, 1},    {"2", true, 2},
    };
    for (const Case& c : cases) {
        test::ProgramFolder folder(std::string("[setup]\nsearchcom=") + c.value + "\n");
        EXPECT_EQ(folder.settings().portSearchEnabled(), c.search) << "'" << c.value << "'";
        EXPECT_EQ(folder.settings().portSearchFlag(), c.flag) << "'" << c.value << "'";
    }
}

TEST(SettingsFile, ComPortValues) {
    struct Case {
        const char* value;
        int port;
    } cases[] = {{"12", 12}, {"7abc", 7}, {"abc", 1}, {"", 1}, {" 3 ", 3}};
    for (const Case& c : cases) {
        test::ProgramFolder folder(std::string("[Setup]\nCOM=") + c.value + "\n");
        EXPECT_EQ(folder.settings().comPort(), c.port) << c.value;
    }
}

TEST(SettingsFile, WritesKeepTheRestOfTheFile) {
    test::ProgramFolder folder("; comment\n[setup]\ncom=1\nsearchcom=0\n[FreqRange]\nfreq0=a\n");
    SettingsFile settings = folder.settings();
    EXPECT_TRUE(settings.setComPort(5));
    EXPECT_TRUE(settings.setLanguageName("chinese"));
    EXPECT_EQ(settings.comPort(), 5);
    EXPECT_EQ(settings.languageName(), "chinese");
    EXPECT_FALSE(settings.portSearchEnabled());
    EXPECT_EQ(settings.freqRangeText(0), "a");
    EXPECT_EQ(test::readText(settings.path()).rfind("; comment\n[setup]\ncom=5\n", 0), 0u);
}

TEST(SettingsFile, RangeEntriesAndPorts) {
    test::ProgramFolder folder("[FreqRange]\nfreq0=400-470MHz\ndata0=00400047\nfreq1=" +
                               std::string(40, 'x') + "\n[ports]\n1=/dev/ttyACM0\n12=/tmp/pty\n");
    SettingsFile settings = folder.settings();
    EXPECT_EQ(settings.freqRangeText(0), "400-470MHz");
    EXPECT_EQ(settings.freqRangeData(0), "00400047");
    EXPECT_EQ(settings.freqRangeText(1), std::string(29, 'x'));  // a 30-character buffer
    EXPECT_EQ(settings.portDevice(1), "/dev/ttyACM0");
    EXPECT_EQ(settings.portDevice(12), "/tmp/pty");
    EXPECT_EQ(settings.portDevice(2), std::nullopt);
}

TEST(SettingsFile, LanguageNameFallsBackToTheSystemLocale) {
    test::ProgramFolder unset("[setup]\ncom=1\n");
    EXPECT_EQ(effectiveLanguageName(unset.settings(), platform::kLocaleSimplifiedChinese),
              "chinese");
    EXPECT_EQ(effectiveLanguageName(unset.settings(), platform::kLocaleEnglishUs), "english");
    test::ProgramFolder chosen("[setup]\nlanguage=English\n");
    EXPECT_EQ(effectiveLanguageName(chosen.settings(), platform::kLocaleSimplifiedChinese),
              "English");
}

TEST(SettingsFile, MissingFileDoesNotExist) {
    test::TempDir dir;
    EXPECT_FALSE(SettingsFile(dir.file("setting.ini")).exists());
    EXPECT_FALSE(SettingsFile(dir.path()).exists());
    EXPECT_EQ(SettingsFile(dir.file("setting.ini")).comPort(), 1);
}

}  // namespace
}  // namespace pl3
