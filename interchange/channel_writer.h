#pragma once
// Writes what a row asks of a channel through the channel rules the page uses, by value
// (which fields may change, range clamp, channel rounding, new-channel reset, talkaround
// rule), then compares what the channel became with what was asked and says why they
// differ.

#include <vector>

#include "codeplug/edit_target.h"
#include "editors/channel_rules.h"
#include "interchange/channel_request.h"
#include "interchange/import_report.h"

namespace pl3::interchange {

struct WriteResult {
    bool written = false;  // false: the row was skipped; the first note says why
    std::vector<ImportNote> notes;
};

class ChannelWriter {
  public:
    // target: the working copy the import fills.
    explicit ChannelWriter(EditTarget target);

    WriteResult write(const ChannelRequest& request, int row);

  private:
    void writeTransmitSide(const ChannelRequest& request, bool keepRepeater);
    std::vector<ImportNote> differences(const ChannelRequest& request, int row) const;

    ImageFields& fields_;
    const freq_range::Limits& limits_;
    ChannelRules rules_;
};

}  // namespace pl3::interchange
