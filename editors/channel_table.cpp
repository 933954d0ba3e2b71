#include "editors/channel_table.h"

#include <algorithm>
#include <optional>

#include "codeplug/factory_defaults.h"
#include "codeplug/frequency.h"
#include "codeplug/text_codes.h"
#include "codeplug/text_keys.h"
#include "codeplug/tone_tables.h"

namespace pl3 {

namespace {

// A tone index at or above this names no table entry: the tone is off.
constexpr std::uint8_t kFirstOffToneIndex = tone::kDcsCount;
constexpr std::size_t kResetRecordBytes = 12;  // frequencies and tones

struct FlagColumn {
    ChannelFlag flag;
    std::string_view whenSet;
    std::string_view whenClear;
};

// Columns 5 ... 11 in order.
constexpr std::array<FlagColumn, 7> kFlagColumns = {{
    {ChannelFlag::BusyLock, text_key::kOff, text_key::kOn},
    {ChannelFlag::TxInhibit, text_key::kOff, text_key::kOn},
    {ChannelFlag::EndTone, text_key::kOff, text_key::kOn},
    {ChannelFlag::Bandwidth, text_key::kWide, text_key::kNarrow},
    {ChannelFlag::TxPower, text_key::kHigh, text_key::kLow},
    {ChannelFlag::Repeater, text_key::kRepeater, text_key::kTalkaround},
    {ChannelFlag::PttIdOn, text_key::kOff, text_key::kOn},
}};

bool isChannel(int n) {
    return n >= 1 && n <= kChannelCount;
}

bool isEditableChannel(int n) {
    return n >= kFirstEditableChannel && n <= kChannelCount;
}

const FlagColumn& flagColumn(int column) {
    return kFlagColumns[static_cast<std::size_t>(column - ChannelTable::kFirstFlagColumn)];
}

}  // namespace

ChannelTable::ChannelTable(CMaItemDoc& doc, const TextLookup& text, Prompter& prompter)
    : doc_(doc), text_(text), prompter_(prompter) {
    Rebuild();
}

void ChannelTable::Rebuild() {
    rangeNames_.clear();
    for (int i = 0; i < kMaxFreqRanges; ++i) {
        std::optional<std::string> name = doc_.settings().freqRangeText(i);
        if (!name) break;
        rangeNames_.push_back(std::move(*name));
    }
    selectedRange_ = doc_.rangeIndex();

    for (int c = 0; c < kColumnCount; ++c) {
        cells_[0][c] = Cell{
            text_.heading(lang_section::kChText, lang_section::kChTextKeyFormat, c).value_or(""),
            true};
    }
    for (int n = 1; n <= kChannelCount; ++n) {
        cells_[n][kNumberColumn] = Cell{std::to_string(n), true};
        RefreshRow(n);
    }
}

void ChannelTable::RefreshRow(int n) {
    if (!isChannel(n)) return;
    auto& row = cells_[n];
    const bool empty = doc_.isEmpty(n);
    const bool txEmpty = doc_.lacksFrequency(n);

    row[kRxFreqColumn].readOnly = false;
    for (int c = kTxFreqColumn; c < kColumnCount; ++c)
        row[c].readOnly = empty;
    if (!empty && txEmpty) row[kTxToneColumn].readOnly = true;
    if (n < kFirstEditableChannel) {
        // Fixed channels: their frequency and its band plan are not the user's to change.
        row[kRxFreqColumn].readOnly = true;
        row[kBandwidthColumn].readOnly = true;
        row[kRepeaterColumn].readOnly = true;
    }

    if (empty) {
        for (int c = kRxFreqColumn; c < kColumnCount; ++c)
            row[c].text.clear();
    } else {
        row[kRxFreqColumn].text = doc_.frequencyText(n, Side::Receive);
        row[kRxToneColumn].text = toneText(n, Side::Receive);
        row[kTxFreqColumn].text = doc_.frequencyText(n, Side::Transmit);
        row[kTxToneColumn].text = txEmpty ? std::string() : toneText(n, Side::Transmit);
        for (int c = kFirstFlagColumn; c <= kLastFlagColumn; ++c) {
            const FlagColumn& column = flagColumn(c);
            row[c].text =
                text_.text(doc_.channelFlag(n, column.flag) ? column.whenSet : column.whenClear);
        }
        row[kNameColumn].text = text_codes::decodeDisplayText(doc_.channelName(n));
    }

    updateShiftDir(n);

    // Talkaround transmits on the receive frequency, so its transmit side has nothing to
    // edit; this decides columns 2 and 4 whatever the rest of the row says.
    const bool repeater = doc_.channelFlag(n, ChannelFlag::Repeater);
    row[kTxFreqColumn].readOnly = !repeater;
    row[kTxToneColumn].readOnly = !repeater;
}

std::string ChannelTable::toneText(int n, Side side) {
    tone::Field field = doc_.toneField(n, side);
    if (field.index >= kFirstOffToneIndex) {
        // An unused tone carries the "off" kind, so the radio ignores whatever index is left.
        doc_.setToneKindBit(n, side, tone::kKindBitDcs, true);
        doc_.setToneKindBit(n, side, tone::kKindBitInverted, true);
        doc_.setToneKindBit(n, side, tone::kKindBitOff, true);
        return text_.text(text_key::kOff);
    }
    if (std::optional<std::string_view> shown = tone::displayText(field))
        return std::string(*shown);
    return text_.text(text_key::kOff);
}

void ChannelTable::updateShiftDir(int n) {
    // An empty field parses as 0.
    const std::int32_t rx = frequency::parse(doc_.frequencyText(n, Side::Receive));
    const std::int32_t tx = frequency::parse(doc_.frequencyText(n, Side::Transmit));
    doc_.setShiftDir(n, rx > tx ? 2 : rx < tx ? 1 : 0);
}

bool ChannelTable::isCellEditable(int n, int column) const {
    return isChannel(n) && column > kNumberColumn && column < kColumnCount &&
           !cells_[n][column].readOnly;
}

void ChannelTable::finishEdit(const Image& before, bool channelsChanged) {
    // Any change to the image must reach the modified flag, or closing the program would
    // drop it without asking.
    if (doc_.image() != before) doc_.markEdited();
    if (channelsChanged && onChannelsChanged) onChannelsChanged();
}

void ChannelTable::commitFrequency(int n, int column, std::string_view typed) {
    if (column != kRxFreqColumn && column != kTxFreqColumn) return;
    if (!isCellEditable(n, column)) return;
    const Image before = doc_.image();
    const bool wasSame = doc_.sameFrequencies(n);

    std::string text(typed);
    switch (frequency::rangeCheck(text, doc_.lowerLimit(), doc_.upperLimit())) {
        case 1:
            text = frequency::limitText(doc_.upperLimit());
            break;
        case -1:
            text = frequency::limitText(doc_.lowerLimit());
            break;
        default:
            break;
    }

    const Side side = column == kRxFreqColumn ? Side::Receive : Side::Transmit;
    doc_.setFrequencyText(n, side, text);
    if (text.empty()) {
        doc_.setToneIndexByte(n, Side::Transmit, kErased);
        if (column == kRxFreqColumn) {
            // No receive frequency means no channel: leave nothing of it behind.
            doc_.setToneIndexByte(n, Side::Receive, kErased);
            doc_.setFrequencyText(n, Side::Transmit, "");
            doc_.image()[layout::record(n) + layout::kRecFlags] = kResetChannelFlags;
            text_codes::DisplayBytes noName;
            noName.fill(kErased);
            doc_.setChannelName(n, noName);
        }
    } else if (column == kRxFreqColumn && wasSame &&
               doc_.frequencyText(n, Side::Transmit).empty()) {
        // A new channel transmits where it receives; an existing one keeps its shift.
        doc_.setFrequencyText(n, Side::Transmit, doc_.frequencyText(n, Side::Receive));
    }

    RefreshRow(n);
    finishEdit(before, true);
}

void ChannelTable::commitName(int n, std::string_view text) {
    if (!isCellEditable(n, kNameColumn)) return;
    const Image before = doc_.image();
    text_codes::DisplayBytes name = text_codes::encodeDisplayText(text);
    if (name != doc_.channelName(n)) {
        doc_.setChannelName(n, name);
        RefreshRow(n);
    }
    finishEdit(before, false);
}

void ChannelTable::toggle(int n, int column) {
    if (column < kFirstFlagColumn || column > kLastFlagColumn) return;
    if (!isCellEditable(n, column)) return;
    const Image before = doc_.image();
    const ChannelFlag flag = flagColumn(column).flag;
    doc_.setChannelFlag(n, flag, !doc_.channelFlag(n, flag));
    RefreshRow(n);  // also applies the talkaround rule after column 10
    finishEdit(before, false);
}

void ChannelTable::moveChannel(int from, int to) {
    Image& image = doc_.image();
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(layout::record(from)),
                layout::kRecordSize,
                image.begin() + static_cast<std::ptrdiff_t>(layout::record(to)));
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(layout::nameSlot(from)),
                layout::kNameSlotSize,
                image.begin() + static_cast<std::ptrdiff_t>(layout::nameSlot(to)));
    doc_.setScanMember(to - 1, doc_.scanMember(from - 1));
}

