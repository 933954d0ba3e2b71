// The Win32 back-ends of the folders, the file checks, the atomic save, the file lock and
// private files, on what a Windows user's disk holds: links, read-only and hidden files,
// devices.

#include <windows.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "platform/file_lock.h"
#include "platform/file_stamp.h"
#include "platform/file_status.h"
#include "platform/private_file.h"
#include "platform/user_data_folder.h"
#include "temp_dir.h"

namespace pl3::platform {
namespace {

using pl3::test::readText;
using pl3::test::TempDir;

std::wstring wide(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end())).wstring();
}

TEST(Win32Folders, LocalDataStaysOnTheMachineSettingsAndLanguagesRoam) {
    ASSERT_EQ(::_wputenv_s(L"LOCALAPPDATA", L"C:\\Users\\u\\AppData\\Local"), 0);
    ASSERT_EQ(::_wputenv_s(L"APPDATA", L"C:\\Users\\u\\AppData\\Roaming"), 0);
    EXPECT_EQ(userDataFolder(), "C:\\Users\\u\\AppData\\Local");
    EXPECT_EQ(userStateFolder(), "C:\\Users\\u\\AppData\\Local");
    EXPECT_EQ(userConfigFolder(), "C:\\Users\\u\\AppData\\Roaming");
    EXPECT_EQ(userRoamingDataFolder(), "C:\\Users\\u\\AppData\\Roaming");
}

struct SaveCase {
    const char* what;
    // Makes what the save meets and returns the path to save to.
    std::function<std::string(const TempDir&)> prepare;
    bool saved;
    int errorNumber;
    bool notRegularFile;
    unsigned long otherNames;
    std::optional<bool> writableBefore;  // what mayWrite says before; nullopt: the system's say
};

TEST(Win32AtomicSave, KeepsWhatTheSaveMeetsOrLeavesItAlone) {
    const std::vector<std::uint8_t> content = {'n', 'e', 'w'};
    auto existing = [](DWORD attributes) {
        return [attributes](const TempDir& dir) {
            std::string path = dir.write("a.PL-3", "old");
            ::SetFileAttributesW(wide(path).c_str(), attributes);
            return path;
        };
    };
    const std::vector<SaveCase> cases = {
        {"a new file", [](const TempDir& dir) { return dir.file("a.PL-3"); }, true, 0, false, 0,
         false},
        {"a file replaced", existing(FILE_ATTRIBUTE_NORMAL), true, 0, false, 0, true},
        {"a hidden file", existing(FILE_ATTRIBUTE_HIDDEN), true, 0, false, 0, true},
        {"a read-only file", existing(FILE_ATTRIBUTE_READONLY), false, EACCES, false, 0, false},
        {"a file with a second name",
         [](const TempDir& dir) {
             std::string path = dir.write("a.PL-3", "old");
             ::CreateHardLinkW(wide(dir.file("b.PL-3")).c_str(), wide(path).c_str(), nullptr);
             return path;
         },
         true, 0, false, 1, true},
        {"a folder", [](const TempDir& dir) { return dir.path(); }, false, EISDIR, false, 0, true},
        {"the null device", [](const TempDir&) { return std::string("NUL"); }, false, EINVAL, true,
         0, std::nullopt},
        {"a missing folder", [](const TempDir& dir) { return dir.file("gone/a.PL-3"); }, false,
         ENOENT, false, 0, false},
    };
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = c.prepare(dir);
        const std::string before = readText(path);
        const std::optional<RegularFileStamp> stamp = regularFileStamp(path);
        if (c.writableBefore) {
            EXPECT_EQ(mayWrite(path), *c.writableBefore);
        }
        FileError error;
        WriteNotes notes;
        EXPECT_EQ(writeFileAtomically(path, content, &error, &notes), c.saved);
        if (c.saved) {
            EXPECT_EQ(readText(path), "new");
            EXPECT_EQ(notes.otherNames, c.otherNames);
            if (c.otherNames > 0) {
                EXPECT_EQ(readText(dir.file("b.PL-3")), "new");
            }
            EXPECT_NE(regularFileStamp(path), stamp);
        } else {
            EXPECT_EQ(error.errorNumber, c.errorNumber);
            EXPECT_EQ(error.notRegularFile, c.notRegularFile);
            EXPECT_EQ(readText(path), before);
        }
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        for (const std::string& name : names)
            EXPECT_NE(name.front(), '.') << "temporary file left: " << name;
        if (std::string(c.what) == "a hidden file") {
            EXPECT_NE(::GetFileAttributesW(wide(path).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
        }
        ::SetFileAttributesW(wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// The lock is mandatory on Windows: the locked byte lies beyond the file, so the holder
// still reads and saves the file, and a save over it is what the next one locks.
TEST(Win32FileLock, OneHolderAtATimeWhileTheFileIsReadAndSaved) {
    using namespace std::chrono_literals;
    TempDir dir;
    const std::string path = dir.write("x.PL-3", "old");
    auto holder = std::make_unique<FileLock>(path, 0ms);
    ASSERT_EQ(holder->state(), FileLockState::Held);
    EXPECT_EQ(FileLock(path, 100ms).state(), FileLockState::InUse);
    EXPECT_EQ(readText(path), "old");
    const std::optional<FileStamp> before = fileStampOf(path);
    ASSERT_TRUE(writeFileAtomically(path, {'n', 'e', 'w'}));
    EXPECT_EQ(readText(path), "new");
    EXPECT_NE(fileStampOf(path), before);
    EXPECT_EQ(FileLock(path, 0ms).state(), FileLockState::Held);  // the file saved is new
    holder.reset();

    FileLock device("NUL", 0ms);
    EXPECT_EQ(device.state(), FileLockState::NotTaken);
    EXPECT_EQ(device.errorNumber(), EINVAL);
    FileLock missing(dir.file("gone.PL-3"), 0ms);
    EXPECT_EQ(missing.errorNumber(), ENOENT);
}

TEST(Win32PrivateFile, MadeNewOrEmptiedNeverOverADevice) {
    TempDir dir;
    const std::string taken = dir.write("taken.log", "earlier");
    const std::string fresh = dir.file("fresh.log");
    int errorNumber = 0;
    EXPECT_TRUE(mayWriteFile(fresh, &errorNumber));
    std::FILE* made = createPrivateFile(fresh);
    ASSERT_NE(made, nullptr);
    EXPECT_GE(std::fputs("a\n", made), 0);
    EXPECT_EQ(std::fclose(made), 0);
    EXPECT_EQ(readText(fresh), "a\n");  // the very bytes, no "\r"

    errno = 0;
    EXPECT_EQ(createPrivateFile(taken), nullptr);
    EXPECT_EQ(errno, EEXIST);
    std::FILE* emptied = rewritePrivateFile(taken);
    ASSERT_NE(emptied, nullptr);
    EXPECT_EQ(std::fclose(emptied), 0);
    EXPECT_EQ(readText(taken), "");
    EXPECT_EQ(rewritePrivateFile("NUL"), nullptr);
    EXPECT_EQ(errno, EINVAL);

    ::SetFileAttributesW(wide(taken).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(mayWriteFile(taken, &errorNumber));
    EXPECT_EQ(errorNumber, EACCES);
    ::SetFileAttributesW(wide(taken).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(mayWriteFile(dir.file("gone\\a.log"), &errorNumber));
    EXPECT_EQ(errorNumber, ENOENT);
}

}  // namespace
}  // namespace pl3::platform
