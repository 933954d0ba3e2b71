#include "editors/difference_words.h"

#include <algorithm>
#include <optional>

#include "codeplug/field_registry.h"
#include "codeplug/text_keys.h"
#include "editors/channel_table.h"
#include "editors/functions_page_rules.h"
#include "editors/radio_page_rules.h"

namespace pl3 {

namespace {

struct ControlField {
    std::string_view name;
    ComparePage page;
    int controlId;
};

// The fields a settings page shows in a control that is not bound to a setting.
constexpr ControlField kOtherControls[] = {
    {"BotCode", ComparePage::Functions, FunctionsPageRules::kBotCodeBox},
    {"EotCode", ComparePage::Functions, FunctionsPageRules::kEotCodeBox},
    {"PowerOnPassword", ComparePage::Radio, RadioPageRules::kPasswordBox},
    {"PowerOnMessage", ComparePage::Radio, RadioPageRules::kMessageBox},
};

constexpr std::string_view kScanListField = "ScanList";
constexpr std::string_view kFmPresetField = "FmPreset";

// The grid's column that shows a channel field.
std::optional<int> columnOf(const DiffEntry& entry) {
    if (entry.channel < 1 || entry.channel > kChannelCount) return std::nullopt;
    for (const FieldInfo& info : fieldTable()) {
        if (info.name != entry.field) continue;
        const auto* column = std::get_if<ChannelField>(&info.place);
        return column ? std::optional<int>(gridColumn(*column)) : std::nullopt;
    }
    return std::nullopt;
}

// The page and control that show a field outside the grid.
std::optional<ControlField> pageControl(const DiffEntry& entry) {
    for (const ControlField& c : kOtherControls) {
        if (c.name == entry.field) return c;
    }
    const std::optional<Setting> setting = settingByName(entry.field);
    if (!setting) return std::nullopt;
    for (const FunctionsPageRules::Control& c : FunctionsPageRules::controls()) {
        if (c.kind != FunctionsPageRules::Kind::Code && c.setting == *setting)
            return ControlField{entry.field, ComparePage::Functions, c.id};
    }
    if (std::optional<int> id = RadioPageRules::controlOf(*setting))
        return ControlField{entry.field, ComparePage::Radio, *id};
    return std::nullopt;
}

std::string channelItem(int n, const TextLookup& texts) {
    return withNumbers(texts.text(text_key::kDiffChannel), {n});
}

std::string scanListWord(const ImageFields& fields, int n, const TextLookup& texts) {
    return texts.text(fields.scanMember(n - 1) ? text_key::kScanMembersCaption
                                               : text_key::kScanChannelsCaption);
}

WordedDifference worded(const DiffEntry& entry, const ImageFields& before, const ImageFields& after,
                        const TextLookup& texts) {
    if (entry.kind == DiffEntry::Kind::Field) {
        if (std::optional<int> column = columnOf(entry)) {
            const int n = entry.channel;
            return {ComparePage::Channels,
                    withTexts(withNumbers(texts.text(text_key::kDiffChannelField), {n}),
                              {ChannelTable::heading(*column, texts)}),
                    ChannelTable::cellWord(before, n, *column, texts),
                    ChannelTable::cellWord(after, n, *column, texts)};
        }
        if (entry.field == kScanListField) {
            return {ComparePage::Radio, channelItem(entry.index, texts),
                    scanListWord(before, entry.index, texts),
                    scanListWord(after, entry.index, texts)};
        }
        if (entry.field == kFmPresetField) {
            return {ComparePage::Radio,
                    withTexts(withNumbers(texts.text(text_key::kDiffPreset), {entry.index}),
                              {RadioPageRules::presetHeading(texts, 0)}),
                    RadioPageRules::presetText(before, texts, entry.index),
                    RadioPageRules::presetText(after, texts, entry.index)};
        }
        if (std::optional<ControlField> control = pageControl(entry)) {
            const bool functions = control->page == ComparePage::Functions;
            auto caption =
                functions ? &FunctionsPageRules::controlCaption : &RadioPageRules::controlCaption;
            auto value =
                functions ? &FunctionsPageRules::controlValue : &RadioPageRules::controlValue;
            return {control->page, caption(texts, control->controlId),
                    value(before, texts, control->controlId),
                    value(after, texts, control->controlId)};
        }
    }
    return {ComparePage::Unshown, entry.label(), entry.before, entry.after};
}

// The channel whose record or name slot holds a byte, 0 for none.
int channelHolding(int address) {
    const auto at = static_cast<std::size_t>(address);
    if (at >= layout::record(1) && at < layout::record(kChannelCount + 1))
        return address / static_cast<int>(layout::kRecordSize);
    if (at >= layout::nameSlot(1) && at < layout::nameSlot(kChannelCount + 1))
        return static_cast<int>((at - layout::kNameBase) / layout::kNameSlotSize);
    return 0;
}

}  // namespace

std::string addressPlace(CMaItemDoc& doc, int address, const TextLookup& texts) {
    if (std::optional<FieldRef> field = fieldAt(doc, address))
        return worded(fieldEntry(*field), doc.fields(), doc.fields(), texts).item;
    const int channel = channelHolding(address);
    return channel == 0 ? std::string() : channelItem(channel, texts);
}

std::vector<WordedDifference> wordDifferences(const std::vector<DiffEntry>& entries,
                                              const CMaItemDoc& before, const CMaItemDoc& after,
                                              const TextLookup& texts) {
    std::vector<WordedDifference> result;
    result.reserve(entries.size());
    const std::string empty = texts.text(text_key::kDiffEmpty);
    for (const DiffEntry& entry : entries) {
        WordedDifference difference = worded(entry, before.fields(), after.fields(), texts);
        if (difference.before.empty()) difference.before = empty;
        if (difference.after.empty()) difference.after = empty;
        result.push_back(std::move(difference));
    }
    std::stable_sort(
        result.begin(), result.end(),
        [](const WordedDifference& x, const WordedDifference& y) { return x.page < y.page; });
    return result;
}

std::string pageHeading(ComparePage page, const TextLookup& texts) {
    switch (page) {
        case ComparePage::Channels:
            return texts.text(text_key::kChannel);
        case ComparePage::Functions:
            return texts.text(text_key::kFunction1);
        case ComparePage::Radio:
            return texts.text(text_key::kFunction2);
        case ComparePage::Unshown:
            break;
    }
    return texts.text(text_key::kDiffUnshown);
}

std::string wordedLine(const WordedDifference& difference, const TextLookup& texts) {
    return withTexts(texts.text(text_key::kDiffLine),
                     {difference.item, difference.before, difference.after});
}

}  // namespace pl3
