#pragma once
// How a channel may change, by value: which fields the user may change, and what a
// change brings with it (the range clamp and channel raster of a frequency, the reset of
// a channel that loses its receive frequency, a new channel's transmit frequency, the
// talkaround rule, ShiftDir and the kind bits of an unused tone). The channel page's
// table, the tone picker, import, paste and pl3ctl set all change channels through these
// operations. They work on an edit target (the image's fields, the range limits and the
// sink told of each user edit), so they need no document, no texts and no prompter.

#include <cstdint>
#include <optional>

#include "codeplug/channel_fields.h"
#include "codeplug/edit_target.h"
#include "codeplug/image_layout.h"
#include "codeplug/text_codes.h"
#include "codeplug/tone_tables.h"

namespace pl3 {

class ChannelRules {
  public:
    // What the target refers to is the caller's and must outlive the rules.
    explicit ChannelRules(EditTarget target)
        : fields_(target.fields), limits_(target.limits), sink_(target.sink) {}

    const ImageFields& fields() const { return fields_; }

    // Whether the user may change the field of channel n (1 ... 128) as the image is now.
    bool canEdit(int n, ChannelField field) const;

    // Each change refuses a field the user may not change (false, image unchanged). An
    // accepted change brings the derived bits of the record up to date and, when the
    // image changed, tells the sink of one user edit.

    // A frequency in 10 Hz units, clamped to the range limits and rounded to the channel
    // raster; nullopt empties the field (and, on the receive side, the whole channel).
    bool setFrequency(int n, Side side, std::optional<std::int64_t> value);
    // A tone field: index byte and kind bits as given (the picker's choice), or by its
    // code (0 ... 258, tone::kOff) as the table, an import and pl3ctl set give it.
    bool setTone(int n, Side side, tone::Field field);
    bool setTone(int n, Side side, int code) { return setTone(n, side, tone::fieldOf(code)); }
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

    ImageFields& fields_;
    const freq_range::Limits& limits_;
    EditSink& sink_;
};

}  // namespace pl3
