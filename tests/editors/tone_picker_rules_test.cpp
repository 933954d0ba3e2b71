#include "editors/tone_picker_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codeplug/text_keys.h"
#include "document_fixture.h"

namespace pl3 {
namespace {

using Rules = TonePickerRules;

constexpr int kChannel = 80;
constexpr int kRxColumn = 3;
constexpr int kTxColumn = 4;

class TonePickerRulesTest : public test::DocumentFixture {
  protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        doc.rawFields().setFrequencyText(kChannel, Side::Receive, "440");
        doc.rawFields().setFrequencyText(kChannel, Side::Transmit, "440");
        doc.setModifiedFlag(false);
    }

    void setField(Side side, std::uint8_t index, std::uint8_t kind) {
        const std::size_t at = layout::record(kChannel) + (side == Side::Receive ? 8 : 10);
        doc.rawFields().image()[at] = index;
        doc.rawFields().image()[at + 1] = kind;
    }
    tone::Field field(Side side) const { return doc.fields().toneField(kChannel, side); }
    Rules open(int column, std::string text = {}) {
        return Rules(doc.editTarget(), texts, kChannel, column, std::move(text));
    }
};

TEST(TonePickerShapes, SizesWidthsAndEntries) {
    const ToneGridShape& ctcss = Rules::ctcssShape();
    EXPECT_EQ(ctcss.dataRows, 10);
    EXPECT_EQ(ctcss.columns, 10);
    EXPECT_EQ(ctcss.entries, 50);
    EXPECT_EQ(ctcss.widths, (std::vector<int>{46, 80, 46, 80, 46, 80, 46, 80, 46, 80}));
    const ToneGridShape& dcs = Rules::dcsShape();
    EXPECT_EQ(dcs.dataRows, 15);
    EXPECT_EQ(dcs.columns, 14);
    EXPECT_EQ(dcs.entries, 104);
    EXPECT_EQ(dcs.widths,
              (std::vector<int>{40, 50, 40, 50, 40, 50, 40, 50, 40, 50, 40, 50, 40, 50}));
}

TEST_F(TonePickerRulesTest, OpeningStateFromIndexByteAndKindBits) {
    struct Case {
        std::uint8_t index;
        std::uint8_t kind;
        ToneMode mode;
        bool inverted;
    } cases[] = {
        {0, 0xF8, ToneMode::Ctcss, false}, {49, 0xF8, ToneMode::Ctcss, false},
        {50, 0xF8, ToneMode::Off, false},  {0, 0xF9, ToneMode::Dcs, false},
        {103, 0xF9, ToneMode::Dcs, false}, {103, 0xFB, ToneMode::Dcs, true},
        {104, 0xF9, ToneMode::Off, false}, {0xFF, 0xFF, ToneMode::Off, false},
        {8, 0xFE, ToneMode::Ctcss, false},  // only bits 0 and 1 count
    };
    for (const Case& c : cases) {
        setField(Side::Receive, c.index, c.kind);
        Rules rules = open(kRxColumn);
        EXPECT_EQ(rules.mode(), c.mode) << int(c.index) << " " << int(c.kind);
        EXPECT_EQ(rules.inverted(), c.inverted) << int(c.index) << " " << int(c.kind);
        EXPECT_EQ(rules.invertedEnabled(), c.mode == ToneMode::Dcs);
        EXPECT_EQ(rules.gridVisible(), c.mode != ToneMode::Off);
        EXPECT_EQ(rules.shape() == nullptr, c.mode == ToneMode::Off);
    }
}

TEST_F(TonePickerRulesTest, NumbersEntriesAndHeadings) {
    struct Case {
        std::uint8_t kind;
        int row;
        int column;
        std::string text;
    } cases[] = {
        {0xF8, 1, 0, "1"},
        {0xF8, 1, 1, "67.0"},
        {0xF8, 10, 2, "20"},
        {0xF8, 9, 1, "88.5"},
        {0xF8, 3, 4, "23"},
        {0xF8, 10, 9, "254.1"},
        {0xF9, 1, 1, "D023N"},
        {0xF9, 15, 12, ""},
        {0xF9, 15, 13, ""},
        {0xF9, 14, 13, "D754N"},
        {0xF9, 14, 12, "104"},
        {0xFB, 1, 1, "D023I"},
        {0xF8, 0, 0, *texts.heading(lang_section::kCtcDcsText, lang_section::kCtcDcsKeyFormat, 0)},
        {0xF9, 0, 13, *texts.heading(lang_section::kCtcDcsText, lang_section::kCtcDcsKeyFormat, 1)},
    };
    for (const Case& c : cases) {
        setField(Side::Receive, 0, c.kind);
        EXPECT_EQ(open(kRxColumn).cellText(c.row, c.column), c.text)
            << int(c.kind) << " " << c.row << "," << c.column;
    }
}

TEST_F(TonePickerRulesTest, HighlightOfTheChannelsCurrentTone) {
    struct Case {
        std::uint8_t index;
        std::uint8_t kind;
        std::string text;
        int row;
        int column;
        std::optional<Rgb> colour;
    } cases[] = {
        {8, 0xF8, "88.5", 9, 1, Rgb{100, 100, 250}},
        {8, 0xF8, "88.5", 9, 0, std::nullopt},  // the number cell stays plain
        {8, 0xF8, "88.5", 8, 1, std::nullopt},
        {0, 0xF9, "D023N", 1, 1, Rgb{100, 100, 250}},
        {0, 0xFB, "D023I", 1, 1, Rgb{50, 50, 250}},
        {0, 0xFB, "D023N", 1, 1, std::nullopt},
    };
    for (const Case& c : cases) {
        setField(Side::Transmit, c.index, c.kind);
        EXPECT_EQ(open(kTxColumn, c.text).highlight(c.row, c.column), c.colour)
            << c.text << " " << c.row << "," << c.column;
    }
}

TEST(TonePickerIndex, FromTheClickedCell) {
    struct Case {
        ToneMode mode;
        int row;
        int column;
        int index;
    } cases[] = {
        {ToneMode::Ctcss, 1, 0, 0},    {ToneMode::Ctcss, 3, 4, 22},   {ToneMode::Ctcss, 3, 5, 22},
        {ToneMode::Ctcss, 10, 9, 49},  {ToneMode::Dcs, 1, 1, 0},      {ToneMode::Dcs, 15, 1, 14},
        {ToneMode::Dcs, 14, 13, 103},  {ToneMode::Dcs, 15, 12, 0xFF}, {ToneMode::Dcs, 15, 13, 0xFF},
        {ToneMode::Ctcss, 0, 1, 0xFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Rules::indexAt(c.mode, c.row, c.column), c.index) << c.row << "," << c.column;
    }
}

TEST_F(TonePickerRulesTest, ChoicesSetTheKindBitsAndTheirCommitMarksTheDocument) {
    struct Case {
        const char* name;
        std::uint8_t index;
        std::uint8_t kind;
        void (*choose)(Rules&);
        ToneMode mode;
        std::uint8_t newIndex;
        std::uint8_t newKind;
        bool modified;
    } cases[] = {
        {"off", 8, 0xF8, [](Rules& r) { r.chooseOff(); }, ToneMode::Off, 0xFF, 0xFF, true},
        {"off again", 0xFF, 0xFF, [](Rules& r) { r.chooseOff(); }, ToneMode::Off, 0xFF, 0xFF,
         false},
        {"ctcss on dcs", 30, 0xFB, [](Rules& r) { r.chooseCtcss(); }, ToneMode::Ctcss, 30, 0xF8,
         true},
        {"cdcss on off", 0xFF, 0xFF, [](Rules& r) { r.chooseDcs(); }, ToneMode::Dcs, 0xFF, 0xF9,
         true},
        {"cdcss on inverted", 5, 0xFB, [](Rules& r) { r.chooseDcs(); }, ToneMode::Dcs, 5, 0xF9,
         true},
        {"invert", 5, 0xF9, [](Rules& r) { r.setInverted(true); }, ToneMode::Dcs, 5, 0xFB, true},
        {"pick ctcss", 0, 0xF8, [](Rules& r) { r.pick(3, 4); }, ToneMode::Ctcss, 22, 0xF8, true},
        {"pick the same", 22, 0xF8, [](Rules& r) { r.pick(3, 5); }, ToneMode::Ctcss, 22, 0xF8,
         false},
        {"pick the empty dcs cell", 3, 0xF9, [](Rules& r) { r.pick(15, 13); }, ToneMode::Dcs, 0xFF,
         0xF9, true},
    };
    for (const Case& c : cases) {
        setField(Side::Receive, c.index, c.kind);
        doc.setModifiedFlag(false);
        Rules rules = open(kRxColumn);
        c.choose(rules);
        EXPECT_EQ(rules.mode(), c.mode) << c.name;
        EXPECT_EQ(rules.chosen().index, c.newIndex) << c.name;
        EXPECT_EQ(rules.chosen().kind, c.newKind) << c.name;
        rules.commit();
        EXPECT_EQ(doc.isModified(), c.modified) << c.name;
    }
}

TEST_F(TonePickerRulesTest, ChoosingCtcssOrOffClearsTheInvertedBox) {
    setField(Side::Transmit, 5, 0xFB);
    Rules rules = open(kTxColumn, "D031I");
    EXPECT_TRUE(rules.inverted());
    rules.chooseCtcss();
    EXPECT_FALSE(rules.inverted());
    EXPECT_FALSE(rules.invertedEnabled());
    rules.chooseDcs();
    EXPECT_FALSE(rules.inverted());
    EXPECT_TRUE(rules.invertedEnabled());
    rules.setInverted(true);
    EXPECT_EQ(rules.cellText(1, 1), "D023I");
    rules.chooseOff();
    EXPECT_FALSE(rules.inverted());
    EXPECT_FALSE(rules.invertedEnabled());
}

TEST_F(TonePickerRulesTest, CancelRestoresTheFieldAndTheModifiedFlag) {
    struct Case {
        bool modifiedBefore;
        void (*choose)(Rules&);
    } cases[] = {
        {false, [](Rules& r) { r.chooseCtcss(); }},     {true, [](Rules& r) { r.chooseCtcss(); }},
        {false, [](Rules& r) { r.setInverted(true); }}, {false, [](Rules& r) { r.chooseOff(); }},
        {false, [](Rules& r) { r.pick(2, 1); }},
    };
    for (const Case& c : cases) {
        setField(Side::Receive, 7, 0xF9);
        setField(Side::Transmit, 1, 0xF8);
        doc.setModifiedFlag(c.modifiedBefore);
        Rules rules = open(kRxColumn, "D047N");
        c.choose(rules);
        rules.cancel();
        EXPECT_EQ(field(Side::Receive).index, 7);
        EXPECT_EQ(field(Side::Receive).kind, 0xF9);
        EXPECT_EQ(field(Side::Transmit).index, 1);
        EXPECT_EQ(field(Side::Transmit).kind, 0xF8);
        EXPECT_EQ(doc.isModified(), c.modifiedBefore);
    }
}

// However many buttons were clicked, a picker session that ends with a choice is one undo
// step, and one that is cancelled is none.
TEST_F(TonePickerRulesTest, APickerSessionIsOneUndoStep) {
    setField(Side::Receive, 7, 0xF9);
    doc.startHistory(true);
    const Image opening = doc.image();
    Rules rules = open(kRxColumn, "D047N");
    rules.chooseCtcss();
    rules.chooseDcs();
    rules.setInverted(true);
    rules.pick(3, 1);
    rules.commit();
    ASSERT_TRUE(doc.canUndo());
    doc.undo();
    EXPECT_EQ(doc.image(), opening);
    EXPECT_FALSE(doc.canUndo());

    Rules cancelled = open(kRxColumn, "D047N");
    cancelled.chooseCtcss();
    cancelled.cancel();
    ASSERT_TRUE(doc.canRedo());  // the cancelled session recorded no step over it
    doc.redo();
    EXPECT_TRUE(doc.canUndo());
    EXPECT_FALSE(doc.canRedo());
}

}  // namespace
}  // namespace pl3
