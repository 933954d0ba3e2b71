// pl3ctl's backups, verify after write and diff, end to end: the real program against the
// simulated radio on a pseudo-terminal.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <map>

#include "codeplug/data_file.h"
#include "codeplug/radio_tuning.h"
#include "lang/text_lookup.h"
#include "patterned_image.h"
#include "platform/private_profile.h"
#include "run_program.h"
#include "scoped_environment.h"
#include "simulated_radio.h"

namespace pl3 {
namespace {

namespace fs = std::filesystem;

Image imageOf(const std::string& path) {
    Header header{};
    Image image{};
    EXPECT_EQ(data_file::read(path, header, image).status, data_file::ReadStatus::Complete) << path;
    return image;
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

class Pl3ctlSafetyTest : public ::testing::Test {
  protected:
    std::vector<std::string> prepare(test::ProgramFolder& folder, std::vector<std::string> args) {
        folder.installLanguageFiles();
        platform::writeString(folder.file("setting.ini"), "setup", "language", "english");
        args.insert(args.begin(), {"--program-dir", folder.path()});
        return args;
    }
    test::ProgramRun run(test::ProgramFolder& folder, std::vector<std::string> args) {
        return test::runProgram("pl3ctl", prepare(folder, std::move(args)));
    }
    std::string english(test::ProgramFolder& folder, const std::string& key) {
        return TextLookup(folder.file("english.lang")).text(key);
    }
    // The backups, with their images, by name.
    std::map<std::string, Image> backups() const {
        std::map<std::string, Image> found;
        if (!fs::exists(backupFolder)) return found;
        for (const fs::directory_entry& entry : fs::directory_iterator(backupFolder)) {
            if (entry.path().extension() != ".PL-3") continue;  // a read's port note
            found[entry.path().filename().string()] = imageOf(entry.path().string());
        }
        return found;
    }

    test::TempDir dataHome;
    // The program finds its backups folder through the environment it inherits.
    test::ScopedEnvironment xdg{"XDG_DATA_HOME", dataHome.path()};
    std::string backupFolder = dataHome.path() + "/pl3/backups";
};

TEST_F(Pl3ctlSafetyTest, ReadAndWriteKeepABackupUnlessTold) {
    test::SimulatedRadio radio;
    radio.radio().setMemory(test::patternedImage(7, 3));
    std::string file = radio.folder().file("read.PL-3");
    ASSERT_EQ(run(radio.folder(), {"read", "--port", radio.devicePath(), "-o", file}).exitCode, 0);
    std::map<std::string, Image> kept = backups();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(kept.begin()->first.ends_with("_read.PL-3")) << kept.begin()->first;
    // Exactly what the radio sent, before any clean-up of empty channels.
    EXPECT_EQ(kept.begin()->second, test::patternedImage(7, 3));

    // A blank radio, but with the tuning values the file was read with: a write keeps them.
    Image blank{};
    putTuningBlock(blank, tuningBlockOf(test::patternedImage(7, 3)));
    radio.radio().setMemory(blank);
    ASSERT_EQ(run(radio.folder(), {"write", "--port", radio.devicePath(), file}).exitCode, 0);
    kept = backups();
    ASSERT_EQ(kept.size(), 2u);
    auto written = std::find_if(kept.begin(), kept.end(), [](const auto& entry) {
        return entry.first.ends_with("_before-write.PL-3");
    });
    ASSERT_NE(written, kept.end());
    EXPECT_EQ(written->second, radio.radio().memory());

    ASSERT_EQ(run(radio.folder(), {"read", "--no-backup", "--port", radio.devicePath(), "-o", file})
                  .exitCode,
              0);
    ASSERT_EQ(
        run(radio.folder(), {"write", "--port", radio.devicePath(), "--no-backup", file}).exitCode,
        0);
    EXPECT_EQ(backups().size(), 2u);
}

TEST_F(Pl3ctlSafetyTest, BackupFailureWarnsOnceAndTheJobCompletes) {
    test::SimulatedRadio radio;
    radio.radio().setMemory(test::patternedImage(7, 3));
    // The data folder is a file, so no backups folder can be made below it.
    std::string blocker = dataHome.write("not-a-folder", "x");
    test::ScopedEnvironment broken("XDG_DATA_HOME", blocker);
    std::string file = radio.folder().file("read.PL-3");
    test::ProgramRun result =
        run(radio.folder(), {"read", "--port", radio.devicePath(), "-o", file});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(imageOf(file)[100], test::patternedImage(7, 3)[100]);
    std::string warning = english(radio.folder(), "IDS_WARN_BACKUP");
    EXPECT_EQ(count(result.err, warning.substr(0, 40)), 1u) << result.err;
    EXPECT_NE(result.err.find(blocker + "/pl3/backups"), std::string::npos) << result.err;

    result = run(radio.folder(), {"write", "--port", radio.devicePath(), file});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(count(result.err, warning.substr(0, 40)), 1u) << result.err;
}

TEST_F(Pl3ctlSafetyTest, RefusedBeforeTheRadioIsAsked) {
    test::SimulatedRadio radio;
    radio.radio().setMemory(test::patternedImage(7, 3));
    test::ProgramFolder& folder = radio.folder();
    std::string complete = folder.file("complete.PL-3");
    ASSERT_EQ(run(folder, {"new", "-o", complete}).exitCode, 0);
    // Only the header: it loads as an erased image.
    std::vector<std::uint8_t> header = test::readBytes(complete);
    header.resize(data_file::kMagicSize);
    std::string cut = folder.write("cut.PL-3", std::string(header.begin(), header.end()));
    ASSERT_EQ(::mkfifo(folder.file("fifo").c_str(), 0600), 0);
    struct Case {
        const char* what;
        std::vector<std::string> args;
        const char* messageKey;
        std::string detail;
    };
    const Case cases[] = {
        {"write of a cut file",
         {"write", "--port", radio.devicePath(), cut},
         "IDS_CLI_WRITE_INCOMPLETE",
         cut},
        {"read into a missing folder",
         {"read", "--port", radio.devicePath(), "-o", folder.file("missing/dir/x.PL-3")},
         "IDS_CLI_OUTPUT_FOLDER",
         folder.file("missing/dir")},
        {"read into a FIFO",
         {"read", "--port", radio.devicePath(), "-o", folder.file("fifo")},
         "IDS_ERROR_NOTREGULARFILE",
         folder.file("fifo")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::ProgramRun result = run(folder, c.args);
        EXPECT_EQ(result.exitCode, 2) << result.err;
        EXPECT_NE(result.err.find(english(folder, c.messageKey)), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.detail), std::string::npos) << result.err;
        EXPECT_TRUE(radio.radio().frames().empty());
    }
    EXPECT_TRUE(backups().empty());
    EXPECT_EQ(radio.radio().memory(), test::patternedImage(7, 3));

    test::ProgramRun forced = run(folder, {"write", "--force", "--port", radio.devicePath(), cut});
    ASSERT_EQ(forced.exitCode, 0) << forced.err;
    Image erased;
    erased.fill(kErased);
    erased[0x08A9] = 1;  // StartChannel: no channel is programmed
    putTuningBlock(erased, tuningBlockOf(test::patternedImage(7, 3)));  // the radio's own, kept
    EXPECT_EQ(radio.radio().memory(), erased);
}

TEST_F(Pl3ctlSafetyTest, StopSignalEndsTheWriteAfterTheBlockUnderWay) {
    std::atomic<pid_t> writer{-1};
    std::atomic<int> blockWrites{0};
    sim::Options options;
    options.pace = true;  // the wire's own speed leaves time to stop in the middle
    options.onFrame = [&](const sim::Frame& frame) {
        if (frame.bytes.size() != 20 || frame.bytes[0] != 'w') return;
        if (++blockWrites == 40 && writer.load() > 0) ::kill(writer.load(), SIGINT);
    };
    test::SimulatedRadio radio(options);
    radio.radio().setMemory(test::patternedImage(7, 3));
    std::string file = radio.folder().file("new.PL-3");
    ASSERT_EQ(run(radio.folder(), {"new", "-o", file}).exitCode, 0);

    test::StartedProgram writing(
        "pl3ctl", prepare(radio.folder(), {"write", "--port", radio.devicePath(), file}));
    writer = writing.pid();
    test::ProgramRun result = writing.wait();
    EXPECT_EQ(result.exitCode, 130) << result.err;
    EXPECT_FALSE(result.endedBySignal);

    // The message counts exactly the blocks the radio took.
    const int done = blockWrites.load();
    ASSERT_GE(done, 40);
    ASSERT_LT(done, 256);
    EXPECT_NE(
        result.err.find(withNumbers(english(radio.folder(), "IDS_CLI_WRITE_STOPPED"), {done, 256})),
        std::string::npos)
        << result.err;
    std::map<std::string, Image> kept = backups();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NE(result.err.find(english(radio.folder(), "IDS_CLI_BACKUP_OF_WRITE") + backupFolder +
                              "/" + kept.begin()->first),
              std::string::npos)
        << result.err;
    Image expected = test::patternedImage(7, 3);
    std::copy_n(kept.begin()->second.begin(), done * 16, expected.begin());
    EXPECT_EQ(radio.radio().memory(), expected);

    // The port was let go: the radio answers the next program at once.
    std::string readBack = radio.folder().file("back.PL-3");
    EXPECT_EQ(
        run(radio.folder(), {"read", "--no-backup", "--port", radio.devicePath(), "-o", readBack})
            .exitCode,
        0);
}

// Several radios at once: each ends on its own, a device named twice is written once, and
// the exit status says that some radios failed.
TEST_F(Pl3ctlSafetyTest, WriteToSeveralRadiosSaysHowEachEnded) {
    test::SimulatedRadio good;
    test::SimulatedRadio failing(
        test::optionsWith(test::faultsWhere([](sim::Faults& f) { f.noAckAtBlock = 30; })));
    std::string file = good.folder().file("site.PL-3");
    ASSERT_EQ(run(good.folder(), {"new", "-o", file}).exitCode, 0);
    for (bool json : {false, true}) {
        std::vector<std::string> args = {
            "write",  "--port",         good.devicePath(), "--port", failing.devicePath(),
            "--port", good.devicePath()};
        if (json) args.push_back("--json");
        args.push_back(file);
        test::ProgramRun result = run(good.folder(), args);
        EXPECT_EQ(result.exitCode, 7) << result.err;
        auto named = [json](const std::string& path) {
            return json ? "\"port\": \"" + path + "\"" : path + ": ";
        };
        EXPECT_EQ(count(result.out, named(good.devicePath())), 1u) << result.out;
        EXPECT_EQ(count(result.out, named(failing.devicePath())), 1u) << result.out;
        EXPECT_NE(result.out.find("2 radios: 1 written, 1 failed"), std::string::npos)
            << result.out;
        EXPECT_EQ(result.out.starts_with("{"), json) << result.out;
        // Where the failed radio stands, named by its port.
        EXPECT_NE(
            result.err.find(
                failing.devicePath() + ": " +
                withNumbers(english(good.folder(), "IDS_WRITE_FAILED_AFTER_BLOCK"), {30, 256})),
            std::string::npos)
            << result.err;
    }
    EXPECT_EQ(backups().size(), 4u);  // one per radio and run
}

TEST_F(Pl3ctlSafetyTest, WriteVerifyCatchesWhatTheRadioStoredWrongly) {
    struct Case {
        const char* what;
        sim::Faults faults;
        bool verify;
        int exitCode;
        const char* messageKey;
    } cases[] = {
        {"verified, radio stores block 37 wrongly",
         test::faultsWhere([](sim::Faults& f) { f.corruptStoredBlock = 37; }), true, 6,
         "IDS_PROMPT_VERIFYFAIL"},
        {"verified, radio stores it right", {}, true, 0, nullptr},
        {"not verified: the fault goes unnoticed",
         test::faultsWhere([](sim::Faults& f) { f.corruptStoredBlock = 37; }), false, 0, nullptr},
        {"verified, read-back fails",
         test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 5; }), true, 6,
         "IDS_PROMPT_VERIFYREADFAIL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::SimulatedRadio radio(test::optionsWith(c.faults));
        std::string file = radio.folder().file("x.PL-3");
        ASSERT_EQ(run(radio.folder(), {"new", "-o", file}).exitCode, 0);
        std::vector<std::string> args = {"write", "--port", radio.devicePath(), file};
        if (c.verify) args.insert(args.begin() + 1, "--verify");
        test::ProgramRun result = run(radio.folder(), args);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        if (c.messageKey) {
            EXPECT_NE(result.err.find(english(radio.folder(), c.messageKey)), std::string::npos)
                << result.err;
        }
        if (c.exitCode == 6 && c.faults.corruptStoredBlock == 37) {
            // The place in the pages' words, as the desktop program shows it.
            EXPECT_NE(result.err.find("0x025F: Channel 37"), std::string::npos) << result.err;
        }
    }
    test::ProgramFolder folder;
    EXPECT_EQ(run(folder, {"read", "--verify", "-o", folder.file("y.PL-3")}).exitCode, 1);
}

TEST_F(Pl3ctlSafetyTest, WriteKeepsTheRadiosTuningUnlessTold) {
    constexpr TuningBlock kRadioTuning = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    struct Case {
        const char* what;
        sim::Faults faults;
        std::vector<std::string> options;
        int exitCode;
        bool radioKeepsItsTuning;
        const char* messageKey;
    } cases[] = {
        {"kept by default", {}, {}, 0, true, "IDS_CLI_TUNING_KEPT"},
        {"overwritten this once", {}, {"--overwrite-tuning"}, 0, false, nullptr},
        {"tuning unreadable: nothing written",
         test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 0x08E0 / 16; }),
         {},
         6,
         true,
         "IDS_PROMPT_TUNINGREADFAIL"},
        {"tuning noisy: nothing written",
         test::faultsWhere([](sim::Faults& f) { f.noisyReplyAtBlock = 0x08E0 / 16; }),
         {},
         6,
         true,
         "IDS_PROMPT_TUNINGREADFAIL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::Options options = test::optionsWith(c.faults);
        options.tuning = kRadioTuning;
        test::SimulatedRadio radio(options);
        const Image before = radio.radio().memory();
        std::string file = radio.folder().file("x.PL-3");
        ASSERT_EQ(run(radio.folder(), {"new", "-o", file}).exitCode, 0);
        ASSERT_EQ(run(radio.folder(), {"set", file, "RxFreq[80]=433.1"}).exitCode, 0);
        const Image written = imageOf(file);
        std::vector<std::string> args = {"write", "--port", radio.devicePath(), file};
        args.insert(args.begin() + 1, c.options.begin(), c.options.end());
        test::ProgramRun result = run(radio.folder(), args);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_EQ(tuningBlockOf(radio.radio().memory()),
                  c.radioKeepsItsTuning ? kRadioTuning : tuningBlockOf(written));
        // The rest of the image is the file's, or (nothing written) the radio's as before.
        Image rest = radio.radio().memory();
        putTuningBlock(rest, tuningBlockOf(written));
        Image expectedRest = c.exitCode == 0 ? written : before;
        putTuningBlock(expectedRest, tuningBlockOf(written));
        EXPECT_EQ(rest, expectedRest);
        EXPECT_EQ(imageOf(file), written);  // the file is never changed by a write
        if (c.messageKey) {
            EXPECT_NE(result.err.find(english(radio.folder(), c.messageKey)), std::string::npos)
                << result.err;
        }
    }
}

TEST_F(Pl3ctlSafetyTest, DiffListsTheDifferencesAndSaysSoInItsExitStatus) {
    test::ProgramFolder folder;
    std::string base = folder.file("base.PL-3");
    ASSERT_EQ(run(folder, {"new", "-o", base}).exitCode, 0);
    std::vector<std::uint8_t> baseBytes = test::readBytes(base);
    auto variant = [&](const std::string& name, std::vector<std::string> sets) {
        std::string path = folder.file(name);
        fs::copy_file(base, path);
        if (!sets.empty()) {
            sets.insert(sets.begin(), {"set", "--raw", path});
            EXPECT_EQ(run(folder, sets).exitCode, 0);
        }
        return path;
    };
    std::string same = variant("same.PL-3", {});
    std::string channel = variant("channel.PL-3", {"RxFreq[80]=433.1"});
    std::string flag = variant("flag.PL-3", {"TxPower[3]=1"});
    std::vector<std::uint8_t> byteBytes = baseBytes;
    byteBytes[kHeaderSize + 0x0903] = 0x5A;
    std::string byte = folder.write("byte.PL-3", std::string(byteBytes.begin(), byteBytes.end()));
    std::string notData = folder.write("notes.txt", "not a codeplug");

    struct Case {
        const char* what;
        std::vector<std::string> files;
        int exitCode;
        std::string out;
    } cases[] = {
        {"identical", {base, same}, 0, ""},
        {"one channel field", {base, channel}, 1, "RxFreq[80]: \"\" -> 433.10000\n"},
        {"one bit flag", {base, flag}, 1, "TxPower[3]: 0 -> 1\n"},
        {"one uninterpreted byte", {base, byte}, 1, "0x0903: FF -> 5A\n"},
        {"both ways", {channel, flag}, 1, "TxPower[3]: 0 -> 1\nRxFreq[80]: 433.10000 -> \"\"\n"},
        {"in the pages' words, page by page",
         {"--words", flag, channel},
         1,
         "Channels\n  Channel 3 · Power: High → Low\n  Channel 80 · RX Freq: (empty) → "
         "433.10000\n"},
        {"missing file", {base, folder.file("missing.PL-3")}, 2, ""},
        {"not a data file", {notData, base}, 2, ""},
        {"one file only", {base}, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args = {"diff"};
        args.insert(args.end(), c.files.begin(), c.files.end());
        test::ProgramRun result = run(folder, args);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_EQ(result.out, c.out);
    }
    test::ProgramRun equal = run(folder, {"diff", base, same});
    EXPECT_NE(equal.err.find(english(folder, "IDS_DIFF_SAME")), std::string::npos) << equal.err;
}

}  // namespace
}  // namespace pl3
