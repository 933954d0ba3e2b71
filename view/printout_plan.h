#pragma once
// What the channel-list printout puts where, without any drawing: how many pages a
// codeplug needs, which programmed channels each page holds, the logical page the
// drawing uses, the date line, and every text, heading and row of a page with its
// position. The printing widget only measures fonts and carries these items out.

#include <climits>
#include <ctime>
#include <locale>
#include <string>
#include <vector>

#include "codeplug/document.h"
#include "editors/channel_table.h"
#include "editors/functions_page_rules.h"
#include "lang/text_lookup.h"

namespace pl3::printout {

inline constexpr int kLeftMarginChars = 4;
inline constexpr int kRightMarginChars = 4;
inline constexpr int kMaxPages = 5;
// The three entries of a settings row start 200 logical units apart, or further apart
// when the page is wider, so that long English captions fit their column.
inline constexpr int kEntriesPerRow = 3;
inline constexpr int kMinEntryStep = 200;
int entryStep(int textWidth);
inline constexpr const char* kDateFormat = "%Y-%m-%d %A %H:%M";

// Counting programmed channels 1, 2, 3 ... in channel order, the counts a page holds.
struct OrdinalRange {
    int first;
    int last;
};
OrdinalRange ordinalsOnPage(int page);  // page 1 ... 5

// 1 ... 5 pages for 0 ... 128 programmed channels.
int pageCount(int programmedChannels);

// The channels whose receive frequency shows in the channel table, in channel order.
std::vector<int> programmedChannels(const ChannelTable::Rows& rows);

// The channel numbers page p prints, in order.
std::vector<int> channelsOnPage(const std::vector<int>& programmed, int page);

// The logical page: the channel grid plus both margins wide, and as high as keeps the
// printable area's proportions (device sizes multiplied before dividing).
struct LogicalPage {
    int width;
    int height;
};
LogicalPage logicalPage(int gridWidth, int averageCharWidth, int printerWidth, int printerHeight);

// The date line, with the weekday name of the given locale, in UTF-8.
std::string dateLine(const std::tm& time, const std::locale& locale);
// The date line of this moment, local time, in the system's locale.
std::string currentDateLine();

// One thing to draw, at a position of the logical page (x = 0 lies one left margin in).
struct PrintItem {
    enum class Kind { Text, Headings, ChannelRow };
    Kind kind;
    int x;
    int y;
    std::string text;  // Text: what to draw, left-aligned
    int width = 0;     // Text: the room it has
    int channel = 0;   // ChannelRow: the grid row to draw
};

struct PageInput {
    std::string dateLine;
    page_rules::PrintRows functionRows;  // the optional functions section
    page_rules::PrintRows radioRows;     // the radio and keys section
    std::vector<int> programmed;         // programmedChannels()
    int headingHeight;                   // the grid's fixed rows, together
    int lineStep;                        // the height of grid row 1
    int textWidth;                       // the logical page without its margins
};

// Page 1: date line, both settings sections, the channel section; later pages only the
// channel section. Positions grow downwards from the top of the logical page.
std::vector<PrintItem> composePage(const PageInput& input, int page);

// One cell of the channel grid on paper, as the channel page shows it.
struct GridCellPrint {
    std::string text;
    unsigned format;
    bool fixed;   // a heading or channel-number cell
    bool dimmed;  // read-only: printed in the grey the page shows it in
};

struct GridRowPrint {
    int height;
    std::vector<GridCellPrint> cells;
};

// The channel grid as the page lays it out: its column widths and every row.
struct ChannelGridPrint {
    std::vector<int> columnWidths;
    std::vector<GridRowPrint> rows;  // [0] the headings, [n] channel n

    int totalWidth() const;
};
ChannelGridPrint channelGrid(const ChannelTable::Rows& rows);

// Everything the report prints, taken from the codeplug, the page rules and the texts.
struct PrintPlan {
    PageInput input;  // the text width depends on the printer: set once it is measured
    ChannelGridPrint grid;
};
// The channel rules refresh the records' derived bits on the way, as the channel page
// does, on a copy of the image: printing leaves the document as it is.
PrintPlan makePrintPlan(const CMaItemDoc& doc, const TextLookup& texts, std::string dateLine);

}  // namespace pl3::printout
