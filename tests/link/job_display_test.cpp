#include "link/job_display.h"
#include "link/radio_session.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "codeplug/text_keys.h"
#include "link/radio_standing.h"
#include "scoped_environment.h"
#include "settings_fixture.h"

namespace pl3::link {
namespace {

JobSnapshot job(JobStatus status, int progress = 0, int foundPort = -1) {
    return {status, progress, foundPort, false};
}

TEST(JobDisplay, WhatEachStatusDoes) {
    struct Case {
        JobSnapshot job;
        Direction direction;
        std::optional<StatusLine> line;
        std::optional<int> bar;
        std::optional<std::string_view> error;
        bool closePort, takeImage, retry, end;
    } cases[] = {
        {job(JobStatus::Connecting), Direction::Read, std::nullopt, std::nullopt, std::nullopt,
         false, false, false, false},
        {job(JobStatus::NoRadio), Direction::Read, std::nullopt, std::nullopt,
         text_key::kErrorPortConn, true, false, false, true},
        {job(JobStatus::WrongRadio), Direction::Write, std::nullopt, std::nullopt,
         text_key::kErrorType, true, false, false, true},
        {job(JobStatus::Reading, 45), Direction::Read, StatusLine{text_key::kPromptRead, " 45%"},
         460, std::nullopt, false, false, false, false},
        {job(JobStatus::Writing, 100), Direction::Write,
         StatusLine{text_key::kPromptWrite, " 100%"}, 1024, std::nullopt, false, false, false,
         false},
        {job(JobStatus::ReadFailed), Direction::Read, StatusLine{text_key::kPromptReadFail, ""},
         std::nullopt, std::nullopt, true, false, true, false},
        {job(JobStatus::WriteFailed), Direction::Write, StatusLine{text_key::kPromptWriteFail, ""},
         std::nullopt, std::nullopt, true, false, true, false},
        {job(JobStatus::ReadComplete), Direction::Read, std::nullopt, std::nullopt, std::nullopt,
         true, true, false, true},
        {job(JobStatus::WriteComplete), Direction::Write, std::nullopt, std::nullopt, std::nullopt,
         true, false, false, true},
        {job(JobStatus::Searching, 21, 21), Direction::Read,
         StatusLine{text_key::kSearchComPort, "....."}, std::nullopt, std::nullopt, false, false,
         false, false},
        {job(static_cast<JobStatus>(3)), Direction::Read, std::nullopt, std::nullopt, std::nullopt,
         true, false, false, true},
    };
    for (const Case& c : cases) {
        TickActions actions = tickActions(c.job, c.direction);
        int status = static_cast<int>(c.job.status);
        EXPECT_EQ(actions.statusLine, c.line) << status;
        EXPECT_EQ(actions.barPosition, c.bar) << status;
        EXPECT_EQ(actions.errorKey, c.error) << status;
        EXPECT_EQ(actions.closePort, c.closePort) << status;
        EXPECT_EQ(actions.stopTimer, c.closePort) << status;
        EXPECT_EQ(actions.takeImage, c.takeImage) << status;
        EXPECT_EQ(actions.allowRetry, c.retry) << status;
        EXPECT_EQ(actions.end, c.end) << status;
    }
}

TEST(JobDisplay, PortPaneFollowsTheSearch) {
    EXPECT_EQ(tickActions(job(JobStatus::Searching, 7, 7), Direction::Read).portPane, 7);
    EXPECT_EQ(tickActions(job(JobStatus::Reading, 30, -1), Direction::Read).portPane, std::nullopt);
    EXPECT_TRUE(tickActions(job(JobStatus::Connecting), Direction::Read).refreshStatusBar);
    EXPECT_EQ(titleKey(Direction::Read), text_key::kReadData);
    EXPECT_EQ(titleKey(Direction::Write), text_key::kWriteData);
}

TEST(JobDisplay, NoRadioTellsWhyThePortDidNotOpen) {
    EXPECT_TRUE(tickActions(job(JobStatus::NoRadio), Direction::Read).tellOpenProblem);
    EXPECT_FALSE(tickActions(job(JobStatus::WrongRadio), Direction::Read).tellOpenProblem);
}

// A write that was read back and matched says so; a failed verify says nothing was done.
TEST(JobDisplay, WhatATransferThatEndedWellDid) {
    JobSnapshot verified = job(JobStatus::WriteComplete);
    verified.verified = true;
    EXPECT_EQ(tickActions(verified, Direction::Write).done, TransferDone::WrittenAndVerified);
    EXPECT_EQ(tickActions(job(JobStatus::WriteComplete), Direction::Write).done,
              TransferDone::Written);
    EXPECT_EQ(tickActions(job(JobStatus::VerifyFailed), Direction::Write).done, std::nullopt);
}

class ImageRulesTest : public ::testing::Test {
  protected:
    ImageRulesTest() { folder.installLanguageFiles(); }
    test::ProgramFolder folder;
    CMaItemDoc doc{folder.settings()};
};

// Each reason names the device and a remedy, in both languages; a device only root may
// open never has the user join the group root.
TEST_F(ImageRulesTest, OpenProblemsInWords) {
    using platform::SerialOpenError;
    const std::string path = "/dev/ttyUSB3";
    struct Case {
        platform::SerialOpenFailure failure;
        std::string devicePath;
        std::vector<std::string> englishParts;
    } cases[] = {
        {{SerialOpenError::NoSuchDevice, ENOENT, ""}, path, {path, "does not exist"}},
        {{SerialOpenError::NoSuchDevice, ENODEV, ""}, "", {"No serial device is set up"}},
        {{SerialOpenError::Busy, EBUSY, ""}, path, {path, "in use by another program"}},
        {{SerialOpenError::PermissionDenied, EACCES, "dialout"},
         path,
         {path, "group 'dialout'", "sudo usermod -aG dialout $USER"}},
        {{SerialOpenError::PermissionDenied, EACCES, "uucp"}, path, {"usermod -aG uucp $USER"}},
        {{SerialOpenError::PermissionDenied, EACCES, "root"},
         path,
         {path, "only accessible to root", "'dialout'", "'uucp'", "udev rule"}},
        {{SerialOpenError::PermissionDenied, EPERM, ""}, path, {path, "only accessible to root"}},
        {{SerialOpenError::NotASerialDevice, ENOTTY, ""}, path, {path, "not a serial port"}},
        {{SerialOpenError::Other, EIO, ""}, path, {path, "Input/output error"}},
    };
    TextLookup english(folder.file("english.lang"));
    TextLookup chinese(folder.file("chinese.lang"));
    for (const Case& c : cases) {
        const PortOpenProblem problem{c.failure, c.devicePath};
        const std::string text = describeOpenProblem(problem, english);
        for (const std::string& part : c.englishParts)
            EXPECT_NE(text.find(part), std::string::npos) << text << "\n  lacks: " << part;
        for (const std::string& words : {text, describeOpenProblem(problem, chinese)}) {
            EXPECT_EQ(words.find("-aG root"), std::string::npos) << words;
            EXPECT_EQ(words.find("%s"), std::string::npos) << words;
            EXPECT_EQ(words.find(kTextNotFound), std::string::npos) << words;
            EXPECT_NE(words.find(c.devicePath), std::string::npos) << words;
        }
    }
    // A port that never opened is all there is to say; one among others that opened is not.
    const PortOpenProblem busy{{SerialOpenError::Busy, EBUSY, ""}, path};
    EXPECT_EQ(noRadioMessage(busy, false, english).textKey, text_key::kPortNotOpened);
    EXPECT_EQ(noRadioMessage(busy, true, english).textKey, text_key::kErrorPortConn);
    EXPECT_NE(noRadioMessage(busy, true, english).detail.find(path), std::string::npos);
}

// After a stop or a failure: how far the job got, what the radio holds, which backups exist.
TEST_F(ImageRulesTest, WhereTheRadioStands) {
    test::ScopedEnvironment utc{"TZ", "UTC"};
    TextLookup english(folder.file("english.lang"));
    const BackupsKept kept{true, "/b/w.PL-3",
                           backup::BackupFile{"/b/r.PL-3", 1796649302, "/dev/x"}};
    const std::string newestRead =
        "The newest backup of a read made on this computer (read on 2026-12-07 13:15:02 from "
        "/dev/x, possibly from another radio): /b/r.PL-3";
    const std::string ofWrite = "The codeplug being written is kept in the backup: /b/w.PL-3";
    struct Case {
        TransferEnd end;
        BackupsKept backups;
        std::vector<std::string> lines;
    } cases[] = {
        {{Direction::Write, JobStatus::Writing, 256, true},  // stopped in the closing pause
         kept,
         {"Stopped after block 256 of 256, once every block was acknowledged: the radio holds "
          "the whole new codeplug.",
          newestRead, ofWrite}},
        {{Direction::Write, JobStatus::WriteFailed, 100, false},
         kept,
         {"The write failed after block 100 of 256: the radio now holds part of the new codeplug.",
          newestRead, ofWrite}},
        {{Direction::Write, JobStatus::WriteFailed, 0, false},
         {true, std::nullopt, std::nullopt},
         {english.text(text_key::kWriteFailedAtFirstBlock)}},
        {{Direction::Write, JobStatus::Writing, 40, true},
         {false, std::nullopt, std::nullopt},
         {withNumbers(english.text(text_key::kCliWriteStopped), {40, 256}),
          english.text(text_key::kCliNoBackup)}},
        {{Direction::Write, JobStatus::Connecting, 0, true},
         kept,
         {english.text(text_key::kCliWriteStoppedUnchanged)}},
        {{Direction::Read, JobStatus::Reading, 7, true},
         kept,
         {withNumbers(english.text(text_key::kCliReadStopped), {7, 256})}},
        {{Direction::Write, JobStatus::VerifyFailed, 256, false}, kept, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(radioStanding(c.end, c.backups, english), c.lines) << c.end.blocksDone;
}

// A failure names the log to attach, says that it is incomplete and why, or that none
// could be written where it was asked.
TEST_F(ImageRulesTest, FailureNamesTheLogOrWhyThereIsNone) {
    TextLookup texts(folder.file("english.lang"));
    const std::string log = "/home/u/.local/state/pl3/transfer-20261207-213512.log";
    const LogPlace folderPlace = LogPlace::folder("/home/u/.local/state/pl3");
    const std::string full = "No space left on device";
    struct Case {
        LogOutcome outcome;
        std::string expected;
    } cases[] = {
        {{folderPlace, log, ""}, "\n\n" + texts.text(text_key::kLogFile) + "\n" + log},
        {{folderPlace, log, full},
         "\n\n" + texts.text(text_key::kLogIncomplete) + full + "\n" + log},
        {{folderPlace, "", ""},
         "\n\n" + texts.text(text_key::kLogNotWritten) + "\n" + folderPlace.path},
        {{LogPlace::file("/ro/x.log"), "", ""},
         "\n\n" + texts.text(text_key::kLogNotWritten) + "\n/ro/x.log"},
        {{LogPlace::off(), "", ""}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(logFileDetail(c.outcome, texts), c.expected);
}

TEST_F(ImageRulesTest, ReadImageResetsEmptyChannels) {
    Image radio;
    radio.fill(0x00);
    radio[5 * 16 + 3] = 0xFF;  // channel 5 empty, whatever its other bytes say
    radio[6 * 16 + 3] = 0x43;  // channel 6 programmed
    radio[0x0009] = 0x43, radio[0x000B] = 0x44;
    doc.setModifiedFlag(false);
    takeReadImage(doc, radio);
    const std::uint8_t expectedTail[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xBF, 0x3F};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(doc.image()[5 * 16 + 8 + i], expectedTail[i]) << i;
    EXPECT_EQ(doc.image()[5 * 16 + 14], 0x00);  // beyond the reset bytes
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(doc.image()[6 * 16 + 8 + i], 0x00) << i;
    EXPECT_EQ(doc.image()[5 * 16 + 3], 0xFF);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.lowerLimit(), 43'000'000);  // the radio's range decides the limits
    EXPECT_EQ(doc.upperLimit(), 44'000'000);
}

TEST_F(ImageRulesTest, StartChannelIsTheFirstProgrammedOne) {
    struct Case {
        std::vector<int> programmed;
        int start;
    } cases[] = {{{3, 9}, 3}, {{}, 1}, {{1}, 1}, {{128}, 128}};
    for (const Case& c : cases) {
        doc.clearContents();
        for (int n : c.programmed)
            doc.rawFields().setFrequencyText(n, Side::Receive, "440");
        prepareImageForWrite(doc.rawFields());
        EXPECT_EQ(doc.image()[0x08A9], c.start);
    }
}

}  // namespace
}  // namespace pl3::link
