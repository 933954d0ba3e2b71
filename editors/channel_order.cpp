#include "editors/channel_order.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "codeplug/frequency.h"
#include "codeplug/text_codes.h"

namespace pl3 {

namespace {

constexpr std::size_t kResetRecordBytes = 12;  // frequencies and tones

// Everything of one channel, wherever the layout keeps it.
struct ChannelContents {
    std::array<std::uint8_t, layout::kRecordSize> record;
    std::array<std::uint8_t, layout::kNameSlotSize> nameSlot;
    bool scanned;

    bool isEmpty() const { return frequency::isEmptyField(record.data() + layout::kRecRxFreq); }
    std::int32_t rxFrequency() const {
        return frequency::parse(frequency::channelText(record.data() + layout::kRecRxFreq));
    }
    std::string name() const {
        text_codes::DisplayBytes bytes;
        std::copy_n(nameSlot.begin(), bytes.size(), bytes.begin());
        return text_codes::decodeDisplayText(bytes);
    }
};

std::ptrdiff_t at(std::size_t offset) {
    return static_cast<std::ptrdiff_t>(offset);
}

ChannelContents contentsOf(const ImageFields& fields, int n) {
    ChannelContents contents{};
    const Image& image = fields.image();
    std::copy_n(image.begin() + at(layout::record(n)), layout::kRecordSize,
                contents.record.begin());
    std::copy_n(image.begin() + at(layout::nameSlot(n)), layout::kNameSlotSize,
                contents.nameSlot.begin());
    contents.scanned = fields.scanMember(n - 1);
    return contents;
}

void place(ImageFields& fields, int n, const ChannelContents& contents) {
    Image& image = fields.image();
    std::copy(contents.record.begin(), contents.record.end(),
              image.begin() + at(layout::record(n)));
    std::copy(contents.nameSlot.begin(), contents.nameSlot.end(),
              image.begin() + at(layout::nameSlot(n)));
    fields.setScanMember(n - 1, contents.scanned);
}

bool isPlaceable(int n) {
    return n >= kFirstEditableChannel && n <= kChannelCount;
}

ChannelOrderResult notApplicable(int s) {
    return {ChannelOrderOutcome::NotApplicable, s};
}

ChannelOrderResult insertChannel(ImageFields& fields, int s, bool mayDropLast) {
    if (!isPlaceable(s)) return notApplicable(s);
    // Insert pushes out only an empty last channel; the Add button has always dropped it.
    if (!mayDropLast && !fields.isEmpty(kChannelCount))
        return {ChannelOrderOutcome::LastChannelInUse, s};
    for (int n = kChannelCount; n > s; --n)
        place(fields, n, contentsOf(fields, n - 1));
    resetChannel(fields, s);
    return {ChannelOrderOutcome::Done, s};
}

ChannelOrderResult deleteChannel(ImageFields& fields, int s) {
    if (!isPlaceable(s)) return notApplicable(s);
    for (int n = s; n < kChannelCount; ++n)
        place(fields, n, contentsOf(fields, n + 1));
    resetChannel(fields, kChannelCount);
    return {ChannelOrderOutcome::Done, s};
}

ChannelOrderResult swapWithNeighbour(ImageFields& fields, int s, int neighbour) {
    if (!isPlaceable(s) || !isPlaceable(neighbour)) return notApplicable(s);
    const ChannelContents moving = contentsOf(fields, s);
    place(fields, s, contentsOf(fields, neighbour));
    place(fields, neighbour, moving);
    return {ChannelOrderOutcome::Done, neighbour};
}

// A stable sort of the placeable channels by key; the current channel's contents are
// followed to their new place.
template <typename Key>
ChannelOrderResult sortChannels(ImageFields& fields, int s, Key key) {
    std::vector<ChannelContents> channels;
    for (int n = kFirstEditableChannel; n <= kChannelCount; ++n)
        channels.push_back(contentsOf(fields, n));
    const bool nothingToSort = std::all_of(channels.begin(), channels.end(),
                                           [](const ChannelContents& c) { return c.isEmpty(); });
    if (nothingToSort) return notApplicable(s);

    std::vector<std::size_t> order(channels.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return key(channels[a]) < key(channels[b]);
    });
    int current = s;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int n = kFirstEditableChannel + static_cast<int>(i);
        const int from = kFirstEditableChannel + static_cast<int>(order[i]);
        place(fields, n, channels[order[i]]);
        if (from == s) current = n;
    }
    return {ChannelOrderOutcome::Done, current};
}

ChannelOrderResult apply(ImageFields& fields, ChannelOrderCommand command, int s) {
    switch (command) {
        case ChannelOrderCommand::Insert:
            return insertChannel(fields, s, false);
        case ChannelOrderCommand::Add:
            return insertChannel(fields, s, true);
        case ChannelOrderCommand::Delete:
            return deleteChannel(fields, s);
        case ChannelOrderCommand::MoveUp:
            return swapWithNeighbour(fields, s, s - 1);
        case ChannelOrderCommand::MoveDown:
            return swapWithNeighbour(fields, s, s + 1);
        case ChannelOrderCommand::SortByFrequency:
            return sortChannels(fields, s, [](const ChannelContents& c) {
                return std::make_tuple(c.isEmpty(), c.isEmpty() ? 0 : c.rxFrequency());
            });
        case ChannelOrderCommand::SortByName:
            return sortChannels(fields, s, [](const ChannelContents& c) {
                const std::string name = c.isEmpty() ? std::string() : c.name();
                return std::make_tuple(c.isEmpty(), name.empty(), name);
            });
    }
    return notApplicable(s);
}

}  // namespace

void resetChannel(ImageFields& fields, int n) {
    // Bytes 14-15 of the record and the name slot's spare bytes belong to nobody here;
    // they keep what the radio or the file delivered.
    Image& image = fields.image();
    auto record = image.begin() + at(layout::record(n));
    std::fill_n(record, kResetRecordBytes, kErased);
    record[layout::kRecFlags] = kResetChannelFlags;
    record[layout::kRecShift] = kResetShiftByte;
    std::fill_n(image.begin() + at(layout::nameSlot(n)), layout::kDisplayTextSize, kErased);
    fields.setScanMember(n - 1, false);
}

ChannelOrderResult reorderChannels(EditTarget target, ChannelOrderCommand command, int s) {
    const Image before = target.fields.image();
    const ChannelOrderResult result = apply(target.fields, command, s);
    // One edit step for the whole command, and none when nothing moved.
    if (target.fields.image() != before) target.sink.recordEdit();
    return result;
}

}  // namespace pl3
