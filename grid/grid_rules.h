#pragma once
// The grid's decisions that need no widgets: where a key moves the focus cell, how far the
// wheel scrolls, how a cell's format lays out its text, and when and how a cell's edit begins.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lang/line_breaks.h"

namespace pl3::grid {

// Format bits of a cell, as CGridCtrl::Format numbers them.
inline constexpr unsigned kFormatCentred = 0x01;
inline constexpr unsigned kFormatVerticallyCentred = 0x02;
inline constexpr unsigned kFormatSingleLine = 0x04;
inline constexpr unsigned kFormatWordWrap = 0x08;
// The formats the pages give their heading cells and their data cells.
inline constexpr unsigned kHeaderFormat =
    kFormatCentred | kFormatVerticallyCentred | kFormatWordWrap;
inline constexpr unsigned kCellFormat =
    kFormatCentred | kFormatVerticallyCentred | kFormatSingleLine;

// Bits of a cell's state word.
inline constexpr unsigned kStateFocused = 0x01;
inline constexpr unsigned kStateReadOnly = 0x08;

struct CellPos {
    int row = -1;
    int column = -1;

    bool valid() const { return row >= 0 && column >= 0; }
    friend bool operator==(const CellPos&, const CellPos&) = default;
};

// The data cells: rows [firstRow, rowCount), columns [firstColumn, columnCount).
struct DataArea {
    int firstRow = 0;
    int rowCount = 0;
    int firstColumn = 0;
    int columnCount = 0;

    bool empty() const { return firstRow >= rowCount || firstColumn >= columnCount; }
    bool contains(CellPos cell) const {
        return cell.row >= firstRow && cell.row < rowCount && cell.column >= firstColumn &&
               cell.column < columnCount;
    }
};

enum class FocusMove {
    Up,
    Down,
    Left,
    Right,
    PageUp,
    PageDown,
    RowStart,  // Home
    RowEnd,    // End
    First,     // Ctrl+Home
    Last,      // Ctrl+End
};

// Where the focus cell goes. Moves stop at the edges of the data area; without a focus cell
// every move lands on the first data cell. Returns an invalid cell when there are no data cells.
CellPos moveFocus(CellPos from, FocusMove move, const DataArea& area, int pageRows);

// How many rows, starting at `firstRow`, fit wholly into `extent` pixels (at least 1, so a
// page move always moves).
int rowsPerPage(std::span<const int> rowHeights, int firstRow, int extent);

// Turns wheel deltas (120 units per notch) into whole rows. High-resolution wheels send
// fractions of a notch; the remainder is kept for the next event, and dropped when the
// direction turns.
class WheelAccumulator {
  public:
    // Rows to scroll towards the top (negative: towards the bottom).
    int add(int angleDelta, int linesPerNotch);

  private:
    int pending_ = 0;  // in 1/120 of a line
};

enum class HAlign { Left, Centre };
enum class LineMode {
    AsIs,        // line breaks as written, nothing wrapped or shortened
    Wrap,        // wrapped at word boundaries
    SingleLine,  // one line, shortened with an ellipsis when too long
};

struct TextLayout {
    HAlign horizontal = HAlign::Left;
    bool verticallyCentred = false;
    LineMode lines = LineMode::AsIs;

    friend bool operator==(const TextLayout&, const TextLayout&) = default;
};

// A cell asking for both wrapping and a single line gets the single line, which never spills
// out of its row.
TextLayout textLayout(unsigned format);

// No face is made smaller than this to fit a cell.
inline constexpr double kSmallestTextScale = 0.6;

struct HeadingLines {
    std::vector<std::string> lines;
    double scale = 1.0;  // the face's size (from kSmallestTextScale to 1) at which the lines fit

    friend bool operator==(const HeadingLines&, const HeadingLines&) = default;
};

// A heading in a cell `width` wide. Lines broken by the language file ("\n") stay as
// written; a heading that fits stays on one line; any other breaks once, between words or,
// in Chinese, between characters, where the wider of the two lines is narrowest - never
// before a closing mark or "/", never after an opening one (see lineBreakOffsets). When
// two lines cannot fit, it takes as many as it needs; a word still too wide gets a
// smaller face.
// measure gives a text's width at the face's full size, in the unit of width.
HeadingLines headingLines(std::string_view text, double width, const TextWidth& measure);

// Whether a request to edit the cell goes out to the page.
bool mayBeginEdit(bool gridEditable, bool readOnly, bool dataCell, bool visible);

// The keys that may begin an edit of the focus cell.
enum class EditKey {
    Enter,  // Return or keypad Enter
    F2,
    Character,  // a printable character, typed without Ctrl, Alt or Meta
};

// How the page's editor opens for such a key.
enum class EditStart {
    None,       // no edit: the key goes on to the grid's parent
    AsOpened,   // as the page opens its editor
    AtEnd,      // with the cell's text, the caret after it
    WithTyped,  // the typed character replaces the text, the caret after it
};

// Only typed cells (frequencies, names) open on a character, as a spreadsheet does; on the
// other cells a letter is left to the dialog and F2 does what Enter does.
EditStart editStart(EditKey key, bool typedCell);

}  // namespace pl3::grid
