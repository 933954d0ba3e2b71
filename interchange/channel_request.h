#pragma once
// One row of a channel list read into what it asks of a channel. A column the file
// does not have asks for nothing: the channel keeps that field as it is.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/channel_columns.h"
#include "interchange/channel_names.h"
#include "interchange/delimited_reader.h"
#include "interchange/import_report.h"

namespace pl3::interchange {

struct TransmitRequest {
    std::int64_t frequency;  // 10 Hz units; the receive frequency for simplex and "off"
    bool inhibited;
};

struct TonePair {
    int rx;
    int tx;
};

struct ChannelRequest {
    int channel = 0;
    std::int64_t rx = 0;                      // 10 Hz units
    std::string rxText;                       // as the file wrote it, for the report
    std::optional<TransmitRequest> transmit;  // with a Duplex column
    std::optional<TonePair> tones;            // with a Tone column
    std::optional<bool> wide;
    std::optional<bool> highPower;
    std::optional<bool> scanned;
    std::optional<std::string> name;  // already in display characters
};

struct RowReading {
    // Nullopt when the row cannot be imported; its first note says why.
    std::optional<ChannelRequest> request;
    std::vector<ImportNote> notes;
    bool powerInWatts = false;  // the Power column gave watts, mapped to high or low
};

// The row of the record for channel (1 ... 128); its name as names shortened it (the
// list's names, shortened together).
RowReading readRow(const Record& record, const ColumnMap& columns, int channel,
                   const ShortNames& names);

// A Location value: a channel number 1 ... 128; nullopt otherwise.
std::optional<int> channelNumber(std::string_view location);

}  // namespace pl3::interchange
