#include "platform/program_folder.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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

TEST(TakeProgramFolder, RemovesTheOptionInBothSpellings) {
    const std::string kExecutable = "<executable folder>";
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        std::string folder;
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
        {"empty value", {"pl3", "--program-dir="}, kExecutable, {"pl3"}},
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

        std::string folder = takeProgramFolder(argc, argv.data());

        EXPECT_EQ(folder, c.folder == kExecutable ? executableFolder() : c.folder);
        ASSERT_EQ(argc, static_cast<int>(c.remaining.size()));
        for (int i = 0; i < argc; ++i)
            EXPECT_EQ(argv[i], c.remaining[i]) << "argument " << i;
        EXPECT_EQ(argv[argc], nullptr);
    }
}

}  // namespace
}  // namespace pl3::platform
