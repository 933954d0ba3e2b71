// The write conversation against the simulated radio on a pseudo-terminal: verify after
// write reads the radio back in the same session and compares it with what was sent; a
// write that keeps the radio's tuning values reads them first and sends them instead of
// the file's.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "codeplug/radio_tuning.h"
#include "codeplug/text_keys.h"
#include "link/job_display.h"
#include "link/transfer_job.h"
#include "patterned_image.h"
#include "simulated_radio.h"

namespace pl3::link {
namespace {

using namespace std::chrono_literals;

// The image written; its tuning values differ from the radio's own.
const Image kFileImage = test::patternedImage(5, 7);
constexpr TuningBlock kRadioTuning = {0x41, 0x42, 0x43, 0x90, 0x91, 0x92, 0x93, 0x94,
                                      0x60, 0x61, 0x62, 0x63, 0x64, 0x2A, 0x15, 0x35};

struct WriteRun {
    std::vector<JobStatus> seen;
    JobSnapshot last;
    std::vector<sim::Frame> frames;
    Image memory;                            // the radio's, after the job
    std::optional<TuningBlock> radioTuning;  // what the job kept
};

WriteRun writeTo(const sim::Faults& faults, bool verify, bool keepTuning = false,
                 const TuningBlock& radioTuning = kRadioTuning) {
    sim::Options options = test::optionsWith(faults);
    options.tuning = radioTuning;
    test::SimulatedRadio radio(options);
    SerialPort port(radio.settings());
    TransferJob job(port, Direction::Write);
    job.setVerifyAfterWrite(verify);
    job.setKeepRadioTuning(keepTuning);
    job.start(kFileImage, {radio.settings().comPort(), std::nullopt, false});
    WriteRun run{};
    auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!job.snapshot().finished && std::chrono::steady_clock::now() < deadline) {
        JobStatus status = job.snapshot().status;
        if (run.seen.empty() || run.seen.back() != status) run.seen.push_back(status);
        std::this_thread::sleep_for(5ms);
    }
    job.join();
    port.close();
    run.last = job.snapshot();
    run.frames = radio.radio().frames();
    run.memory = radio.radio().memory();
    run.radioTuning = job.radioTuning();
    return run;
}

// The commands the radio received after the handshake, in order ("w", "R", ...).
std::string commands(const std::vector<sim::Frame>& frames) {
    std::string text;
    for (const sim::Frame& frame : frames) {
        if (frame.kind == sim::FrameKind::Command &&
            (frame.bytes[0] == 'w' || frame.bytes[0] == 'R'))
            text += static_cast<char>(frame.bytes[0]);
    }
    return text;
}

bool saw(const WriteRun& run, JobStatus status) {
    return std::find(run.seen.begin(), run.seen.end(), status) != run.seen.end();
}

TEST(VerifyAfterWrite, ReadsEveryBlockBackAndPassesWhenTheRadioHoldsTheImage) {
    WriteRun run = writeTo({}, true);
    EXPECT_EQ(run.last.status, JobStatus::WriteComplete);
    EXPECT_EQ(run.last.mismatchAddress, -1);
    EXPECT_TRUE(run.last.verified);
    EXPECT_TRUE(saw(run, JobStatus::Verifying));
    EXPECT_EQ(commands(run.frames), std::string(256, 'w') + std::string(256, 'R'));
    // In ascending order, as every transfer of the image.
    int k = 0;
    for (const sim::Frame& frame : run.frames) {
        if (frame.kind != sim::FrameKind::Command || frame.bytes[0] != 'R') continue;
        EXPECT_EQ((frame.bytes[1] << 8 | frame.bytes[2]), k * kBlockSize);
        ++k;
    }
    EXPECT_EQ(run.memory, kFileImage);
}

TEST(VerifyAfterWrite, OutcomeOfEachRadioBehaviour) {
    struct Case {
        const char* what;
        sim::Faults faults;
        bool verify;
        JobStatus status;
        int mismatchAddress;
        std::string commands;
    } cases[] = {
        // The radio acknowledges block 37 but stores its last byte altered.
        {"corrupted block, verified",
         test::faultsWhere([](sim::Faults& f) { f.corruptStoredBlock = 37; }), true,
         JobStatus::VerifyFailed, 37 * 16 + 15, std::string(256, 'w') + std::string(256, 'R')},
        {"corrupted block, not verified: unnoticed",
         test::faultsWhere([](sim::Faults& f) { f.corruptStoredBlock = 37; }), false,
         JobStatus::WriteComplete, -1, std::string(256, 'w')},
        {"corrupted first block",
         test::faultsWhere([](sim::Faults& f) { f.corruptStoredBlock = 0; }), true,
         JobStatus::VerifyFailed, 15, std::string(256, 'w') + std::string(256, 'R')},
        {"read-back reply short",
         test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 200; }), true,
         JobStatus::VerifyFailed, -1, std::string(256, 'w') + std::string(201, 'R')},
        {"read-back echoes a wrong address",
         test::faultsWhere([](sim::Faults& f) { f.wrongAddressAtBlock = 3; }), true,
         JobStatus::VerifyFailed, -1, std::string(256, 'w') + std::string(4, 'R')},
        {"write refused: nothing to verify",
         test::faultsWhere([](sim::Faults& f) { f.wrongAckAtBlock = 9; }), true,
         JobStatus::WriteFailed, -1, std::string(10, 'w')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteRun run = writeTo(c.faults, c.verify);
        EXPECT_EQ(run.last.status, c.status);
        EXPECT_EQ(run.last.mismatchAddress, c.mismatchAddress);
        EXPECT_FALSE(run.last.verified);
        EXPECT_EQ(commands(run.frames), c.commands);
    }
}

