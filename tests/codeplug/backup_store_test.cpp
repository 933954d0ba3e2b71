#include "codeplug/backup_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "codeplug/data_file.h"
#include "codeplug/text_keys.h"
#include "patterned_image.h"
#include "scoped_environment.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

namespace pl3::backup {
namespace {

namespace fs = std::filesystem;

constexpr std::time_t kDay = 24 * 60 * 60;
// 2026-12-07 13:15:02 UTC
constexpr std::time_t kNow = 1796649302;

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string nameAt(std::time_t when, Event event, int sequence = 1) {
    std::tm local{};
    ::localtime_r(&when, &local);
    return fileName(local, event, sequence);
}

class BackupStoreTest : public ::testing::Test {
  protected:
    test::ScopedEnvironment utc{"TZ", "UTC"};
    test::TempDir dir;
    test::ScriptedPrompter prompter;
};

TEST_F(BackupStoreTest, NamesCarryTimeEventAndSequence) {
    struct Case {
        Event event;
        int sequence;
        const char* name;
    } cases[] = {
        {Event::Read, 1, "2026-12-07_131502_read.PL-3"},
        {Event::BeforeWrite, 1, "2026-12-07_131502_before-write.PL-3"},
        {Event::Read, 2, "2026-12-07_131502-2_read.PL-3"},
        {Event::BeforeWrite, 12, "2026-12-07_131502-12_before-write.PL-3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nameAt(kNow, c.event, c.sequence), c.name);
        EXPECT_EQ(timeOf(c.name), kNow) << c.name;
    }
}

TEST_F(BackupStoreTest, OnlyOurOwnNamesHaveATime) {
    const char* foreign[] = {
        "notes.txt",
        "2026-12-07_131502_read.PL-3.tmp",
        "2026-12-07_131502_other.PL-3",
        "2026-12-07_131502.PL-3",
        "2026-12-07_131502-1_read.PL-3",  // the first backup of a second has no sequence
        "2026-12-07_131502-x_read.PL-3",
        "2026-12-07_1315_read.PL-3",
        "2026-13-07_131502_read.PL-3",
        "2026-12-07_251502_read.PL-3",
        "x2026-12-07_131502_read.PL-3",
        "my-2026-12-07_131502_read.PL-3",
    };
    for (const char* name : foreign)
        EXPECT_FALSE(timeOf(name)) << name;
}

TEST_F(BackupStoreTest, SavedBackupIsADataFileOfTheImage) {
    BackupStore store(dir.file("backups"));
    std::optional<std::string> path =
        store.save(test::patternedImage(11, 1), Event::Read, prompter, kNow);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, dir.file("backups/2026-12-07_131502_read.PL-3"));
    Header header{};
    Image image{};
    EXPECT_EQ(data_file::read(*path, header, image).status, data_file::ReadStatus::Complete);
    EXPECT_EQ(image, test::patternedImage(11, 1));
    EXPECT_TRUE(prompter.prompts().empty());
    // The folder is created private: backups are the user's own data.
    EXPECT_EQ(fs::status(dir.file("backups")).permissions() & fs::perms::all, fs::perms::owner_all);

    // The newest read says when it was made and, when known, the device it came from.
    ASSERT_TRUE(
        store.save(test::patternedImage(11, 2), Event::Read, prompter, kNow + 60, "/dev/ttyUSB0"));
    std::optional<BackupFile> newest = store.latest(Event::Read);
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->path, dir.file("backups/2026-12-07_131602_read.PL-3"));
    EXPECT_EQ(newest->made, kNow + 60);
    EXPECT_EQ(newest->port, "/dev/ttyUSB0");
    EXPECT_FALSE(store.latest(Event::BeforeWrite));
}

TEST_F(BackupStoreTest, BackupsInTheSameSecondNeverReplaceEachOther) {
    BackupStore store(dir.file("backups"));
    ASSERT_TRUE(store.save(test::patternedImage(11, 1), Event::BeforeWrite, prompter, kNow));
    ASSERT_TRUE(store.save(test::patternedImage(11, 2), Event::BeforeWrite, prompter, kNow));
    ASSERT_TRUE(store.save(test::patternedImage(11, 3), Event::BeforeWrite, prompter, kNow));
    ASSERT_TRUE(store.save(test::patternedImage(11, 4), Event::Read, prompter, kNow));
    EXPECT_EQ(namesIn(store.folder()),
              (std::vector<std::string>{
                  "2026-12-07_131502-2_before-write.PL-3", "2026-12-07_131502-3_before-write.PL-3",
                  "2026-12-07_131502_before-write.PL-3", "2026-12-07_131502_read.PL-3"}));
    Header header{};
    Image image{};
    data_file::read(store.folder() + "/2026-12-07_131502-3_before-write.PL-3", header, image);
    EXPECT_EQ(image, test::patternedImage(11, 3));
}

TEST_F(BackupStoreTest, PruningRemovesOnlyOurBackupsOlderThanNinetyDays) {
    BackupStore store(dir.file("backups"));
    fs::create_directories(store.folder());
    auto place = [&](const std::string& name) {
        std::ofstream(store.folder() + "/" + name) << "x";
        return name;
    };
    std::string old = place(nameAt(kNow - 91 * kDay, Event::Read));
    place(fs::path(old).replace_extension(".port").string());  // goes with its backup
    std::string oldSecond = place(nameAt(kNow - 200 * kDay, Event::BeforeWrite, 2));
    std::string recent = place(nameAt(kNow - 89 * kDay, Event::BeforeWrite));
    std::string future = place(nameAt(kNow + 3 * kDay, Event::Read));
    std::string notOurs = place("2001-01-01_000000_firmware.PL-3");
    std::string notes = place("notes.txt");
    // A link named like an old backup is not a file of ours.
    std::string link = nameAt(kNow - 300 * kDay, Event::Read);
    fs::create_symlink(store.folder() + "/" + notes, store.folder() + "/" + link);

    EXPECT_EQ(store.prune(kNow), 2);
    std::vector<std::string> expected = {recent, future, notOurs, notes, link};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(store.folder()), expected);

