#include "editors/channel_table.h"

#include <optional>

#include "codeplug/document_commands.h"
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
    : doc_(doc), rules_(doc.editTarget()), text_(text), prompter_(prompter) {
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
    cells_ = rowsOf(rules_, text_);
}

ChannelTable::Rows ChannelTable::rowsOf(ChannelRules& rules, const TextLookup& text) {
    Rows rows;
    for (int c = 0; c < kColumnCount; ++c)
        rows[0][c] = Cell{heading(c, text), true};
    for (int n = 1; n <= kChannelCount; ++n) {
        rules.updateDerivedBits(n);
        rows[n] = channelRow(rules, n, text);
    }
    return rows;
}

void ChannelTable::RefreshRow(int n) {
    if (!isChannel(n)) return;
    rules_.updateDerivedBits(n);
    showRow(n);
}

ChannelTable::Row ChannelTable::channelRow(const ChannelRules& rules, int n,
                                           const TextLookup& text) {
    Row row;
    row[kNumberColumn] = Cell{std::to_string(n), true};
    for (int c = kRxFreqColumn; c < kColumnCount; ++c)
        row[c].readOnly = !rules.canEdit(n, fieldInColumn(c));

    const ImageFields& fields = rules.fields();
    if (fields.isEmpty(n)) return row;
    for (int c = kRxFreqColumn; c < kColumnCount; ++c)
        row[c].text = cellWord(fields, n, c, text);
    if (fields.lacksFrequency(n)) row[kTxToneColumn].text.clear();
    return row;
}

std::string ChannelTable::heading(int column, const TextLookup& text) {
    return text.heading(lang_section::kChText, lang_section::kChTextKeyFormat, column).value_or("");
}

std::string ChannelTable::cellWord(const ImageFields& fields, int n, int column,
                                   const TextLookup& text) {
    switch (column) {
        case kRxFreqColumn:
            return fields.frequencyText(n, Side::Receive);
        case kTxFreqColumn:
            return fields.frequencyText(n, Side::Transmit);
        case kRxToneColumn:
            return toneWord(fields, n, Side::Receive, text);
        case kTxToneColumn:
            return toneWord(fields, n, Side::Transmit, text);
        case kNameColumn:
            return text_codes::decodeDisplayText(fields.channelName(n));
        default:
            break;
    }
    const ChannelOption* option = optionInColumn(column);
    return option ? optionWord(fields, n, *option, text) : std::string();
}

std::string ChannelTable::toneWord(const ImageFields& fields, int n, Side side,
                                   const TextLookup& text) {
    if (std::optional<std::string_view> shown = tone::displayText(fields.toneField(n, side)))
        return std::string(*shown);
    return text.text(text_key::kOff);
}

std::string ChannelTable::optionWord(const ImageFields& fields, int n, const ChannelOption& option,
                                     const TextLookup& text) {
    return text.text(fields.channelFlag(n, option.flag) ? option.whenSet : option.whenClear);
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
    if (rules_.setFlag(n, option->flag, !doc_.fields().channelFlag(n, option->flag))) showRow(n);
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
    const ChannelOrderResult result = reorderChannels(doc_.editTarget(), command, s);
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
    restartInRange(doc_, index);
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
