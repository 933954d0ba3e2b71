#pragma once
// What is said of each radio of a write to several radios, and of all of them: the result
// phrase the dialog shows in a radio's row, the line pl3ctl prints when a radio ends, and
// the summary at the end.

#include <string>

#include "lang/text_lookup.h"
#include "link/fleet_write.h"
#include "link/job_display.h"

namespace pl3::link {

// "written and verified", "the write failed", "the radio differs at 0x08AF: Channel 80 ·
// RX Freq", ...
std::string radioResult(RadioEnd end, const SessionResult& result, const PlaceNamer& placeOf,
                        const TextLookup& texts);

// "COM3 (/dev/ttyUSB2): written and verified, 256 of 256 blocks, the radio's tuning kept,
// backup /…/x.PL-3"
std::string radioLine(const std::string& label, RadioEnd end, const SessionResult& result,
                      const PlaceNamer& placeOf, const TextLookup& texts);

// "8 radios: 7 written and verified, 1 failed"
std::string fleetSummary(const FleetCount& count, const TextLookup& texts);

}  // namespace pl3::link
