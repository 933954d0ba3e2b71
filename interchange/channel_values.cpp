#include "interchange/channel_values.h"

#include <optional>

#include "codeplug/frequency.h"

namespace pl3::interchange {

int shownToneCode(const CMaItemDoc& doc, int n, Side side) {
    std::optional<std::string_view> shown = tone::displayText(doc.toneField(n, side));
    if (!shown) return tone::kOff;
    return tone::codeOfText(*shown).value_or(tone::kOff);
}

ChannelValues readChannel(const CMaItemDoc& doc, int n) {
    ChannelValues values;
    values.rx = frequency::parse(doc.frequencyText(n, Side::Receive));
    values.rxTone = shownToneCode(doc, n, Side::Receive);
    if (doc.channelFlag(n, ChannelFlag::Repeater)) {
        values.tx = frequency::parse(doc.frequencyText(n, Side::Transmit));
        values.txTone = shownToneCode(doc, n, Side::Transmit);
    } else {
        values.tx = values.rx;
        values.txTone = values.rxTone;
    }
    values.txInhibited = !doc.channelFlag(n, ChannelFlag::TxInhibit) || doc.lacksFrequency(n);
    values.wide = doc.channelFlag(n, ChannelFlag::Bandwidth);
    values.highPower = doc.channelFlag(n, ChannelFlag::TxPower);
    values.scanned = doc.scanMember(n - 1);
    values.name = text_codes::decodeDisplayText(doc.channelName(n));
    return values;
}

}  // namespace pl3::interchange
