#pragma once
// The rules of the CTC/DCS picker: which tone kind the dialog opens in, the shape and
// texts of its table, the cell to highlight, what each radio button, the inverted check
// box and a click on the table write into the tone field, and Cancel. The picker works
// on one tone field (index byte and kind byte) of one channel and holds the choice while
// it is open; the choice becomes one change through the channel rules when it closes. A
// widget shows what this class says and forwards the user's choices.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "codeplug/edit_target.h"
#include "codeplug/image_layout.h"
#include "editors/channel_rules.h"
#include "lang/text_lookup.h"

namespace pl3 {

enum class ToneMode { Off, Ctcss, Dcs };

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// One fixed header row; pairs of a number column and an entry column.
struct ToneGridShape {
    int dataRows;
    int columns;
    int entries;              // numbering stops here
    std::vector<int> widths;  // pixels, left to right
};

class TonePickerRules {
  public:
    static constexpr int kTemplate = 137;
    static constexpr int kHeaderRowHeight = 28;
    static constexpr int kRowHeight = 21;
    // The CTCSS table is shorter than the DCS table: the window loses this many pixels.
    static constexpr int kCtcssHeightReduction = 115;
    static constexpr Rgb kHighlight{100, 100, 250};
    static constexpr Rgb kInvertedHighlight{50, 50, 250};

    static const ToneGridShape& ctcssShape();
    static const ToneGridShape& dcsShape();

    // column: 3 for the receive tone, 4 for the transmit tone (the channel table's
    // columns); cellText: what the channel table shows for the field.
    TonePickerRules(EditTarget target, const TextLookup& text, int channel, int column,
                    std::string cellText);

    ToneMode mode() const { return mode_; }
    bool inverted() const { return inverted_; }
    bool invertedEnabled() const { return mode_ == ToneMode::Dcs; }
    bool gridVisible() const { return mode_ != ToneMode::Off; }
    // The shape of the table in use; nullptr while off (no table shown).
    const ToneGridShape* shape() const;

    // Texts of the table in use; row 0 holds the headings.
    std::string cellText(int row, int column) const;
    static bool isNumberColumn(int column) { return column % 2 == 0; }
    // The entry cell showing the channel's current tone.
    std::optional<Rgb> highlight(int row, int column) const;

    // The tone index a click on (row, column) of a shape selects: 0xFF past the end.
    static std::uint8_t indexAt(ToneMode mode, int row, int column);

    // User choices, held until the picker closes. Off and a pick end the dialog.
    void chooseOff();
    void chooseCtcss();
    void chooseDcs();
    void setInverted(bool on);
    void pick(int row, int column);
    // The tone field as chosen so far.
    tone::Field chosen() const { return chosen_; }
    // The picker closes with its choice: one change of the channel through its rules, so
    // one undo step for all of it. A session whose choices changed the field on the way
    // is an edit even when it ends on the field it opened with.
    void commit();
    // The choice is dropped: the field stays as it was at opening.
    void cancel();

    Side side() const { return side_; }
    int channel() const { return channel_; }

  private:
    void choose(tone::Field field);

    ChannelRules rules_;
    EditSink& sink_;
    const TextLookup& text_;
    int channel_;
    Side side_;
    std::string channelText_;
    tone::Field opening_;
    tone::Field chosen_;
    bool touched_ = false;  // a choice changed the field
    ToneMode mode_ = ToneMode::Off;
    bool inverted_ = false;
};

}  // namespace pl3
