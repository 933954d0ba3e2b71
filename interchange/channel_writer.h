#pragma once
// Writes what a row asks of a channel through the channel page's own rules (its
// editable cells, range clamp, channel rounding, new-channel reset, talkaround rule),
// then compares what the channel became with what was asked and says why they differ.

#include <vector>

#include "codeplug/document.h"
#include "editors/channel_table.h"
#include "interchange/channel_request.h"
#include "interchange/import_report.h"
#include "lang/text_lookup.h"
#include "platform/prompter.h"

namespace pl3::interchange {

struct WriteResult {
    bool written = false;  // false: the row was skipped; the first note says why
    std::vector<ImportNote> notes;
};

class ChannelWriter {
  public:
    // doc is the working copy the import fills.
    explicit ChannelWriter(CMaItemDoc& doc);

    WriteResult write(const ChannelRequest& request, int row);

  private:
    ChannelWriter(CMaItemDoc& doc, const Image& untouched);
    bool editable(int n, int column) const { return !table_.cell(n, column).readOnly; }
    // A click on an on/off column when the cell allows it and the bit differs.
    void setFlag(int n, int column, ChannelFlag flag, bool on);
    void writeTransmitSide(const ChannelRequest& request, bool keepRepeater);
    std::vector<ImportNote> differences(const ChannelRequest& request, int row) const;

    CMaItemDoc& doc_;
    // The table's cell texts mean nothing here, so it looks up no language file.
    TextLookup noTexts_{""};
    SilentPrompter prompter_;
    ChannelTable table_;
};

}  // namespace pl3::interchange
