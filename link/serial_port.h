#pragma once
// The application's one serial port: opens a port by number (or a device path) at the
// fixed line settings, writes with a pause before the data, reads with a time-out.
// It knows nothing of the radio's protocol. Every byte it moves can go to a conversation
// log, so that every job is logged the same way.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "codeplug/wire_constants.h"
#include "link/transfer_log.h"
#include "platform/serial_device.h"
#include "platform/settings_file.h"

namespace pl3 {

inline constexpr int kRadioBaud = wire::kBaud;

// The device a port number stands for: "ports"/"%d" of setting.ini, else the platform's
// default table (platform::defaultDeviceForPort, unless "ports"/"defaults" is 0); nullopt
// for numbers with no device.
std::optional<std::string> devicePathForPort(const SettingsFile& settings, int portNumber);

class SerialPort {
  public:
    explicit SerialPort(SettingsFile settings) : settings_(std::move(settings)) {}
    virtual ~SerialPort();

    // Opens port number n (through devicePathForPort). An open port is closed first.
    bool open(int portNumber, int baud);
    // Port n means this device until the program ends (the demonstration radio); nothing
    // is written to setting.ini.
    void mapPortForThisRun(int portNumber, std::string path);
    std::optional<std::string> devicePathFor(int portNumber) const;

    // Opens a device path directly (pl3ctl --port /dev/..., tests).
    bool openDevice(const std::string& path, int baud);

    void setBaud(int baud);

    // Sleeps pauseMs, then writes; byte by byte: the pause before every byte, stopping at
    // the first byte not written. Returns the number of bytes written.
    int write(const std::uint8_t* data, int count, int pauseMs, bool byteByByte);
    int writeByte(std::uint8_t value, int pauseMs);

    // count when complete, else what arrived before the time-out. At least one attempt.
    int read(std::uint8_t* buffer, int count, int timeoutMs);
    // The byte 0 ... 255, or -1 on time-out; time-out 0 makes exactly one attempt.
    int readByte(int timeoutMs);

    // Safe while another thread reads or writes: that call returns at once.
    void close();
    bool isOpen() const;

    // Why the last open failed, and which device it tried.
    const platform::SerialOpenFailure& lastOpenFailure() const { return lastFailure_; }
    const std::string& lastDevicePath() const { return lastPath_; }
    // The number the last device was opened by; nullopt when opened by its path.
    std::optional<int> lastPortNumber() const { return lastNumber_; }
    bool hungUp() const { return device_.hungUp(); }

    const SettingsFile& settings() const { return settings_; }

    // Where the logs of the next transfers go; off unless set. Not while a job runs.
    void setLogPlace(link::LogPlace place) { logPlace_ = std::move(place); }
    const link::LogPlace& logPlace() const { return logPlace_; }
    // A job calls these on its own thread around its conversation: startLog opens the
    // transfer's log (nothing when the place is off; a file that cannot be made leaves the
    // transfer unlogged, and logPath() empty), finishLog puts all of it into the file before
    // the job tells its outcome.
    void startLog();
    void finishLog();
    // The log of the last transfer; empty when it was not logged.
    std::string logPath() const;
    // The same, with where it was to go and whether it holds the whole conversation.
    link::LogOutcome logOutcome() const;

  private:
    void logSent(const std::uint8_t* data, int count);
    void logReceived(const std::uint8_t* data, int count, int wanted, int timeoutMs);

    SettingsFile settings_;
    platform::SerialDevice device_;
    platform::SerialOpenFailure lastFailure_;
    std::string lastPath_;
    std::optional<int> lastNumber_;
    std::map<int, std::string> runMappings_;
    link::LogPlace logPlace_;
    std::unique_ptr<link::FrameLog> log_;  // used by the thread of the job under way
    mutable std::mutex logPathMutex_;
    std::string logPath_;        // guarded by logPathMutex_
    std::string logIncomplete_;  // guarded by logPathMutex_
};

}  // namespace pl3
