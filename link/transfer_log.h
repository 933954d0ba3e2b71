#pragma once
// The conversation log for support: every frame sent to and received from the radio, one
// line each, with the time since the log began, the direction and the bytes in hex:
//
//   # pl3 conversation log, started 2026-12-07 21:35:12
//   +000000.412 -- open /dev/ttyUSB0 38400
//   +000101.532 TX 50 52 4F 47 52 41 4D
//   +000103.377 RX 06
//   +000640.201 -- time-out after 500 ms: 3 of 20 bytes
//
// The time is in milliseconds with three decimals; "--" marks an event of the line rather
// than bytes. The wire thread only formats a line into memory; a writer thread of the log
// puts it into the file, so logging never makes the wire wait for the disk.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace pl3::link {

enum class FrameDirection { Sent, Received };

// What the serial port tells the log; the port knows nothing more of it.
class FrameLog {
  public:
    virtual ~FrameLog() = default;
    virtual void frame(FrameDirection direction, std::span<const std::uint8_t> bytes) = 0;
    virtual void event(std::string_view text) = 0;
    // Ends the log: all of it is in its file when this returns. Why the file lacks part of
    // it (a full disk ...); empty when it holds everything. Once only.
    virtual std::string finish() = 0;
};

// The first line of every conversation log, before the date and time it began.
inline constexpr std::string_view kLogHeaderStart = "# pl3 conversation log, started ";

// "+000123.456 TX 52 00 00 10\n".
std::string logLine(std::chrono::microseconds sinceStart, FrameDirection direction,
                    std::span<const std::uint8_t> bytes);
std::string logEventLine(std::chrono::microseconds sinceStart, std::string_view text);

class TransferLog : public FrameLog {
  public:
    // Takes over an open file and starts the writer; the header goes first.
    TransferLog(std::FILE* file, std::string path, std::time_t started);
    // Finishes the log when that was not done.
    ~TransferLog() override;
    TransferLog(const TransferLog&) = delete;
    TransferLog& operator=(const TransferLog&) = delete;

    void frame(FrameDirection direction, std::span<const std::uint8_t> bytes) override;
    void event(std::string_view text) override;
    std::string finish() override;
    const std::string& path() const { return path_; }

  private:
    void append(std::string line);
    void writeOut();
    std::chrono::microseconds sinceStart() const;

    std::FILE* file_;
    std::string path_;
    std::chrono::steady_clock::time_point start_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;   // guarded by mutex_
    bool closing_ = false;  // guarded by mutex_
    // The first write that failed, and why; nothing is written after it. The writer's
    // until finish() has joined it.
    std::string failure_;
    std::thread writer_;
};

inline constexpr int kKeptTransferLogs = 20;

// Where the logs of transfers go: nowhere, a new file per transfer in a folder (the newest
// kKeptTransferLogs kept), or always the same file, rewritten by each transfer.
struct LogPlace {
    enum class Kind { Off, Folder, File };
    Kind kind = Kind::Off;
    std::string path;

    static LogPlace off() { return {}; }
    static LogPlace folder(std::string folder) { return {Kind::Folder, std::move(folder)}; }
    static LogPlace file(std::string file) { return {Kind::File, std::move(file)}; }
};

// What became of the log of the last transfer, for the messages that name it.
struct LogOutcome {
    LogPlace place;          // where it was to go
    std::string path;        // the file; empty when none could be made
    std::string incomplete;  // why the file lacks part of the conversation; empty: it is whole
};

// <user state folder>/pl3 (on Linux ~/.local/state/pl3, following XDG_STATE_HOME); empty
// when the platform names no such folder.
std::string defaultLogFolder();

// "transfer-20261207-213512.log"; a further log in the same second takes sequence 2, 3 ...:
// "transfer-20261207-213512-2.log".
std::string transferLogName(const std::tm& localTime, int sequence = 1);

// The transfer logs in the folder, newest first; other files are not counted.
std::vector<std::string> transferLogsNewestFirst(const std::string& folder);

// Opens the log of a new transfer, a file only its owner may read: in a folder (created
// when needed, also private), after which all but the newest kKeptTransferLogs go; or in
// the file named, which logFileProblem must allow. nullptr when the place is off or the
// file cannot be made.
std::unique_ptr<TransferLog> openTransferLog(const LogPlace& place,
                                             std::time_t now = std::time(nullptr));

}  // namespace pl3::link
