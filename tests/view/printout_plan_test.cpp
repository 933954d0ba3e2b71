#include "view/printout_plan.h"

#include <gtest/gtest.h>

#include <numeric>

#include "codeplug/document_commands.h"
#include "grid/grid_rules.h"
#include "scripted_prompter.h"
#include "settings_fixture.h"

namespace pl3::printout {
namespace {

std::vector<int> firstChannels(int count) {
    std::vector<int> channels(static_cast<std::size_t>(count));
    std::iota(channels.begin(), channels.end(), 1);
    return channels;
}

TEST(PrintoutPlan, PageCountFollowsTheProgrammedChannels) {
    const struct {
        int channels;
        int pages;
    } cases[] = {{0, 1},  {1, 1},  {20, 1},  {21, 2},  {50, 2}, {51, 3},
                 {80, 3}, {81, 4}, {110, 4}, {111, 5}, {128, 5}};
    for (const auto& c : cases)
        EXPECT_EQ(pageCount(c.channels), c.pages) << c.channels;
}

TEST(PrintoutPlan, EachPageHoldsItsShareOfTheProgrammedChannelsInOrder) {
    const struct {
        int programmed;
        int page;
        int first;  // 0: the page holds none
        int last;
    } cases[] = {
        {20, 1, 1, 20},  {21, 1, 1, 20},    {21, 2, 21, 21},    {50, 2, 21, 50},    {51, 3, 51, 51},
        {80, 3, 51, 80}, {110, 4, 81, 110}, {111, 5, 111, 111}, {128, 5, 111, 128}, {20, 2, 0, 0},
    };
    for (const auto& c : cases) {
        std::vector<int> expected;
        for (int n = c.first; c.first != 0 && n <= c.last; ++n)
            expected.push_back(n);
        EXPECT_EQ(channelsOnPage(firstChannels(c.programmed), c.page), expected)
            << c.programmed << " channels, page " << c.page;
    }
    // Ordinals count programmed channels, not channel numbers: no gaps for empty ones.
    EXPECT_EQ(channelsOnPage({3, 7, 100}, 1), (std::vector<int>{3, 7, 100}));
}

TEST(PrintoutPlan, ProgrammedChannelsAreThoseWithAReceiveFrequency) {
    test::ProgramFolder folder;
    folder.installLanguageFiles();
    test::ScriptedPrompter prompter;
    CMaItemDoc doc(folder.settings());
    bool skip = true;
    ASSERT_TRUE(newDocument(doc, prompter, skip));
    for (int n = 1; n <= kChannelCount; ++n)
        doc.rawFields().setFrequencyText(n, Side::Receive, "");
    doc.rawFields().setFrequencyText(3, Side::Receive, "430.0");
    doc.rawFields().setFrequencyText(7, Side::Receive, "431.0");
    doc.rawFields().setFrequencyText(100, Side::Receive, "432.0");
    // Transmit only: not programmed.
    doc.rawFields().setFrequencyText(101, Side::Transmit, "432.0");
    TextLookup texts(folder.file("english.lang"));
    ChannelRules rules(doc.editTarget());
    EXPECT_EQ(programmedChannels(ChannelTable::rowsOf(rules, texts)),
              (std::vector<int>{3, 7, 100}));
}

// The plan needs no page: captions come from the language file or, where it has none, are
// the built-in ones; the grid's cells are marked as the channel page marks them.
TEST(PrintoutPlan, PlanComesFromTheCodeplugAndTheTexts) {
    test::ProgramFolder folder;
    folder.installLanguageFiles();
    test::ScriptedPrompter prompter;
    CMaItemDoc doc(folder.settings());
    bool skip = true;
    ASSERT_TRUE(newDocument(doc, prompter, skip));
    doc.rawFields().setFrequencyText(90, Side::Receive, "440.0");
    const TextLookup english(folder.file("english.lang"));
    const TextLookup bare(folder.write("bare.lang", "[ChText]\nChText0=CH\n"));

    // Printing shows the channels as the page would, without changing the document: a
    // shift direction the page would correct stays as it is.
    doc.rawFields().setShiftDir(90, 0);
    doc.startHistory(true);
    const Image unprinted = doc.image();
    const PrintPlan plan = makePrintPlan(doc, english, "today");
    EXPECT_EQ(doc.image(), unprinted);
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(doc.canUndo());
    EXPECT_EQ(plan.input.dateLine, "today");
    EXPECT_EQ(plan.input.functionRows[0][0].rfind("Squelch level : ", 0), 0U);
    EXPECT_EQ(plan.input.radioRows[1][1].rfind("Power-on message : ", 0), 0U);
    EXPECT_EQ(makePrintPlan(doc, bare, {}).input.functionRows[0][0].rfind("静噪等级 : ", 0), 0U);
    EXPECT_EQ(plan.input.programmed.back(), 90);
    EXPECT_EQ(plan.input.headingHeight, ChannelTable::kHeaderRowHeight);
    EXPECT_EQ(plan.input.lineStep, ChannelTable::kRowHeight);
    EXPECT_EQ(plan.grid.totalWidth(), 760);

    const struct {
        int row;
        int column;
        unsigned format;
        bool fixed;
        bool dimmed;
    } cases[] = {
        {0, 0, grid::kHeaderFormat, true, false}, {0, 1, grid::kHeaderFormat, true, false},
        {5, 0, grid::kCellFormat, true, false},   {5, 1, grid::kCellFormat, false, true},
        {90, 1, grid::kCellFormat, false, false}, {90, 5, grid::kCellFormat, false, false},
        {91, 1, grid::kCellFormat, false, false}, {91, 5, grid::kCellFormat, false, true},
    };
    ASSERT_EQ(plan.grid.rows.size(), static_cast<std::size_t>(ChannelTable::kRowCount));
    const ChannelTable table(doc, english, prompter);
    for (const auto& c : cases) {
        const GridRowPrint& row = plan.grid.rows[static_cast<std::size_t>(c.row)];
        const GridCellPrint& cell = row.cells[static_cast<std::size_t>(c.column)];
        EXPECT_EQ(cell.text, table.cell(c.row, c.column).text) << c.row << "," << c.column;
        EXPECT_EQ(cell.format, c.format) << c.row << "," << c.column;
        EXPECT_EQ(cell.fixed, c.fixed) << c.row << "," << c.column;
        EXPECT_EQ(cell.dimmed, c.dimmed) << c.row << "," << c.column;
        EXPECT_EQ(row.height,
                  c.row == 0 ? ChannelTable::kHeaderRowHeight : ChannelTable::kRowHeight);
    }
}

TEST(PrintoutPlan, LogicalPageKeepsThePrintableAreasProportions) {
    // 700 + 8 x 5 = 740 wide; 740 x 7016 / 4960 = 1046.7..., cut to 1046.
    EXPECT_EQ(logicalPage(700, 5, 4960, 7016).width, 740);
    EXPECT_EQ(logicalPage(700, 5, 4960, 7016).height, 1046);
    // Multiplied before dividing, and without overflow at huge resolutions.
    EXPECT_EQ(logicalPage(700, 5, 3, 4).height, 986);
    EXPECT_EQ(logicalPage(700, 5, 60000, 3000000).height, 37000);
    EXPECT_EQ(logicalPage(700, 5, 0, 100).height, 0);
}

std::tm mondayMorning() {
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 7;
    time.tm_wday = 1;
    time.tm_hour = 9;
    time.tm_min = 5;
    return time;
}

TEST(PrintoutPlan, DateLineIsDateWeekdayAndTime) {
    EXPECT_EQ(dateLine(mondayMorning(), std::locale::classic()), "2026-12-07 Monday 09:05");
}

// A locale whose weekday names are Chinese, as a Chinese system gives them.
class ChineseWeekdays : public std::time_put<wchar_t> {
  protected:
    iter_type do_put(iter_type out, std::ios_base& stream, wchar_t fill, const std::tm* time,
                     char format, char modifier) const override {
        if (format != 'A')
            return std::time_put<wchar_t>::do_put(out, stream, fill, time, format, modifier);
        static const wchar_t* const kNames[] = {L"星期日", L"星期一", L"星期二", L"星期三",
                                                L"星期四", L"星期五", L"星期六"};
        for (const wchar_t* c = kNames[time->tm_wday]; *c != 0; ++c)
            *out++ = *c;
        return out;
    }
};

TEST(PrintoutPlan, DateLineUsesTheLocalesWeekdayName) {
    const std::locale chinese(std::locale::classic(), new ChineseWeekdays);
    EXPECT_EQ(dateLine(mondayMorning(), chinese), "2026-12-07 星期一 09:05");
}

struct Placed {
    PrintItem::Kind kind;
    int x;
    int y;
    std::string text;
    int width;
    int channel;
    bool operator==(const Placed&) const = default;
};

std::vector<Placed> placed(const std::vector<PrintItem>& items) {
    std::vector<Placed> out;
    for (const PrintItem& i : items)
        out.push_back({i.kind, i.x, i.y, i.text, i.width, i.channel});
    return out;
}

using K = PrintItem::Kind;

PageInput input(int programmed) {
    // H = 28, s = 21, as the channel grid has them.
    return {"DATE",
            {{"a1", "a2", "a3"}, {"b1", "b2", "b3"}},
            {{"r1", "r2"}},
            firstChannels(programmed),
            28,
            21,
            540};
}

TEST(PrintoutPlan, FirstPageStacksDateSettingsHeadingsAndChannels) {
    EXPECT_EQ(placed(composePage(input(2), 1)),
              (std::vector<Placed>{
                  {K::Text, 0, 0, "DATE", 540, 0},
                  {K::Text, 0, 28, "a1", 200, 0},
                  {K::Text, 200, 28, "a2", 200, 0},
                  {K::Text, 400, 28, "a3", 140, 0},  // the rest of the line
                  {K::Text, 0, 49, "b1", 200, 0},
                  {K::Text, 200, 49, "b2", 200, 0},
                  {K::Text, 400, 49, "b3", 140, 0},
                  {K::Text, 0, 70, "r1", 200, 0},
                  {K::Text, 200, 70, "r2", 200, 0},
                  {K::Headings, 0, 91, "", 0, 0},
                  // H - 20 below the headings, then one line step before each row.
                  {K::ChannelRow, 0, 120, "", 0, 1},
                  {K::ChannelRow, 0, 141, "", 0, 2},
              }));
}

TEST(PrintoutPlan, SettingsColumnsSpreadOverAWidePage) {
    EXPECT_EQ(entryStep(540), 200);
    EXPECT_EQ(entryStep(760), 253);
    PageInput wide = input(0);
    wide.textWidth = 760;
    const std::vector<PrintItem> items = composePage(wide, 1);
    EXPECT_EQ(items[2].x, 253);
    EXPECT_EQ(items[3].x, 506);
    EXPECT_EQ(items[3].width, 254);
}

TEST(PrintoutPlan, LaterPagesHoldTheDateHeadingsAndTheirChannelsOnly) {
    const struct {
        int page;
        int firstRowY;  // below the headings at 28
    } cases[] = {{2, 28 + 8 + 21}, {3, 28 + 8 + 21}, {4, 28 + 28 + 21}, {5, 28 + 28}};
    for (const auto& c : cases) {
        const std::vector<PrintItem> items = composePage(input(128), c.page);
        ASSERT_GE(items.size(), 3U);
        EXPECT_EQ(items[0].text, "DATE");
        EXPECT_EQ(items[1].kind, K::Headings);
        EXPECT_EQ(items[1].y, 28);
        EXPECT_EQ(items[2].kind, K::ChannelRow);
        EXPECT_EQ(items[2].channel, ordinalsOnPage(c.page).first);
        EXPECT_EQ(items[2].y, c.firstRowY) << "page " << c.page;
        EXPECT_EQ(items[3].y, c.firstRowY + 21) << "page " << c.page;
    }
}

TEST(PrintoutPlan, PageWithoutChannelsEndsWithTheHeadings) {
    const std::vector<PrintItem> items = composePage(input(0), 1);
    EXPECT_EQ(items.back().kind, K::Headings);
}

}  // namespace
}  // namespace pl3::printout
