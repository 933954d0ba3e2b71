#include "platform/stop_signals.h"

#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>

namespace pl3::platform {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Only lock-free atomics may be touched from a signal handler.
std::atomic<bool> stopRequested{false};
std::atomic<long long> firstSignalMs{0};
std::atomic<int> immediateExit{0};
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<long long>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);

long long monotonicMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);  // async-signal-safe
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void onStopSignal(int) {
    long long now = monotonicMs();
    if (stopRequested.load() && now - firstSignalMs.load() < kSecondSignalWindowMs)
        ::_exit(immediateExit.load());
    firstSignalMs.store(now);
    stopRequested.store(true);
}

sigset_t stopSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kStopSignals)
        sigaddset(&set, signal);
    return set;
}

}  // namespace

struct StopSignals::Saved {
    struct sigaction previous[3]{};
};

struct StopSignals::ThreadsIgnore::Saved {
    sigset_t previous{};
};

StopSignals::StopSignals(int immediateExitStatus) : saved_(std::make_unique<Saved>()) {
    stopRequested = false;
    immediateExit = immediateExitStatus;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        ::sigaction(kStopSignals[i], &action, &saved_->previous[i]);
}

StopSignals::~StopSignals() {
    for (int i = 0; i < 3; ++i)
        ::sigaction(kStopSignals[i], &saved_->previous[i], nullptr);
}

bool StopSignals::requested() {
    return stopRequested.load();
}

StopSignals::ThreadsIgnore::ThreadsIgnore() : saved_(std::make_unique<Saved>()) {
    sigset_t blocked = stopSignalSet();
    ::pthread_sigmask(SIG_BLOCK, &blocked, &saved_->previous);
}

StopSignals::ThreadsIgnore::~ThreadsIgnore() {
    ::pthread_sigmask(SIG_SETMASK, &saved_->previous, nullptr);
}

}  // namespace pl3::platform
