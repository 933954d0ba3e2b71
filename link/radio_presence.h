#pragma once
// Whether a radio is connected to a port: asked about once a second with a single
// wake-up, on a thread of its own, while nothing else uses the port. The production line
// writes a radio when it starts answering and waits for it to stop before the next.

#include <atomic>
#include <chrono>
#include <thread>

#include "link/cancel_token.h"
#include "link/protocol.h"
#include "link/serial_port.h"

namespace pl3::link {

inline constexpr int kPresenceIntervalMs = 1000;

class RadioPresence {
  public:
    using Clock = std::chrono::steady_clock;

    RadioPresence(const SettingsFile& settings, PortPlan plan);
    ~RadioPresence();
    RadioPresence(const RadioPresence&) = delete;
    RadioPresence& operator=(const RadioPresence&) = delete;

    // Starts asking; the port is the presence's own and closed between questions.
    void start();
    // Stops asking; returns once the port is closed.
    void stop();

    // When a radio last answered; the epoch when none has since start().
    Clock::time_point lastAnswer() const;
    // Questions in a row that got no answer (since start() or the last answer).
    int silentQuestions() const { return silent_.load(); }

  private:
    void run();

    SerialPort port_;
    PortPlan plan_;
    CancelToken cancel_;
    std::thread worker_;
    std::atomic<Clock::rep> lastAnswer_{0};
    std::atomic<int> silent_{0};
};

}  // namespace pl3::link
