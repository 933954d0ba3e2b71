#include "service/live_tuning_link.h"

#include <algorithm>

#include "link/protocol.h"

namespace pl3::service {

namespace {

// Every live set and squelch query is answered by one byte, looked for this long.
constexpr int kReplyTimeoutMs = 50;
// A line that never stops talking must not keep the link draining it.
constexpr int kMaxStaleBytes = 4096;

}  // namespace

LiveTuningLink::LiveTuningLink(SerialPort& port) : port_(port), worker_([this] { run(); }) {}

LiveTuningLink::~LiveTuningLink() {
    {
        // Under the queue's lock, so the worker cannot miss it between look and wait.
        std::lock_guard lock(mutex_);
        steps_.clear();
        closing_ = true;
        cancel_.cancel();
    }
    wake_.notify_all();
    port_.close();  // ends a read the worker is inside
    worker_.join();
}

bool LiveTuningLink::enqueue(Step step) {
    {
        std::lock_guard lock(mutex_);
        if (closing_) return false;
        steps_.push_back(step);
    }
    wake_.notify_all();
    return true;
}

void LiveTuningLink::sendLiveSet(const LiveRecord& record, int pauseMs) {
    enqueue({StepKind::LiveSet, pauseMs, liveSetFrame(record)});
}

void LiveTuningLink::querySquelch(int pauseMs) {
    if (enqueue({StepKind::SquelchQuery, pauseMs, {}})) ++queriesAsked_;
}

void LiveTuningLink::finish(const LiveRecord& record) {
    {
        std::lock_guard lock(mutex_);
        if (closing_) return;
        std::erase_if(steps_, [](const Step& step) { return step.kind == StepKind::SquelchQuery; });
        steps_.push_back({StepKind::LiveSet, 0, liveSetFrame(record)});
        steps_.push_back({StepKind::Close, 0, {}});
        closing_ = true;
    }
    wake_.notify_all();
}

SquelchReading LiveTuningLink::squelch() const {
    int value = squelch_.load(std::memory_order_acquire);
    return {value / 2, value % 2 == 1};
}

void LiveTuningLink::run() {
    port_.startLog();
    carryOutSteps();
    port_.finishLog();
}

void LiveTuningLink::carryOutSteps() {
    for (;;) {
        Step step{};
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return !steps_.empty() || cancel_.isCancelled(); });
            if (cancel_.isCancelled()) return;
            step = steps_.front();
            steps_.pop_front();
        }
        if (step.pauseMs > 0 && !cancel_.sleepFor(step.pauseMs)) return;
        carryOut(step);
        if (step.kind == StepKind::Close) return;
    }
}

void LiveTuningLink::carryOut(const Step& step) {
    // A reply that came after its time-out must not pass for the answer to this frame.
    for (int stale = 0; stale < kMaxStaleBytes && port_.readByte(0) >= 0; ++stale) {
    }
    switch (step.kind) {
        case StepKind::LiveSet:
            port_.write(step.frame.data(), static_cast<int>(step.frame.size()), link::kWritePauseMs,
                        false);
            port_.readByte(kReplyTimeoutMs);  // the acknowledgement is not looked at
            break;
        case StepKind::SquelchQuery: {
            port_.writeByte(wire::kSquelchQuery, link::kWritePauseMs);
            bool open = port_.readByte(kReplyTimeoutMs) == wire::kSquelchOpenReply;
            int answers = squelch_.load(std::memory_order_relaxed) / 2 + 1;
            squelch_.store(answers * 2 + (open ? 1 : 0), std::memory_order_release);
            break;
        }
        case StepKind::Close:
            port_.close();
            port_.finishLog();
            finished_.store(true, std::memory_order_release);
            break;
    }
}

}  // namespace pl3::service
