#include "app/status_panes.h"

#include <cstdio>

#include "codeplug/frequency.h"
#include "codeplug/text_keys.h"
#include "link/port_list.h"

namespace pl3 {

std::string portPaneText(int comPort, const std::optional<std::string>& device, bool portOpen,
                         const TextLookup& texts) {
    const PortEntry entry{comPort, device, {}, true};
    return "\t" + portEntryLabel("COM" + std::to_string(comPort), entry) + " : " +
           texts.text(portOpen ? text_key::kOn : text_key::kOff);
}

std::array<std::string, 5> statusPaneTexts(const StatusPaneState& state, const TextLookup& texts) {
    auto mhz = [](std::int32_t limit) { return std::to_string(limit / frequency::kUnitsPerMhz); };
    return {portPaneText(state.comPort, state.comDevice, state.portOpen, texts),
            texts.text(text_key::kCompanyName), texts.text(text_key::kFreqRange),
            "\t" + mhz(state.lowerLimit) + "MHz - " + mhz(state.upperLimit) + "MHz",
            texts.text(text_key::kFileVersion) + " " + state.radioVersion};
}

std::string transferDoneLine(const TransferReport& report, const TextLookup& texts) {
    std::string_view key = text_key::kDoneRead;
    if (report.done == link::TransferDone::Written) key = text_key::kDoneWritten;
    if (report.done == link::TransferDone::WrittenAndVerified) key = text_key::kDoneVerified;
    const std::string port =
        report.comPort ? "COM" + std::to_string(*report.comPort) + " (" + report.device + ")"
                       : report.device;
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", report.hour, report.minute);
    return withTexts(texts.text(key), {port, time});
}

}  // namespace pl3
