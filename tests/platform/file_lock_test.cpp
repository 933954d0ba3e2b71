#include "platform/file_lock.h"

#include <cerrno>
#include <chrono>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "temp_dir.h"

namespace pl3::platform {
namespace {

using namespace std::chrono_literals;

TEST(FileLock, OneHolderAtATime) {
    test::TempDir dir;
    std::string file = dir.write("x.PL-3", "old");
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    // Held as another process would hold it: flock() locks of two opens exclude each other.
    FileLock holder(file, 0ms);
    ASSERT_EQ(holder.state(), FileLockState::Held);
    struct Case {
        const char* what;
        std::string path;
        FileLockState state;
        int errorNumber;
    } cases[] = {
        {"held elsewhere for the whole wait", file, FileLockState::InUse, 0},
        {"missing", dir.file("missing.PL-3"), FileLockState::NotTaken, ENOENT},
        {"FIFO", dir.file("fifo"), FileLockState::NotTaken, EINVAL},
        {"directory", dir.path(), FileLockState::NotTaken, EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileLock lock(c.path, 100ms);
        EXPECT_EQ(lock.state(), c.state);
        EXPECT_EQ(lock.errorNumber(), c.errorNumber);
    }
    std::string other = dir.write("other.PL-3", "old");
    {
        FileLock released(other, 0ms);
        EXPECT_EQ(released.state(), FileLockState::Held);
    }
    EXPECT_EQ(FileLock(other, 0ms).state(), FileLockState::Held) << "not released";
}

}  // namespace
}  // namespace pl3::platform
