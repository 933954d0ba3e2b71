#pragma once
// The auto-tuning dialog's line to the radio: live sets and squelch queries go out in the
// order asked, each after its pause, on a worker thread of its own, so the dialog never
// waits for the radio. The port comes open from the test-data read and is closed when the
// link finishes.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "link/cancel_token.h"
#include "link/serial_port.h"
#include "service/auto_tuning.h"

namespace pl3::service {

// What the auto-tuning rules send; the link below is the real one.
class LiveTuningChannel {
  public:
    virtual ~LiveTuningChannel() = default;
    virtual void sendLiveSet(const LiveRecord& record, int pauseMs) = 0;
    virtual void querySquelch(int pauseMs) = 0;
    // The closing live set after everything asked before it, then the port is closed.
    virtual void finish(const LiveRecord& record) = 0;
};

struct SquelchReading {
    int answers;  // how many queries have been answered (or timed out); 0 = none yet
    bool open;    // the last answer was "H"
};

class LiveTuningLink : public LiveTuningChannel {
  public:
    explicit LiveTuningLink(SerialPort& port);
    // Drops whatever is still queued and closes the port.
    ~LiveTuningLink() override;
    LiveTuningLink(const LiveTuningLink&) = delete;
    LiveTuningLink& operator=(const LiveTuningLink&) = delete;

    void sendLiveSet(const LiveRecord& record, int pauseMs) override;
    void querySquelch(int pauseMs) override;
    // Squelch queries still waiting are dropped: nobody will see their answer.
    void finish(const LiveRecord& record) override;

    // The closing live set has gone out and the port is closed.
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    SquelchReading squelch() const;
    // How many squelch queries have been asked for: once squelch().answers reaches it,
    // the last one asked has been answered.
    int squelchQueriesAsked() const { return queriesAsked_; }

  private:
    enum class StepKind { LiveSet, SquelchQuery, Close };
    struct Step {
        StepKind kind;
        int pauseMs;
        LiveSetFrame frame;
    };

    // False once the link is closing: the step is dropped.
    bool enqueue(Step step);
    void run();
    void carryOutSteps();
    void carryOut(const Step& step);

    SerialPort& port_;
    link::CancelToken cancel_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Step> steps_;       // guarded by mutex_
    bool closing_ = false;         // guarded by mutex_: finish() was called
    std::atomic<int> squelch_{0};  // answers * 2 + (last answer open)
    int queriesAsked_ = 0;         // only the thread asking touches it
    std::atomic<bool> finished_{false};
    std::thread worker_;
};

}  // namespace pl3::service
