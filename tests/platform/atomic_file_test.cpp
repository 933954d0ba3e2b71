#include "platform/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/file_lock.h"
#include "temp_dir.h"

namespace pl3::platform {
namespace {

using pl3::test::readBytes;
using pl3::test::TempDir;

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<std::string> entriesOf(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

// Lowers the file-size limit so that writes beyond it fail with EFBIG, even for root.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST(ReadFile, ReadsRegularFilesWithinTheLimit) {
    struct Case {
        const char* what;
        std::string content;
        std::size_t maxBytes;
        bool succeeds;
    };
    const std::vector<Case> cases = {
        {"empty", "", 10, true},
        {"binary content", std::string("a\0b\r\n\xFF", 6), 10, true},
        {"exactly at the limit", "0123456789", 10, true},
        {"one byte over", "0123456789A", 10, false},
        {"larger than one read chunk", std::string(200000, 'x'), 200000, true},
        {"much larger than the limit", std::string(200000, 'x'), 1000, false},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = dir.write("data.bin", c.content);
        FileError error;
        auto bytes = readFile(path, c.maxBytes, &error);
        if (c.succeeds) {
            ASSERT_TRUE(bytes.has_value());
            EXPECT_EQ(*bytes, bytesOf(c.content));
        } else {
            EXPECT_FALSE(bytes.has_value());
            EXPECT_EQ(error.errorNumber, EFBIG);
        }
    }
}

TEST(ReadFile, ReportsWhyAFileCannotBeRead) {
    TempDir dir;
    std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        const char* what;
        std::string path;
        int errorNumber;
    };
    const std::vector<Case> cases = {
        {"missing file", dir.file("missing.ini"), ENOENT},
        {"missing folder", dir.file("missing/setting.ini"), ENOENT},
        {"directory", dir.path(), EISDIR},
        {"FIFO without writer", fifo, EINVAL},
        {"empty path", "", ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileError error;
        EXPECT_FALSE(readFile(c.path, 1024, &error).has_value());
        EXPECT_EQ(error.errorNumber, c.errorNumber);
        EXPECT_EQ(error.describe(), std::strerror(c.errorNumber));
    }
    EXPECT_FALSE(readFile(dir.file("missing.ini"), 1024).has_value());  // no error wanted
}

TEST(WriteFileAtomically, CreatesAndReplacesFiles) {
    TempDir dir;
    std::string path = dir.file("setting.ini");

    ASSERT_TRUE(writeFileAtomically(path, bytesOf("first")));
    EXPECT_EQ(readBytes(path), bytesOf("first"));
    EXPECT_EQ(modeOf(path), 0644u);

    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    ASSERT_TRUE(writeFileAtomically(path, bytesOf("second, longer")));
    EXPECT_EQ(readBytes(path), bytesOf("second, longer"));
    EXPECT_EQ(modeOf(path), 0600u);

    ASSERT_TRUE(writeFileAtomically(path, {}));
    EXPECT_TRUE(readBytes(path).empty());
    EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string>{"setting.ini"});
}

TEST(WriteFileAtomically, WorksWithAPathRelativeToTheCurrentFolder) {
    TempDir dir;
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    bool written = writeFileAtomically("relative.ini", bytesOf("x"));
    std::filesystem::current_path(previous);
    ASSERT_TRUE(written);
    EXPECT_EQ(readBytes(dir.file("relative.ini")), bytesOf("x"));
}

TEST(WriteFileAtomically, FailureLeavesTheTargetAndNoTemporaryFile) {
    TempDir dir;
    std::string path = dir.write("setting.ini", "old content");
    std::filesystem::create_directory(dir.file("folder"));
    struct Case {
        const char* what;
        std::string path;
        int errorNumber;
    };
    const std::vector<Case> cases = {
        {"into a missing folder", dir.file("missing/setting.ini"), ENOENT},
        {"over a directory", dir.file("folder"), EISDIR},
        {"path naming a folder", dir.path() + "/", EISDIR},
        {"below a file", path + "/setting.ini", ENOTDIR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileError error;
        EXPECT_FALSE(writeFileAtomically(c.path, bytesOf("new"), &error));
        EXPECT_EQ(error.errorNumber, c.errorNumber);
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("folder")));

    // A full disk, for a file replaced and for a short one with a second name, which is
    // overwritten in place: neither changes, and the failure claims no partial write.
    std::string linked = dir.write("linked.PL-3", "short");
    ASSERT_EQ(::link(linked.c_str(), dir.file("second-name").c_str()), 0);
    for (const std::string& full : {path, linked}) {
        SCOPED_TRACE(full);
        FileSizeLimit limit(4096);
        FileError error;
        EXPECT_FALSE(writeFileAtomically(full, std::vector<std::uint8_t>(100000, 'x'), &error));
        EXPECT_EQ(error.errorNumber, EFBIG);
        EXPECT_FALSE(error.partlyWritten);
    }
    EXPECT_EQ(readBytes(path), bytesOf("old content"));
    EXPECT_EQ(readBytes(linked), bytesOf("short"));
    EXPECT_EQ(readBytes(dir.file("second-name")), bytesOf("short"));

    std::vector<std::string> entries = entriesOf(dir.path());
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries,
              (std::vector<std::string>{"folder", "linked.PL-3", "second-name", "setting.ini"}));
}

