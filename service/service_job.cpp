#include "service/service_job.h"

#include <algorithm>

namespace pl3::service {

namespace {

link::JobKind jobKindOf(ServiceTask task) {
    switch (task) {
        case ServiceTask::ReadTestData:
            return link::JobKind::TestDataRead;
        case ServiceTask::WriteTestData:
            return link::JobKind::TestDataWrite;
        case ServiceTask::ReadAll:
            return link::JobKind::ServiceReadAll;
        case ServiceTask::WriteAll:
            return link::JobKind::ServiceWriteAll;
    }
    return link::JobKind::TestDataRead;
}

ServiceStatus statusOf(link::Outcome outcome) {
    switch (outcome) {
        case link::Outcome::Ok:
            return ServiceStatus::Succeeded;
        case link::Outcome::NoRadio:
            return ServiceStatus::NoRadio;
        case link::Outcome::WrongRadio:
            return ServiceStatus::WrongRadio;
        case link::Outcome::ReadFailed:
            return ServiceStatus::ReadFailed;
        case link::Outcome::WriteFailed:
            return ServiceStatus::WriteFailed;
        case link::Outcome::Cancelled:
            return ServiceStatus::Cancelled;
    }
    return ServiceStatus::Cancelled;
}

bool isRead(ServiceTask task) {
    return task == ServiceTask::ReadTestData || task == ServiceTask::ReadAll;
}

}  // namespace

bool isWholeImage(ServiceTask task) {
    return task == ServiceTask::ReadAll || task == ServiceTask::WriteAll;
}

ServiceJob::~ServiceJob() {
    cancel();
}

void ServiceJob::start(const Image& image, const link::PortPlan& plan, bool keepPortOpen) {
    join();
    working_ = image;
    cancel_.reset();
    status_ = ServiceStatus::Connecting;
    blocksDone_ = 0;
    foundPortNotStored_ = false;
    {
        std::lock_guard lock(connectMutex_);
        openProblem_.reset();
        portOpened_ = false;
    }
    finished_ = false;
    port_.setBaud(kRadioBaud);
    worker_ = std::thread([this, plan, keepPortOpen] { run(plan, keepPortOpen); });
}

void ServiceJob::cancel() {
    if (worker_.joinable() && !finished_.load(std::memory_order_acquire)) {
        cancel_.cancel();
        port_.close();
    }
    join();
}

void ServiceJob::join() {
    if (worker_.joinable()) worker_.join();
}

ServiceSnapshot ServiceJob::snapshot() const {
    std::lock_guard lock(connectMutex_);
    return {status_.load(std::memory_order_acquire),
            blocksDone_.load(),
            finished_.load(std::memory_order_acquire),
            foundPortNotStored_.load(),
            openProblem_,
            portOpened_};
}

void ServiceJob::run(link::PortPlan plan, bool keepPortOpen) {
    port_.startLog();
    link::Conversation conversation(port_, jobKindOf(task_), cancel_);
    link::Outcome outcome = conversation.connect(
        plan, [this](int) { status_.store(ServiceStatus::Searching, std::memory_order_release); });
    {
        std::lock_guard lock(connectMutex_);
        openProblem_ = conversation.openProblem();
        portOpened_ = conversation.portOpened();
    }
    if (outcome == link::Outcome::Ok) {
        outcome = conversation.handshake();
        foundPortNotStored_ = conversation.foundPortNotStored();
    }
    if (outcome == link::Outcome::Ok) {
        status_.store(ServiceStatus::Transferring, std::memory_order_release);
        outcome = transfer(conversation);
    }
    if (outcome != link::Outcome::Ok || !keepPortOpen || !isRead(task_)) port_.close();
    port_.finishLog();
    status_.store(statusOf(outcome), std::memory_order_release);
    finished_.store(true, std::memory_order_release);
}

link::Outcome ServiceJob::transfer(link::Conversation& conversation) {
    std::uint8_t* testData = working_.data() + layout::kTestData;
    auto onBlock = [this](int block) { blocksDone_ = block + 1; };
    switch (task_) {
        case ServiceTask::ReadTestData:
            return conversation.readBlock(static_cast<int>(layout::kTestData), testData);
        case ServiceTask::WriteTestData:
            return conversation.writeTestData(testData);
        case ServiceTask::ReadAll:
            return conversation.readImage(working_, onBlock);
        case ServiceTask::WriteAll: {
            // Every frame goes out even when one is not acknowledged; the job only reports
            // success when the radio took them all.
            link::Outcome blocks = conversation.writeImage(working_, onBlock);
            if (blocks == link::Outcome::Cancelled) return blocks;
            link::Outcome tuning = conversation.writeTestData(testData);
            return blocks == link::Outcome::Ok ? tuning : blocks;
        }
    }
    return link::Outcome::Cancelled;
}

void applyResult(CMaItemDoc& doc, ServiceTask task, const Image& working) {
    switch (task) {
        case ServiceTask::ReadTestData: {
            auto from = working.begin() + static_cast<std::ptrdiff_t>(layout::kTestData);
            std::copy_n(from, layout::kTestDataSize,
                        doc.rawFields().image().begin() + layout::kTestData);
            break;
        }
        case ServiceTask::ReadAll:
            doc.rawFields().image() = working;
            doc.deriveRangeLimits();
            break;
        case ServiceTask::WriteTestData:
        case ServiceTask::WriteAll:
            break;
    }
}

}  // namespace pl3::service
