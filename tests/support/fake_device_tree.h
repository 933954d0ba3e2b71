#pragma once
// A made-up /sys and /dev in a temporary folder: terminals as the kernel lists them,
// USB adapters with the words they describe themselves with, and udev's stable names.

#include <string>

#include "platform/serial_device_list.h"
#include "temp_dir.h"

namespace pl3::test {

struct FakeTty {
    std::string name{};  // "ttyUSB1"
    // How far the terminal's device folder lies below the USB device (2: a USB serial
    // port below its interface, 1: a CDC ACM interface); 0: no USB device above it.
    int levelsBelowUsbDevice = 0;
    std::string product{};
    std::string manufacturer{};
    std::string interfaceName{};
    std::string type{};     // the serial-core "type" file; empty: no such file
    bool hasDevice = true;  // false: a virtual console or a pseudo-terminal
    bool hasNode = true;    // /dev/<name> exists
};

class FakeDeviceTree {
  public:
    void addTty(const FakeTty& tty) const;
    // /dev/serial/by-id/<name> → ../../<target>
    void addStableName(const std::string& name, const std::string& target) const;
    platform::DeviceRoots roots() const { return {dir_.file("sys"), dir_.file("dev")}; }

  private:
    TempDir dir_;
};

}  // namespace pl3::test
