#include "editors/channel_table.h"

#include <optional>

#include "codeplug/factory_defaults.h"
#include "codeplug/frequency.h"
#include "codeplug/text_codes.h"
#include "codeplug/text_keys.h"
#include "codeplug/tone_tables.h"

namespace pl3 {

namespace {

bool isChannel(int n) {
    return n >= 1 && n <= kChannelCount;
}

}  // namespace

ChannelTable::ChannelTable(CMaItemDoc& doc, const TextLookup& text, Prompter& prompter)
    : doc_(doc), rules_(doc), text_(text), prompter_(prompter) {
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

    for (int c = 0; c < kColumnCount; ++c)
        cells_[0][c] = Cell{heading(c, text_), true};
    for (int n = 1; n <= kChannelCount; ++n) {
        cells_[n][kNumberColumn] = Cell{std::to_string(n), true};
        RefreshRow(n);
    }
}

void ChannelTable::RefreshRow(int n) {
    if (!isChannel(n)) return;
    rules_.updateDerivedBits(n);
    showRow(n);
}

void ChannelTable::showRow(int n) {
    auto& row = cells_[n];
    for (int c = kRxFreqColumn; c < kColumnCount; ++c)
        row[c].readOnly = !rules_.canEdit(n, fieldInColumn(c));

    if (doc_.isEmpty(n)) {
        for (int c = kRxFreqColumn; c < kColumnCount; ++c)
            row[c].text.clear();
        return;
    }
    for (int c = kRxFreqColumn; c < kColumnCount; ++c)
        row[c].text = cellWord(doc_, n, c, text_);
    if (doc_.lacksFrequency(n)) row[kTxToneColumn].text.clear();
}

std::string ChannelTable::heading(int column, const TextLookup& text) {
    return text.heading(lang_section::kChText, lang_section::kChTextKeyFormat, column).value_or("");
}

std::string ChannelTable::cellWord(const CMaItemDoc& doc, int n, int column,
                                   const TextLookup& text) {
    switch (column) {
        case kRxFreqColumn:
            return doc.frequencyText(n, Side::Receive);
        case kTxFreqColumn:
            return doc.frequencyText(n, Side::Transmit);
        case kRxToneColumn:
            return toneWord(doc, n, Side::Receive, text);
        case kTxToneColumn:
            return toneWord(doc, n, Side::Transmit, text);
        case kNameColumn:
            return text_codes::decodeDisplayText(doc.channelName(n));
        default:
            break;
    }
    const ChannelOption* option = optionInColumn(column);
    return option ? optionWord(doc, n, *option, text) : std::string();
}

std::string ChannelTable::toneWord(const CMaItemDoc& doc, int n, Side side,
                                   const TextLookup& text) {
    if (std::optional<std::string_view> shown = tone::displayText(doc.toneField(n, side)))
        return std::string(*shown);
    return text.text(text_key::kOff);
}

std::string ChannelTable::optionWord(const CMaItemDoc& doc, int n, const ChannelOption& option,
                                     const TextLookup& text) {
    return text.text(doc.channelFlag(n, option.flag) ? option.whenSet : option.whenClear);
}

void ChannelTable::channelsChanged() const {
    if (onChannelsChanged) onChannelsChanged();
}

void ChannelTable::commitFrequency(int n, int column, std::string_view typed) {
    if (column != kRxFreqColumn && column != kTxFreqColumn) return;
    const Side side = column == kRxFreqColumn ? Side::Receive : Side::Transmit;
    std::optional<std::int64_t> value;
    if (!typed.empty()) value = frequency::parse(typed);
    if (!rules_.setFrequency(n, side, value)) return;
    showRow(n);
    channelsChanged();
}

void ChannelTable::commitName(int n, std::string_view text) {
    if (rules_.setName(n, text_codes::encodeDisplayText(text))) showRow(n);
}

void ChannelTable::toggle(int n, int column) {
    const ChannelOption* option = optionInColumn(column);
    if (option == nullptr) return;
    // Also applies the talkaround rule after the repeater column.
    if (rules_.setFlag(n, option->flag, !doc_.channelFlag(n, option->flag))) showRow(n);
}

void ChannelTable::refreshAllRows() {
    for (int n = 1; n <= kChannelCount; ++n)
        showRow(n);
}

bool ChannelTable::addChannel(int s) {
    return reorder(ChannelOrderCommand::Add, s).has_value();
}

bool ChannelTable::deleteChannel(int s) {
    return reorder(ChannelOrderCommand::Delete, s).has_value();
}

std::optional<int> ChannelTable::reorder(ChannelOrderCommand command, int s) {
    const ChannelOrderResult result = reorderChannels(doc_, command, s);
    switch (result.outcome) {
        case ChannelOrderOutcome::LastChannelInUse:
            prompter_.showMessage(
                {text_key::kPrompt, text_key::kLastChannelInUse, {}, PromptIcon::Exclamation});
            return std::nullopt;
        case ChannelOrderOutcome::NotApplicable:
            return std::nullopt;
        case ChannelOrderOutcome::Done:
            break;
    }
    refreshAllRows();
    channelsChanged();
    return result.current;
}

bool ChannelTable::clearChannel(int s) {
    if (!rules_.clearChannel(s)) return false;
    showRow(s);
    channelsChanged();
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
