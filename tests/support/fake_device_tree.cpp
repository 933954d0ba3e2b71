#include "fake_device_tree.h"

#include <filesystem>
#include <fstream>

namespace pl3::test {

namespace {

namespace fs = std::filesystem;

void writeLine(const fs::path& file, const std::string& text) {
    if (!text.empty()) std::ofstream(file) << text << "\n";
}

}  // namespace

void FakeDeviceTree::addTty(const FakeTty& tty) const {
    const fs::path sys = dir_.file("sys");
    const fs::path classEntry = sys / "class/tty" / tty.name;
    fs::create_directories(classEntry);
    writeLine(classEntry / "type", tty.type);
    if (tty.hasDevice) {
        fs::path device = sys / "devices/platform" / tty.name;
        if (tty.levelsBelowUsbDevice > 0) {
            const fs::path usbDevice = sys / "devices/usb1" / ("1-" + tty.name);
            const fs::path usbInterface = usbDevice / "1-1:1.0";
            device = tty.levelsBelowUsbDevice == 1 ? usbInterface : usbInterface / tty.name;
            fs::create_directories(device);
            writeLine(usbDevice / "product", tty.product);
            writeLine(usbDevice / "manufacturer", tty.manufacturer);
            writeLine(usbInterface / "interface", tty.interfaceName);
        }
        fs::create_directories(device);  // a device with no USB device above it
        fs::create_symlink(fs::relative(device, classEntry), classEntry / "device");
    }
    if (tty.hasNode) {
        fs::create_directories(dir_.file("dev"));
        std::ofstream(dir_.file("dev/" + tty.name));
    }
}

void FakeDeviceTree::addStableName(const std::string& name, const std::string& target) const {
    const fs::path folder = dir_.file("dev/serial/by-id");
    fs::create_directories(folder);
    fs::create_symlink("../../" + target, folder / name);
}

}  // namespace pl3::test
