#pragma once
// The five panes of the main window's status bar: port, maker, range label, range, radio
// version.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "lang/text_lookup.h"
#include "link/job_display.h"

namespace pl3 {

inline constexpr std::array<int, 5> kStatusPaneWidths = {100, 200, 100, 150, 330};
inline constexpr int kStatusBarMinHeight = 30;
// The port pane grows to show the device beside the number, up to this width; the
// version pane, whose text is short, gives up the room.
inline constexpr int kPortPaneMaxWidth = 330;
inline constexpr int kVersionPaneMinWidth = 100;

struct StatusPaneState {
    int comPort;
    std::optional<std::string> comDevice;  // what the port number stands for
    bool portOpen;
    std::int32_t lowerLimit;  // 10 Hz units
    std::int32_t upperLimit;
    std::string radioVersion;
};

// A leading tab asks for the text to be centred in its pane.
std::array<std::string, 5> statusPaneTexts(const StatusPaneState& state, const TextLookup& texts);
// "COM2  (/dev/ttyUSB1) : On": the device tells the user which adapter the number means,
// also while a search tries one number after the other.
std::string portPaneText(int comPort, const std::optional<std::string>& device, bool portOpen,
                         const TextLookup& texts);

// What a transfer that ended well did, where and when, for the line over the panes.
struct TransferReport {
    link::TransferDone done;
    std::optional<int> comPort;  // nullopt: the device was named by its path
    std::string device;
    int hour;
    int minute;
};

// "Written and verified on COM1 (/dev/ttyUSB0) at 10:09"
std::string transferDoneLine(const TransferReport& report, const TextLookup& texts);

}  // namespace pl3