struct stat statOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

// A character device to be refused. As root, a node of its own with the null device's
// numbers, so that even a faulty save can replace or fill only this test's copy; as
// another user, /dev/null itself, which such a user cannot replace and where writing is
// harmless. Empty when root may not make device nodes here.
std::string nullDevice(const TempDir& dir) {
    if (::geteuid() != 0) return "/dev/null";
    std::string node = dir.file("null");
    return ::mknod(node.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0 ? node : std::string();
}

TEST(WriteFileAtomically, RespectsWhatIsAtThePath) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("sub"));
    struct Case {
        const char* what;
        std::string path;     // what the save is given
        std::string written;  // the file expected to hold the new bytes, empty: refused
        unsigned long otherNames = 0;
    };
    std::vector<Case> cases;
    std::string target = dir.write("sub/target.PL-3", "old");
    ASSERT_EQ(::symlink("sub/target.PL-3", dir.file("link").c_str()), 0);
    ASSERT_EQ(::symlink("link", dir.file("link-to-link").c_str()), 0);
    cases.push_back({"through a relative symbolic link", dir.file("link"), target});
    cases.push_back({"through a chain of links", dir.file("link-to-link"), target});
    ASSERT_EQ(::symlink("sub/new.PL-3", dir.file("dangling").c_str()), 0);
    cases.push_back(
        {"a dangling link creates its target", dir.file("dangling"), dir.file("sub/new.PL-3")});
    std::string linked = dir.write("linked.PL-3", "old");
    ASSERT_EQ(::link(linked.c_str(), dir.file("second-name").c_str()), 0);
    cases.push_back(
        {"a hard link: every name sees the new bytes", dir.file("second-name"), linked, 1});
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    cases.push_back({"FIFO", dir.file("fifo"), {}});
    ASSERT_EQ(::symlink("fifo", dir.file("link-to-fifo").c_str()), 0);
    cases.push_back({"link to a FIFO", dir.file("link-to-fifo"), {}});
    std::string device = nullDevice(dir);
    if (!device.empty()) cases.push_back({"character device", device, {}});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        struct stat before {};
        bool existed = ::lstat(c.path.c_str(), &before) == 0;
        FileError error;
        WriteNotes notes;
        bool written = writeFileAtomically(c.path, bytesOf("new"), &error, &notes);
        struct stat after = statOf(c.path);
        EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT) << "the path changed its kind";
        if (c.written.empty()) {
            EXPECT_FALSE(written);
            EXPECT_TRUE(error.notRegularFile);
            EXPECT_EQ(after.st_rdev, before.st_rdev);
            continue;
        }
        ASSERT_TRUE(written) << error.describe();
        EXPECT_TRUE(existed);
        EXPECT_EQ(readBytes(c.path), bytesOf("new"));
        EXPECT_EQ(readBytes(c.written), bytesOf("new"));
        EXPECT_EQ(notes.otherNames, c.otherNames);
        if (c.otherNames > 0) {
            EXPECT_EQ(after.st_ino, before.st_ino);
        }
    }
    std::vector<std::string> left = entriesOf(dir.path());
    std::vector<std::string> inSub = entriesOf(dir.file("sub"));
    left.insert(left.end(), inSub.begin(), inSub.end());
    EXPECT_TRUE(std::none_of(left.begin(), left.end(), [](const std::string& name) {
        return name.starts_with(".");
    })) << "a temporary file was left";
}

TEST(WriteFileAtomically, KeepsModeOwnerAndGroup) {
    TempDir dir;
    std::string path = dir.write("codeplug.PL-3", "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    // Only root can give a file away; anyone else keeps their own.
    const uid_t owner = ::geteuid() == 0 ? 4321 : ::geteuid();
    const gid_t group = ::geteuid() == 0 ? 8765 : ::getegid();
    ASSERT_EQ(::chown(path.c_str(), owner, group), 0);
    ASSERT_TRUE(writeFileAtomically(path, bytesOf("new")));
    struct stat info = statOf(path);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(info.st_uid, owner);
    EXPECT_EQ(info.st_gid, group);
    EXPECT_EQ(readBytes(path), bytesOf("new"));
}

TEST(FileLock, OneHolderAtATime) {
    using namespace std::chrono_literals;
    TempDir dir;
    std::string file = dir.write("x.PL-3", "old");
    // flock() locks of two opens exclude each other as those of two processes do.
    auto holder = std::make_unique<FileLock>(file, 0ms);
    ASSERT_EQ(holder->state(), FileLockState::Held);
    EXPECT_EQ(FileLock(file, 100ms).state(), FileLockState::InUse);
    holder.reset();
    EXPECT_EQ(FileLock(file, 0ms).state(), FileLockState::Held);

    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    FileLock fifo(dir.file("fifo"), 100ms);  // without a writer: must not hang
    EXPECT_EQ(fifo.state(), FileLockState::NotTaken);
    EXPECT_EQ(fifo.errorNumber(), EINVAL);
}

}  // namespace
}  // namespace pl3::platform
