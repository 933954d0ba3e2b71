#include "app/comm_port_choice.h"

#include <algorithm>

#include "codeplug/text_keys.h"

namespace pl3 {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kDeviceFolder = "/dev/";

std::optional<int> storeEntry(const PortEntry& chosen, SerialPort& port,
                              const SettingsFile& settings, SettingsWriteWarning& warning,
                              Prompter& prompter) {
    port.close();
    if (!chosen.mapped &&
        !warning.check(settings.setPortDevice(chosen.portNumber, *chosen.devicePath), prompter,
                       settings.path()))
        return std::nullopt;
    if (!warning.check(settings.setComPort(chosen.portNumber), prompter, settings.path()))
        return std::nullopt;
    return chosen.portNumber;
}

}  // namespace

CommPortChoice::CommPortChoice(int storedPort, int searchFlag,
                               const std::vector<PortEntry>& entries, const PortProbe& probe)
    : storedPort_(storedPort), searchTicked_(searchFlag != 0) {
    for (const PortEntry& entry : entries)
        rows_.push_back({entry, entry.mapped && entry.portNumber == storedPort, probe(entry)});
}

bool CommPortChoice::noDevice() const {
    return std::all_of(rows_.begin(), rows_.end(), [](const PortRow& row) {
        return row.problem && row.problem->failure.error == platform::SerialOpenError::NoSuchDevice;
    });
}

std::optional<PortEntry> CommPortChoice::commit(const PortTicks& ticks) const {
    for (std::size_t i = 0; i < rows_.size() && i < ticks.size(); ++i) {
        if (!ticks[i]) continue;
        if (rows_[i].ticked) return std::nullopt;
        return rows_[i].entry;
    }
    return std::nullopt;
}

std::string portButtonCaption(int portNumber) {
    return "COM" + std::to_string(portNumber);
}

CommPortChoice probeCommPorts(SerialPort& port, const SettingsFile& settings,
                              const std::vector<platform::PresentSerialDevice>& present,
                              const platform::DeviceRoots& roots) {
    int stored = settings.comPort();
    if (port.isOpen()) port.close();
    return CommPortChoice(
        stored, settings.portSearchFlag(), listPorts(port, stored, present, roots),
        [&port](const PortEntry& entry) -> std::optional<link::PortOpenProblem> {
            bool opened = entry.mapped ? port.open(entry.portNumber, kRadioBaud)
                                       : port.openDevice(*entry.devicePath, kRadioBaud);
            if (!opened)
                return link::PortOpenProblem{port.lastOpenFailure(), port.lastDevicePath()};
            port.close();
            return std::nullopt;
        });
}

std::optional<int> storeCommPort(const CommPortChoice& choice, const PortTicks& ticks,
                                 SerialPort& port, const SettingsFile& settings,
                                 SettingsWriteWarning& warning, Prompter& prompter) {
    std::optional<PortEntry> chosen = choice.commit(ticks);
    if (!chosen) return std::nullopt;
    return storeEntry(*chosen, port, settings, warning, prompter);
}

OtherDevice checkOtherDevice(std::string_view typed, const SerialPort& port) {
    const std::size_t first = typed.find_first_not_of(kBlanks);
    typed = first == std::string_view::npos
                ? std::string_view()
                : typed.substr(first, typed.find_last_not_of(kBlanks) - first + 1);
    OtherDevice device;
    if (typed.empty()) {
        device.refusalKey = text_key::kPortOtherEmpty;
        return device;
    }
    // Device names are usually typed without their folder: ttyUSB0.
    device.path =
        typed.front() == '/' ? std::string(typed) : std::string(kDeviceFolder) + std::string(typed);
    switch (platform::pathKind(device.path)) {
        case platform::PathKind::Missing:
            device.refusalKey = text_key::kPortMissing;
            return device;
        case platform::PathKind::Other:
            device.refusalKey = text_key::kPortOtherNotDevice;
            return device;
        case platform::PathKind::CharacterDevice:
            break;
    }
    device.entry = portEntryForDevice(port, device.path);
    if (!device.entry) device.refusalKey = text_key::kPortOtherNoNumber;
    return device;
}

std::string otherDeviceRefusal(const OtherDevice& device, const TextLookup& texts) {
    if (device.refusalKey.empty()) return {};
    return withTexts(texts.text(device.refusalKey), {device.path});
}

std::optional<int> storeOtherDevice(const CommPortChoice& choice, const OtherDevice& device,
                                    SerialPort& port, const SettingsFile& settings,
                                    SettingsWriteWarning& warning, Prompter& prompter) {
    if (!device.entry || (device.entry->mapped && device.entry->portNumber == choice.storedPort()))
        return std::nullopt;
    return storeEntry(*device.entry, port, settings, warning, prompter);
}

}  // namespace pl3
