#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "codeplug/data_file.h"
#include "codeplug/document_commands.h"
#include "codeplug/field_registry.h"
#include "lang/text_lookup.h"
#include "platform/file_lock.h"
#include "platform/private_profile.h"
#include "run_program.h"
#include "scripted_prompter.h"
#include "settings_fixture.h"

namespace pl3 {
namespace {

using test::ProgramRun;

class Pl3ctlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.installLanguageFiles();
        platform::writeString(folder.file("setting.ini"), "setup", "language", "english");
    }
    ProgramRun run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--program-dir", folder.path()});
        return test::runProgram("pl3ctl", args);
    }
    std::string english(const std::string& key) {
        return TextLookup(folder.file("english.lang")).text(key);
    }
    std::string newFile(const std::string& name = "x.PL-3") {
        std::string path = folder.file(name);
        ProgramRun made = run({"new", "-o", path});
        EXPECT_EQ(made.exitCode, 0) << made.err;
        return path;
    }

    test::ProgramFolder folder;
};

TEST_F(Pl3ctlTest, NewWritesTheFactoryDefaults) {
    std::vector<std::uint8_t> bytes = test::readBytes(newFile());
    ASSERT_EQ(bytes.size(), 4144u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 44), std::string(data_file::kMagic));
    auto image = [&](std::size_t at) { return bytes[48 + at]; };
    const std::uint8_t settings[] = {0xED, 0xA7, 0x9B, 0x03, 0x06, 0x00, 0x19, 0x32,
                                     0x01, 0x01, 0x14, 0x23, 0x05, 0x01, 0x02, 0x2F};
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_EQ(image(0x08A0 + i), settings[i]) << i;
    EXPECT_EQ(image(0x0008), 0x00);
    EXPECT_EQ(image(0x0009), 0x40);
    EXPECT_EQ(image(0x000B), 0x47);
    EXPECT_EQ(image(0x081D), 0x30);
    EXPECT_EQ(image(16 * 77 + 12), 0xA7);
    EXPECT_EQ(image(16 * 78 + 12), 0xBF);
}

TEST_F(Pl3ctlTest, DumpShowsWhatThePagesShow) {
    ProgramRun dump = run({"dump", newFile()});
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    auto line = [&](const std::string& start) {
        std::size_t at = dump.out.find("\n  " + start);
        return at == std::string::npos
                   ? std::string()
                   : dump.out.substr(at + 3, dump.out.find('\n', at + 1) - at - 3);
    };
    EXPECT_EQ(line("1  ").substr(0, 25), "1    446.00625  446.00625");
    EXPECT_NE(line("9  ").find("433.07500"), std::string::npos);
    EXPECT_NE(line("77 ").find("434.77500"), std::string::npos);
    EXPECT_EQ(line("78 "), "78   -");
    EXPECT_NE(line("PowerOnMessage").find("PL-3"), std::string::npos);
    EXPECT_NE(
        dump.out.find("FreqRangeCode: 00400047  range 0 \"400-470MHz\"  400.00000 - 470.00000"),
        std::string::npos);
    EXPECT_NE(line("1  ").find(english("IDS_NARROW")), std::string::npos);
    EXPECT_NE(line("VoxDelay").find("2.5"), std::string::npos);
}

TEST_F(Pl3ctlTest, JsonUsesTheFieldNames) {
    ProgramRun dump = run({"dump", "--json", newFile()});
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    for (const char* expected :
         {"\"RxFreq\": \"446.00625\"", "\"PowerOnMessage\": \"PL-3\"", "\"BackLamp\": 1",
          "\"VoxDelay\": 22", "\"RxTone\": \"off\"", "\"FmPreset\": [", "\"TuneVox1\": 114",
          "\"FreqRangeCode\": \"00400047\"", "\"ChannelName\": \"\"", "\"RxFreq[129]\": \"\""}) {
        EXPECT_NE(dump.out.find(expected), std::string::npos) << expected;
    }
    EXPECT_EQ(std::count(dump.out.begin(), dump.out.end(), '{'),
              std::count(dump.out.begin(), dump.out.end(), '}'));
    EXPECT_EQ(std::count(dump.out.begin(), dump.out.end(), '['),
              std::count(dump.out.begin(), dump.out.end(), ']'));
}

