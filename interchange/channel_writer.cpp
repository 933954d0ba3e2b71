#include "interchange/channel_writer.h"

#include "codeplug/text_keys.h"
#include "codeplug/tone_tables.h"
#include "interchange/channel_values.h"
#include "interchange/megahertz_text.h"

namespace pl3::interchange {

namespace {

constexpr std::string_view kArrow = " -> ";

std::string change(std::string_view from, std::int64_t to) {
    return std::string(from) + std::string(kArrow) + megahertzText(to);
}

}  // namespace

ChannelWriter::ChannelWriter(EditTarget target)
    : fields_(target.fields), limits_(target.limits), rules_(target) {}

WriteResult ChannelWriter::write(const ChannelRequest& request, int row) {
    const int n = request.channel;
    const bool existed = !fields_.isEmpty(n);
    if (!existed && !rules_.canEdit(n, ChannelField::RxFreq))
        return {false, {{NoteKind::Skipped, row, text_key::kCsvSkipFixedEmpty, ""}}};
    // A new channel starts as the page's clear button leaves one, not with whatever an
    // earlier channel left in the record.
    if (!existed) rules_.clearChannel(n);
    const bool keepRepeater = existed && fields_.channelFlag(n, ChannelFlag::Repeater);

    rules_.setFrequency(n, Side::Receive, request.rx);
    writeTransmitSide(request, keepRepeater);
    if (request.transmit) rules_.setFlag(n, ChannelFlag::TxInhibit, !request.transmit->inhibited);
    if (request.wide) rules_.setFlag(n, ChannelFlag::Bandwidth, *request.wide);
    if (request.highPower) rules_.setFlag(n, ChannelFlag::TxPower, *request.highPower);
    if (request.name) rules_.setName(n, text_codes::encodeDisplayText(*request.name));
    if (request.scanned) fields_.setScanMember(n - 1, *request.scanned);
    rules_.updateDerivedBits(n);
    return {true, differences(request, row)};
}

void ChannelWriter::writeTransmitSide(const ChannelRequest& request, bool keepRepeater) {
    const int n = request.channel;
    const ChannelValues current = readChannel(fields_, n);
    const bool shifted =
        request.transmit ? request.transmit->frequency != request.rx : current.tx != current.rx;
    const TonePair tones = request.tones.value_or(TonePair{current.rxTone, current.txTone});
    // Talkaround transmits as it receives; anything else needs the repeater setting,
    // and a channel that had it keeps it.
    const bool repeater = shifted || tones.tx != tones.rx || keepRepeater;

    // The page offers the transmit side only in repeater mode. The transmit frequency
    // is written either way, so a talkaround channel shows the frequency it uses; its
    // transmit tone is left as it is, as the page leaves it.
    rules_.setFlag(n, ChannelFlag::Repeater, true);
    // Without a Duplex column a channel with no transmit frequency keeps having none.
    const bool writeTx = request.transmit || !fields_.lacksFrequency(n);
    const std::int64_t tx = request.transmit ? request.transmit->frequency : current.tx;
    if (writeTx) rules_.setFrequency(n, Side::Transmit, tx);
    rules_.setTone(n, Side::Receive, tones.rx);
    if (repeater) rules_.setTone(n, Side::Transmit, tones.tx);
    rules_.setFlag(n, ChannelFlag::Repeater, repeater);
}

std::vector<ImportNote> ChannelWriter::differences(const ChannelRequest& request, int row) const {
    const int n = request.channel;
    const ChannelValues result = readChannel(fields_, n);
    std::vector<ImportNote> notes;
    auto add = [&](std::string_view key, std::string detail) {
        notes.push_back({NoteKind::Adjusted, row, key, std::move(detail)});
    };
    auto movedKey = [&](std::int64_t asked) {
        return asked < limits_.lower || asked > limits_.upper ? text_key::kCsvClamped
                                                              : text_key::kCsvRounded;
    };

    if (result.rx != request.rx) {
        add(rules_.canEdit(n, ChannelField::RxFreq) ? movedKey(request.rx) : text_key::kCsvFixedRx,
            change(request.rxText, result.rx));
    }
    const bool talkaround = !fields_.channelFlag(n, ChannelFlag::Repeater);
    const bool asksShift = request.transmit && !request.transmit->inhibited &&
                           request.transmit->frequency != request.rx;
    const bool asksOtherTone = request.tones && request.tones->tx != request.tones->rx;
    // Talkaround transmits with the receive tone: a transmit tone of its own is named
    // when it is lost.
    const std::optional<std::string_view> lostTone =
        talkaround && asksOtherTone ? tone::tableText(request.tones->tx) : std::nullopt;
    if (talkaround && (asksShift || (asksOtherTone && !lostTone))) {
        add(text_key::kCsvFixedTalkaround, "");
    } else if (asksShift && result.tx != request.transmit->frequency) {
        add(movedKey(request.transmit->frequency),
            change(megahertzText(request.transmit->frequency), result.tx));
    }
    if (lostTone) add(text_key::kCsvTalkaroundTone, std::string(*lostTone));
    if (request.wide && result.wide != *request.wide) add(text_key::kCsvFixedBandwidth, "");
    return notes;
}

}  // namespace pl3::interchange
