#include "editors/tone_picker_rules.h"

#include <string_view>

#include "codeplug/text_keys.h"
#include "editors/channel_rules.h"

namespace pl3 {

namespace {

constexpr std::uint8_t kNoTone = kErased;

std::uint8_t withBit(std::uint8_t kind, int bit, bool on) {
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    return on ? static_cast<std::uint8_t>(kind | mask) : static_cast<std::uint8_t>(kind & ~mask);
}

// CTCSS or DCS chosen: not inverted, not off; the picker leaves the other kind bits alone.
std::uint8_t chosenKind(std::uint8_t kind, bool dcs) {
    kind = withBit(kind, tone::kKindBitDcs, dcs);
    kind = withBit(kind, tone::kKindBitInverted, false);
    return withBit(kind, tone::kKindBitOff, false);
}

std::vector<int> pairWidths(int pairs, int numberWidth, int entryWidth) {
    std::vector<int> widths;
    for (int j = 0; j < pairs; ++j) {
        widths.push_back(numberWidth);
        widths.push_back(entryWidth);
    }
    return widths;
}

}  // namespace

const ToneGridShape& TonePickerRules::ctcssShape() {
    static const ToneGridShape shape{10, 10, tone::kCtcssCount, pairWidths(5, 46, 80)};
    return shape;
}

const ToneGridShape& TonePickerRules::dcsShape() {
    static const ToneGridShape shape{15, 14, tone::kDcsCount, pairWidths(7, 40, 50)};
    return shape;
}

TonePickerRules::TonePickerRules(EditTarget target, const TextLookup& text, int channel, int column,
                                 std::string cellText)
    : rules_(target),
      sink_(target.sink),
      text_(text),
      channel_(channel),
      side_(column == 4 ? Side::Transmit : Side::Receive),
      channelText_(std::move(cellText)),
      opening_(target.fields.toneField(channel, side_)),
      chosen_(opening_) {
    const std::uint8_t index = opening_.index;
    const bool dcs = target.fields.toneKindBit(channel_, side_, tone::kKindBitDcs);
    if (index < tone::kCtcssCount && !dcs) {
        mode_ = ToneMode::Ctcss;
    } else if (index < tone::kDcsCount && dcs) {
        mode_ = ToneMode::Dcs;
        inverted_ = target.fields.toneKindBit(channel_, side_, tone::kKindBitInverted);
    }
}

const ToneGridShape* TonePickerRules::shape() const {
    switch (mode_) {
        case ToneMode::Ctcss:
            return &ctcssShape();
        case ToneMode::Dcs:
            return &dcsShape();
        case ToneMode::Off:
            break;
    }
    return nullptr;
}

std::string TonePickerRules::cellText(int row, int column) const {
    const ToneGridShape* grid = shape();
    if (grid == nullptr || row < 0 || row > grid->dataRows || column < 0 ||
        column >= grid->columns) {
        return {};
    }
    if (row == 0) {
        return text_.heading(lang_section::kCtcDcsText, lang_section::kCtcDcsKeyFormat, column % 2)
            .value_or("");
    }
    const int number = (column / 2) * grid->dataRows + row;
    if (number > grid->entries) return {};
    if (isNumberColumn(column)) return std::to_string(number);
    const auto entry = static_cast<std::size_t>(number - 1);
    if (mode_ == ToneMode::Ctcss) return std::string(tone::ctcssTable()[entry]);
    return std::string(inverted_ ? tone::dcsInvertedTable()[entry] : tone::dcsNormalTable()[entry]);
}

std::optional<Rgb> TonePickerRules::highlight(int row, int column) const {
    if (row < 1 || isNumberColumn(column) || channelText_.empty()) return std::nullopt;
    if (cellText(row, column) != channelText_) return std::nullopt;
    return mode_ == ToneMode::Dcs && inverted_ ? kInvertedHighlight : kHighlight;
}

std::uint8_t TonePickerRules::indexAt(ToneMode mode, int row, int column) {
    const ToneGridShape& grid = mode == ToneMode::Ctcss ? ctcssShape() : dcsShape();
    const int index = (row - 1) + grid.dataRows * (column / 2);
    if (row < 1 || column < 0 || index < 0 || index >= grid.entries) return kNoTone;
    return static_cast<std::uint8_t>(index);
}

void TonePickerRules::choose(tone::Field field) {
    touched_ = touched_ || field != chosen_;
    chosen_ = field;
}

void TonePickerRules::chooseOff() {
    mode_ = ToneMode::Off;
    inverted_ = false;
    choose(ChannelRules::withUnusedToneOff({kNoTone, chosen_.kind}));
}

void TonePickerRules::chooseCtcss() {
    mode_ = ToneMode::Ctcss;
    inverted_ = false;
    choose({chosen_.index, chosenKind(chosen_.kind, false)});
}

void TonePickerRules::chooseDcs() {
    mode_ = ToneMode::Dcs;
    inverted_ = false;
    choose({chosen_.index, chosenKind(chosen_.kind, true)});
}

void TonePickerRules::setInverted(bool on) {
    if (mode_ != ToneMode::Dcs) return;
    inverted_ = on;
    choose({chosen_.index, withBit(chosen_.kind, tone::kKindBitInverted, on)});
}

void TonePickerRules::pick(int row, int column) {
    if (mode_ == ToneMode::Off) return;
    choose({indexAt(mode_, row, column), chosen_.kind});
}

void TonePickerRules::commit() {
    const Image before = rules_.fields().image();
    rules_.setTone(channel_, side_, chosen_);
    if (touched_ && rules_.fields().image() == before) sink_.recordEdit();
}

void TonePickerRules::cancel() {
    chosen_ = opening_;
    touched_ = false;
}

}  // namespace pl3
