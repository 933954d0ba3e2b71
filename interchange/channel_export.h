#pragma once
// Channel lists out of the document: one row per programmed channel in the
// interchange layout, as a CSV file or as tab-separated rows for the clipboard.

#include <string>
#include <vector>

#include "codeplug/document.h"
#include "interchange/channel_columns.h"
#include "interchange/channel_values.h"

namespace pl3::interchange {

// The heading line and every programmed channel, CRLF line ends.
std::string exportCsv(const CMaItemDoc& doc);

enum class HeadingLine { Without, With };

// The programmed channels among `channels` (1 ... 128, in the order given); empty
// channels give no row. Csv ends lines with CRLF, Tsv with LF.
std::string exportChannels(const CMaItemDoc& doc, const std::vector<int>& channels, Format format,
                           HeadingLine heading);

// The fields of one row, in column order.
std::vector<std::string> rowFields(int channel, const ChannelValues& values);

}  // namespace pl3::interchange