void ChannelTable::resetChannel(int n) {
    // Bytes 14-15 of the record and the name slot's spare bytes belong to nobody here;
    // they keep what the radio or the file delivered.
    Image& image = doc_.image();
    auto record = image.begin() + static_cast<std::ptrdiff_t>(layout::record(n));
    std::fill_n(record, kResetRecordBytes, kErased);
    record[layout::kRecFlags] = kResetChannelFlags;
    record[layout::kRecShift] = kResetShiftByte;
    std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(layout::nameSlot(n)),
                layout::kDisplayTextSize, kErased);
    doc_.setScanMember(n - 1, false);
}

void ChannelTable::refreshAllRows() {
    for (int n = 1; n <= kChannelCount; ++n)
        RefreshRow(n);
}

bool ChannelTable::addChannel(int s) {
    if (!isEditableChannel(s)) return false;
    const Image before = doc_.image();
    for (int n = kChannelCount; n > s; --n)
        moveChannel(n - 1, n);
    resetChannel(s);
    refreshAllRows();
    finishEdit(before, true);
    return true;
}

bool ChannelTable::deleteChannel(int s) {
    if (!isEditableChannel(s)) return false;
    const Image before = doc_.image();
    for (int n = s; n < kChannelCount; ++n)
        moveChannel(n + 1, n);
    resetChannel(kChannelCount);
    refreshAllRows();
    finishEdit(before, true);
    return true;
}

bool ChannelTable::clearChannel(int s) {
    if (!isEditableChannel(s)) return false;
    const Image before = doc_.image();
    resetChannel(s);
    RefreshRow(s);
    finishEdit(before, true);
    return true;
}

int ChannelTable::changeRange(int index) {
    const int current = doc_.rangeIndex();
    if (index == current) return current;
    if (!prompter_.askOkCancel(
            {text_key::kConfirm, text_key::kConfirmFreq, {}, PromptIcon::Exclamation})) {
        selectedRange_ = current;
        return current;
    }
    // Channels of one band make no sense in another: the whole codeplug starts again.
    doc_.clearContents();
    doc_.selectRange(index);
    applyFactoryDefaults(doc_);
    doc_.setModifiedFlag(true);
    doc_.startHistory(false);  // undoing into another band's channels would make no sense
    Rebuild();
    doc_.updateAllViews();
    return selectedRange_;
}

bool ChannelTable::acceptsFrequencyKey(char c, const std::string& current) {
    if (c >= '0' && c <= '9') return true;
    return c == '.' && current.find('.') == std::string::npos;
}

bool ChannelTable::acceptsNameKey(char c) {
    return text_codes::isTypableDisplayChar(c);
}

}  // namespace pl3