    // Saving prunes too.
    place(old);
    ASSERT_TRUE(store.save(test::patternedImage(11, 1), Event::Read, prompter, kNow));
    EXPECT_FALSE(fs::exists(store.folder() + "/" + old));
}

TEST_F(BackupStoreTest, FailureWarnsOnceAndKeepsNothingHalfWritten) {
    std::string blocker = dir.write("a-file", "x");
    struct Case {
        const char* what;
        std::string folder;
        bool needsPermissions;  // a superuser writes into read-only folders anyway
    } cases[] = {
        {"read-only folder", dir.file("read-only"), true},
        {"folder below a file", blocker + "/backups", false},
        {"no user data folder", "", false},
    };
    fs::create_directories(dir.file("read-only"));
    fs::permissions(dir.file("read-only"), fs::perms::owner_read | fs::perms::owner_exec);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsPermissions && ::geteuid() == 0) continue;
        test::ScriptedPrompter quiet;
        BackupStore store(c.folder);
        EXPECT_FALSE(store.save(test::patternedImage(11, 1), Event::Read, quiet, kNow));
        EXPECT_FALSE(store.save(test::patternedImage(11, 2), Event::BeforeWrite, quiet, kNow + 1));
        ASSERT_EQ(quiet.prompts().size(), 1u);
        EXPECT_EQ(quiet.prompts()[0].textKey, text_key::kWarnBackup);
        EXPECT_EQ(quiet.prompts()[0].icon, PromptIcon::Exclamation);
        if (!c.folder.empty()) {
            EXPECT_NE(quiet.prompts()[0].detail.find(c.folder), std::string::npos);
        }
    }
    EXPECT_TRUE(namesIn(dir.file("read-only")).empty());
    fs::permissions(dir.file("read-only"), fs::perms::owner_all);
}

TEST_F(BackupStoreTest, DefaultFolderIsInTheUsersDataFolder) {
    struct Case {
        std::optional<std::string> xdg;
        std::optional<std::string> home;
        std::string folder;
    } cases[] = {
        {"/data/me", "/home/me", "/data/me/pl3/backups"},
        {std::nullopt, "/home/me", "/home/me/.local/share/pl3/backups"},
        {"", "/home/me", "/home/me/.local/share/pl3/backups"},
        {"relative/data", "/home/me", "/home/me/.local/share/pl3/backups"},
        {std::nullopt, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        test::ScopedEnvironment xdg("XDG_DATA_HOME", c.xdg);
        test::ScopedEnvironment home("HOME", c.home);
        EXPECT_EQ(defaultFolder(), c.folder) << c.xdg.value_or("(unset)");
        EXPECT_EQ(BackupStore().folder(), c.folder);
    }
}

}  // namespace
}  // namespace pl3::backup
