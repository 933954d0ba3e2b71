#pragma once
// Ctrl+C (SIGINT), SIGTERM and SIGHUP while a radio job runs: the first asks the job to
// stop after the block under way, so the user can be told where the radio stands; a second
// within kSecondSignalWindowMs ends the program at once with kExitInterrupted.

#include <csignal>

namespace pl3::cli {

inline constexpr int kSecondSignalWindowMs = 2000;

class StopSignals {
  public:
    // Installs the handlers; the destructor restores the previous ones.
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // A stop signal has arrived since construction.
    static bool requested();

    // Threads started while this lives leave the signals to the thread that polls.
    class ThreadsIgnore {
      public:
        ThreadsIgnore();
        ~ThreadsIgnore();
        ThreadsIgnore(const ThreadsIgnore&) = delete;
        ThreadsIgnore& operator=(const ThreadsIgnore&) = delete;

      private:
        sigset_t previous_{};
    };

  private:
    struct sigaction previous_[3]{};
};

}  // namespace pl3::cli
