#pragma once
// A simulated radio on a pseudo-terminal, and a program folder whose setting.ini maps
// port number 1 to it (and no other port numbers to any device, so a port search never
// touches the machine's real serial ports).

#include <memory>
#include <string>

#include "link/serial_port.h"
#include "settings_fixture.h"
#include "sim/radio_simulator.h"

namespace pl3::test {

// Faults set by a change: faultsWhere([](sim::Faults& f) { f.neverWake = true; }).
template <class Change>
sim::Faults faultsWhere(Change change) {
    sim::Faults faults;
    change(faults);
    return faults;
}

inline sim::Options optionsWith(const sim::Faults& faults) {
    sim::Options options;
    options.faults = faults;
    return options;
}

class SimulatedRadio {
  public:
    explicit SimulatedRadio(sim::Options options = {}, bool search = false, int storedPort = 1);

    sim::RadioSimulator& radio() { return *radio_; }
    const std::string& devicePath() const { return radio_->devicePath(); }
    ProgramFolder& folder() { return folder_; }
    SettingsFile settings() const { return folder_.settings(); }
    // Maps port number n to a device path in setting.ini.
    void mapPort(int n, const std::string& path);

  private:
    std::unique_ptr<sim::RadioSimulator> radio_;
    ProgramFolder folder_;
};

}  // namespace pl3::test
