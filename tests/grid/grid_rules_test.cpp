// The grid's decisions that need no widgets.

#include "grid/grid_rules.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace pl3::grid {

void PrintTo(const CellPos& cell, std::ostream* out) {
    *out << "(" << cell.row << ", " << cell.column << ")";
}

namespace {

TEST(GridRules, MoveFocusStaysInsideTheDataCells) {
    const DataArea area{1, 10, 1, 5};  // rows 1..9, columns 1..4
    struct Case {
        CellPos from;
        FocusMove move;
        int page;
        CellPos to;
    } cases[] = {
        {{3, 2}, FocusMove::Up, 4, {2, 2}},       {{1, 2}, FocusMove::Up, 4, {1, 2}},
        {{9, 2}, FocusMove::Down, 4, {9, 2}},     {{3, 1}, FocusMove::Left, 4, {3, 1}},
        {{3, 4}, FocusMove::Right, 4, {3, 4}},    {{3, 2}, FocusMove::PageDown, 4, {7, 2}},
        {{8, 2}, FocusMove::PageDown, 4, {9, 2}}, {{3, 2}, FocusMove::PageUp, 4, {1, 2}},
        {{3, 2}, FocusMove::PageDown, 0, {4, 2}}, {{3, 3}, FocusMove::RowStart, 4, {3, 1}},
        {{3, 2}, FocusMove::RowEnd, 4, {3, 4}},   {{5, 3}, FocusMove::First, 4, {1, 1}},
        {{5, 3}, FocusMove::Last, 4, {9, 4}},     {{-1, -1}, FocusMove::Last, 4, {1, 1}},
        {{0, 2}, FocusMove::Down, 4, {1, 1}},  // a header cell is no focus cell
    };
    for (const Case& c : cases) {
        EXPECT_EQ(moveFocus(c.from, c.move, area, c.page), c.to)
            << "from " << c.from.row << "," << c.from.column << " move " << int(c.move);
    }
    EXPECT_FALSE(moveFocus({}, FocusMove::Down, {1, 1, 1, 5}, 1).valid());  // no data rows
}

TEST(GridRules, RowsPerPageCountsWholeRows) {
    const std::vector<int> heights{30, 20, 20, 20, 20};
    EXPECT_EQ(rowsPerPage(heights, 1, 65), 3);
    EXPECT_EQ(rowsPerPage(heights, 1, 60), 3);
    EXPECT_EQ(rowsPerPage(heights, 1, 59), 2);
    EXPECT_EQ(rowsPerPage(heights, 0, 50), 2);
    EXPECT_EQ(rowsPerPage(heights, 1, 10), 1);  // a row taller than the view is still a page
}

TEST(GridRules, WheelTurnsNotchesIntoRows) {
    struct Case {
        std::vector<int> deltas;
        int lines;
        std::vector<int> rows;
    } cases[] = {
        {{120, -120}, 3, {3, -3}},
        {{40, 40, 40}, 1, {0, 0, 1}},  // a high-resolution wheel adds up
        {{-40, -40, -40}, 1, {0, 0, -1}},
        {{40}, 3, {1}},
        {{60, -60, -60}, 1, {0, 0, -1}},  // turning back drops the rest
    };
    for (const Case& c : cases) {
        WheelAccumulator wheel;
        std::vector<int> rows;
        for (int delta : c.deltas)
            rows.push_back(wheel.add(delta, c.lines));
        EXPECT_EQ(rows, c.rows) << "first delta " << c.deltas.front();
    }
}

TEST(GridRules, TextLayoutFollowsTheFormatBits) {
    struct Case {
        unsigned format;
        TextLayout layout;
    } cases[] = {
        {0, {HAlign::Left, false, LineMode::AsIs}},
        {kFormatWordWrap, {HAlign::Left, false, LineMode::Wrap}},
        {kFormatWordWrap | kFormatSingleLine, {HAlign::Left, false, LineMode::SingleLine}},
        {kHeaderFormat, {HAlign::Centre, true, LineMode::Wrap}},
        {kCellFormat, {HAlign::Centre, true, LineMode::SingleLine}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textLayout(c.format), c.layout) << c.format;
}

TEST(GridRules, EditKeysOpenTypedCellsLikeASpreadsheet) {
    struct Case {
        EditKey key;
        bool typedCell;
        EditStart start;
    } cases[] = {
        {EditKey::Character, true, EditStart::WithTyped},
        {EditKey::Character, false, EditStart::None},  // an on/off or list cell
        {EditKey::F2, true, EditStart::AtEnd},
        {EditKey::F2, false, EditStart::AsOpened},
        {EditKey::Enter, true, EditStart::AsOpened},
        {EditKey::Enter, false, EditStart::AsOpened},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(editStart(c.key, c.typedCell), c.start)
            << "key " << int(c.key) << " typed " << c.typedCell;
    }
}

// Widths in half-ems: a Chinese character is two, anything else one.
double halfEms(std::string_view utf8) {
    double width = 0;
    for (unsigned char byte : utf8) {
        if ((byte & 0xC0) != 0x80) width += byte >= 0xE0 ? 2 : 1;
    }
    return width;
}

TEST(GridRules, HeadingsBreakBetweenWordsOrMidChinese) {
    struct Case {
        std::string_view text;
        double width;
        std::vector<std::string> lines;
        double scale;
    } cases[] = {
        {"遇忙禁发", 8, {"遇忙禁发"}, 1.0},      // fits
        {"遇忙禁发", 6, {"遇忙", "禁发"}, 1.0},  // never 遇忙禁 / 发
        {"禁止发射", 5, {"禁止", "发射"}, 1.0},
        {"脱网/中继", 6, {"脱网/", "中继"}, 1.0},  // no line starts with "/"
        {"频率(MHz)", 6, {"频率", "(MHz)"}, 1.0},
        {"PTT ID", 4, {"PTT", "ID"}, 1.0},
        {"CTC/DCS Decode", 8, {"CTC/DCS", "Decode"}, 1.0},
        {"Talkaround / Repeater", 12, {"Talkaround /", "Repeater"}, 1.0},
        {"Talkaround or repeater", 10, {"Talkaround", "or", "repeater"}, 1.0},  // 2 cannot fit
        {"遇忙\n禁发", 20, {"遇忙", "禁发"}, 1.0},  // the language file's own break
        {"Bandwidth", 6, {"Bandwidth"}, 6.0 / 9},   // one word: a smaller face
        {"Bandwidth", 3, {"Bandwidth"}, kSmallestTextScale},
        {"Frequency (MHz)", 10, {"Frequency", "(MHz)"}, 1.0},
    };
    for (const Case& c : cases) {
        const HeadingLines heading = headingLines(c.text, c.width, halfEms);
        EXPECT_EQ(heading.lines, c.lines) << c.text << " in " << c.width;
        EXPECT_DOUBLE_EQ(heading.scale, c.scale) << c.text << " in " << c.width;
    }
}

}  // namespace
}  // namespace pl3::grid
