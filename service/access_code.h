#pragma once
// Who may do what in the service mode: the access code decides it by exact comparison of
// the whole text, so a code that is merely begun, cut short or padded unlocks nothing.

#include <string_view>

#include "codeplug/document.h"

namespace pl3::service {

enum class AccessLevel {
    None,
    Partial,  // tuning values are read, written and shown, but not edited by hand
    Full,
};

inline constexpr std::string_view kFullAccessCode = "kq2018";
inline constexpr std::string_view kPartialAccessCode = "kq18";

AccessLevel accessLevelOf(std::string_view code);

// A change of the access-code box: the document remembers the text for the rest of the
// run. True when the text unlocks the tuning commands (either level).
bool enterAccessCode(CMaItemDoc& doc, std::string_view typed);

// The manual adjust mode box shows the ManualTune flag, and a click writes it at once. It
// is not an edit of the codeplug (the document is not marked modified); the flag reaches
// the radio with the next write of the image.
bool manualTuning(const CMaItemDoc& doc);
void setManualTuning(CMaItemDoc& doc, bool on);

}  // namespace pl3::service
