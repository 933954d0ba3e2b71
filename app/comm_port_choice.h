#pragma once
// What the communication-port dialog decides: which port rows (COM1 ... COM8, then the
// devices present further up) are ticked and usable, why a port cannot be used, and
// what OK stores.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lang/settings_warnings.h"
#include "lang/text_lookup.h"
#include "link/open_problem.h"
#include "link/port_list.h"
#include "link/serial_port.h"
#include "platform/prompter.h"
#include "platform/serial_device_list.h"
#include "platform/settings_file.h"

namespace pl3 {

struct PortRow {
    PortEntry entry;
    bool ticked = false;
    std::optional<link::PortOpenProblem> problem;  // why the port does not open

    bool enabled() const { return !problem; }
    bool operator==(const PortRow&) const = default;
};

// Ticks of the rows as the user left them, in row order.
using PortTicks = std::vector<bool>;

// A device the list does not offer, typed or chosen under "Other device…".
struct OtherDevice {
    std::string path;                // as it is stored: blanks trimmed, a bare name in /dev
    std::optional<PortEntry> entry;  // the port OK stores; nullopt when refused
    std::string_view refusalKey;     // why it is refused ("%s" marks the path); empty if not

    bool operator==(const OtherDevice&) const = default;
};

class CommPortChoice {
  public:
    // Tries to open the entry's port and closes it again; nullopt when it opened.
    using PortProbe = std::function<std::optional<link::PortOpenProblem>(const PortEntry&)>;

    // Probes each entry once, in order. A port that does not open gets a disabled row;
    // the stored port's row stays ticked even then, so the user still sees which port
    // is set. searchFlag is "searchcom" read as an integer.
    CommPortChoice(int storedPort, int searchFlag, const std::vector<PortEntry>& entries,
                   const PortProbe& probe);

    int storedPort() const { return storedPort_; }
    bool searchTicked() const { return searchTicked_; }
    const std::vector<PortRow>& rows() const { return rows_; }
    // No listed port has a device at all: the dialog then says how to add one.
    bool noDevice() const;

    // The port to store: the first ticked row when it differs from the stored port;
    // nullopt when nothing is ticked or the port is unchanged.
    std::optional<PortEntry> commit(const PortTicks& ticks) const;

  private:
    int storedPort_;
    bool searchTicked_;
    std::vector<PortRow> rows_;
};

// Checks what the user typed: it must name a character device (a serial port is one).
// The device gets the number that stands for it already, else the first free number.
OtherDevice checkOtherDevice(std::string_view typed, const SerialPort& port);
// Why the device is refused, in the user's language; empty when it is not.
std::string otherDeviceRefusal(const OtherDevice& device, const TextLookup& texts);

// The built-in caption of port n's button: "COM1".
std::string portButtonCaption(int portNumber);

// Opening the dialog: reads "com" and "searchcom", closes the application's port (it
// would keep its own device busy), lists the ports with the devices present and probes
// each through the port at the radio's baud rate.
CommPortChoice probeCommPorts(SerialPort& port, const SettingsFile& settings,
                              const std::vector<platform::PresentSerialDevice>& present,
                              const platform::DeviceRoots& roots = {});

// OK: when the port changes, closes the application's port, which is open on the old
// device, stores a device no number named yet in the "ports" table, and stores the new
// number. Returns the number stored, or nullopt when "com" was left as it was; a failed
// write is told through warning.
std::optional<int> storeCommPort(const CommPortChoice& choice, const PortTicks& ticks,
                                 SerialPort& port, const SettingsFile& settings,
                                 SettingsWriteWarning& warning, Prompter& prompter);
// OK with "Other device…" ticked: stores an accepted device as storeCommPort stores a
// listed one; nothing when it is refused or is the stored port already.
std::optional<int> storeOtherDevice(const CommPortChoice& choice, const OtherDevice& device,
                                    SerialPort& port, const SettingsFile& settings,
                                    SettingsWriteWarning& warning, Prompter& prompter);

}  // namespace pl3
