#pragma once
// The channel's fields as the pages name them: the columns of the channel grid and the
// on/off options of the record's flag byte. The field registry, the channel rules, the
// channel table and the dump all take the options from the one table below, so an option
// is named, worded and placed in one line.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "codeplug/image_layout.h"
#include "codeplug/text_keys.h"

namespace pl3 {

// The channel fields the user edits, in the order of the channel grid's columns 1 ... 12.
enum class ChannelField {
    RxFreq,
    TxFreq,
    RxTone,
    TxTone,
    BusyLock,
    TxInhibit,
    EndTone,
    Bandwidth,
    TxPower,
    Repeater,
    PttId,
    Name,
};
inline constexpr int kChannelFieldCount = 12;

// Column 0 of the grid holds the channel number; columns 1 ... 12 the fields in order.
constexpr int gridColumn(ChannelField field) {
    return static_cast<int>(field) + 1;
}
constexpr ChannelField fieldInColumn(int column) {
    return static_cast<ChannelField>(column - 1);
}

struct ChannelOption {
    ChannelFlag flag;
    std::string_view name;              // the field registry's name
    std::optional<ChannelField> field;  // none: no column shows the option
    std::string_view whenSet;           // text keys of the words for the bit
    std::string_view whenClear;
    std::string_view valueHelp;  // the values the registry takes
};

// Every bit of the flag byte, in bit order.
inline constexpr std::array<ChannelOption, 8> kChannelOptions = {{
    {ChannelFlag::BusyLock, "BusyLock", ChannelField::BusyLock, text_key::kOff, text_key::kOn,
     "0 (on) or 1 (off)"},
    {ChannelFlag::TxInhibit, "TxInhibit", ChannelField::TxInhibit, text_key::kOff, text_key::kOn,
     "0 (inhibited) or 1 (allowed)"},
    {ChannelFlag::EndTone, "EndTone", ChannelField::EndTone, text_key::kOff, text_key::kOn,
     "0 (on) or 1 (off)"},
    {ChannelFlag::Bandwidth, "Bandwidth", ChannelField::Bandwidth, text_key::kWide,
     text_key::kNarrow, "0 (narrow) or 1 (wide)"},
    {ChannelFlag::TxPower, "TxPower", ChannelField::TxPower, text_key::kHigh, text_key::kLow,
     "0 (low) or 1 (high)"},
    {ChannelFlag::BeatShift, "BeatShift", std::nullopt, text_key::kOff, text_key::kOn,
     "0 (on) or 1 (off)"},
    {ChannelFlag::Repeater, "Repeater", ChannelField::Repeater, text_key::kRepeater,
     text_key::kTalkaround, "0 (talkaround) or 1 (repeater)"},
    {ChannelFlag::PttIdOn, "PttIdOn", ChannelField::PttId, text_key::kOff, text_key::kOn,
     "0 (sent) or 1 (not sent)"},
}};
static_assert(
    [] {
        for (std::size_t bit = 0; bit < kChannelOptions.size(); ++bit) {
            if (static_cast<std::size_t>(kChannelOptions[bit].flag) != bit) return false;
        }
        return true;
    }(),
    "the options stand in bit order");

constexpr const ChannelOption& channelOption(ChannelFlag flag) {
    return kChannelOptions[static_cast<std::size_t>(flag)];
}

// The option a field or a grid column shows; nullptr for the other fields and columns.
constexpr const ChannelOption* optionOfField(ChannelField field) {
    for (const ChannelOption& option : kChannelOptions) {
        if (option.field == field) return &option;
    }
    return nullptr;
}
constexpr const ChannelOption* optionInColumn(int column) {
    if (column < 1 || column > kChannelFieldCount) return nullptr;
    return optionOfField(fieldInColumn(column));
}

}  // namespace pl3
