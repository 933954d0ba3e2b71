#pragma once
// The channel page's table: one row per channel record, one column per channel field.
// The table keeps only the texts and marks of its cells; the typed text of an edit is
// parsed here and the change made through ChannelRules, by value. A widget shows what
// this class says and forwards the user's edits, clicks and button presses.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/document.h"
#include "codeplug/image_layout.h"
#include "editors/channel_order.h"
#include "editors/channel_rules.h"
#include "lang/text_lookup.h"
#include "platform/prompter.h"

namespace pl3 {

class ChannelTable {
  public:
    static constexpr int kRowCount = kChannelCount + 1;  // row 0 holds the headings
    static constexpr int kColumnCount = 13;

    // Columns; 0 is the fixed channel-number column.
    static constexpr int kNumberColumn = 0;
    static constexpr int kRxFreqColumn = gridColumn(ChannelField::RxFreq);
    static constexpr int kTxFreqColumn = gridColumn(ChannelField::TxFreq);
    static constexpr int kRxToneColumn = gridColumn(ChannelField::RxTone);
    static constexpr int kTxToneColumn = gridColumn(ChannelField::TxTone);
    static constexpr int kFirstFlagColumn = gridColumn(ChannelField::BusyLock);
    static constexpr int kBandwidthColumn = gridColumn(ChannelField::Bandwidth);
    static constexpr int kRepeaterColumn = gridColumn(ChannelField::Repeater);
    static constexpr int kLastFlagColumn = gridColumn(ChannelField::PttId);
    static constexpr int kNameColumn = gridColumn(ChannelField::Name);

    static constexpr std::array<int, kColumnCount> kColumnWidths = {40, 80, 80, 65, 65, 45, 45,
                                                                    55, 60, 45, 80, 45, 55};
    static constexpr int kHeaderRowHeight = 28;
    static constexpr int kRowHeight = 21;
    static constexpr int kFrequencyEditorMaxChars = 9;
    static constexpr int kNameEditorMaxChars = 6;

    struct Cell {
        std::string text;
        bool readOnly = true;  // shown grey; the widget opens no editor on it
        bool operator==(const Cell&) const = default;
    };
    using Row = std::array<Cell, kColumnCount>;
    using Rows = std::array<Row, kRowCount>;

    // Builds the whole table at once, as the page does when it is created.
    ChannelTable(CMaItemDoc& doc, const TextLookup& text, Prompter& prompter);

    const Cell& cell(int row, int column) const { return cells_.at(row).at(column); }
    // Every row as the page shows the image the rules work on, the derived bits of each
    // record brought up to date on the way (the printout builds its grid from these).
    static Rows rowsOf(ChannelRules& rules, const TextLookup& text);

    // The heading of a column in the current language; empty when the language lacks it.
    static std::string heading(int column, const TextLookup& text);
    // The word column 1 ... 12 shows for what channel n stores, whether or not the channel
    // is in use (its row shows nothing for an empty channel).
    static std::string cellWord(const ImageFields& fields, int n, int column,
                                const TextLookup& text);
    // The words for a tone and an on/off option of channel n, as the columns show them.
    static std::string toneWord(const ImageFields& fields, int n, Side side,
                                const TextLookup& text);
    static std::string optionWord(const ImageFields& fields, int n, const ChannelOption& option,
                                  const TextLookup& text);

    // The range list: "freq%d" texts of setting.ini, and the entry to select.
    const std::vector<std::string>& rangeNames() const { return rangeNames_; }
    int selectedRange() const { return selectedRange_; }

    // Range list, headings and all 128 rows from the image.
    void Rebuild();
    // Marks and texts of row n (1 ... 128) from the image. Also brings the derived bits
    // of the record up to date: ShiftDir and the kind bits of an unused tone.
    void RefreshRow(int n);

    // The frequency editor on column 1 or 2 of channel n closed with text.
    void commitFrequency(int n, int column, std::string_view text);
    // The name editor on channel n closed with text.
    void commitName(int n, std::string_view text);
    // A click on one of the on/off columns 5 ... 11.
    void toggle(int n, int column);

    // The three buttons, with the current channel s. Channels 1 ... 77 have fixed
    // frequencies and are left alone; the result tells whether anything was done. Add and
    // delete are the Insert and Delete commands below.
    bool addChannel(int s);
    bool deleteChannel(int s);
    bool clearChannel(int s);
    // A reorder command with the current channel s: the channel the user's place moves
    // to, nullopt when nothing was done. An insert that would push out a used channel 128
    // is refused with a message.
    std::optional<int> reorder(ChannelOrderCommand command, int s);

    // The range list's selection changed to index; returns the index the list must show.
    int changeRange(int index);

    // Key filters of the in-place editors. current is the editor's text without the part
    // the key replaces; backspace and the length limits are the widget's business.
    static bool acceptsFrequencyKey(char c, const std::string& current);
    static bool acceptsNameKey(char c);

    // Called after every change to the set of programmed channels, so that the scan-list
    // page can rebuild its lists.
    std::function<void()> onChannelsChanged;

  private:
    // Marks and texts of channel n's row from the image as it is.
    static Row channelRow(const ChannelRules& rules, int n, const TextLookup& text);
    void showRow(int n) { cells_[n] = channelRow(rules_, n, text_); }
    void refreshAllRows();
    void channelsChanged() const;

    CMaItemDoc& doc_;
    ChannelRules rules_;
    const TextLookup& text_;
    Prompter& prompter_;
    Rows cells_{};
    std::vector<std::string> rangeNames_;
    int selectedRange_ = 0;
};

}  // namespace pl3
