#pragma once
// The user's stop while a command-line program works: Ctrl+C, SIGTERM and SIGHUP on Linux;
// Ctrl+C, Ctrl+Break and closing the console window on Windows. The first asks the work
// under way to stop at its next safe point (requested()); a second within
// kSecondSignalWindowMs ends the program at once with the status given.

#include <memory>

namespace pl3::platform {

inline constexpr int kSecondSignalWindowMs = 2000;

class StopSignals {
  public:
    // Installs the handlers; the destructor restores the previous ones.
    explicit StopSignals(int immediateExitStatus);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // A stop has arrived since construction.
    static bool requested();

    // Threads started while this lives leave the stops to the thread that polls.
    class ThreadsIgnore {
      public:
        ThreadsIgnore();
        ~ThreadsIgnore();
        ThreadsIgnore(const ThreadsIgnore&) = delete;
        ThreadsIgnore& operator=(const ThreadsIgnore&) = delete;

      private:
        struct Saved;
        std::unique_ptr<Saved> saved_;
    };

  private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

}  // namespace pl3::platform
