#pragma once
// What the progress display does on each 20 ms look at a running job: the texts, the
// bar, when the job has ended, when to show an error, when to take the image read.
// The radio session and, through it, the dialog and pl3ctl carry these actions out.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "lang/text_lookup.h"
#include "link/transfer_job.h"
#include "link/transfer_log.h"
#include "platform/prompter.h"

namespace pl3::link {

inline constexpr int kBarRange = 1024;

// A text key followed by a suffix (" 45%", search dots).
struct StatusLine {
    std::string_view key;
    std::string suffix;
    bool operator==(const StatusLine&) const = default;
};

// What a transfer that ended well did: the main window's status line says so.
enum class TransferDone { Read, Written, WrittenAndVerified };

struct TickActions {
    std::optional<int> portPane;  // show this port number while the search runs
    bool refreshStatusBar = false;
    std::optional<StatusLine> statusLine;
    std::optional<int> barPosition;  // 0 ... kBarRange
    bool stopTimer = false;
    bool closePort = false;
    std::optional<std::string_view> errorKey;  // message box: caption "IDS_ERROR", stop icon
    bool takeImage = false;  // a read completed: the working image becomes the document's
    // Every block was written: the radio's tuning values the write kept become the
    // document's.
    bool takeRadioTuning = false;
    bool allowRetry = false;  // a transfer failed: the dialog stays open, Retry starts again
    // No radio answered: say why the port could not be opened, when that is known.
    bool tellOpenProblem = false;
    // A verify found a difference: name the channel or setting at this address.
    std::optional<int> mismatchAddress;
    bool end = false;  // the job is over: keep its version text, close the dialog
    std::optional<TransferDone> done;
    // The job is over and the port its search found was not stored: the settings file
    // cannot be written (said once per run).
    bool settingsNotWritten = false;
};

// The title and first status line of the dialog for a direction.
std::string_view titleKey(Direction direction);
std::string_view promptKey(Direction direction);

TickActions tickActions(const JobSnapshot& job, Direction direction);

// Names the channel or setting at an image address in the pages' words ("Channel 80 · RX
// Freq"), or nothing; given by the layers that know those words.
using PlaceNamer = std::function<std::string(int address)>;

// What follows the address of a verify difference: ": Channel 80 · RX Freq", or nothing
// when no place is named.
std::string mismatchPlace(int address, const PlaceNamer& placeOf, const TextLookup& texts);

// The message for no radio. When no port opened at all the radio was never asked, and the
// message says only why the port could not be opened; otherwise the radio kept silent, and
// why a port of the search could not be opened follows.
PromptMessage noRadioMessage(const std::optional<PortOpenProblem>& problem, bool portOpened,
                             const TextLookup& texts);

// What a failure message ends with when logging is on: the log's caption and its path, for
// the user to attach to a report, that the log is incomplete and why, or that no log could
// be written there; nothing when logging is off.
std::string logFileDetail(const LogOutcome& log, const TextLookup& texts);

// At the end of a transfer whose messages carry no logFileDetail: a log that lacks part of
// the conversation is said to be incomplete, why, and which file it is.
void tellIfLogIncomplete(const LogOutcome& log, Prompter& prompter);

}  // namespace pl3::link
