#pragma once
// The serial devices present on this machine, as the kernel lists them under
// /sys/class/tty, with the description a USB adapter gives of itself and the stable
// names udev made for it under /dev/serial/by-id.

#include <string>
#include <vector>

namespace pl3::platform {

// Where sysfs and the device nodes are looked for; tests point both at a made-up tree.
// Paths handed out always name /dev, whatever the root, so they compare with the
// port-number table.
struct DeviceRoots {
    std::string sys = "/sys";
    std::string dev = "/dev";
};

struct PresentSerialDevice {
    std::string path;                      // "/dev/ttyUSB1"
    std::string description;               // "FT232R USB UART"; empty when none is known
    std::vector<std::string> stablePaths;  // "/dev/serial/by-id/..." names of this device
    bool operator==(const PresentSerialDevice&) const = default;
};

// Every terminal backed by hardware whose device node exists, ttyS2 before ttyS10.
// Legacy UART slots with no UART behind them (type 0) are left out: every PC has 32.
std::vector<PresentSerialDevice> listSerialDevices(const DeviceRoots& roots = {});

// The device a /dev path stands for once its links are followed
// (/dev/serial/by-id/usb-x → /dev/ttyUSB1); the path itself when it is no link into
// the device folder.
std::string resolveDevicePath(const std::string& path, const DeviceRoots& roots = {});

// What a path names once its links are followed: nothing, a character device (what a
// serial port is), or something else (a file, a folder, a block device).
enum class PathKind { Missing, CharacterDevice, Other };
PathKind pathKind(const std::string& path);

}  // namespace pl3::platform
