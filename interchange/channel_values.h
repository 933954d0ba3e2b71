#pragma once
// A programmed channel as the radio uses it, in the terms of a channel list: where it
// receives and transmits, with which tones, and its options. Talkaround transmits on
// the receive frequency with the receive tone (the channel page therefore offers no
// transmit side to edit), so a talkaround channel's transmit side is its receive side
// whatever the record's transmit bytes hold.

#include <cstdint>
#include <string>

#include "codeplug/image_fields.h"

namespace pl3::interchange {

struct ChannelValues {
    std::int32_t rx = 0;       // 10 Hz units
    std::int32_t tx = 0;       // where it transmits
    bool txInhibited = false;  // transmit inhibited, or no transmit frequency at all
    int rxTone = tone::kOff;   // tone codes 0 ... 258
    int txTone = tone::kOff;
    bool wide = true;
    bool highPower = true;
    bool scanned = false;  // member of the scan list
    std::string name;      // display characters

    bool operator==(const ChannelValues&) const = default;
};

// Channel n (1 ... 128), which must be programmed. Tones read as the channel page
// shows them.
ChannelValues readChannel(const ImageFields& fields, int n);

// The tone code the channel page shows for a stored tone field.
int shownToneCode(const ImageFields& fields, int n, Side side);

}  // namespace pl3::interchange
