#include "platform/stop_signals.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>

namespace pl3::platform {

namespace {

std::atomic<bool> stopRequested{false};
std::atomic<unsigned long long> firstStopMs{0};
std::atomic<int> immediateExit{0};

// Runs on a thread of its own that the system starts for each console event.
BOOL WINAPI onConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
            break;
        default:
            return FALSE;  // log-off and shut-down: the system's default
    }
    const unsigned long long now = ::GetTickCount64();
    if (stopRequested.load() && now - firstStopMs.load() < kSecondSignalWindowMs)
        std::_Exit(immediateExit.load());
    firstStopMs.store(now);
    stopRequested.store(true);
    // The system ends the process as soon as this returns from a closed console (and
    // after a few seconds anyway): hold it here so the block under way is finished and
    // the program ends by itself.
    if (event == CTRL_CLOSE_EVENT) ::Sleep(INFINITE);
    return TRUE;
}

}  // namespace

struct StopSignals::Saved {};
struct StopSignals::ThreadsIgnore::Saved {};

StopSignals::StopSignals(int immediateExitStatus) {
    stopRequested = false;
    immediateExit = immediateExitStatus;
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignals::~StopSignals() {
    ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
}

bool StopSignals::requested() {
    return stopRequested.load();
}

// Console events come on a thread of their own: the workers need not keep away from them.
StopSignals::ThreadsIgnore::ThreadsIgnore() = default;
StopSignals::ThreadsIgnore::~ThreadsIgnore() = default;

}  // namespace pl3::platform
