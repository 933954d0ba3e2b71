#include "link/transfer_job.h"

#include <algorithm>

namespace pl3::link {

bool isFinal(JobStatus status) {
    switch (status) {
        case JobStatus::Connecting:
        case JobStatus::Reading:
        case JobStatus::Writing:
        case JobStatus::Searching:
        case JobStatus::Verifying:
            return false;
        default:
            return true;
    }
}

TransferJob::~TransferJob() {
    cancel();
}

void TransferJob::start(const Image& image, const PortPlan& plan) {
    join();
    working_ = image;
    cancel_.reset();
    status_ = static_cast<int>(JobStatus::Connecting);
    foundPort_ = -1;
    mismatch_ = -1;
    blocksDone_ = 0;
    foundPortNotStored_ = false;
    portOpened_ = false;
    verified_ = false;
    finished_ = false;
    {
        std::lock_guard lock(resultMutex_);
        openProblem_.reset();
        radioTuning_.reset();
    }
    port_.setBaud(kRadioBaud);
    worker_ = std::thread([this, plan] { run(plan); });
}

void TransferJob::cancel() {
    cancel_.cancel();
    port_.close();
    join();
}

void TransferJob::join() {
    if (worker_.joinable()) worker_.join();
}

JobSnapshot TransferJob::snapshot() const {
    return {static_cast<JobStatus>(status_.load(std::memory_order_acquire)),
            progress_.load(),
            foundPort_.load(),
            finished_.load(std::memory_order_acquire),
            mismatch_.load(),
            blocksDone_.load(),
            foundPortNotStored_.load(),
            verified_.load()};
}

std::string TransferJob::versionText() const {
    std::lock_guard lock(resultMutex_);
    return versionText_;
}

std::optional<PortOpenProblem> TransferJob::openProblem() const {
    std::lock_guard lock(resultMutex_);
    return openProblem_;
}

std::optional<TuningBlock> TransferJob::radioTuning() const {
    std::lock_guard lock(resultMutex_);
    return radioTuning_;
}

void TransferJob::finish(Outcome outcome) {
    port_.finishLog();
    JobStatus status = JobStatus::Connecting;
    switch (outcome) {
        case Outcome::Ok:
            status =
                direction_ == Direction::Read ? JobStatus::ReadComplete : JobStatus::WriteComplete;
            break;
        case Outcome::NoRadio:
            status = JobStatus::NoRadio;
            break;
        case Outcome::WrongRadio:
            status = JobStatus::WrongRadio;
            break;
        case Outcome::ReadFailed:
            status = JobStatus::ReadFailed;
            break;
        case Outcome::WriteFailed:
            status = JobStatus::WriteFailed;
            break;
        case Outcome::Cancelled:
            // Nobody waits for a status any more.
            finished_.store(true, std::memory_order_release);
            return;
    }
    finish(status);
}

void TransferJob::finish(JobStatus status) {
    // Whoever is told the outcome may read the log at once.
    port_.finishLog();
    status_.store(static_cast<int>(status), std::memory_order_release);
    finished_.store(true, std::memory_order_release);
}

void TransferJob::run(PortPlan plan) {
    port_.startLog();
    const bool reading = direction_ == Direction::Read;
    Conversation conversation(port_, reading ? JobKind::MainRead : JobKind::MainWrite, cancel_);
    Outcome outcome = conversation.connect(plan, [this](int port) {
        progress_ = port;
        foundPort_ = port;
        status_.store(static_cast<int>(JobStatus::Searching), std::memory_order_release);
    });
    {
        std::lock_guard lock(resultMutex_);
        openProblem_ = conversation.openProblem();
    }
    portOpened_ = conversation.portOpened();
    if (outcome == Outcome::Ok) {
        outcome = conversation.handshake();
        foundPort_ = conversation.foundPort();
        foundPortNotStored_ = conversation.foundPortNotStored();
    }
    if (outcome != Outcome::Ok) return finish(outcome);

    const JobStatus running = reading ? JobStatus::Reading : JobStatus::Writing;
    auto onBlock = [this, running](int block) {
        blocksDone_ = block + 1;
        progress_ = blockProgress(block);
        status_.store(static_cast<int>(running), std::memory_order_release);
    };
    if (reading) {
        if (std::optional<std::string> version = conversation.readVersion()) {
            std::lock_guard lock(resultMutex_);
            versionText_ = *version;
        }
        outcome = conversation.readImage(working_, onBlock);
    } else {
        if (keepTuning_ && !keepRadioTuning(conversation)) return;
        outcome = conversation.writeImage(working_, onBlock);
        // The radio stores the last blocks after acknowledging them.
        if (outcome == Outcome::Ok && !cancel_.sleepFor(kFinalWritePauseMs))
            outcome = Outcome::Cancelled;
        if (outcome == Outcome::Ok && verify_) return verify(conversation);
    }
    finish(outcome);
}

// Reads the radio's tuning block and puts it into the image about to be sent, so the write
// and its verify both use it. False when the job has ended: nothing was written.
bool TransferJob::keepRadioTuning(Conversation& conversation) {
    // A reply with the right header may still carry noise in its data, and the write would
    // put that noise into the radio for good: only two reads that agree are its values.
    TuningBlock radio{};
    TuningBlock again{};
    constexpr int kAddress = static_cast<int>(layout::kTestData);
    Outcome outcome = conversation.readBlock(kAddress, radio.data());
    if (outcome == Outcome::Ok) outcome = conversation.readBlock(kAddress, again.data());
    if (outcome == Outcome::Cancelled) {
        finish(outcome);
        return false;
    }
    if (outcome != Outcome::Ok || radio != again) {
        finish(JobStatus::TuningReadFailed);
        return false;
    }
    putTuningBlock(working_, radio);
    std::lock_guard lock(resultMutex_);
    radioTuning_ = radio;
    return true;
}

void TransferJob::verify(Conversation& conversation) {
    // No command ends programming mode, so the radio still answers block reads.
    Image readBack{};
    Outcome outcome = conversation.readImage(readBack, [this](int block) {
        progress_ = blockProgress(block);
        status_.store(static_cast<int>(JobStatus::Verifying), std::memory_order_release);
    });
    if (outcome == Outcome::Cancelled) return finish(outcome);
    if (outcome != Outcome::Ok) return finish(JobStatus::VerifyFailed);
    auto differs = std::mismatch(working_.begin(), working_.end(), readBack.begin()).first;
    if (differs == working_.end()) {
        verified_ = true;
        return finish(JobStatus::WriteComplete);
    }
    mismatch_ = static_cast<int>(differs - working_.begin());
    finish(JobStatus::VerifyFailed);
}

}  // namespace pl3::link
