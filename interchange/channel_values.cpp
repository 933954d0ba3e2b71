#include "interchange/channel_values.h"

#include <optional>

#include "codeplug/frequency.h"

namespace pl3::interchange {

int shownToneCode(const ImageFields& fields, int n, Side side) {
    std::optional<std::string_view> shown = tone::displayText(fields.toneField(n, side));
    if (!shown) return tone::kOff;
    return tone::codeOfText(*shown).value_or(tone::kOff);
}

ChannelValues readChannel(const ImageFields& fields, int n) {
    ChannelValues values;
    values.rx = frequency::parse(fields.frequencyText(n, Side::Receive));
    values.rxTone = shownToneCode(fields, n, Side::Receive);
    if (fields.channelFlag(n, ChannelFlag::Repeater)) {
        values.tx = frequency::parse(fields.frequencyText(n, Side::Transmit));
        values.txTone = shownToneCode(fields, n, Side::Transmit);
    } else {
        values.tx = values.rx;
        values.txTone = values.rxTone;
    }
    values.txInhibited = !fields.channelFlag(n, ChannelFlag::TxInhibit) || fields.lacksFrequency(n);
    values.wide = fields.channelFlag(n, ChannelFlag::Bandwidth);
    values.highPower = fields.channelFlag(n, ChannelFlag::TxPower);
    values.scanned = fields.scanMember(n - 1);
    values.name = text_codes::decodeDisplayText(fields.channelName(n));
    return values;
}

}  // namespace pl3::interchange
