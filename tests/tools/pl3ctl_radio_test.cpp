#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <optional>

#include "codeplug/data_file.h"
#include "lang/text_lookup.h"
#include "patterned_image.h"
#include "platform/private_profile.h"
#include "run_program.h"
#include "simulated_radio.h"

namespace pl3 {
namespace {

class Pl3ctlRadioTest : public ::testing::Test {
  protected:
    test::ProgramRun run(test::SimulatedRadio& radio, std::vector<std::string> args) {
        return test::runProgram("pl3ctl", inEnglish(radio, std::move(args)));
    }
    std::vector<std::string> inEnglish(test::SimulatedRadio& radio, std::vector<std::string> args) {
        radio.folder().installLanguageFiles();
        platform::writeString(radio.folder().file("setting.ini"), "setup", "language", "english");
        args.insert(args.begin(), {"--program-dir", radio.folder().path()});
        return args;
    }
    std::string english(test::SimulatedRadio& radio, const std::string& key) {
        return TextLookup(radio.folder().file("english.lang")).text(key);
    }
};

TEST_F(Pl3ctlRadioTest, ReadGivesTheRadiosMemory) {
    test::SimulatedRadio radio;
    Image memory = test::patternedImage(7, 3);
    memory[5 * 16 + 3] = 0xFF;  // channel 5 empty: its tail is reset on the way in
    radio.radio().setMemory(memory);
    std::string output = radio.folder().file("read.PL-3");
    test::ProgramRun result = run(radio, {"read", "--port", radio.devicePath(), "-o", output});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::uint8_t> bytes = test::readBytes(output);
    ASSERT_EQ(bytes.size(), data_file::kFileSize);
    std::vector<std::uint8_t> expected(memory.begin(), memory.end());
    const std::uint8_t tail[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xBF, 0x3F};
    for (int n = 1; n <= kChannelCount; ++n) {
        if (expected[static_cast<std::size_t>(n * 16 + 3)] > 0x99)
            std::copy(std::begin(tail), std::end(tail), expected.begin() + n * 16 + 8);
    }
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 48, bytes.end()), expected);
}

TEST_F(Pl3ctlRadioTest, WritePutsTheFileIntoTheRadioWithItsStartChannel) {
    test::SimulatedRadio radio;
    std::string file = radio.folder().file("x.PL-3");
    ASSERT_EQ(run(radio, {"new", "-o", file}).exitCode, 0);
    ASSERT_EQ(
        run(radio, {"set", "--raw", file, "RxFreq[1]=", "RxFreq[2]=", "StartChannel=100"}).exitCode,
        0);
    test::ProgramRun result = run(radio, {"write", "--port", radio.devicePath(), file});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::uint8_t> bytes = test::readBytes(file);
    Image memory = radio.radio().memory();
    EXPECT_EQ(memory[0x08A9], 3);  // channels 1 and 2 are empty
    bytes[48 + 0x08A9] = 3;
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), bytes.begin() + 48));
}

TEST_F(Pl3ctlRadioTest, FailuresGiveTheirExitCodeAndNoFile) {
    struct Case {
        const char* what;
        const char* command;
        sim::Faults faults;
        int exitCode;
        const char* messageKey;
        const char* standing = "";  // where the radio stands, when the failure changed it
        bool portTaken = false;     // another program holds the radio's port
    };
    Case cases[] = {
        {"no radio", "read", test::faultsWhere([](sim::Faults& f) { f.neverWake = true; }), 3,
         "IDS_ERROR_PORTCONN"},
        {"wrong radio", "read", test::faultsWhere([](sim::Faults& f) { f.refuseChallenge = true; }),
         4, "IDS_ERROR_TYPE"},
        {"read fails", "read", test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 200; }),
         5, "IDS_PROMPT_READFAIL"},
        {"write fails", "write", test::faultsWhere([](sim::Faults& f) { f.noAckAtBlock = 100; }), 6,
         "IDS_PROMPT_WRITEFAIL",
         "The write failed after block 100 of 256: the radio now holds part of the new codeplug."},
        {"port busy: only why it did not open", "read", {}, 3, "IDS_PORT_NOT_OPENED", "", true},
        {"hang-up", "read", test::faultsWhere([](sim::Faults& f) { f.hangUpAtBlock = 1; }), 5,
         "IDS_PROMPT_READFAIL"},
    };
    for (const Case& c : cases) {
        test::SimulatedRadio radio(test::optionsWith(c.faults));
        std::string file = radio.folder().file("f.PL-3");
        std::vector<std::string> args = {c.command, "--port", radio.devicePath()};
        if (std::string(c.command) == "read") {
            args.insert(args.end(), {"-o", file});
        } else {
            ASSERT_EQ(run(radio, {"new", "-o", file}).exitCode, 0);
            args.push_back(file);
        }
        std::optional<SerialPort> otherProgram;
        if (c.portTaken) {
            otherProgram.emplace(radio.settings());
            ASSERT_TRUE(otherProgram->openDevice(radio.devicePath(), kRadioBaud));
        }
        test::ProgramRun result = run(radio, args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what << "\n" << result.err;
        EXPECT_NE(result.err.find(english(radio, c.messageKey)), std::string::npos)
            << c.what << "\n"
            << result.err;
        EXPECT_NE(result.err.find(c.standing), std::string::npos) << c.what << "\n" << result.err;
        if (c.portTaken) {
            EXPECT_NE(result.err.find(radio.devicePath() + " is in use"), std::string::npos)
                << result.err;
            EXPECT_EQ(result.err.find(english(radio, "IDS_ERROR_PORTCONN")), std::string::npos)
                << result.err;
        }
        // Into a file the result lines alone: no progress.
        const char* progress =
            std::string(c.command) == "read" ? "IDS_PROMPT_READ" : "IDS_PROMPT_WRITE";
        EXPECT_EQ(result.err.find(english(radio, progress)), std::string::npos) << result.err;
        if (std::string(c.command) == "read") {
            EXPECT_FALSE(std::filesystem::exists(file)) << c.what;
        }
    }
}

