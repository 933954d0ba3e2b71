#include "editors/channel_rules.h"

#include <algorithm>

#include "codeplug/frequency.h"
#include "codeplug/tone_tables.h"
#include "editors/channel_order.h"

namespace pl3 {

namespace {

// A tone index at or above this names no table entry: the tone is off.
constexpr std::uint8_t kFirstOffToneIndex = tone::kDcsCount;

bool isChannel(int n) {
    return n >= 1 && n <= kChannelCount;
}

bool isEditableChannel(int n) {
    return n >= kFirstEditableChannel && n <= kChannelCount;
}

}  // namespace

bool ChannelRules::canEdit(int n, ChannelField field) const {
    if (!isChannel(n)) return false;
    const bool fixed = n < kFirstEditableChannel;
    switch (field) {
        case ChannelField::RxFreq:
            // Fixed channels: their frequency and its band plan are not the user's to change.
            return !fixed;
        case ChannelField::TxFreq:
        case ChannelField::TxTone:
            // Talkaround transmits on the receive frequency, so its transmit side has
            // nothing to edit; this decides whatever the rest of the channel says.
            return fields_.channelFlag(n, ChannelFlag::Repeater);
        case ChannelField::Bandwidth:
        case ChannelField::Repeater:
            return !fixed && !fields_.isEmpty(n);
        default:
            return !fields_.isEmpty(n);
    }
}

tone::Field ChannelRules::withUnusedToneOff(tone::Field field) {
    if (field.index < kFirstOffToneIndex) return field;
    constexpr std::uint8_t kOffKindBits =
        (1u << tone::kKindBitDcs) | (1u << tone::kKindBitInverted) | (1u << tone::kKindBitOff);
    field.kind |= kOffKindBits;
    return field;
}

void ChannelRules::updateToneKind(int n, Side side) {
    fields_.setToneField(n, side, withUnusedToneOff(fields_.toneField(n, side)));
}

void ChannelRules::updateDerivedBits(int n) {
    if (!isChannel(n)) return;
    if (!fields_.isEmpty(n)) {
        updateToneKind(n, Side::Receive);
        if (!fields_.lacksFrequency(n)) updateToneKind(n, Side::Transmit);
    }
    // An empty field counts as 0.
    const std::int32_t rx = frequency::parse(fields_.frequencyText(n, Side::Receive));
    const std::int32_t tx = frequency::parse(fields_.frequencyText(n, Side::Transmit));
    fields_.setShiftDir(n, rx > tx ? 2 : rx < tx ? 1 : 0);
}

void ChannelRules::finishEdit(const Image& before) {
    // Any change to the image must reach the modified flag, or closing the program would
    // drop it without asking.
    if (fields_.image() != before) sink_.recordEdit();
}

bool ChannelRules::setFrequency(int n, Side side, std::optional<std::int64_t> value) {
    const bool receive = side == Side::Receive;
    if (!canEdit(n, receive ? ChannelField::RxFreq : ChannelField::TxFreq)) return false;
    const Image before = fields_.image();
    const bool wasSame = fields_.sameFrequencies(n);

    std::optional<std::int32_t> held;
    if (value) {
        held = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(*value, limits_.lower, limits_.upper));
    }
    fields_.setFrequency(n, side, held);
    if (!held) {
        fields_.setToneIndexByte(n, Side::Transmit, kErased);
        if (receive) {
            // No receive frequency means no channel: leave nothing of it behind.
            fields_.setToneIndexByte(n, Side::Receive, kErased);
            fields_.setFrequency(n, Side::Transmit, std::nullopt);
            fields_.image()[layout::record(n) + layout::kRecFlags] = kResetChannelFlags;
            text_codes::DisplayBytes noName;
            noName.fill(kErased);
            fields_.setChannelName(n, noName);
        }
    } else if (receive && wasSame && fields_.lacksFrequency(n)) {
        // A new channel transmits where it receives; an existing one keeps its shift.
        fields_.setFrequency(n, Side::Transmit, held);
    }
    updateDerivedBits(n);
    finishEdit(before);
    return true;
}

bool ChannelRules::setTone(int n, Side side, tone::Field field) {
    if (!canEdit(n, side == Side::Receive ? ChannelField::RxTone : ChannelField::TxTone))
        return false;
    const Image before = fields_.image();
    fields_.setToneField(n, side, field);
    updateDerivedBits(n);
    finishEdit(before);
    return true;
}

bool ChannelRules::setFlag(int n, ChannelFlag flag, bool on) {
    const std::optional<ChannelField> field = channelOption(flag).field;
    if (!field || !canEdit(n, *field)) return false;
    if (fields_.channelFlag(n, flag) == on) return true;
    const Image before = fields_.image();
    fields_.setChannelFlag(n, flag, on);
    updateDerivedBits(n);
    finishEdit(before);
    return true;
}

bool ChannelRules::setName(int n, const text_codes::DisplayBytes& name) {
    if (!canEdit(n, ChannelField::Name)) return false;
    if (name == fields_.channelName(n)) return true;
    const Image before = fields_.image();
    fields_.setChannelName(n, name);
    updateDerivedBits(n);
    finishEdit(before);
    return true;
}

bool ChannelRules::clearChannel(int s) {
    if (!isEditableChannel(s)) return false;
    const Image before = fields_.image();
    resetChannel(fields_, s);
    updateDerivedBits(s);
    finishEdit(before);
    return true;
}

}  // namespace pl3
