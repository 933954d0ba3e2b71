#include "editors/channel_table.h"

#include <gtest/gtest.h>

#include <memory>

#include "channel_contents.h"
#include "codeplug/text_keys.h"
#include "document_fixture.h"

namespace pl3 {
namespace {

using Table = ChannelTable;

class ChannelTableTest : public test::DocumentFixture {
  protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        table = std::make_unique<ChannelTable>(doc, texts, prompter);
        table->onChannelsChanged = [this] { ++channelsChanged; };
    }

    std::string word(std::string_view key) const { return texts.text(key); }
    std::uint8_t& recordByte(int n, std::size_t b) {
        return doc.rawFields().image()[layout::record(n) + b];
    }

    // 'e' editable, 'r' read-only, for columns 1 ... 12.
    std::string marks(int n) const {
        std::string out;
        for (int c = 1; c < Table::kColumnCount; ++c)
            out += table->cell(n, c).readOnly ? 'r' : 'e';
        return out;
    }

    void program(int n, const char* rx, const char* tx, bool repeater) {
        doc.rawFields().setFrequencyText(n, Side::Receive, rx);
        doc.rawFields().setFrequencyText(n, Side::Transmit, tx);
        doc.rawFields().setChannelFlag(n, ChannelFlag::Repeater, repeater);
        table->RefreshRow(n);
    }