TEST(KeepRadioTuning, WriteSendsTheRadiosTuningAndTheDocumentTakesIt) {
    Image fileWithRadioTuning = kFileImage;
    putTuningBlock(fileWithRadioTuning, kRadioTuning);
    Image untouchedRadio = sim::factoryMemory();
    putTuningBlock(untouchedRadio, kRadioTuning);
    const TuningBlock fileTuning = tuningBlockOf(kFileImage);
    TuningBlock blankTuning;
    blankTuning.fill(0xFF);
    Image fileWithBlankTuning = kFileImage;
    putTuningBlock(fileWithBlankTuning, blankTuning);
    const std::string write = std::string(256, 'w');
    struct Case {
        const char* what;
        sim::Faults faults;
        bool keep;
        bool verify;
        TuningBlock radioTuning;
        JobStatus status;
        std::string commands;
        const Image* radioAfter;        // nullptr: not looked at
        bool documentTakesRadioTuning;  // and is modified, with one undo step back
    } cases[] = {
        {"kept",
         {},
         true,
         false,
         kRadioTuning,
         JobStatus::WriteComplete,
         "RR" + write,
         &fileWithRadioTuning,
         true},
        {"kept and verified against what was sent",
         {},
         true,
         true,
         kRadioTuning,
         JobStatus::WriteComplete,
         "RR" + write + std::string(256, 'R'),
         &fileWithRadioTuning,
         true},
        {"kept, the same as the file's",
         {},
         true,
         false,
         fileTuning,
         JobStatus::WriteComplete,
         "RR" + write,
         &kFileImage,
         false},
        {"overwritten: the conversation of a plain write",
         {},
         false,
         false,
         kRadioTuning,
         JobStatus::WriteComplete,
         write,
         &kFileImage,
         false},
        {"tuning reply short: nothing written",
         test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 0x08E0 / 16; }), true, true,
         kRadioTuning, JobStatus::TuningReadFailed, "R", &untouchedRadio, false},
        {"tuning reply for another address: nothing written",
         test::faultsWhere([](sim::Faults& f) { f.wrongAddressAtBlock = 0x08E0 / 16; }), true,
         false, kRadioTuning, JobStatus::TuningReadFailed, "R", &untouchedRadio, false},
        {"tuning reply noisy: the two reads differ, nothing written",
         test::faultsWhere([](sim::Faults& f) { f.noisyReplyAtBlock = 0x08E0 / 16; }), true, false,
         kRadioTuning, JobStatus::TuningReadFailed, "RR", &untouchedRadio, false},
        {"radio holds no tuning values: kept blank, the document keeps its own",
         {},
         true,
         false,
         blankTuning,
         JobStatus::WriteComplete,
         "RR" + write,
         &fileWithBlankTuning,
         false},
        {"write refused after the tuning read: the document keeps its own",
         test::faultsWhere([](sim::Faults& f) { f.wrongAckAtBlock = 9; }), true, false,
         kRadioTuning, JobStatus::WriteFailed, "RR" + std::string(10, 'w'), nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteRun run = writeTo(c.faults, c.verify, c.keep, c.radioTuning);
        EXPECT_EQ(run.last.status, c.status);
        EXPECT_EQ(commands(run.frames), c.commands);
        if (c.keep) {
            const sim::Frame& first = *std::find_if(
                run.frames.begin(), run.frames.end(),
                [](const sim::Frame& f) { return f.kind == sim::FrameKind::Command; });
            EXPECT_EQ(first.bytes, (std::vector<std::uint8_t>{'R', 0x08, 0xE0, 0x10}));
        }
        if (c.radioAfter) {
            EXPECT_EQ(run.memory, *c.radioAfter);
        }

        // What the progress dialog and pl3ctl do with the finished job.
        test::ProgramFolder folder;
        CMaItemDoc doc(folder.settings());
        doc.rawFields().image() = kFileImage;
        doc.startHistory(true);
        TickActions actions = tickActions(run.last, Direction::Write);
        if (actions.takeRadioTuning && run.radioTuning) takeRadioTuning(doc, *run.radioTuning);
        EXPECT_EQ(tuningBlockOf(doc.image()),
                  c.documentTakesRadioTuning ? kRadioTuning : fileTuning);
        EXPECT_EQ(doc.isModified(), c.documentTakesRadioTuning);
        EXPECT_EQ(doc.canUndo(), c.documentTakesRadioTuning);
        doc.undo();
        EXPECT_EQ(doc.image(), kFileImage);
        EXPECT_FALSE(doc.isModified());
        if (c.status == JobStatus::TuningReadFailed) {
            EXPECT_EQ(actions.statusLine, (StatusLine{text_key::kPromptTuningReadFail, {}}));
            EXPECT_TRUE(actions.allowRetry);
        }
    }
}

