#pragma once
// The radio's own tuning values (the 16 bytes at 0x08E0) are set per radio in service
// mode. A write that keeps them puts the radio's bytes into the image it sends instead of
// the file's, and the document then takes them too.

#include <array>
#include <cstdint>

#include "codeplug/document.h"
#include "codeplug/image_layout.h"

namespace pl3 {

using TuningBlock = std::array<std::uint8_t, layout::kTestDataSize>;

TuningBlock tuningBlockOf(const Image& image);
void putTuningBlock(Image& image, const TuningBlock& tuning);

// A block with no tuning values in it: all 0xFF (never set, or erased) or all 0x00.
bool holdsNoTuning(const TuningBlock& tuning);

enum class TuningTaken {
    Same,            // the document already held the radio's values
    Taken,           // the document took them
    RadioHoldsNone,  // the radio's block is blank: the document keeps its own values
};

// The document takes the radio's tuning values as one undo step and is marked modified,
// when they differ from its own. A blank block is never taken: the document's values stay
// ready for a write that puts them into the radio.
TuningTaken takeRadioTuning(CMaItemDoc& doc, const TuningBlock& radio);

}  // namespace pl3