TEST_F(Pl3ctlTest, SetChangesOnlyTheNamedFields) {
    std::string path = newFile();
    std::vector<std::uint8_t> before = test::readBytes(path);
    before[44] = 0x11, before[47] = 0x22;  // reserved header bytes the tool must keep
    test::TempDir scratch;
    std::string edited = scratch.writeBytes("e.PL-3", before);

    ProgramRun set = run({"set", "--raw", edited, "RxFreq[80]=433.0776", "ChannelName[80]=ab-1",
                          "BotCode=12ab*#", "PowerOnPassword=12", "VfoOffset=75", "RxTone[5]=51",
                          "BackLamp=2", "FreqStep=3"});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    std::vector<std::uint8_t> after = test::readBytes(edited);
    ASSERT_EQ(after.size(), before.size());
    struct Expected {
        std::size_t at;
        std::vector<std::uint8_t> bytes;
    } changes[] = {
        {80 * 16, {0x00, 0x80, 0x30, 0x43}},
        {0x0A00 + 80 * 8, {12, 13, 38, 1, 0xFF, 0xFF}},
        {0x08B0, {6, 0x12, 0xAB, 0xEF}},
        {0x08D0, {1, 2, 0xFF, 0xFF}},
        {0x0830, {0x00, 0x95, 0x99, 0x06}},
        {5 * 16 + 8, {0x00, 0xF9}},
        {0x08A0, {0xEE}},
        {0x081D, {0x33}},
    };
    for (const Expected& change : changes) {
        for (std::size_t i = 0; i < change.bytes.size(); ++i) {
            EXPECT_EQ(after[48 + change.at + i], change.bytes[i]) << std::hex << change.at + i;
            before[48 + change.at + i] = change.bytes[i];
        }
    }
    EXPECT_EQ(after, before);  // nothing else changed, the reserved header bytes included

    ProgramRun get = run({"set", edited, "RxFreq[80]", "ChannelName[80]"});
    EXPECT_EQ(get.exitCode, 0);
    EXPECT_EQ(get.out, "433.08000\nAB-1\n");

    // Without --raw a channel changes as on the channel page: a new one transmits where it
    // receives, and an empty receive frequency empties it again.
    ASSERT_EQ(run({"set", edited, "RxFreq[81]=440.5", "ChannelName[81]=x"}).exitCode, 0);
    EXPECT_EQ(run({"set", edited, "TxFreq[81]"}).out, "440.50000\n");
    ASSERT_EQ(run({"set", edited, "RxFreq[81]="}).exitCode, 0);
    EXPECT_EQ(run({"set", edited, "TxFreq[81]", "ChannelName[81]"}).out, "\n\n");
}

TEST_F(Pl3ctlTest, BadArgumentsWriteNothing) {
    std::string path = newFile();
    std::vector<std::uint8_t> before = test::readBytes(path);
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string messageKey;
    } cases[] = {
        {{"set", path, "BackLamp=1", "Nonsense=3"}, 1, "IDS_CLI_UNKNOWN_FIELD"},
        {{"set", path, "BackLamp=1", "BackLamp=7"}, 1, "IDS_CLI_BAD_VALUE"},
        {{"set", path, "RxFreq[80]=480"}, 1, "IDS_CLI_BAD_VALUE"},
        {{"set", path, "RxFreq[200]=440"}, 1, "IDS_CLI_UNKNOWN_FIELD"},
        // The pages' rules: fixed channels keep their frequencies, an unused channel takes
        // no options and is not scanned.
        {{"set", path, "BackLamp=1", "RxFreq[5]=440"}, 1, "IDS_CLI_FIELD_REFUSED"},
        {{"set", path, "TxPower[100]=1"}, 1, "IDS_CLI_FIELD_REFUSED"},
        {{"set", path, "ScanList[100]=1"}, 1, "IDS_CLI_FIELD_REFUSED"},
        {{"set", path}, 1, ""},
        {{"frobnicate"}, 1, ""},
        {{"new"}, 1, ""},
        {{"new", "--range", "9", "-o", path}, 1, "IDS_CLI_BAD_VALUE"},
    };
    for (const Case& c : cases) {
        ProgramRun result = run(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args[0];
        if (!c.messageKey.empty()) {
            EXPECT_NE(result.err.find(english(c.messageKey)), std::string::npos) << result.err;
        }
        EXPECT_EQ(test::readBytes(path), before) << c.args[0];
    }
}

