#pragma once
// How a channel may change, by value: which fields the user may change, and what a
// change brings with it (the range clamp and channel raster of a frequency, the reset of
// a channel that loses its receive frequency, a new channel's transmit frequency, the
// talkaround rule, ShiftDir and the kind bits of an unused tone). The channel page's
// table, the tone picker, import, paste and pl3ctl set all change channels through these
// operations. They read and write the image only, so they need no texts and no prompter.

#include <cstdint>
#include <optional>

#include "codeplug/channel_fields.h"
#include "codeplug/document.h"
#include "codeplug/image_layout.h"
#include "codeplug/text_codes.h"
#include "codeplug/tone_tables.h"

namespace pl3 {

class ChannelRules {
  public:
    // The document is the caller's and must outlive the rules.
    explicit ChannelRules(CMaItemDoc& doc) : doc_(doc) {}

    // Whether the user may change the field of channel n (1 ... 128) as the image is now.
    bool canEdit(int n, ChannelField field) const;

    // Each change refuses a field the user may not change (false, image unchanged). An
    // accepted change brings the derived bits of the record up to date and, when the
    // image changed, ends an edit step of the document.

    // A frequency in 10 Hz units, clamped to the range limits and rounded to the channel
    // raster; nullopt empties the field (and, on the receive side, the whole channel).
    bool setFrequency(int n, Side side, std::optional<std::int64_t> value);
    // A tone by its code (0 ... 258, tone::kOff).
    bool setTone(int n, Side side, int code);
    // A tone field as the picker leaves it, index byte and kind bits as they are.
    bool setToneField(int n, Side side, tone::Field field);
    // One of the on/off options that has a column (not BeatShift).
    bool setFlag(int n, ChannelFlag flag, bool on);
    bool setName(int n, const text_codes::DisplayBytes& name);

    // The page's clear button, with channel s: channel s as a new channel starts.
    // Channels 1 ... 77 have fixed frequencies and are left alone (false).
    bool clearChannel(int s);

    // ShiftDir from the two frequencies, and the "off" kind of an unused tone.
    void updateDerivedBits(int n);

    // An unused tone (an index past the tone tables) carries the "off" kind, so the radio
    // ignores whatever index is left; the other kind bits stay as they are.
    static tone::Field withUnusedToneOff(tone::Field field);

  private:
    void updateToneKind(int n, Side side);
    void finishEdit(const Image& before);

    CMaItemDoc& doc_;
};

}  // namespace pl3