TEST(VerifyAfterWrite, ProgressAndFailuresAreShown) {
    struct Case {
        JobSnapshot job;
        std::optional<StatusLine> line;
        bool ends;
    } cases[] = {
        {{JobStatus::Verifying, 45, -1, false}, StatusLine{text_key::kPromptVerify, " 45%"}, false},
        {{JobStatus::VerifyFailed, 100, -1, true, 0x025F},
         StatusLine{text_key::kPromptVerifyFail, "0x025F"},
         true},
        {{JobStatus::VerifyFailed, 100, -1, true, -1},
         StatusLine{text_key::kPromptVerifyReadFail, ""},
         true},
    };
    for (const Case& c : cases) {
        TickActions actions = tickActions(c.job, Direction::Write);
        EXPECT_EQ(actions.statusLine, c.line);
        EXPECT_EQ(actions.stopTimer, c.ends);
        EXPECT_EQ(actions.closePort, c.ends);
        // A failed verify is a failed write: the dialog stays open for another try.
        EXPECT_EQ(actions.allowRetry, c.ends);
        EXPECT_FALSE(actions.end);
        EXPECT_FALSE(actions.takeImage);
    }
    EXPECT_EQ(tickActions({JobStatus::Verifying, 45, -1, false}, Direction::Write).barPosition,
              45 * kBarRange / 100);
    EXPECT_FALSE(isFinal(JobStatus::Verifying));
    EXPECT_TRUE(isFinal(JobStatus::VerifyFailed));
}

}  // namespace
}  // namespace pl3::link
