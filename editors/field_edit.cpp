#include "editors/field_edit.h"

#include <optional>

#include "codeplug/frequency.h"
#include "editors/channel_rules.h"
#include "editors/functions_page_rules.h"
#include "editors/page_rules.h"
#include "editors/radio_page_rules.h"

namespace pl3 {

namespace {

FieldEdit outcome(bool accepted) {
    return accepted ? FieldEdit::Done : FieldEdit::Refused;
}

Side sideOf(ChannelField field) {
    return field == ChannelField::RxFreq || field == ChannelField::RxTone ? Side::Receive
                                                                          : Side::Transmit;
}

// A channel column, through the channel rules.
FieldEdit setChannelField(EditTarget target, ChannelField field, int n, std::string_view value) {
    if (n < 1 || n > kChannelCount) return FieldEdit::NotOnAPage;  // the VFO
    ChannelRules rules(target);
    switch (field) {
        case ChannelField::RxFreq:
        case ChannelField::TxFreq:
            if (value.empty()) return outcome(rules.setFrequency(n, sideOf(field), std::nullopt));
            // Strict, as for the field itself: a value outside the range is refused, not clamped.
            if (!isChannelFrequencyText(target.limits, value)) return FieldEdit::BadValue;
            return outcome(rules.setFrequency(n, sideOf(field), frequency::parse(value)));
        case ChannelField::RxTone:
        case ChannelField::TxTone: {
            std::optional<int> code = parseToneValue(value);
            if (!code) return FieldEdit::BadValue;
            return outcome(rules.setTone(n, sideOf(field), *code));
        }
        case ChannelField::Name:
            if (!isDisplayText(value)) return FieldEdit::BadValue;
            return outcome(rules.setName(n, text_codes::encodeDisplayText(value)));
        default:
            break;
    }
    const ChannelOption* option = optionOfField(field);
    std::optional<int> bit = parseFieldInt(value, 0, 1);
    if (option == nullptr || !bit) return FieldEdit::BadValue;
    return outcome(rules.setFlag(n, option->flag, *bit == 1));
}

// A setting, by the index its list or box stores, through the pages' store.
FieldEdit setSetting(EditTarget target, Setting id, std::string_view value) {
    const SettingInfo& info = settingInfo(id);
    std::optional<int> index = parseFieldInt(value, info.indexMin, info.indexMax);
    if (!index) return FieldEdit::BadValue;
    page_rules::storeSetting(target, id, *index);
    return FieldEdit::Done;
}

// A value the radio or functions page shows in a control of its own.
FieldEdit setPageValue(EditTarget target, const TextLookup& texts, PageValue which, int index,
                       std::string_view value) {
    RadioPageRules radio(target, texts);
    switch (which) {
        case PageValue::ScanList: {
            std::optional<int> member = parseFieldInt(value, 0, 1);
            if (!member) return FieldEdit::BadValue;
            return outcome(radio.setScanned(index, *member == 1));
        }
        case PageValue::FmPreset: {
            std::optional<int> item = parseFieldInt(value, 0, kFmIndexMax + 1);
            if (!item) return FieldEdit::BadValue;
            radio.commitPreset(index, *item);
            return FieldEdit::Done;
        }
        case PageValue::PowerOnPassword:
            if (!isPasswordText(value)) return FieldEdit::BadValue;
            radio.commitPassword(value);
            return FieldEdit::Done;
        case PageValue::PowerOnMessage:
            if (!isDisplayText(value)) return FieldEdit::BadValue;
            radio.commitMessage(value);
            return FieldEdit::Done;
        case PageValue::BotCode:
        case PageValue::EotCode:
            if (!isDtmfCodeText(value)) return FieldEdit::BadValue;
            FunctionsPageRules(target, texts)
                .commitCode(which == PageValue::BotCode ? FunctionsPageRules::kBotCodeBox
                                                        : FunctionsPageRules::kEotCodeBox,
                            value);
            return FieldEdit::Done;
    }
    return FieldEdit::NotOnAPage;
}

}  // namespace

FieldEdit setAsThePagesDo(EditTarget target, const TextLookup& texts, const FieldRef& field,
                          std::string_view value) {
    const FieldPlace& place = field.info->place;
    if (const auto* column = std::get_if<ChannelField>(&place))
        return setChannelField(target, *column, field.index, value);
    if (const auto* setting = std::get_if<Setting>(&place))
        return setSetting(target, *setting, value);
    if (const auto* other = std::get_if<PageValue>(&place))
        return setPageValue(target, texts, *other, field.index, value);
    return FieldEdit::NotOnAPage;
}

}  // namespace pl3