// --log refuses the codeplug written and a FIFO (which once hung the program) before the
// radio is touched; a log cut short by a full disk is said to be, and the write still counts.
TEST_F(Pl3ctlRadioTest, LogGoesOnlyWhereItLosesNothingAndSaysWhenItIsCutShort) {
    struct Case {
        const char* log;
        rlim_t fileSizeLimit;  // 0: none
        int exitCode;
        const char* messageKey;
    } cases[] = {
        {"g.PL-3", 0, 2, "IDS_CLI_LOG_IN_USE"},
        {"fifo", 0, 2, "IDS_CLI_LOG_NOT_A_FILE"},
        {"g.log", 8192, 0, "IDS_LOG_INCOMPLETE"},
    };
    std::signal(SIGXFSZ, SIG_IGN);  // inherited: a write past the limit fails with EFBIG
    for (const Case& c : cases) {
        test::SimulatedRadio radio;
        const std::string file = radio.folder().file("g.PL-3");
        ASSERT_EQ(run(radio, {"new", "-o", file}).exitCode, 0);
        ASSERT_EQ(::mkfifo(radio.folder().file("fifo").c_str(), 0600), 0);
        const std::vector<std::uint8_t> before = test::readBytes(file);
        test::StartedProgram program(
            "pl3ctl", inEnglish(radio, {"--log", radio.folder().file(c.log), "write", "--no-backup",
                                        "--port", radio.devicePath(), file}));
        // The log grows past the limit only once the radio answers.
        const rlimit limit{c.fileSizeLimit, c.fileSizeLimit};
        if (c.fileSizeLimit > 0) {
            ASSERT_EQ(::prlimit(program.pid(), RLIMIT_FSIZE, &limit, nullptr), 0);
        }
        test::ProgramRun result = program.wait();
        EXPECT_EQ(result.exitCode, c.exitCode) << c.log << "\n" << result.err;
        EXPECT_NE(result.err.find(english(radio, c.messageKey)), std::string::npos) << result.err;
        EXPECT_EQ(test::readBytes(file), before) << c.log;
        EXPECT_EQ(radio.radio().frames().empty(), c.exitCode != 0) << c.log;
    }
}

TEST_F(Pl3ctlRadioTest, PortNumbersAndTheirDevices) {
    test::SimulatedRadio radio;
    std::string output = radio.folder().file("a.PL-3");
    EXPECT_EQ(run(radio, {"read", "--port", "1", "-o", output}).exitCode, 0);  // mapped in [ports]
    EXPECT_EQ(run(radio, {"read", "-o", output}).exitCode, 0);                 // "com" = 1
    test::ProgramRun missing = run(radio, {"read", "--port", "/nonexistent/ttyUSB9", "-o", output});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_NE(missing.err.find("/nonexistent/ttyUSB9"), std::string::npos) << missing.err;
    for (const char* bad : {"x1", "0", "256", "1.5", ""}) {
        test::ProgramRun result = run(radio, {"read", "--port", bad, "-o", output});
        EXPECT_EQ(result.exitCode, 1) << bad;
        EXPECT_NE(result.err.find(english(radio, "IDS_CLI_BAD_PORT") + bad + "\n"),
                  std::string::npos)
            << result.err;
    }
    EXPECT_EQ(run(radio, {"read", "--port", radio.devicePath()}).exitCode, 1);
}

}  // namespace
}  // namespace pl3
