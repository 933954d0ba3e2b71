#pragma once
// The conversation with the radio: find it (on the stored port or by searching), wake it
// into programming mode, check its identification, answer its challenge, and move the
// image in 16-byte blocks. Every job uses the same steps; how strict each step is comes
// from the job's profile.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "codeplug/image_layout.h"
#include "codeplug/wire_constants.h"
#include "link/cancel_token.h"
#include "link/open_problem.h"
#include "link/serial_port.h"

namespace pl3::link {

enum class JobKind {
    MainRead,
    MainWrite,
    TestDataRead,
    TestDataWrite,
    ServiceReadAll,
    ServiceWriteAll
};

// How strict each step is for a job.
struct JobProfile {
    int wakeTimeoutMs;
    int identificationBytesChecked;
    bool readsVersion;
    bool checksReplyHeader;  // a block reply must echo "R" and its address
    int ackTimeoutMs;        // for block and test-data writes
    // A block write not acknowledged with 0x06 ends the main write at once; the service
    // write-all still sends every block and reports the failure at the end.
    bool stopsAtUnacknowledgedWrite;
};

const JobProfile& profileOf(JobKind kind);

enum class Outcome {
    Ok,
    NoRadio,      // no acknowledgement of the wake-up on any port tried
    WrongRadio,   // identification short or wrong, or challenge refused
    ReadFailed,   // a block reply short (or, where checked, with a wrong header)
    WriteFailed,  // a block write not acknowledged
    Cancelled,
};

inline constexpr int kBlockSize = static_cast<int>(wire::kBlockSize);
inline constexpr int kBlockCount = static_cast<int>(kImageSize) / kBlockSize;
inline constexpr int kWakeAttempts = 10;
inline constexpr int kWritePauseMs = 1;
// Port numbers run from 1 to this; the search tries them all.
inline constexpr int kMaxPortNumber = 255;

// Where to look for the radio.
struct PortPlan {
    std::optional<int> portNumber;          // the stored port ("setup"/"com")
    std::optional<std::string> devicePath;  // a device named directly: never searched
    bool search = false;                    // then try ports 1 ... 255
    bool operator==(const PortPlan&) const = default;
};

// Percentage after block k (0 ... 255): the last block gives exactly 100.
constexpr int blockProgress(int k) {
    return ((k + 1) * 1600) / 4096;
}

class Conversation {
  public:
    Conversation(SerialPort& port, JobKind kind, CancelToken& cancel);

    // Connect: the planned port first, then (when searching) port numbers 1 ... 255,
    // each with up to ten wake attempts. onSearching(n) is told each candidate port the
    // search opens. Ok when a radio acknowledged the wake-up.
    Outcome connect(const PortPlan& plan, const std::function<void(int port)>& onSearching = {});

    // One wake-up on the planned port (opened when it is not open yet), nothing more:
    // whether a radio is there to be written. Never searches.
    bool answersWakeUp(const PortPlan& plan);

    // Identification and challenge. A radio found by the search has its port number
    // stored as "setup"/"com"; a failure to store it does not fail the handshake.
    Outcome handshake();

    // "r": the version text "%d.%d", or nullopt when the radio does not answer.
    std::optional<std::string> readVersion();

    // One 16-byte block at address (a multiple of 16).
    Outcome readBlock(int address, std::uint8_t* data);
    Outcome writeBlock(int address, const std::uint8_t* data);
    // "t": the 16 tuning bytes at 0x08E0.
    Outcome writeTestData(const std::uint8_t* data);

    // All 256 blocks, reporting the block just done.
    Outcome readImage(Image& image, const std::function<void(int block)>& onBlock = {});
    Outcome writeImage(const Image& image, const std::function<void(int block)>& onBlock = {});

    // The port number the search found, -1 when the radio answered on the planned port.
    int foundPort() const { return foundPort_; }
    // The port the search found could not be stored in the settings file.
    bool foundPortNotStored() const { return foundPortNotStored_; }
    // Why the planned port could not be opened, else the first port of the search that
    // exists but could not be used; nullopt when nothing worth telling failed.
    const std::optional<PortOpenProblem>& openProblem() const { return openProblem_; }
    // Some port was open during connect (the radio may have been asked and kept silent).
    bool portOpened() const { return portOpened_; }

  private:
    bool wake();
    void noteOpenFailure(bool planned);

    SerialPort& port_;
    const JobProfile& profile_;
    CancelToken& cancel_;
    int foundPort_ = -1;
    bool foundPortNotStored_ = false;
    std::optional<PortOpenProblem> openProblem_;
    bool portOpened_ = false;
};

}  // namespace pl3::link
