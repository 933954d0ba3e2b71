#include "link/transfer_job.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "link/job_display.h"
#include "link/log_file_check.h"
#include "link/transfer_log.h"
#include "patterned_image.h"
#include "radio_frames.h"
#include "scoped_environment.h"
#include "simulated_radio.h"
#include "temp_dir.h"

namespace pl3::link {
namespace {

using namespace std::chrono_literals;

// Polls the job as the progress display does until it has ended; collects every status seen.
std::vector<JobStatus> runToEnd(TransferJob& job) {
    std::vector<JobStatus> seen;
    auto deadline = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < deadline) {
        JobSnapshot snapshot = job.snapshot();
        if (seen.empty() || seen.back() != snapshot.status) seen.push_back(snapshot.status);
        if (snapshot.finished) break;
        std::this_thread::sleep_for(5ms);
    }
    job.join();
    JobSnapshot last = job.snapshot();
    if (seen.back() != last.status) seen.push_back(last.status);
    return seen;
}

PortPlan storedPort(const SettingsFile& settings) {
    return {settings.comPort(), std::nullopt, settings.portSearchEnabled()};
}

TEST(TransferJob, ReadBringsTheRadiosImageAndVersion) {
    test::SimulatedRadio radio;
    radio.radio().setMemory(test::patternedImage(13, 1));
    SerialPort port(radio.settings());
    TransferJob job(port, Direction::Read);
    job.start(Image{}, storedPort(radio.settings()));
    std::vector<JobStatus> seen = runToEnd(job);
    EXPECT_EQ(seen.front(), JobStatus::Connecting);
    EXPECT_EQ(seen.back(), JobStatus::ReadComplete);
    EXPECT_NE(std::find(seen.begin(), seen.end(), JobStatus::Reading), seen.end());
    EXPECT_EQ(job.snapshot().progress, 100);
    EXPECT_EQ(job.workingImage(), test::patternedImage(13, 1));
    EXPECT_EQ(job.versionText(), "1.2");
}

TEST(TransferJob, WriteSendsTheImageAndPausesAtTheEnd) {
    test::SimulatedRadio radio;
    SerialPort port(radio.settings());
    TransferJob job(port, Direction::Write);
    job.start(test::patternedImage(13, 1), storedPort(radio.settings()));
    std::vector<JobStatus> seen = runToEnd(job);
    EXPECT_EQ(seen.back(), JobStatus::WriteComplete);
    EXPECT_NE(std::find(seen.begin(), seen.end(), JobStatus::Writing), seen.end());
    EXPECT_EQ(radio.radio().memory(), test::patternedImage(13, 1));
}

// Logging on: each frame sent is one TX line, each reply the RX line after it, in a new
// file of the state folder; the newest 20 transfer logs stay and no other file is touched.
TEST(TransferJob, ReadIsLoggedFrameByFrameAndOldLogsGo) {
    test::TempDir state;
    test::ScopedEnvironment stateHome("XDG_STATE_HOME", state.path());
    const std::string folder = defaultLogFolder();
    ASSERT_EQ(folder, state.file("pl3"));
    std::filesystem::create_directories(folder);
    std::vector<std::string> older;
    for (int n = 0; n < kKeptTransferLogs + 5; ++n) {
        char name[48];
        std::snprintf(name, sizeof name, "pl3/transfer-20250102-0304%02d.log", n);
        older.push_back(state.write(name, "# old\n"));
    }
    const std::string unrelated = state.write("pl3/notes.txt", "kept\n");

    test::SimulatedRadio radio;
    const Image image = test::patternedImage(13, 1);
    radio.radio().setMemory(image);
    SerialPort port(radio.settings());
    port.setLogPlace(LogPlace::folder(folder));
    TransferJob job(port, Direction::Read);
    job.start(Image{}, storedPort(radio.settings()));
    ASSERT_EQ(runToEnd(job).back(), JobStatus::ReadComplete);

    std::vector<std::string> logs = transferLogsNewestFirst(folder);
    ASSERT_EQ(logs.size(), static_cast<std::size_t>(kKeptTransferLogs));
    EXPECT_EQ(logs.front(), port.logPath());
    EXPECT_EQ(logs.back(), older[6]);
    EXPECT_FALSE(std::filesystem::exists(older[5]));
    EXPECT_TRUE(std::filesystem::exists(unrelated));

    std::optional<std::vector<test::LoggedLine>> lines =
        test::parseConversationLog(test::readText(port.logPath()));
    ASSERT_TRUE(lines) << test::readText(port.logPath());
    std::vector<sim::Frame> received = radio.radio().frames();
    std::size_t sent = 0;
    for (std::size_t i = 0; i < lines->size(); ++i) {
        const test::LoggedLine& line = (*lines)[i];
        if (line.direction != "TX") continue;
        ASSERT_LT(sent, received.size());
        EXPECT_EQ(line.bytes, received[sent++].bytes) << "line " << i;
        if (line.bytes.size() == 4 && line.bytes[0] == wire::kBlockRead) {
            const int address = line.bytes[1] << 8 | line.bytes[2];
            ASSERT_LT(i + 1, lines->size());
            EXPECT_EQ((*lines)[i + 1].direction, "RX");
            EXPECT_EQ((*lines)[i + 1].bytes,
                      test::concat(test::readRequest(address),
                                   test::imageBytes(image, static_cast<std::size_t>(address))))
                << "line " << i + 1;
        }
    }
    EXPECT_EQ(sent, received.size());
    EXPECT_GE(sent, 4u + kBlockCount);
}

// A log goes only where it loses nothing: never into one of the command's files (by inode,
// or by where a name not made yet leads), a folder or FIFO, nor over a file that is no
// earlier log. What it goes to is its owner's alone, and a log cut short says why.
TEST(TransferLog, GoesOnlyWhereItLosesNothingAndStaysPrivate) {
    namespace fs = std::filesystem;
    test::TempDir dir;
    const std::string codeplug = dir.write("g.PL-3", "codeplug"), output = dir.file("new.PL-3");
    fs::create_hard_link(codeplug, dir.file("second-name.PL-3"));
    fs::create_symlink("new.PL-3", dir.file("to-output"));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    const std::string notes = dir.write("notes.txt", "kept\n");
    const std::string earlier = dir.write("earlier.log", std::string(kLogHeaderStart) + "x\n");
    fs::permissions(earlier, fs::perms::others_read, fs::perm_options::add);
    const std::pair<std::string, std::optional<LogFileRefusal>> cases[] = {
        {dir.file("second-name.PL-3"), LogFileRefusal::InUse},
        {dir.file("to-output"), LogFileRefusal::InUse},
        {dir.file("fifo"), LogFileRefusal::NotAFile},
        {dir.path(), LogFileRefusal::NotAFile},
        {notes, LogFileRefusal::NotALog},
        {earlier, std::nullopt},
        {dir.file("new.log"), std::nullopt},
    };
    for (const auto& [path, refusal] : cases) {
        std::optional<LogFileProblem> problem = logFileProblem(path, {codeplug, output});
        EXPECT_EQ(problem ? std::optional(problem->refusal) : std::nullopt, refusal) << path;
        std::unique_ptr<TransferLog> log = openTransferLog(LogPlace::file(path));
        ASSERT_EQ(log != nullptr, !refusal) << path;
        if (!log) continue;
        EXPECT_EQ(log->finish(), "");
        EXPECT_TRUE(test::readText(path).starts_with(kLogHeaderStart)) << path;
        EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_EQ(test::readText(codeplug) + test::readText(notes), "codeplugkept\n");
    EXPECT_FALSE(fs::exists(output));

    std::unique_ptr<TransferLog> inFolder = openTransferLog(LogPlace::folder(dir.file("a/pl3")));
    ASSERT_NE(inFolder, nullptr);
    EXPECT_EQ(fs::status(dir.file("a/pl3")).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(inFolder->path()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    TransferLog onFullDisk(std::fopen("/dev/full", "we"), "/dev/full", 0);
    onFullDisk.event("open /dev/ttyUSB0 38400");
    EXPECT_EQ(onFullDisk.finish(), std::generic_category().message(ENOSPC));
}

TEST(TransferJob, RetryAfterAFailureStartsAgain) {
    sim::Options options;
    options.faults.shortReplyAtBlock = 3;
    test::SimulatedRadio radio(options);
    SerialPort port(radio.settings());
    TransferJob job(port, Direction::Read);
    job.start(Image{}, storedPort(radio.settings()));
    EXPECT_EQ(runToEnd(job).back(), JobStatus::ReadFailed);
    port.close();
    job.start(Image{}, storedPort(radio.settings()));
    EXPECT_EQ(runToEnd(job).back(), JobStatus::ReadFailed);
    EXPECT_EQ(radio.radio().sessions(), 2);
}

TEST(TransferJob, SearchIsVisibleWhileItRuns) {
    test::SimulatedRadio radio({}, /*search=*/true, /*storedPort=*/9);
    radio.mapPort(1, "/nonexistent/tty");
    radio.mapPort(5, radio.devicePath());
    SerialPort port(radio.settings());
    TransferJob job(port, Direction::Read);
    job.start(Image{}, storedPort(radio.settings()));
    bool sawSearch = false;
    while (!job.snapshot().finished) {
        JobSnapshot snapshot = job.snapshot();
        if (snapshot.status == JobStatus::Searching) {
            sawSearch = true;
            EXPECT_EQ(snapshot.progress, 5);
            // Once the handshake has stored the port, the job no longer calls it found.
            EXPECT_TRUE(snapshot.foundPort == 5 || snapshot.foundPort == -1) << snapshot.foundPort;
        }
        std::this_thread::sleep_for(2ms);
    }
    job.join();
    EXPECT_TRUE(sawSearch);
    EXPECT_EQ(job.snapshot().status, JobStatus::ReadComplete);
    EXPECT_EQ(job.snapshot().foundPort, -1);
    EXPECT_FALSE(job.snapshot().foundPortNotStored);
    EXPECT_EQ(radio.settings().comPort(), 5);
}

TEST(TransferJob, AFoundPortThatCannotBeStoredIsToldWhenTheJobEnds) {
    test::SimulatedRadio radio;
    test::TempDir dir;
    // setting.ini is a directory: nothing can be stored in it, not even by root.
    ASSERT_EQ(::mkdir(dir.file("setting.ini").c_str(), 0700), 0);
    SettingsFile settings(dir.file("setting.ini"));
    SerialPort port(settings);
    port.mapPortForThisRun(1, "/nonexistent/tty");
    port.mapPortForThisRun(2, radio.devicePath());
    TransferJob job(port, Direction::Read);
    job.start(Image{}, {1, std::nullopt, true});
    runToEnd(job);
    JobSnapshot last = job.snapshot();
    EXPECT_EQ(last.status, JobStatus::ReadComplete);
    EXPECT_TRUE(last.foundPortNotStored);
    EXPECT_TRUE(tickActions(last, Direction::Read).settingsNotWritten);
}

// Cancel must end the job within about 100 ms whatever it is doing.
TEST(TransferJob, CancelIsPromptInEveryPhase) {
    struct Case {
        const char* phase;
        Direction direction;
        sim::Options options;
        std::chrono::milliseconds after;
    };
    sim::Options silent;
    silent.faults.neverWake = true;
    sim::Options slow;
    slow.pace = true;
    Case cases[] = {
        {"connecting", Direction::Read, silent, 300ms},
        {"reading", Direction::Read, slow, 600ms},
        {"writing", Direction::Write, slow, 600ms},
        {"final pause", Direction::Write, {}, 0ms},  // set below: once the blocks are written
    };
    for (const Case& c : cases) {
        test::SimulatedRadio radio(c.options);
        SerialPort port(radio.settings());
        TransferJob job(port, c.direction);
        job.start(test::patternedImage(13, 1), storedPort(radio.settings()));
        if (c.after.count() > 0) {
            std::this_thread::sleep_for(c.after);
        } else {
            while (job.snapshot().progress < 100)
                std::this_thread::sleep_for(1ms);
            std::this_thread::sleep_for(50ms);
        }
        ASSERT_FALSE(job.snapshot().finished) << c.phase;
        auto started = std::chrono::steady_clock::now();
        job.cancel();
        auto took = std::chrono::steady_clock::now() - started;
        EXPECT_TRUE(job.snapshot().finished) << c.phase;
        // Generous: the promise is about 100 ms; sanitizers and a busy machine slow it.
        EXPECT_LT(took, 1000ms) << c.phase;
        EXPECT_FALSE(port.isOpen()) << c.phase;
    }
}

TEST(TransferJob, CancelDuringThePortSearch) {
    test::SimulatedRadio radio({}, /*search=*/true, /*storedPort=*/3);
    sim::Options silent;
    silent.faults.neverWake = true;
    std::vector<std::unique_ptr<sim::RadioSimulator>> quiet;
    for (int n = 1; n <= 4; ++n) {
        quiet.push_back(std::make_unique<sim::RadioSimulator>(silent));
        ASSERT_TRUE(quiet.back()->start());
        radio.mapPort(n, quiet.back()->devicePath());
    }
    SerialPort port(radio.settings());
    TransferJob job(port, Direction::Read);
    job.start(Image{}, storedPort(radio.settings()));
    while (job.snapshot().status != JobStatus::Searching)
        std::this_thread::sleep_for(2ms);
    auto started = std::chrono::steady_clock::now();
    job.cancel();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1000ms);
    EXPECT_TRUE(job.snapshot().finished);
}

}  // namespace
}  // namespace pl3::link
