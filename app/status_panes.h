#pragma once
// The five panes of the main window's status bar: port, maker, range label, range, radio
// version.

#include <array>
#include <cstdint>
#include <string>

#include "lang/text_lookup.h"

namespace pl3 {

inline constexpr std::array<int, 5> kStatusPaneWidths = {100, 200, 100, 150, 330};
inline constexpr int kStatusBarMinHeight = 30;

struct StatusPaneState {
    int comPort;
    bool portOpen;
    std::int32_t lowerLimit;  // 10 Hz units
    std::int32_t upperLimit;
    std::string radioVersion;
};

// A leading tab asks for the text to be centred in its pane.
std::array<std::string, 5> statusPaneTexts(const StatusPaneState& state, const TextLookup& texts);
std::string portPaneText(int comPort, bool portOpen, const TextLookup& texts);

}  // namespace pl3
