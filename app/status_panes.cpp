#include "app/status_panes.h"

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

}  // namespace pl3
