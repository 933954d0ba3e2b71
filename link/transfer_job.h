#pragma once
// The main read and the main write of the codeplug: the conversation runs on a worker
// thread of its own, on a private copy of the image; the user-interface side only polls
// the job's state and may cancel it.

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "codeplug/image_layout.h"
#include "codeplug/radio_tuning.h"
#include "link/cancel_token.h"
#include "link/protocol.h"
#include "link/serial_port.h"

namespace pl3::link {

// The numbers are those both sides of a job have always shared.
enum class JobStatus : int {
    Connecting = 0,
    NoRadio = 1,
    WrongRadio = 2,
    Reading = 4,
    ReadFailed = 5,
    ReadComplete = 6,
    WriteFailed = 7,
    Writing = 8,
    WriteComplete = 9,
    Searching = 11,
    // Verify after write: the radio is read back; a difference or a failed read-back
    // fails the write.
    Verifying = 12,
    VerifyFailed = 13,
    // Keeping the radio's tuning values: they could not be read (or two reads differed), so
    // nothing was written.
    TuningReadFailed = 14,
};

enum class Direction : int { Write = 0, Read = 1 };

struct JobSnapshot {
    JobStatus status;
    int progress;   // percentage, or while searching the port number being tried
    int foundPort;  // the port the search opened, -1 when none
    bool finished;  // the worker has ended (with a final status, or cancelled)
    // VerifyFailed: the first address where the radio differs from what was written, -1
    // when the read-back itself failed.
    int mismatchAddress = -1;
    // Blocks moved so far in the read or the write itself (0 ... 256; not the read-back).
    int blocksDone = 0;
    // The port the search found could not be stored as "com" (the settings file cannot be
    // written); set before the job ends.
    bool foundPortNotStored = false;
    // WriteComplete: the radio was read back and held what was written.
    bool verified = false;
};

inline constexpr int kFinalWritePauseMs = 1000;

class TransferJob {
  public:
    TransferJob(SerialPort& port, Direction direction) : port_(port), direction_(direction) {}
    ~TransferJob();
    TransferJob(const TransferJob&) = delete;
    TransferJob& operator=(const TransferJob&) = delete;

    // Copies the image (what to write, or what a read starts from) and starts the worker.
    // A job that has ended may be started again: the retry after a failure.
    void start(const Image& image, const PortPlan& plan);

    // A write then reads all blocks back in the same session and compares them with what
    // was sent. Off unless asked for; may change while the write runs, and counts when
    // the last block has been written.
    void setVerifyAfterWrite(bool verify) { verify_ = verify; }

    // A write first reads the radio's tuning block (twice, and the two must agree) in the
    // same session and sends every block with the radio's tuning values in place of the
    // image's. Off unless asked for; counts when the handshake is done.
    void setKeepRadioTuning(bool keep) { keepTuning_ = keep; }

    // Sets the cancel flag and closes the port, which ends any wait of the worker at
    // once, then waits for the worker (a few milliseconds at most).
    void cancel();

    // Sets the cancel flag only: the worker finishes the block under way and ends. The
    // port stays open for the caller to close after join().
    void stopAfterBlock() { cancel_.cancel(); }

    // Waits for the worker to end.
    void join();

    JobSnapshot snapshot() const;
    Direction direction() const { return direction_; }

    // Once finished: the image read from the radio (or the one written).
    const Image& workingImage() const { return working_; }
    // The radio's version "%d.%d" from the last read; it keeps its value when a read
    // brings none.
    std::string versionText() const;
    // Once finished: why the port could not be opened, when that is why no radio answered.
    std::optional<PortOpenProblem> openProblem() const;
    // Once finished: some port was open (so a radio could have been asked).
    bool portOpened() const { return portOpened_.load(); }
    // Once finished: the radio's tuning values a write kept, nullopt when it kept none.
    std::optional<TuningBlock> radioTuning() const;

  private:
    void run(PortPlan plan);
    void verify(Conversation& conversation);
    bool keepRadioTuning(Conversation& conversation);
    void finish(Outcome outcome);
    void finish(JobStatus status);

    SerialPort& port_;
    Direction direction_;
    Image working_{};
    CancelToken cancel_;
    std::thread worker_;
    std::atomic<int> status_{static_cast<int>(JobStatus::Connecting)};
    std::atomic<int> progress_{0};
    std::atomic<int> foundPort_{-1};
    std::atomic<bool> finished_{false};
    std::atomic<bool> verify_{false};
    std::atomic<bool> keepTuning_{false};
    std::atomic<int> mismatch_{-1};
    std::atomic<int> blocksDone_{0};
    std::atomic<bool> foundPortNotStored_{false};
    std::atomic<bool> portOpened_{false};
    std::atomic<bool> verified_{false};
    mutable std::mutex resultMutex_;  // the version text, the open problem, the tuning kept
    std::string versionText_;
    std::optional<PortOpenProblem> openProblem_;
    std::optional<TuningBlock> radioTuning_;
};

// Whether a status ends the job.
bool isFinal(JobStatus status);

}  // namespace pl3::link
