// The radio session against the simulated radio on a pseudo-terminal: how each kind of end
// is recorded (status, blocks, verify, tuning, backups) and what it says of the radio.

#include "link/radio_session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "codeplug/text_keys.h"
#include "patterned_image.h"
#include "scripted_prompter.h"
#include "simulated_radio.h"
#include "temp_dir.h"

namespace pl3::link {
namespace {

using namespace std::chrono_literals;

constexpr TuningBlock kRadioTuning = {0x41, 0x42, 0x43, 0x90, 0x91, 0x92, 0x93, 0x94,
                                      0x60, 0x61, 0x62, 0x63, 0x64, 0x2A, 0x15, 0x35};

int backupCount(const std::string& folder) {
    if (!std::filesystem::exists(folder)) return 0;
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += entry.path().extension() != ".port";
    return count;
}

TEST(RadioSession, HowEachEndIsRecorded) {
    // A radio slow enough that the stop lands before the last block on a busy machine.
    const sim::Faults slowReplies = test::faultsWhere([](sim::Faults& f) { f.extraDelayMs = 5; });
    struct Case {
        const char* what;
        Direction direction;
        sim::Faults faults;
        SessionOptions options;  // the plan is the simulated radio's port
        int stopAfterBlocks;     // -1: not stopped
        JobStatus status;
        bool stopped;
        int blocksDone;
        bool verified, tuningKept;
        int backups;  // files in the backup folder afterwards
        std::size_t standingLines;
    } cases[] = {
        {"read",
         Direction::Read,
         {},
         {},
         -1,
         JobStatus::ReadComplete,
         false,
         256,
         false,
         false,
         1,
         0},
        {"read, no backup",
         Direction::Read,
         {},
         {.backups = false},
         -1,
         JobStatus::ReadComplete,
         false,
         256,
         false,
         false,
         0,
         0},
        {"read stopped",
         Direction::Read,
         slowReplies,
         {},
         40,
         JobStatus::Reading,
         true,
         40,
         false,
         false,
         0,
         1},
        {"no radio",
         Direction::Write,
         test::faultsWhere([](sim::Faults& f) { f.neverWake = true; }),
         {},
         -1,
         JobStatus::NoRadio,
         false,
         0,
         false,
         false,
         1,
         0},
        {"wrong radio",
         Direction::Write,
         test::faultsWhere([](sim::Faults& f) { f.wrongIdentificationByte = 5; }),
         {},
         -1,
         JobStatus::WrongRadio,
         false,
         0,
         false,
         false,
         1,
         0},
        {"short reply",
         Direction::Read,
         test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 100; }),
         {},
         -1,
         JobStatus::ReadFailed,
         false,
         100,
         false,
         false,
         0,
         0},
        {"wrong echo",
         Direction::Read,
         test::faultsWhere([](sim::Faults& f) { f.wrongAddressAtBlock = 0; }),
         {},
         -1,
         JobStatus::ReadFailed,
         false,
         0,
         false,
         false,
         0,
         0},
        {"hang-up",
         Direction::Read,
         test::faultsWhere([](sim::Faults& f) { f.hangUpAtBlock = 10; }),
         {},
         -1,
         JobStatus::ReadFailed,
         false,
         10,
         false,
         false,
         0,
         0},
        {"write, verified, tuning kept",
         Direction::Write,
         {},
         {.verify = true, .keepTuning = true},
         -1,
         JobStatus::WriteComplete,
         false,
         256,
         true,
         true,
         1,
         0},
        // Where the radio stands, the newest read backup (none here) and the write's backup.
        {"write fails after block 20",
         Direction::Write,
         test::faultsWhere([](sim::Faults& f) { f.noAckAtBlock = 20; }),
         {},
         -1,
         JobStatus::WriteFailed,
         false,
         20,
         false,
         false,
         1,
         2},
        {"write fails, no backup",
         Direction::Write,
         test::faultsWhere([](sim::Faults& f) { f.noAckAtBlock = 20; }),
         {.backups = false},
         -1,
         JobStatus::WriteFailed,
         false,
         20,
         false,
         false,
         0,
         2},
        {"write stopped",
         Direction::Write,
         slowReplies,
         {},
         30,
         JobStatus::Writing,
         true,
         30,
         false,
         false,
         1,
         2},
        // The kept tuning counts once every block went out, even when the verify fails.
        {"verify finds a difference",
         Direction::Write,
         test::faultsWhere([](sim::Faults& f) { f.corruptStoredBlock = 37; }),
         {.verify = true, .keepTuning = true},
         -1,
         JobStatus::VerifyFailed,
         false,
         256,
         false,
         true,
         1,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::SimulatedRadio radio(test::optionsWith(c.faults));
        Image memory = test::patternedImage(13, 1);
        putTuningBlock(memory, kRadioTuning);
        radio.radio().setMemory(memory);
        test::TempDir backupFolder;
        backup::BackupStore backups(backupFolder.file("backups"));
        test::ScriptedPrompter prompter;
        SerialPort port(radio.settings());
        RadioSession session(port, c.direction, backups, prompter);
        SessionOptions options = c.options;
        options.plan = {radio.settings().comPort(), std::nullopt, false};
        session.start(test::patternedImage(5, 7), options);
        auto deadline = std::chrono::steady_clock::now() + 60s;
        while (!session.look().ended && std::chrono::steady_clock::now() < deadline) {
            // Stops between blocks, as the user's stop does.
            if (c.stopAfterBlocks >= 0 && session.look().job.blocksDone >= c.stopAfterBlocks)
                session.stopAfterBlock();
            std::this_thread::sleep_for(2ms);
        }
        const SessionResult& result = session.result();
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.stopped, c.stopped);
        if (c.stopped) {  // after the block under way, wherever the look found it
            EXPECT_GE(result.blocksDone, c.blocksDone);
            EXPECT_LT(result.blocksDone, kBlockCount);
        } else {
            EXPECT_EQ(result.blocksDone, c.blocksDone);
        }
        EXPECT_EQ(result.verified, c.verified);
        EXPECT_EQ(result.radioTuning == kRadioTuning, c.tuningKept);
        EXPECT_EQ(backupCount(backupFolder.file("backups")), c.backups);
        EXPECT_EQ(result.readBackup.has_value(), c.direction == Direction::Read && c.backups > 0);
        EXPECT_EQ(result.writeBackup.has_value(), c.direction == Direction::Write && c.backups > 0);
        radio.folder().installLanguageFiles();
        const TextLookup texts(radio.folder().file("english.lang"));
        EXPECT_EQ(session.standing(texts).size(), c.standingLines);
        EXPECT_FALSE(port.isOpen());
        if (c.status == JobStatus::ReadComplete) {
            EXPECT_EQ(session.image(), memory);
        }
        if (c.status == JobStatus::WriteComplete) {
            EXPECT_EQ(radio.radio().memory(), session.image());
        }
    }
}

// The image sent starts at the first programmed channel; the caller's image is not touched.
TEST(RadioSession, AWriteSendsItsOwnCopyMadeReady) {
    test::SimulatedRadio radio;
    test::TempDir backupFolder;
    backup::BackupStore backups(backupFolder.path());
    test::ScriptedPrompter prompter;
    SerialPort port(radio.settings());
    ImageFields fields;
    fields.image().fill(0xFF);
    fields.setFrequencyText(9, Side::Receive, "440");
    const Image given = fields.image();
    RadioSession session(port, Direction::Write, backups, prompter);
    session.start(given, {.plan = {radio.settings().comPort(), std::nullopt, false}});
    while (!session.look().ended)
        std::this_thread::sleep_for(5ms);
    ImageFields written;
    written.image() = radio.radio().memory();
    EXPECT_EQ(written.setting(Setting::StartChannel), 9);
    EXPECT_EQ(fields.image(), given);
}

}  // namespace
}  // namespace pl3::link
