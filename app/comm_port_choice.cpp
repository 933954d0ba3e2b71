#include "app/comm_port_choice.h"

namespace pl3 {

CommPortChoice::CommPortChoice(int storedPort, int searchFlag, const PortProbe& probe)
    : storedPort_(storedPort), searchTicked_(searchFlag != 0) {
    for (int n = 1; n <= kPortButtonCount; ++n) {
        PortButtonState& state = buttons_[n - 1];
        state.ticked = n == storedPort;
        state.enabled = probe(n);
    }
}

std::optional<int> CommPortChoice::commit(const PortTicks& ticks) const {
    for (int n = 1; n <= kPortButtonCount; ++n) {
        if (!ticks[n - 1]) continue;
        if (n == storedPort_) return std::nullopt;
        return n;
    }
    return std::nullopt;
}

std::string portButtonCaption(int portNumber) {
    return "COM" + std::to_string(portNumber);
}

std::string withPortDevice(std::string_view caption, const std::optional<std::string>& device) {
    return std::string(caption) + "  (" + device.value_or("\u2014") + ")";
}

CommPortChoice probeCommPorts(SerialPort& port, const SettingsFile& settings) {
    int stored = settings.comPort();
    if (port.isOpen()) port.close();
    return CommPortChoice(stored, settings.portSearchFlag(), [&port](int n) {
        if (!port.open(n, kRadioBaud)) return false;
        port.close();
        return true;
    });
}

std::optional<int> storeCommPort(const CommPortChoice& choice, const PortTicks& ticks,
                                 SerialPort& port, const SettingsFile& settings,
                                 SettingsWriteWarning& warning, Prompter& prompter) {
    std::optional<int> chosen = choice.commit(ticks);
    if (!chosen) return std::nullopt;
    port.close();
    if (!warning.check(settings.setComPort(*chosen), prompter, settings.path()))
        return std::nullopt;
    return chosen;
}

}  // namespace pl3