TEST_F(Pl3ctlTest, FilesThatAreNotCodeplugs) {
    std::string foreign = folder.write("foreign.PL-3", std::string(4144, 'x'));
    std::string empty = folder.write("empty.PL-3", "");
    struct Case {
        std::vector<std::string> args;
        std::string messageKey;
    } cases[] = {
        {{"dump", foreign}, "IDS_WARN_LOAD"},
        {{"dump", empty}, "IDS_WARN_LOAD"},
        {{"dump", folder.path()}, "IDS_ERROR_OPENFILE"},
        {{"dump", folder.file("missing.PL-3")}, "IDS_ERROR_OPENFILE"},
        {{"set", foreign, "BackLamp=1"}, "IDS_WARN_LOAD"},
        {{"new", "-o", folder.file("no/folder/x.PL-3")}, "IDS_ERROR_SAVEFILE"},
        {{"new", "-o", folder.path()}, "IDS_ERROR_SAVEFILE"},
    };
    for (const Case& c : cases) {
        ProgramRun result = run(c.args);
        EXPECT_EQ(result.exitCode, 2) << c.args[1];
        EXPECT_NE(result.err.find(english(c.messageKey)), std::string::npos) << result.err;
    }
    EXPECT_EQ(test::readText(foreign), std::string(4144, 'x'));
}

TEST_F(Pl3ctlTest, SetAndImportWaitForAFileAnotherIsChanging) {
    std::string path = newFile();
    std::string csv = folder.write("in.csv", "Location,Frequency\n90,445.5\n");
    std::optional<test::StartedProgram> setting, importing;
    {
        // This test changes the file as another pl3ctl would: load, change, save, locked.
        platform::FileLock lock(path, std::chrono::milliseconds(0));
        CMaItemDoc doc(folder.settings());
        test::ScriptedPrompter quiet;
        ASSERT_EQ(openDocument(doc, path, quiet), OpenOutcome::Loaded);
        setting.emplace("pl3ctl", std::vector<std::string>{"--program-dir", folder.path(), "set",
                                                           path, "BackLamp=2"});
        importing.emplace("pl3ctl", std::vector<std::string>{"--program-dir", folder.path(),
                                                             "import-csv", path, csv});
        // Long enough for them to finish, were they not waiting.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ASSERT_TRUE(findField("FreqStep")->set(doc, "3") && storeDocument(doc, path, quiet));
    }
    EXPECT_EQ(setting->wait().exitCode, 0);
    EXPECT_EQ(importing->wait().exitCode, 0);
    EXPECT_EQ(run({"set", path, "FreqStep", "BackLamp", "RxFreq[90]"}).out, "3\n2\n445.50000\n");
}

