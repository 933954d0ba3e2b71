#include "tools/pl3ctl/stop_signals.h"

#include <pthread.h>
#include <time.h>
#include <unistd.h>

#include <atomic>

#include "tools/pl3ctl/exit_codes.h"

namespace pl3::cli {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Only lock-free atomics may be touched from a signal handler.
std::atomic<bool> stopRequested{false};
std::atomic<long long> firstSignalMs{0};
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<long long>::is_always_lock_free);

long long monotonicMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);  // async-signal-safe
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void onStopSignal(int) {
    long long now = monotonicMs();
    if (stopRequested.load() && now - firstSignalMs.load() < kSecondSignalWindowMs)
        ::_exit(kExitInterrupted);
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

StopSignals::StopSignals() {
    stopRequested = false;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        ::sigaction(kStopSignals[i], &action, &previous_[i]);
}

StopSignals::~StopSignals() {
    for (int i = 0; i < 3; ++i)
        ::sigaction(kStopSignals[i], &previous_[i], nullptr);
}

bool StopSignals::requested() {
    return stopRequested.load();
}

StopSignals::ThreadsIgnore::ThreadsIgnore() {
    sigset_t blocked = stopSignalSet();
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previous_);
}

StopSignals::ThreadsIgnore::~ThreadsIgnore() {
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace pl3::cli
