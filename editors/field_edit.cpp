#include "editors/field_edit.h"

#include <optional>
#include <string>

#include "codeplug/frequency.h"
#include "editors/channel_rules.h"
#include "editors/functions_page_rules.h"

namespace pl3 {

namespace {

constexpr std::pair<std::string_view, ChannelFlag> kFlagNames[] = {
    {"BusyLock", ChannelFlag::BusyLock}, {"TxInhibit", ChannelFlag::TxInhibit},
    {"EndTone", ChannelFlag::EndTone},   {"Bandwidth", ChannelFlag::Bandwidth},
    {"TxPower", ChannelFlag::TxPower},   {"Repeater", ChannelFlag::Repeater},
    {"PttIdOn", ChannelFlag::PttIdOn},
};

FieldEdit outcome(bool accepted) {
    return accepted ? FieldEdit::Done : FieldEdit::Refused;
}

FieldEdit setFrequency(ChannelRules& rules, const CMaItemDoc& doc, int n, Side side,
                       std::string_view value) {
    if (value.empty()) return outcome(rules.setFrequency(n, side, std::nullopt));
    // Strict, as for the field itself: a value outside the range is refused, not clamped.
    if (!frequency::isWellFormedText(value) ||
        frequency::rangeCheck(value, doc.lowerLimit(), doc.upperLimit()) != 0)
        return FieldEdit::BadValue;
    return outcome(rules.setFrequency(n, side, frequency::parse(value)));
}

FieldEdit setName(ChannelRules& rules, int n, std::string_view value) {
    if (!isDisplayText(value)) return FieldEdit::BadValue;
    return outcome(rules.setName(n, text_codes::encodeDisplayText(value)));
}

// A channel column, through the channel rules.
FieldEdit setChannelColumn(ChannelRules& rules, const CMaItemDoc& doc, const FieldRef& field,
                           std::string_view value) {
    const std::string_view name = field.info->name;
    const int n = field.index;
    if (n < 1 || n > kChannelCount) return FieldEdit::NotOnAPage;  // the VFO
    if (name == "RxFreq" || name == "TxFreq")
        return setFrequency(rules, doc, n, name == "RxFreq" ? Side::Receive : Side::Transmit,
                            value);
    if (name == "RxTone" || name == "TxTone") {
        std::optional<int> code = parseToneValue(value);
        if (!code) return FieldEdit::BadValue;
        return outcome(rules.setTone(n, name == "RxTone" ? Side::Receive : Side::Transmit, *code));
    }
    if (name == "ChannelName") return setName(rules, n, value);
    for (auto [flagName, flag] : kFlagNames) {
        if (name != flagName) continue;
        std::optional<int> bit = parseFieldInt(value, 0, 1);
        if (!bit) return FieldEdit::BadValue;
        return outcome(rules.setFlag(n, flag, *bit == 1));
    }
    return FieldEdit::NotOnAPage;
}

// A setting, by the index its list or box stores, through the pages' store.
FieldEdit setSetting(CMaItemDoc& doc, const FieldRef& field, std::string_view value) {
    for (int i = 0; i < kSettingCount; ++i) {
        const Setting id = static_cast<Setting>(i);
        const SettingInfo& info = settingInfo(id);
        if (info.name != field.info->name) continue;
        std::optional<int> index = parseFieldInt(value, info.indexMin, info.indexMax);
        if (!index) return FieldEdit::BadValue;
        page_rules::storeSetting(doc, id, *index);
        return FieldEdit::Done;
    }
    return FieldEdit::NotOnAPage;
}

}  // namespace

FieldEdit setAsThePagesDo(CMaItemDoc& doc, const FieldRef& field, std::string_view value) {
    if (field.info->indexed()) {
        ChannelRules rules(doc);
        return setChannelColumn(rules, doc, field, value);
    }
    return setSetting(doc, field, value);
}

}  // namespace pl3
