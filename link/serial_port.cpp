#include "link/serial_port.h"

#include <cerrno>

#include "platform/serial_device_list.h"

namespace pl3 {

std::optional<std::string> devicePathForPort(const SettingsFile& settings, int portNumber) {
    if (std::optional<std::string> configured = settings.portDevice(portNumber)) {
        return configured;
    }
    if (!settings.portDefaultsEnabled()) return std::nullopt;
    return platform::defaultDeviceForPort(portNumber);
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
        lastNumber_.reset();
        lastFailure_ = {platform::SerialOpenError::NoSuchDevice, ENODEV, {}};
        return false;
    }
    const bool opened = openDevice(*path, baud);
    lastNumber_ = portNumber;
    return opened;
}

bool SerialPort::openDevice(const std::string& path, int baud) {
    lastPath_ = path;
    lastNumber_.reset();
    // SerialDevice::open closes the device it had open before.
    const bool opened = device_.open(path, baud, &lastFailure_);
    if (log_) log_->event((opened ? "open " : "cannot open ") + path + " " + std::to_string(baud));
    return opened;
}

void SerialPort::setBaud(int baud) {
    device_.setBaud(baud);
}

int SerialPort::write(const std::uint8_t* data, int count, int pauseMs, bool byteByByte) {
    if (count <= 0) return 0;
    int written = 0;
    if (!byteByByte) {
        if (device_.pause(pauseMs)) written = device_.write(data, count);
    } else {
        while (written < count) {
            if (!device_.pause(pauseMs)) break;
            if (device_.write(data + written, 1) != 1) break;
            ++written;
        }
    }
    if (log_) {
        logSent(data, written);
        if (written < count)
            log_->event("written " + std::to_string(written) + " of " + std::to_string(count) +
                        " bytes");
    }
    return written;
}

int SerialPort::writeByte(std::uint8_t value, int pauseMs) {
    return write(&value, 1, pauseMs, false);
}

int SerialPort::read(std::uint8_t* buffer, int count, int timeoutMs) {
    const int got = device_.read(buffer, count, timeoutMs);
    if (log_) logReceived(buffer, got, count, timeoutMs);
    return got;
}

int SerialPort::readByte(int timeoutMs) {
    std::uint8_t value = 0;
    return read(&value, 1, timeoutMs) == 1 ? value : -1;
}

void SerialPort::startLog() {
    std::unique_ptr<link::TransferLog> log = link::openTransferLog(logPlace_);
    {
        std::lock_guard lock(logPathMutex_);
        logPath_ = log ? log->path() : std::string();
        logIncomplete_.clear();
    }
    log_ = std::move(log);
}

void SerialPort::finishLog() {
    if (!log_) return;
    std::string incomplete = log_->finish();
    log_.reset();
    std::lock_guard lock(logPathMutex_);
    logIncomplete_ = std::move(incomplete);
}

std::string SerialPort::logPath() const {
    std::lock_guard lock(logPathMutex_);
    return logPath_;
}

link::LogOutcome SerialPort::logOutcome() const {
    std::lock_guard lock(logPathMutex_);
    return {logPlace_, logPath_, logIncomplete_};
}

void SerialPort::logSent(const std::uint8_t* data, int count) {
    if (count > 0)
        log_->frame(link::FrameDirection::Sent, std::span(data, static_cast<std::size_t>(count)));
}

void SerialPort::logReceived(const std::uint8_t* data, int count, int wanted, int timeoutMs) {
    if (count > 0)
        log_->frame(link::FrameDirection::Received,
                    std::span(data, static_cast<std::size_t>(count)));
    // A look at the line with no wait (draining stale input) that finds nothing is no event.
    if (count >= wanted || timeoutMs == 0) return;
    // A port closed from another thread (a cancel) ends the wait too: not a time-out.
    const std::string why = device_.hungUp() ? "hang-up: "
                            : !device_.isOpen()
                                ? "port closed: "
                                : "time-out after " + std::to_string(timeoutMs) + " ms: ";
    log_->event(why + std::to_string(count) + " of " + std::to_string(wanted) + " bytes");
}

void SerialPort::close() {
    device_.close();
}

bool SerialPort::isOpen() const {
    return device_.isOpen();
}

}  // namespace pl3
