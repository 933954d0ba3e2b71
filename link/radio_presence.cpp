#include "link/radio_presence.h"

namespace pl3::link {

RadioPresence::RadioPresence(const SettingsFile& settings, PortPlan plan)
    : port_(settings), plan_(std::move(plan)) {}

RadioPresence::~RadioPresence() {
    stop();
}

void RadioPresence::start() {
    stop();
    cancel_.reset();
    lastAnswer_ = 0;
    silent_ = 0;
    worker_ = std::thread([this] { run(); });
}

void RadioPresence::stop() {
    cancel_.cancel();
    port_.close();
    if (worker_.joinable()) worker_.join();
    port_.close();
}

RadioPresence::Clock::time_point RadioPresence::lastAnswer() const {
    return Clock::time_point(Clock::duration(lastAnswer_.load()));
}

void RadioPresence::run() {
    port_.setBaud(kRadioBaud);
    while (!cancel_.isCancelled()) {
        Conversation conversation(port_, JobKind::MainWrite, cancel_);
        if (conversation.answersWakeUp(plan_)) {
            lastAnswer_ = Clock::now().time_since_epoch().count();
            silent_ = 0;
        } else if (!cancel_.isCancelled()) {
            ++silent_;
        }
        // Closed between questions: a cable pulled and plugged in again is opened anew.
        port_.close();
        cancel_.sleepFor(kPresenceIntervalMs);
    }
}

}  // namespace pl3::link
