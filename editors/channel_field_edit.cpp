#include "editors/channel_field_edit.h"

#include <optional>
#include <string>

#include "codeplug/frequency.h"

namespace pl3 {

namespace {

constexpr std::pair<std::string_view, ChannelFlag> kFlagNames[] = {
    {"BusyLock", ChannelFlag::BusyLock}, {"TxInhibit", ChannelFlag::TxInhibit},
    {"EndTone", ChannelFlag::EndTone},   {"Bandwidth", ChannelFlag::Bandwidth},
    {"TxPower", ChannelFlag::TxPower},   {"Repeater", ChannelFlag::Repeater},
    {"PttIdOn", ChannelFlag::PttIdOn},
};

ChannelFieldEdit outcome(bool accepted) {
    return accepted ? ChannelFieldEdit::Done : ChannelFieldEdit::Refused;
}

ChannelFieldEdit setFrequency(ChannelRules& rules, const CMaItemDoc& doc, int n, Side side,
                              std::string_view value) {
    if (value.empty()) return outcome(rules.setFrequency(n, side, std::nullopt));
    // Strict, as for the field itself: a value outside the range is refused, not clamped.
    if (!frequency::isWellFormedText(value) ||
        frequency::rangeCheck(value, doc.lowerLimit(), doc.upperLimit()) != 0)
        return ChannelFieldEdit::BadValue;
    return outcome(rules.setFrequency(n, side, frequency::parse(value)));
}

ChannelFieldEdit setName(ChannelRules& rules, int n, std::string_view value) {
    if (!isDisplayText(value)) return ChannelFieldEdit::BadValue;
    return outcome(rules.setName(n, text_codes::encodeDisplayText(value)));
}

}  // namespace

ChannelFieldEdit setThroughChannelRules(ChannelRules& rules, const FieldRef& field,
                                        std::string_view value) {
    const std::string_view name = field.info->name;
    const int n = field.index;
    const CMaItemDoc& doc = rules.document();
    if (n < 1 || n > kChannelCount) return ChannelFieldEdit::NotAColumn;  // the VFO
    if (name == "RxFreq" || name == "TxFreq")
        return setFrequency(rules, doc, n, name == "RxFreq" ? Side::Receive : Side::Transmit,
                            value);
    if (name == "RxTone" || name == "TxTone") {
        std::optional<int> code = parseToneValue(value);
        if (!code) return ChannelFieldEdit::BadValue;
        return outcome(rules.setTone(n, name == "RxTone" ? Side::Receive : Side::Transmit, *code));
    }
    if (name == "ChannelName") return setName(rules, n, value);
    for (auto [flagName, flag] : kFlagNames) {
        if (name != flagName) continue;
        std::optional<int> bit = parseFieldInt(value, 0, 1);
        if (!bit) return ChannelFieldEdit::BadValue;
        return outcome(rules.setFlag(n, flag, *bit == 1));
    }
    return ChannelFieldEdit::NotAColumn;
}

}  // namespace pl3
