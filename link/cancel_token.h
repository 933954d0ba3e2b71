#pragma once
// A cancel request shared by a job's worker and the thread that started it. Waits made
// through it end the moment the job is cancelled.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace pl3::link {

class CancelToken {
  public:
    void cancel() {
        {
            std::lock_guard lock(mutex_);
            cancelled_.store(true, std::memory_order_release);
        }
        wake_.notify_all();
    }
    void reset() { cancelled_.store(false, std::memory_order_release); }
    bool isCancelled() const { return cancelled_.load(std::memory_order_acquire); }

    // Sleeps ms milliseconds; false (at once) when cancelled.
    bool sleepFor(int ms) {
        std::unique_lock lock(mutex_);
        return !wake_.wait_for(lock, std::chrono::milliseconds(ms),
                               [this] { return isCancelled(); });
    }

  private:
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
};

}  // namespace pl3::link
