#pragma once
// What the communication-port dialog decides: which of the port buttons COM1 ... COM8
// are ticked and usable, and which port number OK stores as "com".

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "lang/settings_warnings.h"
#include "link/serial_port.h"
#include "platform/prompter.h"
#include "platform/settings_file.h"

namespace pl3 {

inline constexpr int kPortButtonCount = 8;

struct PortButtonState {
    bool ticked = false;
    bool enabled = false;

    bool operator==(const PortButtonState&) const = default;
};

// Ticks of the port buttons as the user left them, COM1 first.
using PortTicks = std::array<bool, kPortButtonCount>;

class CommPortChoice {
  public:
    // Tries to open port n, and closes it again when that worked.
    using PortProbe = std::function<bool(int portNumber)>;

    // Probes ports 1 ... 8 once each, in order. A port that does not open gets a disabled
    // button; the stored port's button stays ticked even then, so the user still sees
    // which port is set. searchFlag is "searchcom" read as an integer.
    CommPortChoice(int storedPort, int searchFlag, const PortProbe& probe);

    int storedPort() const { return storedPort_; }
    bool searchTicked() const { return searchTicked_; }
    // Button of port n, 1 ... 8.
    const PortButtonState& button(int portNumber) const { return buttons_.at(portNumber - 1); }
    const std::array<PortButtonState, kPortButtonCount>& buttons() const { return buttons_; }

    // The port to store: the first ticked button's number when it differs from the stored
    // port; nullopt when nothing is ticked or the port is unchanged.
    std::optional<int> commit(const PortTicks& ticks) const;

  private:
    int storedPort_;
    bool searchTicked_;
    std::array<PortButtonState, kPortButtonCount> buttons_{};
};

// The built-in caption of port n's button: "COM1".
std::string portButtonCaption(int portNumber);

// caption followed by the device the port number stands for, so the user can tell which
// adapter is which: "COM1  (/dev/ttyUSB0)", or "COM3  (—)" when it stands for none.
std::string withPortDevice(std::string_view caption, const std::optional<std::string>& device);

// Opening the dialog: reads "com" and "searchcom", closes the application's port (it
// would keep its own device busy) and probes each port through it at the radio's baud
// rate.
CommPortChoice probeCommPorts(SerialPort& port, const SettingsFile& settings);

// OK: when the port changes, closes the application's port, which is open on the old
// device, and stores the new number. Returns the number stored, or nullopt when "com"
// was left as it was; a failed write is told through warning.
std::optional<int> storeCommPort(const CommPortChoice& choice, const PortTicks& ticks,
                                 SerialPort& port, const SettingsFile& settings,
                                 SettingsWriteWarning& warning, Prompter& prompter);

}  // namespace pl3