    std::unique_ptr<ChannelTable> table;
    int channelsChanged = 0;
};

TEST_F(ChannelTableTest, HeadingsAndNumbersFillRowZeroAndColumnZero) {
    for (int c = 0; c < Table::kColumnCount; ++c) {
        EXPECT_EQ(
            table->cell(0, c).text,
            texts.heading(lang_section::kChText, lang_section::kChTextKeyFormat, c).value_or("?"))
            << c;
    }
    EXPECT_EQ(table->cell(0, 1).text, "RX Freq");
    for (int n : {1, 77, 78, 128}) {
        EXPECT_EQ(table->cell(n, 0).text, std::to_string(n));
        EXPECT_TRUE(table->cell(n, 0).readOnly);
    }
}

TEST_F(ChannelTableTest, MarksFollowTheChannelState) {
    struct Case {
        const char* what;
        int n;
        const char* rx;
        const char* tx;
        bool repeater;
        const char* marks;  // columns 1 ... 12
    };
    const Case cases[] = {
        {"empty, talkaround", 80, "", "", false, "errrrrrrrrrr"},
        {"empty, repeater", 80, "", "", true, "eererrrrrrrr"},
        {"programmed, talkaround", 80, "446", "446", false, "erereeeeeeee"},
        {"programmed, repeater", 80, "446", "440", true, "eeeeeeeeeeee"},
        {"TX-empty, talkaround", 80, "446", "", false, "erereeeeeeee"},
        {"TX-empty, repeater", 80, "446", "", true, "eeeeeeeeeeee"},
        {"fixed, talkaround", 5, "446.05625", "446.05625", false, "rrereeereree"},
        {"fixed, repeater", 5, "446.05625", "446.05625", true, "reeeeeereree"},
        {"last channel", 128, "440", "440", false, "erereeeeeeee"},
    };
    const ChannelRules rules(doc.editTarget());
    for (const Case& c : cases) {
        program(c.n, c.rx, c.tx, c.repeater);
        EXPECT_EQ(marks(c.n), c.marks) << c.what;
        for (int f = 0; f < kChannelFieldCount; ++f)
            EXPECT_EQ(rules.canEdit(c.n, static_cast<ChannelField>(f)), c.marks[f] == 'e')
                << c.what << " field " << f;
    }
}

TEST_F(ChannelTableTest, FactoryFixedChannelsAreProgrammedTalkaround) {
    EXPECT_EQ(marks(1), "rrereeereree");
    EXPECT_EQ(marks(77), "rrereeereree");
    EXPECT_EQ(marks(78), "errrrrrrrrrr");
}

TEST_F(ChannelTableTest, EmptyChannelShowsOnlyEmptyTexts) {
    doc.rawFields().setChannelName(80, text_codes::encodeDisplayText("ABC"));
    doc.rawFields().setToneIndexByte(80, Side::Receive, 3);
    table->RefreshRow(80);
    for (int c = 1; c < Table::kColumnCount; ++c)
        EXPECT_EQ(table->cell(80, c).text, "") << c;
    EXPECT_EQ(table->cell(80, 0).text, "80");
}

TEST_F(ChannelTableTest, FlagColumnsShowTheirBits) {
    struct Case {
        std::uint8_t flags;
        std::array<std::string_view, 7> keys;  // columns 5 ... 11
    };
    using namespace text_key;
    const Case cases[] = {
        {0xFF, {kOff, kOff, kOff, kWide, kHigh, kRepeater, kOff}},
        {0x00, {kOn, kOn, kOn, kNarrow, kLow, kTalkaround, kOn}},
        {0x15, {kOff, kOn, kOff, kNarrow, kHigh, kTalkaround, kOn}},
        {0xCA, {kOn, kOff, kOn, kWide, kLow, kRepeater, kOff}},
        {0x20, {kOn, kOn, kOn, kNarrow, kLow, kTalkaround, kOn}},
    };
    program(90, "446", "446", false);
    for (const Case& c : cases) {
        recordByte(90, layout::kRecFlags) = c.flags;
        table->RefreshRow(90);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(table->cell(90, 5 + i).text, word(c.keys[i]))
                << std::hex << int(c.flags) << " column " << std::dec << 5 + i;
    }
    EXPECT_NE(word(text_key::kOn), word(text_key::kOff));
}

TEST_F(ChannelTableTest, ToneTextsAndTheKindBitsOfAnOffTone) {
    struct Case {
        std::uint8_t index;
        std::uint8_t kind;
        std::string text;  // empty: the "off" word
        std::uint8_t kindAfter;
    };
    const Case cases[] = {
        {0, 0xF8, "67.0", 0xF8},
        {49, 0xF8, "254.1", 0xF8},
        {0, 0xF9, "D023N", 0xF9},
        {0, 0xFB, "D023I", 0xFB},
        {50, 0xF8, std::string(tone::dcsNormalTable()[50]), 0xF8},
        {103, 0xFB, std::string(tone::dcsInvertedTable()[103]), 0xFB},
        {104, 0xF0, "", 0xF7},
        {0xFF, 0x00, "", 0x07},
        {0xFF, 0xFF, "", 0xFF},
    };
    program(90, "446", "440", true);
    for (const Case& c : cases) {
        for (Side side : {Side::Receive, Side::Transmit}) {
            const std::size_t at = side == Side::Receive ? layout::kRecRxTone : layout::kRecTxTone;
            recordByte(90, at) = c.index;
            recordByte(90, at + 1) = c.kind;
            table->RefreshRow(90);
            const int column = side == Side::Receive ? 3 : 4;
            EXPECT_EQ(table->cell(90, column).text, c.text.empty() ? word(text_key::kOff) : c.text)
                << int(c.index) << " column " << column;
            EXPECT_EQ(recordByte(90, at + 1), c.kindAfter) << int(c.index) << " column " << column;
        }
    }
}

TEST_F(ChannelTableTest, TxEmptyChannelShowsNoTransmitToneAndLeavesItsKind) {
    program(90, "446", "", true);
    recordByte(90, layout::kRecTxTone) = 0xFF;
    recordByte(90, layout::kRecTxTone + 1) = 0x00;
    table->RefreshRow(90);
    EXPECT_EQ(table->cell(90, 2).text, "");
    EXPECT_EQ(table->cell(90, 4).text, "");
    EXPECT_EQ(recordByte(90, layout::kRecTxTone + 1), 0x00);
    EXPECT_EQ(table->cell(90, 1).text, "446.00000");
}

TEST_F(ChannelTableTest, ShiftDirFollowsTheFrequenciesAndKeepsTheLowBits) {
    struct Case {
        const char* rx;
        const char* tx;
        int shift;
    };
    const Case cases[] = {
        {"446", "446", 0}, {"446", "440", 2}, {"440", "446", 1}, {"446", "", 2}, {"", "", 0},
    };
    for (const Case& c : cases) {
        recordByte(90, layout::kRecShift) = 0xD5;
        program(90, c.rx, c.tx, true);
        EXPECT_EQ(doc.fields().shiftDir(90), c.shift) << c.rx << "/" << c.tx;
        EXPECT_EQ(recordByte(90, layout::kRecShift) & 0x3F, 0x15) << c.rx << "/" << c.tx;
    }
}

TEST_F(ChannelTableTest, FrequencyCommitChecksRangeAndFillsNewChannels) {
    struct Case {
        const char* rx;
        const char* tx;
        int column;
        const char* typed;
        const char* rxAfter;
        const char* txAfter;
        int shift;
    };
    const Case cases[] = {
        {"", "", 1, "446", "446.00000", "446.00000", 0},
        {"", "", 1, "480", "470.00000", "470.00000", 0},
        {"", "", 1, "300.5", "400.00000", "400.00000", 0},
        {"", "", 1, "446.00625", "446.00625", "446.00625", 0},
        {"446", "440", 1, "450", "450.00000", "440.00000", 2},
        {"446", "450", 1, "440", "440.00000", "450.00000", 1},
        {"446", "446", 1, "447", "447.00000", "446.00000", 2},
        {"446", "", 1, "447", "447.00000", "", 2},
        {"446", "446", 2, "447.5", "446.00000", "447.50000", 1},
        {"446", "446", 2, "471", "446.00000", "470.00000", 1},
        {"446", "446", 2, "", "446.00000", "", 2},
    };
    for (const Case& c : cases) {
        program(80, c.rx, c.tx, true);
        doc.setModifiedFlag(false);
        table->commitFrequency(80, c.column, c.typed);
        EXPECT_EQ(doc.fields().frequencyText(80, Side::Receive), c.rxAfter) << c.typed;
        EXPECT_EQ(doc.fields().frequencyText(80, Side::Transmit), c.txAfter) << c.typed;
        EXPECT_EQ(doc.fields().shiftDir(80), c.shift) << c.typed;
        EXPECT_EQ(table->cell(80, 1).text, c.rxAfter) << c.typed;
        EXPECT_TRUE(doc.isModified()) << c.typed;
    }
    EXPECT_EQ(channelsChanged, static_cast<int>(std::size(cases)));
}

// By value, as import and paste set them: values typed text cannot give.
TEST_F(ChannelTableTest, FrequencyValuesAreClampedRoundedAndFillNewChannels) {
    struct Case {
        int n;
        Side side;
        std::optional<std::int64_t> value;
        bool accepted;
        const char* rxAfter;
        const char* txAfter;
    };
    const Case cases[] = {
        {80, Side::Receive, 44600300, true, "446.00500", "446.00500"},
        {80, Side::Receive, 1'000'000'000'000, true, "470.00000", "446.00500"},
        {80, Side::Receive, -5, true, "400.00000", "446.00500"},
        {80, Side::Receive, std::nullopt, true, "", ""},
        {90, Side::Transmit, 44000625, true, "446.00000", "440.00625"},
        {90, Side::Receive, 43900000, true, "439.00000", "440.00625"},
        {5, Side::Receive, 44000000, false, "446.05625", "446.05625"},
        {91, Side::Transmit, 44000000, false, "446.00000", "446.00000"},  // talkaround
    };
    ChannelRules rules(doc.editTarget());
    program(90, "446", "446", true);
    program(91, "446", "446", false);
    program(5, "446.05625", "446.05625", false);
    for (const Case& c : cases) {
        EXPECT_EQ(rules.setFrequency(c.n, c.side, c.value), c.accepted) << c.n;
        EXPECT_EQ(doc.fields().frequencyText(c.n, Side::Receive), c.rxAfter) << c.n;
        EXPECT_EQ(doc.fields().frequencyText(c.n, Side::Transmit), c.txAfter) << c.n;
    }
    EXPECT_EQ(doc.fields().shiftDir(90), 1);  // an existing channel keeps its transmit frequency
}

TEST_F(ChannelTableTest, ToneFlagAndNameValuesNeedAnEditableField) {
    program(90, "446", "440", false);
    ChannelRules rules(doc.editTarget());
    const Image before = doc.image();
    EXPECT_FALSE(rules.setTone(90, Side::Transmit, tone::kFirstCtcss));  // talkaround
    EXPECT_FALSE(rules.setTone(100, Side::Receive, tone::kFirstCtcss));  // empty channel
    EXPECT_FALSE(rules.setFlag(90, ChannelFlag::BeatShift, false));      // no column
    EXPECT_FALSE(rules.setFlag(5, ChannelFlag::Bandwidth, true));        // fixed channel
    EXPECT_FALSE(rules.setName(100, text_codes::encodeDisplayText("A")));
    EXPECT_TRUE(rules.setFlag(90, ChannelFlag::TxPower,
                              doc.fields().channelFlag(90, ChannelFlag::TxPower)));
    EXPECT_EQ(doc.image(), before);
    EXPECT_FALSE(doc.isModified());

    EXPECT_TRUE(rules.setTone(90, Side::Receive, tone::kFirstDcsNormal));
    EXPECT_EQ(doc.fields().toneCode(90, Side::Receive), tone::kFirstDcsNormal);
    EXPECT_TRUE(rules.setFlag(90, ChannelFlag::Repeater, true));
    EXPECT_TRUE(rules.setTone(90, Side::Transmit, tone::kOff));
    EXPECT_EQ(recordByte(90, layout::kRecTxTone + 1) & 0x07, 0x07) << "an off tone's kind";
    EXPECT_TRUE(rules.setName(90, text_codes::encodeDisplayText("AB")));
    EXPECT_EQ(text_codes::decodeDisplayText(doc.fields().channelName(90)), "AB");
    EXPECT_TRUE(doc.isModified());
}

TEST_F(ChannelTableTest, EmptyTransmitFrequencyTurnsTheTransmitToneOff) {
    program(80, "446", "440", true);
    doc.rawFields().setToneCode(80, Side::Transmit, tone::kFirstDcsNormal);
    doc.rawFields().setToneCode(80, Side::Receive, tone::kFirstCtcss);
    table->commitFrequency(80, 2, "");
    EXPECT_EQ(doc.fields().toneIndexByte(80, Side::Transmit), 0xFF);
    EXPECT_EQ(doc.fields().toneIndexByte(80, Side::Receive), 0);
    EXPECT_FALSE(doc.fields().isEmpty(80));
}

TEST_F(ChannelTableTest, ClearingTheReceiveFrequencyEmptiesTheChannel) {
    program(80, "446", "440", true);
    doc.rawFields().setToneCode(80, Side::Receive, tone::kFirstCtcss);
    doc.rawFields().setToneCode(80, Side::Transmit, tone::kFirstDcsNormal);
    recordByte(80, layout::kRecFlags) = 0x40;
    doc.rawFields().setChannelName(80, text_codes::encodeDisplayText("NAME"));
    table->RefreshRow(80);
    doc.setModifiedFlag(false);

    table->commitFrequency(80, 1, "");

    EXPECT_TRUE(doc.fields().isEmpty(80));
    EXPECT_EQ(doc.fields().frequencyText(80, Side::Transmit), "");
    EXPECT_EQ(doc.fields().toneIndexByte(80, Side::Receive), 0xFF);
    EXPECT_EQ(doc.fields().toneIndexByte(80, Side::Transmit), 0xFF);
    EXPECT_EQ(recordByte(80, layout::kRecFlags), 0xBF);
    text_codes::DisplayBytes noName;
    noName.fill(0xFF);
    EXPECT_EQ(doc.fields().channelName(80), noName);
    for (int c = 1; c < Table::kColumnCount; ++c)
        EXPECT_EQ(table->cell(80, c).text, "") << c;
    EXPECT_EQ(marks(80), "errrrrrrrrrr");
    EXPECT_TRUE(doc.isModified());
}

TEST_F(ChannelTableTest, ReadOnlyCellsRefuseEdits) {
    program(90, "446", "446", false);  // talkaround: transmit side read-only
    const Image before = doc.image();
    table->commitFrequency(5, 1, "440");   // fixed receive frequency
    table->commitFrequency(90, 2, "440");  // talkaround
    table->commitFrequency(90, 3, "440");  // not a frequency column
    table->commitName(100, "ABC");         // empty channel
    table->toggle(5, 8);
    table->toggle(5, 10);
    table->toggle(100, 5);
    table->toggle(90, 4);
    EXPECT_EQ(doc.image(), before);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(channelsChanged, 0);
}

TEST_F(ChannelTableTest, NameCommitEncodesAndStoresChanges) {
    struct Case {
        const char* typed;
        text_codes::DisplayBytes bytes;
        const char* shown;
    };
    const Case cases[] = {
        {"ab-12*", {12, 13, 38, 1, 2, 40}, "AB-12*"},
        {"Z_ +9#x", {37, 10, 11, 39, 9, 41}, "Z_ +9#"},
        {"a.b", {12, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "A"},
        {"", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, ""},
    };
    program(80, "446", "446", false);
    for (const Case& c : cases) {
        doc.setModifiedFlag(false);
        table->commitName(80, c.typed);
        EXPECT_EQ(doc.fields().channelName(80), c.bytes) << c.typed;
        EXPECT_EQ(table->cell(80, 12).text, c.shown) << c.typed;
        EXPECT_TRUE(doc.isModified()) << c.typed;
    }
    doc.setModifiedFlag(false);
    table->commitName(80, "");
    EXPECT_FALSE(doc.isModified()) << "an unchanged name is no edit";
    EXPECT_EQ(channelsChanged, 0);
}

TEST_F(ChannelTableTest, KeyFilters) {
    struct FrequencyKey {
        char c;
        const char* current;
        bool accepted;
    };
    const FrequencyKey frequencyKeys[] = {
        {'0', "", true},  {'9', "446.", true}, {'.', "446", true}, {'.', "446.1", false},
        {'a', "", false}, {'-', "", false},    {' ', "4", false},  {',', "4", false},
        {'/', "", false}, {':', "", false},
    };
    for (const FrequencyKey& k : frequencyKeys)
        EXPECT_EQ(Table::acceptsFrequencyKey(k.c, k.current), k.accepted) << k.c << k.current;

    const std::pair<char, bool> nameKeys[] = {
        {'a', true}, {'Z', true}, {'5', true},  {'_', true},  {' ', true},  {'-', true},
        {'+', true}, {'*', true}, {'#', false}, {'.', false}, {'/', false}, {'@', false},
    };
    for (auto [c, accepted] : nameKeys)
        EXPECT_EQ(Table::acceptsNameKey(c), accepted) << c;
    EXPECT_EQ(Table::kFrequencyEditorMaxChars, 9);
    EXPECT_EQ(Table::kNameEditorMaxChars, 6);
}

TEST_F(ChannelTableTest, TogglesInvertTheirBitAndMarkTheDocument) {
    const std::pair<int, std::uint8_t> cases[] = {
        {5, 0x01}, {6, 0x02}, {7, 0x04}, {8, 0x08}, {9, 0x10}, {10, 0x40}, {11, 0x80},
    };
    program(80, "446", "440", false);
    for (auto [column, mask] : cases) {
        const std::uint8_t flags = recordByte(80, layout::kRecFlags);
        const std::string shown = table->cell(80, column).text;
        doc.setModifiedFlag(false);
        table->toggle(80, column);
        EXPECT_EQ(recordByte(80, layout::kRecFlags), flags ^ mask) << column;
        EXPECT_NE(table->cell(80, column).text, shown) << column;
        EXPECT_TRUE(doc.isModified()) << column;
    }
    // Column 10 was toggled once: repeater now, so the transmit side opens.
    EXPECT_FALSE(table->cell(80, 2).readOnly);
    EXPECT_FALSE(table->cell(80, 4).readOnly);
    table->toggle(80, 10);
    EXPECT_TRUE(table->cell(80, 2).readOnly);
    EXPECT_TRUE(table->cell(80, 4).readOnly);
    EXPECT_EQ(channelsChanged, 0);
}

// Clear resets one channel; every channel gets distinctive contents. Adding and deleting
// are channel order commands, tested with the others.
class ChannelMoveTest : public ChannelTableTest {
  protected:
    void SetUp() override {
        ChannelTableTest::SetUp();
        for (int n = 78; n <= 128; ++n) {
            if (n % 5 == 0) continue;  // some empty channels in between
            const std::string mhz = std::to_string(400 + (n - 78)) + ".5";
            program(n, mhz.c_str(), n % 2 ? mhz.c_str() : "445", n % 3 == 0);
            doc.rawFields().setToneCode(n, Side::Receive, n);
            doc.rawFields().setChannelName(n,
                                           text_codes::encodeDisplayText("CH" + std::to_string(n)));
        }
        for (int n = 1; n <= 128; ++n) {
            recordByte(n, layout::kRecShift) = 0x15;  // low bits a reset must restore
            recordByte(n, 14) = static_cast<std::uint8_t>(n);
            recordByte(n, 15) = static_cast<std::uint8_t>(~n);
            doc.rawFields().image()[layout::nameSlot(n) + 6] = static_cast<std::uint8_t>(n + 1);
            doc.rawFields().image()[layout::nameSlot(n) + 7] = static_cast<std::uint8_t>(n + 2);
            doc.rawFields().setScanMember(n - 1, n % 3 != 1);
        }
        table->Rebuild();
        original = doc.image();
        doc.setModifiedFlag(false);
    }

    Image original{};
};

TEST_F(ChannelMoveTest, ClearResetsOnlyItsChannel) {
    for (int s : {101, 128}) {
        doc.rawFields().image() = original;
        table->Rebuild();
        doc.setModifiedFlag(false);
        channelsChanged = 0;
        EXPECT_TRUE(table->clearChannel(s)) << s;
        const Image& now = doc.image();
        for (int n = 1; n <= 128; ++n) {
            const bool reset = n == s;
            ASSERT_EQ(test::channelRecord(now, n),
                      reset ? test::resetRecord(original, n) : test::channelRecord(original, n))
                << s << " channel " << n;
            ASSERT_EQ(test::channelNameSlot(now, n),
                      reset ? test::resetNameSlot(original, n) : test::channelNameSlot(original, n))
                << s << " channel " << n;
            ASSERT_EQ(test::channelScanBit(now, n), !reset && test::channelScanBit(original, n))
                << s << " channel " << n;
        }
        EXPECT_EQ(table->cell(s, 1).text, "") << s;
        EXPECT_EQ(table->cell(s, 12).text, "") << s;
        EXPECT_TRUE(doc.isModified()) << s;
        EXPECT_EQ(channelsChanged, 1) << s;
    }
}

TEST_F(ChannelMoveTest, FixedChannelsIgnoreTheButtons) {
    for (int s : {0, 1, 50, 77, 129}) {
        EXPECT_FALSE(table->addChannel(s)) << s;
        EXPECT_FALSE(table->deleteChannel(s)) << s;
        EXPECT_FALSE(table->clearChannel(s)) << s;
    }
    EXPECT_EQ(doc.image(), original);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(channelsChanged, 0);
}

TEST_F(ChannelTableTest, RangeListNamesTheRangesAndSelectsTheDocumentsOne) {
    EXPECT_EQ(table->rangeNames(),
              (std::vector<std::string>{"400-470MHz", "430-440MHz", "420-450MHz"}));
    EXPECT_EQ(table->selectedRange(), 0);
    doc.selectRange(2);
    table->Rebuild();
    EXPECT_EQ(table->selectedRange(), 2);
}

TEST_F(ChannelTableTest, RangeChangeAsksAndCancelKeepsEverything) {
    program(80, "446", "446", false);
    const Image before = doc.image();
    prompter.answer(false);
    EXPECT_EQ(table->changeRange(1), 0);
    ASSERT_EQ(prompter.prompts().size(), 1u);
    const test::RecordedPrompt& asked = prompter.prompts()[0];
    EXPECT_EQ(asked.captionKey, "IDS_CONFIRM");
    EXPECT_EQ(asked.textKey, "IDS_CONFIRM_FREQ");
    EXPECT_EQ(asked.icon, PromptIcon::Exclamation);
    EXPECT_TRUE(asked.question);
    EXPECT_EQ(doc.image(), before);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(table->selectedRange(), 0);

    EXPECT_EQ(table->changeRange(0), 0);  // the range in force: nothing to ask
    EXPECT_EQ(prompter.prompts().size(), 1u);
}

TEST_F(ChannelTableTest, RangeChangeOnOkStartsANewCodeplugInTheNewRange) {
    int viewUpdates = 0;
    doc.addViewListener([&] { ++viewUpdates; });
    program(80, "446", "446", false);
    prompter.answer(true);
    EXPECT_EQ(table->changeRange(1), 1);
    EXPECT_EQ(doc.rangeIndex(), 1);
    EXPECT_EQ(doc.lowerLimit(), 43'000'000);
    EXPECT_EQ(doc.upperLimit(), 44'000'000);
    EXPECT_TRUE(doc.fields().isEmpty(80));
    EXPECT_EQ(table->cell(80, 1).text, "");
    EXPECT_FALSE(doc.fields().isEmpty(1)) << "factory defaults applied";
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(viewUpdates, 1);
    EXPECT_EQ(table->selectedRange(), 1);

    table->commitFrequency(80, 1, "446");
    EXPECT_EQ(doc.fields().frequencyText(80, Side::Receive), "440.00000");
}

}  // namespace
}  // namespace pl3
