#include "link/port_list.h"

#include <algorithm>
#include <set>

#include "link/protocol.h"

namespace pl3 {

namespace {

using platform::PresentSerialDevice;

constexpr std::string_view kDash = "\u2014";

// What number n names, before and after following links.
struct NumberedPath {
    int portNumber;
    std::string path;
    std::string device;
};

}  // namespace

std::vector<PortEntry> listPorts(const SerialPort& port, int storedPort,
                                 const std::vector<PresentSerialDevice>& present,
                                 const platform::DeviceRoots& roots) {
    std::vector<NumberedPath> numbered;
    std::vector<int> freeNumbers;
    for (int n = 1; n <= link::kMaxPortNumber; ++n) {
        if (std::optional<std::string> path = port.devicePathFor(n))
            numbered.push_back({n, *path, platform::resolveDevicePath(*path, roots)});
        else
            freeNumbers.push_back(n);
    }
    auto presentDevice = [&present](const std::string& device) -> const PresentSerialDevice* {
        auto found = std::find_if(present.begin(), present.end(),
                                  [&](const PresentSerialDevice& d) { return d.path == device; });
        return found == present.end() ? nullptr : &*found;
    };

    std::vector<PortEntry> entries;
    auto numberedEntry = [&](int n) {
        PortEntry entry{n, port.devicePathFor(n), {}, true};
        auto named = std::find_if(numbered.begin(), numbered.end(),
                                  [n](const NumberedPath& p) { return p.portNumber == n; });
        if (named != numbered.end()) {
            if (const PresentSerialDevice* device = presentDevice(named->device))
                entry.description = device->description;
        }
        return entry;
    };
    for (int n = 1; n <= kPortButtonCount; ++n)
        entries.push_back(numberedEntry(n));
    for (const NumberedPath& p : numbered) {
        if (p.portNumber > kPortButtonCount &&
            (p.portNumber == storedPort || presentDevice(p.device)))
            entries.push_back(numberedEntry(p.portNumber));
    }
    if (storedPort > kPortButtonCount && storedPort <= link::kMaxPortNumber &&
        std::none_of(entries.begin(), entries.end(),
                     [storedPort](const PortEntry& e) { return e.portNumber == storedPort; }))
        entries.push_back(numberedEntry(storedPort));
    std::sort(entries.begin() + kPortButtonCount, entries.end(),
              [](const PortEntry& a, const PortEntry& b) { return a.portNumber < b.portNumber; });

    // Names no number reaches: a device no number resolves to, a stable name no number
    // spells out.
    auto nextFree = freeNumbers.begin();
    auto offerUnnumbered = [&](const std::string& path, const std::string& description) {
        if (nextFree == freeNumbers.end()) return;
        entries.push_back({*nextFree++, path, description, false});
    };
    for (const PresentSerialDevice& device : present) {
        if (std::none_of(numbered.begin(), numbered.end(),
                         [&](const NumberedPath& p) { return p.device == device.path; }))
            offerUnnumbered(device.path, device.description);
        for (const std::string& stable : device.stablePaths) {
            if (std::none_of(numbered.begin(), numbered.end(),
                             [&](const NumberedPath& p) { return p.path == stable; }))
                offerUnnumbered(stable, device.description);
        }
    }
    return entries;
}

std::optional<PortEntry> portEntryForDevice(const SerialPort& port, const std::string& path) {
    std::optional<int> free;
    for (int n = 1; n <= link::kMaxPortNumber; ++n) {
        std::optional<std::string> device = port.devicePathFor(n);
        if (device == path) return PortEntry{n, path, {}, true};
        if (!device && !free) free = n;
    }
    if (!free) return std::nullopt;
    return PortEntry{*free, path, {}, false};
}

std::string portEntryLabel(std::string_view caption, const PortEntry& entry) {
    const std::string device = entry.devicePath.value_or(std::string(kDash));
    if (!entry.mapped) {
        if (entry.description.empty()) return device;
        return device + "  (" + entry.description + ")";
    }
    std::string label = std::string(caption) + "  (" + device;
    if (!entry.description.empty()) label += " " + std::string(kDash) + " " + entry.description;
    return label + ")";
}

}  // namespace pl3
