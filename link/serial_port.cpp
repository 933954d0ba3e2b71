#include "link/serial_port.h"

#include <cerrno>

namespace pl3 {

namespace {

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

std::optional<std::string> devicePathForPort(const SettingsFile& settings, int portNumber) {
    if (std::optional<std::string> configured = settings.portDevice(portNumber)) {
        return configured;
    }
    if (!settings.portDefaultsEnabled()) return std::nullopt;
    for (const PortRange& range : kDefaultPorts) {
        if (portNumber >= range.first && portNumber <= range.last) {
            return range.prefix + std::to_string(portNumber - range.first);
        }
    }
    return std::nullopt;
}

SerialPort::~SerialPort() {
    close();
}

void SerialPort::mapPortForThisRun(int portNumber, std::string path) {
    runMappings_[portNumber] = std::move(path);
}

std::optional<std::string> SerialPort::devicePathFor(int portNumber) const {
    if (auto mapped = runMappings_.find(portNumber); mapped != runMappings_.end())
        return mapped->second;
    return devicePathForPort(settings_, portNumber);
}

bool SerialPort::open(int portNumber, int baud) {
    std::optional<std::string> path = devicePathFor(portNumber);
    if (!path) {
        device_.close();
        lastPath_.clear();
        lastFailure_ = {platform::SerialOpenError::NoSuchDevice, ENODEV, {}};
        return false;
    }
    return openDevice(*path, baud);
}

bool SerialPort::openDevice(const std::string& path, int baud) {
    lastPath_ = path;
    // SerialDevice::open closes the device it had open before.
    return device_.open(path, baud, &lastFailure_);
}

void SerialPort::setBaud(int baud) {
    device_.setBaud(baud);
}

int SerialPort::write(const std::uint8_t* data, int count, int pauseMs, bool byteByByte) {
    if (count <= 0) return 0;
    if (!byteByByte) {
        if (!device_.pause(pauseMs)) return 0;
        return device_.write(data, count);
    }
    int written = 0;
    while (written < count) {
        if (!device_.pause(pauseMs)) break;
        if (device_.write(data + written, 1) != 1) break;
        ++written;
    }
    return written;
}

int SerialPort::writeByte(std::uint8_t value, int pauseMs) {
    return write(&value, 1, pauseMs, false);
}

int SerialPort::read(std::uint8_t* buffer, int count, int timeoutMs) {
    return device_.read(buffer, count, timeoutMs);
}

int SerialPort::readByte(int timeoutMs) {
    std::uint8_t value = 0;
    return device_.read(&value, 1, timeoutMs) == 1 ? value : -1;
}

void SerialPort::close() {
    device_.close();
}

bool SerialPort::isOpen() const {
    return device_.isOpen();
}

}  // namespace pl3
