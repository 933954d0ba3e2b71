#pragma once
// The radios a write to several radios goes to: the ports the user named, or every port
// there is (the devices present and the stored port table's entries that exist), each
// device once however it was named.

#include <optional>
#include <string>
#include <vector>

#include "link/port_list.h"
#include "link/protocol.h"
#include "link/serial_port.h"
#include "platform/serial_device_list.h"

namespace pl3::link {

struct FleetTarget {
    std::string label;   // "COM3 (/dev/ttyUSB2)", or the path alone when no number names it
    PortPlan plan;       // never searched
    std::string device;  // the device once its links are followed; empty when none
    // The adapter's own description, when the system gives one.
    std::string description;
    bool operator==(const FleetTarget&) const = default;
};

// A port the user named: a number (1 ... 255) stands for its device, a device name (a path;
// on Windows also "COM12") for itself.
// nullopt for anything else.
std::optional<FleetTarget> namedTarget(const SerialPort& port, const std::string& name,
                                       const platform::DeviceRoots& roots = {});

// The serial devices present and the stored port table's entries whose device exists,
// in the port dialog's order.
std::vector<FleetTarget> everyTarget(const SerialPort& port,
                                     const std::vector<platform::PresentSerialDevice>& present,
                                     const platform::DeviceRoots& roots = {});

// The targets with each device once (the first name given wins); a port with no device
// stays once, to be reported as such.
std::vector<FleetTarget> withoutRepeats(std::vector<FleetTarget> targets);

}  // namespace pl3::link
