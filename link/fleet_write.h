#pragma once
// One codeplug written to several radios at once: a port and a radio session of its own
// for each radio, all looked at from the one thread that drives them. Each radio keeps
// its own tuning values (when asked), gets its own backup, verify and result; a radio
// that fails does not touch the others, and the document is not changed.

#include <cstddef>
#include <memory>
#include <vector>

#include "codeplug/backup_store.h"
#include "link/fleet_targets.h"
#include "link/radio_session.h"
#include "platform/prompter.h"
#include "platform/settings_file.h"

namespace pl3::link {

struct FleetOptions {
    bool verify = false;
    bool keepTuning = false;
    bool backups = true;
    // What each radio's session is started with.
    SessionOptions forPort(const PortPlan& plan) const {
        return {.plan = plan, .verify = verify, .keepTuning = keepTuning, .backups = backups};
    }
};

// How one radio's write ended.
enum class RadioEnd { Running, Written, WrittenAndVerified, Failed, Stopped };

RadioEnd radioEnd(const SessionLook& look, const SessionResult& result);

// How many radios ended each way.
struct FleetCount {
    int radios = 0;
    int verified = 0;  // written and verified
    int written = 0;   // written, not verified
    int failed = 0;
    int stopped = 0;
    // One more radio that ended so; a radio still running is not counted.
    void add(RadioEnd end);
    bool operator==(const FleetCount&) const = default;
};

class FleetWrite {
  public:
    FleetWrite(const SettingsFile& settings, backup::BackupStore& backups, Prompter& prompter,
               std::vector<FleetTarget> targets, FleetOptions options);

    // Starts every radio's write of image.
    void start(const Image& image);
    // Starts radio i again (a failed one).
    void retry(std::size_t i, const Image& image);
    // For the radios started from now on (a retry after the user changed an option).
    void setOptions(const FleetOptions& options) { options_ = options; }
    // Looks at every radio; true once all have ended.
    bool look();
    // Every radio finishes its block under way and ends (keep looking).
    void stopAfterBlock();

    std::size_t size() const { return radios_.size(); }
    const FleetTarget& target(std::size_t i) const { return radios_[i].target; }
    const SessionLook& lastLook(std::size_t i) const { return radios_[i].look; }
    const RadioSession& session(std::size_t i) const { return *radios_[i].session; }
    RadioEnd end(std::size_t i) const;
    FleetCount count() const;

  private:
    struct Radio {
        FleetTarget target;
        std::unique_ptr<SerialPort> port;
        std::unique_ptr<RadioSession> session;
        SessionLook look;
    };
    void startRadio(Radio& radio, const Image& image);

    backup::BackupStore& backups_;
    Prompter& prompter_;
    FleetOptions options_;
    std::vector<Radio> radios_;
};

}  // namespace pl3::link
