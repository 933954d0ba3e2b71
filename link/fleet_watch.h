#pragma once
// The production line: every watched port is asked about once a second whether a radio
// is there; a radio that answers is written at once. After its write the port is not
// written again until that radio has stopped answering for two seconds (it was taken
// away), so one radio is never written twice and the next one on the same cable is.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "link/fleet_write.h"
#include "link/radio_presence.h"

namespace pl3::link {

inline constexpr auto kTakenAwayAfter = std::chrono::seconds(2);

class FleetWatch {
  public:
    FleetWatch(const SettingsFile& settings, backup::BackupStore& backups, Prompter& prompter,
               const Image& image, FleetOptions options);
    ~FleetWatch();

    // Watches one more port; false when its device is watched already.
    bool watch(const FleetTarget& target);
    std::size_t ports() const { return slots_.size(); }

    // Starts writes where a radio answers and notices radios taken away; onEnded(slot) is
    // told each write that ended at this look.
    void look(const std::function<void(std::size_t slot)>& onEnded);
    // Writes under way finish their block and end; no new one starts (keep looking until
    // writing() is false).
    void stop();
    bool writing() const;

    // What a watched port is doing: waiting for a radio, writing one, or waiting for the
    // radio written to be taken away.
    enum class State { Watching, Writing, WaitingForRemoval };
    State state(std::size_t slot) const { return slots_[slot]->state; }

    const FleetTarget& target(std::size_t slot) const { return slots_[slot]->target; }
    const RadioSession& session(std::size_t slot) const { return slots_[slot]->session; }
    const SessionLook& lastLook(std::size_t slot) const { return slots_[slot]->look; }
    RadioEnd end(std::size_t slot) const;
    // Every radio written (or failed) so far.
    const FleetCount& count() const { return count_; }

  private:
    struct Slot {
        FleetTarget target;
        SerialPort port;
        RadioSession session;
        RadioPresence presence;
        State state = State::Watching;
        RadioPresence::Clock::time_point since;  // of the state
        SessionLook look;
        Slot(const FleetTarget& target, const SettingsFile& settings, backup::BackupStore& backups,
             Prompter& prompter);
    };
    void lookAt(Slot& slot, std::size_t index,
                const std::function<void(std::size_t slot)>& onEnded);

    SettingsFile settings_;
    backup::BackupStore& backups_;
    Prompter& prompter_;
    Image image_;
    FleetOptions options_;
    bool stopping_ = false;
    std::vector<std::unique_ptr<Slot>> slots_;
    FleetCount count_;
};

}  // namespace pl3::link
