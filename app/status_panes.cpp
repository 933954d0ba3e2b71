#include "app/status_panes.h"

#include "codeplug/frequency.h"
#include "codeplug/text_keys.h"

namespace pl3 {

std::string portPaneText(int comPort, bool portOpen, const TextLookup& texts) {
    return "\tCOM" + std::to_string(comPort) + " : " +
           texts.text(portOpen ? text_key::kOn : text_key::kOff);
}

std::array<std::string, 5> statusPaneTexts(const StatusPaneState& state, const TextLookup& texts) {
    auto mhz = [](std::int32_t limit) { return std::to_string(limit / frequency::kUnitsPerMhz); };
    return {portPaneText(state.comPort, state.portOpen, texts), texts.text(text_key::kCompanyName),
            texts.text(text_key::kFreqRange),
            "\t" + mhz(state.lowerLimit) + "MHz - " + mhz(state.upperLimit) + "MHz",
            texts.text(text_key::kFileVersion) + " " + state.radioVersion};
}

}  // namespace pl3
