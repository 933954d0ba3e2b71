#include "platform/serial_device_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include <sys/stat.h>

namespace pl3::platform {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDevPrefix = "/dev/";
constexpr const char* kStableFolder = "serial/by-id";
// The sysfs type of a serial-core port with no UART behind it.
constexpr std::string_view kNoUart = "0";
// A USB serial port sits below its interface, which sits below the USB device that
// names itself: two levels up reach the device and no further (that would be a hub).
constexpr int kDescriptionLevels = 3;

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    return line;
}

// The adapter's own words: its product name, else its interface's or maker's name.
std::string usbDescription(const fs::path& deviceLink) {
    std::error_code error;
    fs::path folder = fs::canonical(deviceLink, error);
    if (error) return {};
    std::string interfaceName;
    std::string maker;
    for (int level = 0; level < kDescriptionLevels && !folder.empty(); ++level) {
        if (std::string product = firstLine(folder / "product"); !product.empty()) return product;
        if (interfaceName.empty()) interfaceName = firstLine(folder / "interface");
        if (maker.empty()) maker = firstLine(folder / "manufacturer");
        folder = folder.parent_path();
    }
    return interfaceName.empty() ? maker : interfaceName;
}

// ttyS2 before ttyS10: the name's stem, then its number.
bool namedBefore(const PresentSerialDevice& a, const PresentSerialDevice& b) {
    auto split = [](const std::string& path) {
        std::size_t digits = path.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(path[digits - 1])))
            --digits;
        return std::pair(path.substr(0, digits), path.size() - digits);
    };
    auto [stemA, lengthA] = split(a.path);
    auto [stemB, lengthB] = split(b.path);
    if (stemA != stemB) return stemA < stemB;
    if (lengthA != lengthB) return lengthA < lengthB;
    return a.path < b.path;
}

// The entries of a folder, sorted; none when it cannot be read. A folder that fails
// half-way gives what was read so far rather than an exception.
std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error))
        names.push_back(entry->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct PortRange {
    int first;
    int last;
    const char* prefix;
};

// USB adapters first: that is what programming cables are today.
constexpr PortRange kDefaultPorts[] = {
    {1, 16, "/dev/ttyUSB"},
    {17, 32, "/dev/ttyACM"},
    {33, 64, "/dev/ttyS"},
};

}  // namespace

std::optional<std::string> defaultDeviceForPort(int portNumber) {
    for (const PortRange& range : kDefaultPorts) {
        if (portNumber >= range.first && portNumber <= range.last) {
            return range.prefix + std::to_string(portNumber - range.first);
        }
    }
    return std::nullopt;
}

bool namesDevice(std::string_view port) {
    return port.find('/') != std::string_view::npos;
}

std::string resolveDevicePath(const std::string& path, const DeviceRoots& roots) {
    if (!path.starts_with(kDevPrefix)) return path;
    std::error_code error;
    const fs::path root = fs::canonical(roots.dev, error);
    if (error) return path;
    const fs::path target = fs::weakly_canonical(root / path.substr(kDevPrefix.size()), error);
    if (error) return path;
    const fs::path inside = target.lexically_relative(root);
    if (inside.empty() || *inside.begin() == "..") return path;
    return std::string(kDevPrefix) + inside.generic_string();
}

std::vector<PresentSerialDevice> listSerialDevices(const DeviceRoots& roots) {
    std::vector<PresentSerialDevice> devices;
    std::error_code error;
    const fs::path ttyClass = fs::path(roots.sys) / "class/tty";
    for (const std::string& name : namesIn(ttyClass)) {
        const fs::path entry = ttyClass / name;
        // Consoles and pseudo-terminals have no device behind them.
        if (!fs::exists(entry / "device", error)) continue;
        if (!fs::exists(fs::path(roots.dev) / name, error)) continue;
        if (firstLine(entry / "type") == kNoUart) continue;
        devices.push_back({std::string(kDevPrefix) + name, usbDescription(entry / "device"), {}});
    }
    std::sort(devices.begin(), devices.end(), namedBefore);

    for (const std::string& name : namesIn(fs::path(roots.dev) / kStableFolder)) {
        const std::string stablePath = std::string(kDevPrefix) + kStableFolder + "/" + name;
        const std::string device = resolveDevicePath(stablePath, roots);
        auto named = std::find_if(devices.begin(), devices.end(),
                                  [&](const PresentSerialDevice& d) { return d.path == device; });
        if (named != devices.end()) named->stablePaths.push_back(stablePath);
    }
    return devices;
}

PathKind pathKind(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return PathKind::Missing;
    return S_ISCHR(info.st_mode) ? PathKind::CharacterDevice : PathKind::Other;
}

}  // namespace pl3::platform
