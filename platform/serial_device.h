#pragma once
// A serial device on POSIX termios: raw 8N1, exclusive use, non-blocking descriptor with
// every wait done by poll() against a deadline. close() may be called from another
// thread while a read or write is waiting: the waiter leaves at once and the descriptor
// is closed only after it has.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

namespace pl3::platform {

enum class SerialOpenError {
    None,
    NoSuchDevice,      // ENOENT, ENXIO, ENODEV
    Busy,              // another program has it (EBUSY, TIOCEXCL or flock)
    PermissionDenied,  // EACCES, EPERM; group names the device's group (usually dialout)
    NotASerialDevice,  // ENOTTY: the path is not a terminal
    Other,
};

struct SerialOpenFailure {
    SerialOpenError error = SerialOpenError::None;
    int errorNumber = 0;
    std::string group;  // for PermissionDenied: the group that owns the device
    bool operator==(const SerialOpenFailure&) const = default;
};

class SerialDevice {
  public:
    SerialDevice();
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Opens the device raw 8N1 at the baud rate with DTR and RTS raised and low-latency
    // mode requested. An open device is closed first.
    bool open(const std::string& path, int baud, SerialOpenFailure* failure = nullptr);

    // Replaces the baud rate; nothing when closed.
    void setBaud(int baud);

    // Writes all bytes, waiting for room as long as needed; returns the number written
    // (short when the device was closed or hung up meanwhile).
    int write(const std::uint8_t* data, int count);

    // Waits up to timeoutMs for count bytes; returns how many arrived (0 ... count).
    // Timeout 0 makes exactly one attempt.
    int read(std::uint8_t* buffer, int count, int timeoutMs);

    // Sleeps up to ms milliseconds; returns early (false) when the device is closed meanwhile.
    bool pause(int ms);

    // Safe from any thread, also while another thread is inside read or write.
    void close();

    bool isOpen() const;
    // True once the other end hung up (cable unplugged, device gone) until the next open.
    bool hungUp() const;
    const std::string& path() const { return path_; }

  private:
    struct Impl;
    Impl* impl_;
    std::string path_;
};

}  // namespace pl3::platform
