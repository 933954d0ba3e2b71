#pragma once
// What the dialog "Write to several radios" decides, without widgets: the radios it offers,
// named as the port dialog names them; one run of writes to the radios chosen, all at once
// or as a production line that writes each radio as it is connected; and what each
// radio's row, the count line, Retry and closing show and allow. The document only gives
// the image: every radio's session works on a copy of its own.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "codeplug/backup_store.h"
#include "lang/text_lookup.h"
#include "link/fleet_watch.h"
#include "link/fleet_write.h"
#include "link/job_display.h"
#include "platform/serial_device_list.h"

namespace pl3::link {

// A radio the dialog offers: its port, and the name the port dialog gives it
// ("COM2  (/dev/ttyUSB1 — FT232R USB UART)").
struct FleetChoice {
    FleetTarget target;
    std::string name{};
};

// The devices present and the stored ports whose device exists, each device once.
std::vector<FleetChoice> fleetChoices(const SerialPort& port,
                                      const std::vector<platform::PresentSerialDevice>& present,
                                      const platform::DeviceRoots& roots = {});

// How a radio's row looks: its mark says it in a shape and a colour, its text in words.
enum class RowMark { Idle, Waiting, Writing, Written, Failed, Stopped };

struct FleetRow {
    RowMark mark = RowMark::Idle;
    int bar = 0;         // 0 ... kBarRange
    std::string text{};  // what the write is doing, or how it ended
    // Where a radio that failed or was stopped stands, in lines; empty for the others.
    std::string standing{};
    bool retry = false;  // Retry starts this radio's write again
};

class FleetRun {
  public:
    enum class Phase { Ready, Writing, Stopping, Ended };

    FleetRun(const SettingsFile& settings, backup::BackupStore& backups, Prompter& prompter,
             const TextLookup& texts, PlaceNamer placeOf);

    // Writes image to the radios chosen (a row each, in order); watch: the production line,
    // which writes each radio as it answers until stopped. Ends any run before.
    void start(std::vector<FleetTarget> chosen, const Image& image, const FleetOptions& options,
               bool watch);
    // Looks at every radio (every 20 ms).
    void look();
    // Every write under way finishes its block and ends; no new one starts.
    void stop();
    // Writes the radio of a row whose row offers Retry again, with options.
    void retry(std::size_t row, const FleetOptions& options);

    Phase phase() const { return phase_; }
    bool watching() const { return watch_ != nullptr; }
    // A radio is being written: closing asks first, and stops after the block.
    bool writing() const;
    std::size_t rows() const { return rows_; }
    FleetRow row(std::size_t i) const;
    // The running count of the production line, "stopping", the summary at the end.
    std::string countLine() const;

  private:
    FleetRow endedRow(RadioEnd end, const RadioSession& session) const;
    FleetRow runningRow(const SessionLook& look) const;
    FleetCount count() const;

    SettingsFile settings_;
    backup::BackupStore& backups_;
    Prompter& prompter_;
    const TextLookup& texts_;
    PlaceNamer placeOf_;
    Image image_{};
    std::size_t rows_ = 0;
    Phase phase_ = Phase::Ready;
    std::unique_ptr<FleetWrite> fleet_;
    std::unique_ptr<FleetWatch> watch_;
};

}  // namespace pl3::link
