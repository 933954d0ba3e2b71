#pragma once
// One read from or one write to one radio, with the steps around the conversation: the
// image made ready for a write, the backups before a write and after a read, the radio's
// tuning kept, the verify, and at the end a record of how it went and where the radio
// stands. The progress dialog and pl3ctl both drive it (start, look as often as they
// like, stop) and only show or print what it says. A session shares nothing with
// another, so several may run at once on different ports.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/backup_store.h"
#include "codeplug/image_fields.h"
#include "codeplug/radio_tuning.h"
#include "lang/text_lookup.h"
#include "link/job_display.h"
#include "link/radio_standing.h"
#include "link/transfer_job.h"
#include "platform/prompter.h"

namespace pl3::link {

struct SessionOptions {
    PortPlan plan{};
    bool verify = false;      // a write: read the radio back and compare
    bool keepTuning = false;  // a write: send the radio's own tuning values
    bool backups = true;      // a write: back up first; a read: back up what came
};

// One look at a session: the conversation as it stands and what to show for it.
struct SessionLook {
    JobSnapshot job;
    TickActions actions;
    bool ended = false;  // the result is ready and the port closed
};

// How a session ended.
struct SessionResult {
    JobStatus status = JobStatus::Connecting;
    bool stopped = false;  // by the user, after the block under way
    int blocksDone = 0;
    bool verified = false;
    std::optional<int> mismatchAddress{};  // where a verify found the radio different
    // The radio's tuning values a write kept, once every block has gone out.
    std::optional<TuningBlock> radioTuning{};
    std::optional<std::string> writeBackup{};  // the codeplug about to be written
    std::optional<std::string> readBackup{};   // the codeplug that was read
    std::optional<PortOpenProblem> openProblem{};
    bool portOpened = false;
    bool foundPortNotStored = false;
    bool lineLost = false;     // the device went away (the cable was pulled)
    std::string version{};     // the radio's version text from a read
    std::string devicePath{};  // the device the conversation used
    LogOutcome log{};
};

class RadioSession {
  public:
    RadioSession(SerialPort& port, Direction direction, backup::BackupStore& backups,
                 Prompter& prompter);
    RadioSession(const RadioSession&) = delete;
    RadioSession& operator=(const RadioSession&) = delete;

    // A write sends image made ready (the start channel) after backing it up; a read
    // starts from it. A session that has ended may be started again: the retry.
    void start(const Image& image, const SessionOptions& options);
    // May change while a write runs: see TransferJob.
    void setVerify(bool verify);
    void setKeepTuning(bool keep);

    // Looks at the conversation. Once it has ended the port is closed, a read is backed
    // up and the result kept; later looks change nothing.
    SessionLook look();
    // The block under way is finished, then the session ends as stopped (keep looking).
    void stopAfterBlock() { job_.stopAfterBlock(); }
    // Ends at once; the session then has no result.
    void cancel();

    Direction direction() const { return job_.direction(); }
    const SessionResult& result() const { return result_; }
    // The image read, or the one written (with the radio's tuning values when kept).
    const Image& image() const { return job_.workingImage(); }

    // Where the radio stands after a stop or a failure, in lines; none when the end's own
    // message says all.
    std::vector<std::string> standing(const TextLookup& texts) const;
    // The message box of an end that has one (actions.errorKey): why no radio could be
    // reached, or that the radio is of another type, with the log's place.
    PromptMessage errorMessage(std::string_view errorKey, bool tellOpenProblem,
                               const TextLookup& texts) const;

  private:
    void end(const JobSnapshot& job, const TickActions& actions, bool stopped);

    SerialPort& port_;
    backup::BackupStore& backups_;
    Prompter& prompter_;
    TransferJob job_;
    SessionOptions options_;
    SessionResult result_;
    bool ended_ = false;
};

// Before a write: "StartChannel" becomes the first programmed channel (1 when none).
void prepareImageForWrite(ImageFields& fields);

// After a read: the document takes the radio's image and its range limits, and every
// empty channel's tone, option and shift bytes are reset (the radio leaves whatever it
// likes there). The document is marked modified: it no longer matches its file.
void takeReadImage(CMaItemDoc& doc, const Image& image);

}  // namespace pl3::link
