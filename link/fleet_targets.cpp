#include "link/fleet_targets.h"

#include <algorithm>
#include <charconv>
#include <set>

namespace pl3::link {

namespace {

std::string numberedLabel(int number, const std::optional<std::string>& path) {
    return "COM" + std::to_string(number) + " (" + path.value_or("\u2014") + ")";
}

// Built field by field: brace lists of optional strings upset GCC 12's warnings.
FleetTarget byNumber(int number, const std::optional<std::string>& path, std::string device) {
    FleetTarget target;
    target.label = numberedLabel(number, path);
    target.plan.portNumber = number;
    target.device = std::move(device);
    return target;
}

FleetTarget byPath(const std::string& path, std::string device) {
    FleetTarget target;
    target.label = path;
    target.plan.devicePath = path;
    target.device = std::move(device);
    return target;
}

std::string deviceOf(const std::optional<std::string>& path, const platform::DeviceRoots& roots) {
    if (!path || platform::pathKind(*path) == platform::PathKind::Missing) return {};
    return platform::resolveDevicePath(*path, roots);
}

}  // namespace

std::optional<FleetTarget> namedTarget(const SerialPort& port, const std::string& name,
                                       const platform::DeviceRoots& roots) {
    if (platform::namesDevice(name)) return byPath(name, deviceOf(name, roots));
    int number = 0;
    auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (error != std::errc() || end != name.data() + name.size() || number < 1 ||
        number > kMaxPortNumber)
        return std::nullopt;
    const std::optional<std::string> path = port.devicePathFor(number);
    return byNumber(number, path, deviceOf(path, roots));
}

std::vector<FleetTarget> everyTarget(const SerialPort& port,
                                     const std::vector<platform::PresentSerialDevice>& present,
                                     const platform::DeviceRoots& roots) {
    std::vector<FleetTarget> targets;
    for (const PortEntry& entry : listPorts(port, 0, present, roots)) {
        const std::string device = deviceOf(entry.devicePath, roots);
        if (device.empty()) continue;
        targets.push_back(entry.mapped ? byNumber(entry.portNumber, entry.devicePath, device)
                                       : byPath(*entry.devicePath, device));
        targets.back().description = entry.description;
    }
    // Stored entries the system does not list (a pseudo-terminal, a device past sysfs).
    for (int n = 1; n <= kMaxPortNumber; ++n) {
        const std::optional<std::string> stored = port.settings().portDevice(n);
        const std::string device = deviceOf(stored, roots);
        if (!device.empty()) targets.push_back(byNumber(n, stored, device));
    }
    return withoutRepeats(std::move(targets));
}

std::vector<FleetTarget> withoutRepeats(std::vector<FleetTarget> targets) {
    std::set<std::string> seen;
    std::vector<FleetTarget> kept;
    for (FleetTarget& target : targets) {
        const std::string key = target.device.empty() ? "#" + target.label : target.device;
        if (!seen.insert(key).second) continue;
        kept.push_back(std::move(target));
    }
    return kept;
}

}  // namespace pl3::link
