#pragma once
// The ports the communication-port dialog offers: the numbered buttons COM1 ... COM8,
// then the devices present that higher numbers reach, then devices present under names
// no number reaches yet (a stable /dev/serial/by-id/... name, an adapter past the default
// table). Those get the next free number, stored in the "ports" table when chosen.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/serial_port.h"
#include "platform/serial_device_list.h"

namespace pl3 {

inline constexpr int kPortButtonCount = 8;

struct PortEntry {
    int portNumber = 0;
    std::optional<std::string> devicePath;  // what the number stands for; nullopt: nothing
    std::string description;                // the adapter's own description, when known
    // False when no number names the device yet: choosing it stores devicePath as
    // "ports"/portNumber first.
    bool mapped = true;
    bool operator==(const PortEntry&) const = default;
};

// Ports 1 ... 8 always; the stored port when it lies above 8; the higher numbers whose
// device is present; then the present names no number reaches, each with a free number.
std::vector<PortEntry> listPorts(const SerialPort& port, int storedPort,
                                 const std::vector<platform::PresentSerialDevice>& present,
                                 const platform::DeviceRoots& roots = {});

// A device path the user gave: the number that stands for it already, else the first
// number that stands for nothing, to be stored in the "ports" table (mapped false);
// nullopt when every number is taken.
std::optional<PortEntry> portEntryForDevice(const SerialPort& port, const std::string& path);

// "COM2  (/dev/ttyUSB1 — FT232R USB UART)", "COM3  (—)" for a number with no device; a
// device without a number yet shows its path and description alone.
std::string portEntryLabel(std::string_view caption, const PortEntry& entry);

}  // namespace pl3
