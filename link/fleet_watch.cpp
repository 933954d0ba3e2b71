#include "link/fleet_watch.h"

#include <algorithm>

namespace pl3::link {

FleetWatch::Slot::Slot(const FleetTarget& watched, const SettingsFile& settings,
                       backup::BackupStore& backups, Prompter& prompter)
    : target(watched),
      port(settings),
      session(port, Direction::Write, backups, prompter),
      presence(settings, watched.plan),
      since(RadioPresence::Clock::now()) {}

FleetWatch::FleetWatch(const SettingsFile& settings, backup::BackupStore& backups,
                       Prompter& prompter, const Image& image, FleetOptions options)
    : settings_(settings),
      backups_(backups),
      prompter_(prompter),
      image_(image),
      options_(options) {}

FleetWatch::~FleetWatch() {
    for (auto& slot : slots_) {
        slot->presence.stop();
        slot->session.cancel();
    }
}

bool FleetWatch::watch(const FleetTarget& target) {
    const bool watched = std::any_of(slots_.begin(), slots_.end(), [&](const auto& slot) {
        return slot->target.label == target.label ||
               (!target.device.empty() && slot->target.device == target.device);
    });
    if (watched) return false;
    slots_.push_back(std::make_unique<Slot>(target, settings_, backups_, prompter_));
    if (!stopping_) slots_.back()->presence.start();
    return true;
}

void FleetWatch::look(const std::function<void(std::size_t slot)>& onEnded) {
    for (std::size_t i = 0; i < slots_.size(); ++i)
        lookAt(*slots_[i], i, onEnded);
}

void FleetWatch::lookAt(Slot& slot, std::size_t index,
                        const std::function<void(std::size_t slot)>& onEnded) {
    const auto now = RadioPresence::Clock::now();
    switch (slot.state) {
        case State::Watching:
            // A radio answered since the port was last free of one: write it.
            if (stopping_ || slot.presence.lastAnswer() <= slot.since) return;
            slot.presence.stop();
            slot.look = {};
            slot.session.start(image_, options_.forPort(slot.target.plan));
            slot.state = State::Writing;
            return;
        case State::Writing:
            slot.look = slot.session.look();
            if (!slot.look.ended) return;
            count_.add(end(index));
            onEnded(index);
            // Failed or not, this radio is not written again until it has been taken away.
            slot.state = State::WaitingForRemoval;
            slot.since = now;
            if (!stopping_) slot.presence.start();
            return;
        case State::WaitingForRemoval: {
            // One answer lost on the line is not a radio taken away.
            const auto heard = std::max(slot.presence.lastAnswer(), slot.since);
            if (now - heard < kTakenAwayAfter || slot.presence.silentQuestions() < 2) return;
            slot.state = State::Watching;
            slot.since = now;
            return;
        }
    }
}

void FleetWatch::stop() {
    stopping_ = true;
    for (auto& slot : slots_) {
        slot->presence.stop();
        if (slot->state == State::Writing) slot->session.stopAfterBlock();
    }
}

bool FleetWatch::writing() const {
    return std::any_of(slots_.begin(), slots_.end(),
                       [](const auto& slot) { return slot->state == State::Writing; });
}

RadioEnd FleetWatch::end(std::size_t slot) const {
    return radioEnd(slots_[slot]->look, slots_[slot]->session.result());
}

}  // namespace pl3::link
