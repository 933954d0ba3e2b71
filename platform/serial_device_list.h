#pragma once
// The serial devices present on this machine, as the kernel lists them under
// /sys/class/tty, with the description a USB adapter gives of itself and the stable
// names udev made for it under /dev/serial/by-id. On Windows: the COM ports of
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM with the descriptions of their devices.
// And the port numbers the settings keep, with the devices they stand for by default.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pl3::platform {

// The device port number n stands for when "ports" of setting.ini does not say: Linux:
// 1 ... 16 /dev/ttyUSB0 ... 15, 17 ... 32 /dev/ttyACM0 ... 15, 33 ... 64 /dev/ttyS0 ... 31;
// Windows: 1 ... 255 COM1 ... COM255. nullopt for numbers with no device.
std::optional<std::string> defaultDeviceForPort(int portNumber);

// Whether a port given on the command line names a device rather than a port number:
// Linux: a path ("/dev/ttyUSB0", "./radio"); Windows: also a COM name ("COM12",
// "\\.\COM12").
bool namesDevice(std::string_view port);

// Where sysfs and the device nodes are looked for (Linux only); tests point both at a
// made-up tree.
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
// the device folder. Windows: the COM name ("\\.\com12" → "COM12").
std::string resolveDevicePath(const std::string& path, const DeviceRoots& roots = {});

// What a path names once its links are followed: nothing, a character device (what a
// serial port is), or something else (a file, a folder, a block device).
enum class PathKind { Missing, CharacterDevice, Other };
PathKind pathKind(const std::string& path);

}  // namespace pl3::platform
