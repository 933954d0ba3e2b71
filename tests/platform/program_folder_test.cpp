#include "platform/program_folder.h"

#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/app_paths.h"
#include "platform/system_locale.h"
#include "temp_dir.h"

namespace pl3::platform {
namespace {

TEST(ExecutableFolder, HoldsTheRunningProgram) {
    std::string folder = executableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_NE(folder.back(), '/');
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(folder) / self.filename(),
                                            "/proc/self/exe"));
}

TEST(TakeProgramDirOption, RemovesTheOptionInBothSpellings) {
    const std::string kExecutable;              // not given: the folder is looked for
    const std::optional<std::string> kRefused;  // given empty: names no folder
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        std::optional<std::string> folder;
        std::vector<std::string> remaining;
    };
    const std::vector<Case> cases = {
        {"separate argument", {"pl3", "--program-dir", "/opt/pl3"}, "/opt/pl3", {"pl3"}},
        {"joined with '='",
         {"pl3", "-v", "--program-dir=/opt/pl3", "a.dat"},
         "/opt/pl3",
         {"pl3", "-v", "a.dat"}},
        {"in the middle",
         {"pl3", "read", "--program-dir", "dir", "a.dat"},
         "dir",
         {"pl3", "read", "a.dat"}},
        {"trailing slashes removed", {"pl3", "--program-dir=/opt/pl3//"}, "/opt/pl3", {"pl3"}},
        {"root folder kept", {"pl3", "--program-dir", "///"}, "/", {"pl3"}},
        {"last one wins", {"pl3", "--program-dir=a", "x", "--program-dir", "b"}, "b", {"pl3", "x"}},
        {"absent", {"pl3", "read", "a.dat"}, kExecutable, {"pl3", "read", "a.dat"}},
        {"no arguments", {"pl3"}, kExecutable, {"pl3"}},
        {"value missing stays for usage check",
         {"pl3", "read", "--program-dir"},
         kExecutable,
         {"pl3", "read", "--program-dir"}},
        {"empty value", {"pl3", "--program-dir="}, kRefused, {"pl3"}},
        {"empty argument", {"pl3", "--program-dir", "", "x"}, kRefused, {"pl3", "x"}},
        {"a later folder wins over an empty one",
         {"pl3", "--program-dir=", "--program-dir=b"},
         "b",
         {"pl3"}},
        {"similar option untouched",
         {"pl3", "--program-directory=/x"},
         kExecutable,
         {"pl3", "--program-directory=/x"}},
        {"argv[0] is not an option", {"--program-dir", "/x"}, kExecutable, {"--program-dir", "/x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> storage = c.arguments;
        std::vector<char*> argv;
        for (std::string& argument : storage)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        int argc = static_cast<int>(storage.size());

        std::optional<std::string> folder = takeProgramDirOption(argc, argv.data());

        EXPECT_EQ(folder, c.folder);
        ASSERT_EQ(argc, static_cast<int>(c.remaining.size()));
        for (int i = 0; i < argc; ++i)
            EXPECT_EQ(argv[i], c.remaining[i]) << "argument " << i;
        EXPECT_EQ(argv[argc], nullptr);
    }
}

// An installation tree in a temporary folder: prefix/bin, prefix/share/pl3 and the user's
// config and data folders.
class Layout {
  public:
    std::string bin() const { return dir_.file("prefix/bin"); }
    std::string shared() const { return dir_.file("prefix/share/pl3"); }
    std::string config() const { return dir_.file("home/.config"); }
    std::string data() const { return dir_.file("home/.local/share"); }
    std::string other() const { return dir_.file("other"); }
    std::string put(const std::string& folder, const std::string& name,
                    const std::string& text = "[setup]\n") const {
        std::filesystem::create_directories(folder);
        std::string path = folder + "/" + name;
        std::filesystem::remove(path);
        dir_.write(std::filesystem::relative(path, dir_.path()).string(), text);
        return path;
    }

  private:
    test::TempDir dir_;
};

TEST(ProgramFolderLookup, GivenThenPortableThenInstalled) {
    enum Where { kNone, kBin, kShared, kOther };
    struct Case {
        const char* what;
        std::vector<Where> settingsIn;
        Where given;
        bool readOnlyBin;
        bool userFolders;
        Where expected;
        bool perUser;
    };
    const std::vector<Case> cases = {
        {"portable beside the program", {kBin, kShared}, kNone, false, true, kBin, false},
        {"installed data", {kShared}, kNone, false, true, kShared, true},
        {"installed data, no home folder", {kShared}, kNone, false, false, kShared, true},
        {"given folder wins", {kBin, kShared, kOther}, kOther, false, true, kOther, false},
        {"given folder is not passed over", {kBin, kShared}, kOther, false, true, kNone, false},
        {"nothing anywhere", {}, kNone, false, true, kNone, false},
        {"portable but read-only", {kBin}, kNone, true, true, kBin, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Permissions do not hold back root.
        if (c.readOnlyBin && ::geteuid() == 0) continue;
        Layout layout;
        auto folderOf = [&layout](Where where) {
            return where == kBin      ? layout.bin()
                   : where == kShared ? layout.shared()
                   : where == kOther  ? layout.other()
                                      : std::string();
        };
        for (Where where : c.settingsIn)
            layout.put(folderOf(where), "setting.ini");
        std::filesystem::create_directories(layout.bin());
        if (c.readOnlyBin)
            std::filesystem::permissions(layout.bin(), std::filesystem::perms::owner_read |
                                                           std::filesystem::perms::owner_exec);
        FolderLookup lookup{folderOf(c.given), layout.bin(), c.userFolders ? layout.config() : "",
                            c.userFolders ? layout.data() : ""};

        std::optional<AppPaths> paths = resolveAppPaths(lookup, kLocaleEnglishUs);
        if (c.readOnlyBin)
            std::filesystem::permissions(layout.bin(), std::filesystem::perms::owner_all);

        if (c.expected == kNone) {
            EXPECT_FALSE(paths);
            std::string message = missingSettingsMessage(lookup);
            EXPECT_EQ(message.rfind("Can not find the file setting.ini!\n", 0), 0u) << message;
            EXPECT_NE(message.find(c.given != kNone ? folderOf(c.given) : layout.shared()),
                      std::string::npos)
                << message;
            continue;
        }
        ASSERT_TRUE(paths);
        EXPECT_EQ(paths->programFolder, folderOf(c.expected));
        EXPECT_EQ(paths->settingsPath, folderOf(c.expected) + "/setting.ini");
        EXPECT_EQ(paths->perUserSettings, c.perUser);
        const std::string userFile =
            c.perUser && c.userFolders ? layout.config() + "/pl3/setting.ini" : std::string();
        EXPECT_EQ(paths->userSettingsPath, userFile);
        EXPECT_EQ(paths->settings().path(), c.perUser ? userFile : paths->settingsPath);
    }
}

TEST(ProgramFolderLookup, UserLanguageFileOverridesTheShippedOne) {
    Layout layout;
    layout.put(layout.shared(), "setting.ini", "[setup]\nlanguage=chinese\n");
    layout.put(layout.shared(), "chinese.lang");
    layout.put(layout.shared(), "english.lang");
    FolderLookup lookup{"", layout.bin(), layout.config(), layout.data()};
    EXPECT_EQ(resolveAppPaths(lookup, kLocaleEnglishUs)->languageFilePath,
              layout.shared() + "/chinese.lang");

    std::string own = layout.put(layout.data() + "/pl3", "chinese.lang");
    std::optional<AppPaths> paths = resolveAppPaths(lookup, kLocaleEnglishUs);
    EXPECT_EQ(paths->languageFilePath, own);
    EXPECT_EQ(paths->languageFolders(),
              (std::vector<std::string>{layout.shared(), layout.data() + "/pl3"}));
}

// Each key comes from the per-user file when it has it, else from the shipped one; the
// writes reach the per-user file only.
TEST(SettingsMerge, KeyByKeyOverTheShippedFile) {
    using namespace std::string_literals;
    const std::string shipped =
        "[setup]\ncom=3\nlanguage=chinese\n[FreqRange]\ndata0=00400047\n[ports]\n1=/dev/a\n";
    struct Case {
        const char* what;
        std::optional<std::string> user;  // nullopt: no per-user file
        int com;
        std::string language;
        std::optional<std::string> port1;
        std::optional<std::string> data0;
    };
    const std::vector<Case> cases = {
        {"no per-user file", std::nullopt, 3, "chinese", "/dev/a", "00400047"},
        {"one key overridden", "[setup]\ncom=7\n", 7, "chinese", "/dev/a", "00400047"},
        {"empty value overrides", "[setup]\nlanguage=\n", 3, "", "/dev/a", "00400047"},
        {"port table entry overridden", "[ports]\n1=/dev/b\n", 3, "chinese", "/dev/b", "00400047"},
        {"key names match in any case", "[SETUP]\nCOM=9\n", 9, "chinese", "/dev/a", "00400047"},
        {"not text: passed over", "[setup]\0com=7\n"s, 3, "chinese", "/dev/a", "00400047"},
        {"not UTF-8: passed over", "[setup]\ncom=7\xFF\n", 3, "chinese", "/dev/a", "00400047"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        std::string shippedPath = dir.write("setting.ini", shipped);
        std::string userPath = dir.file("user/pl3/setting.ini");
        if (c.user) {
            std::filesystem::create_directories(dir.file("user/pl3"));
            dir.write("user/pl3/setting.ini", *c.user);
        }
        SettingsFile settings(shippedPath, userPath);
        EXPECT_EQ(settings.comPort(), c.com);
        EXPECT_EQ(settings.languageName(), c.language);
        EXPECT_EQ(settings.portDevice(1), c.port1);
        EXPECT_EQ(settings.freqRangeData(0), c.data0);
    }
}

TEST(SettingsMerge, WritesGoToThePerUserFileOnly) {
    using namespace std::string_literals;
    test::TempDir dir;
    const std::string shipped = "[setup]\ncom=3\nlanguage=chinese\n";
    std::string shippedPath = dir.write("setting.ini", shipped);
    std::string userPath = dir.file("config/pl3/setting.ini");
    SettingsFile settings(shippedPath, userPath);

    EXPECT_TRUE(settings.setComPort(12));  // creates the per-user folder and file
    EXPECT_TRUE(settings.setVerifyAfterWrite(true));
    EXPECT_EQ(settings.comPort(), 12);
    EXPECT_TRUE(settings.verifyAfterWrite());
    EXPECT_EQ(settings.languageName(), "chinese");
    EXPECT_EQ(test::readText(shippedPath), shipped);
    EXPECT_EQ(test::readText(userPath), "[setup]\ncom=12\nverify=1\n");

    // A garbled per-user file is neither read nor overwritten.
    const std::string garbled = "\0\xFF[setup]\ncom=5\n"s;
    dir.write("config/pl3/setting.ini", garbled);
    EXPECT_FALSE(settings.setComPort(4));
    EXPECT_EQ(test::readText(userPath), garbled);
    EXPECT_EQ(settings.comPort(), 3);

    // Without a home folder there is nowhere to write; the shipped file is never touched.
    SettingsFile homeless(shippedPath, "");
    EXPECT_FALSE(homeless.setLanguageName("english"));
    EXPECT_EQ(test::readText(shippedPath), shipped);
}

}  // namespace
}  // namespace pl3::platform