// A list piped in slowly keeps nobody from the codeplug, and what was saved meanwhile stays.
TEST_F(Pl3ctlTest, ImportFromStandardInputLocksTheFileOnlyOnceTheListIsIn) {
    std::string path = newFile();
    std::string pipe = folder.file("list");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Opened for both ends, so that the import's open does not wait for a writer.
    int writer = ::open(pipe.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    test::StartedProgram importing("pl3ctl",
                                   {"--program-dir", folder.path(), "import-csv", path, "-"}, pipe);
    // Long enough for the import to have taken the codeplug, were it to take it first.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(run({"set", path, "BackLamp=2"}).exitCode, 0);
    const std::string list = "Location,Frequency\n90,445.5\n";
    ASSERT_EQ(::write(writer, list.data(), list.size()), static_cast<ssize_t>(list.size()));
    ::close(writer);
    EXPECT_EQ(importing.wait().exitCode, 0);
    EXPECT_EQ(run({"set", path, "BackLamp", "RxFreq[90]"}).out, "2\n445.50000\n");
}

TEST_F(Pl3ctlTest, IncompleteFileIsReportedButShown) {
    std::vector<std::uint8_t> bytes = test::readBytes(newFile());
    bytes.resize(1000);
    test::TempDir scratch;
    ProgramRun dump = run({"dump", scratch.writeBytes("short.PL-3", bytes)});
    EXPECT_EQ(dump.exitCode, 0);
    EXPECT_NE(dump.err.find(english("IDS_WARN_INCOMPLETE")), std::string::npos);
    EXPECT_NE(dump.out.find("446.00625"), std::string::npos);
}

TEST_F(Pl3ctlTest, SavingALongerFileSaysTheBytesPastItsEndAreNotKept) {
    std::vector<std::uint8_t> longer = test::readBytes(newFile());
    longer.resize(data_file::kFileSize + 100, 0x5A);
    std::string csv = folder.write("in.csv", "Location,Frequency\n90,445.5\n");
    struct Case {
        std::vector<std::string> args;  // the file goes after the command
        bool saves;
    } cases[] = {
        {{"set", "BackLamp=1"}, true},
        {{"import-csv", csv}, true},
        {{"set", "BackLamp"}, false},
        {{"dump"}, false},
    };
    test::TempDir scratch;
    for (const Case& c : cases) {
        std::string path = scratch.writeBytes("long.PL-3", longer);
        std::vector<std::string> args = c.args;
        args.insert(args.begin() + 1, path);
        ProgramRun result = run(args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err.find(english("IDS_WARN_FILE_LONGER") + path) != std::string::npos,
                  c.saves)
            << c.args[0] << ": " << result.err;
        EXPECT_EQ(test::readBytes(path).size(), c.saves ? data_file::kFileSize : longer.size())
            << c.args[0];
    }
}

TEST_F(Pl3ctlTest, RangeChoiceAndLanguage) {
    std::string path = folder.file("r.PL-3");
    ASSERT_EQ(run({"new", "--range", "1", "-o", path}).exitCode, 0);
    EXPECT_NE(run({"dump", path}).out.find("00430044  range 1 \"430-440MHz\""), std::string::npos);

    platform::writeString(folder.file("setting.ini"), "setup", "language", "chinese");
    ProgramRun result = run({"set", path, "Nonsense=1"});
    std::string chinese = TextLookup(folder.file("chinese.lang")).text("IDS_CLI_UNKNOWN_FIELD");
    EXPECT_NE(result.err.find(chinese), std::string::npos) << result.err;
}

TEST_F(Pl3ctlTest, StartUpAndHelp) {
    test::TempDir empty;
    for (const std::string& programDir : {empty.path(), std::string()}) {
        ProgramRun missing = test::runProgram("pl3ctl", {"--program-dir", programDir, "dump", "x"});
        EXPECT_EQ(missing.exitCode, 2) << programDir;
        EXPECT_NE(missing.err.find("Can not find the file setting.ini!"), std::string::npos);
    }

    ProgramRun help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("pl3ctl [--program-dir DIR] new [--range N] -o FILE"),
              std::string::npos);
    ProgramRun fields = run({"set", "--help"});
    EXPECT_EQ(fields.exitCode, 0);
    for (const char* field :
         {"RxFreq[1..129]", "ChannelName[1..128]", "VoxDelay", "FmPreset[1..25]"})
        EXPECT_NE(fields.out.find(field), std::string::npos) << field;
    EXPECT_EQ(run({}).exitCode, 1);
}

}  // namespace
}  // namespace pl3
