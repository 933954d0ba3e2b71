#include "editors/functions_page_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "document_fixture.h"

namespace pl3 {
namespace {

using Rules = FunctionsPageRules;

class FunctionsPageRulesTest : public test::DocumentFixture {
  protected:
    // An image as a radio with nothing programmed would send it.
    void eraseImage() {
        doc.rawFields().image().fill(0xFF);
        doc.setModifiedFlag(false);
    }

    std::uint8_t at(std::size_t offset) const { return doc.image()[offset]; }

    Rules rules{doc.editTarget(), texts};
};

TEST_F(FunctionsPageRulesTest, ErasedImageShowsTheClampedItems) {
    eraseImage();
    struct Case {
        int list;
        int index;
        const char* text;
    } cases[] = {
        {Rules::kBackLampList, 2, "Always on"},
        {Rules::kKeyLockModeList, 3, "Automatic (keys + PTT)"},
        {Rules::kSystemModeList, 1, "Professional"},
        {Rules::kTailNoiseModeList, 3, "240° phase shift"},
        {Rules::kLcdDisplayModeList, 1, "Channel name"},
        {Rules::kPttIdList, 3, "Start and end of TX"},
        {Rules::kSquelchLevelList, 9, "9"},
        {Rules::kTotList, 9, "270"},
        {Rules::kVoxLevelList, 9, "9"},
        {Rules::kVoxDelayList, 27, "3.0"},
        {Rules::kScanDelayList, 9, "10"},
        {Rules::kDtmfRateList, 5, "10"},
        {Rules::kDtmfFirstDigitTimeList, 10, "1000"},
        {Rules::kDtmfFirstDigitDelayList, 9, "1000"},
    };
    for (const Case& c : cases) {
        int index = rules.selectedIndex(c.list);
        EXPECT_EQ(index, c.index) << c.list;
        std::vector<std::string> items = rules.items(c.list);
        ASSERT_GE(index, 0) << c.list;
        ASSERT_LT(index, static_cast<int>(items.size())) << c.list;
        EXPECT_EQ(items[static_cast<std::size_t>(index)], c.text) << c.list;
    }
    for (int box : {Rules::kKeyBeepBox, Rules::kBatterySaveBox, Rules::kAutoPowerOffBox,
                    Rules::kFreqGroupBox, Rules::kDtmfSidetoneBox}) {
        EXPECT_TRUE(rules.checked(box)) << box;
    }
    EXPECT_EQ(rules.codeText(Rules::kBotCodeBox), "");
    EXPECT_EQ(rules.codeText(Rules::kEotCodeBox), "");
    EXPECT_FALSE(doc.isModified());  // reading never writes
    EXPECT_EQ(std::count(doc.image().begin(), doc.image().end(), 0xFF), kImageSize);
}

TEST_F(FunctionsPageRulesTest, SelectionStoresThroughTheMapping) {
    struct Case {
        int list;
        int index;
        std::size_t offset;
        std::uint8_t stored;
    } cases[] = {
        {Rules::kVoxDelayList, 0, 0x08A6, 3},             // 0.3 s
        {Rules::kVoxDelayList, 27, 0x08A6, 30},           // 3.0 s
        {Rules::kScanDelayList, 0, 0x08A7, 10},           // 1
        {Rules::kScanDelayList, 9, 0x08A7, 100},          // 10
        {Rules::kDtmfRateList, 0, 0x08AC, 5},             // 5 per second
        {Rules::kDtmfFirstDigitDelayList, 0, 0x08AE, 1},  // 100 ms
        {Rules::kDtmfFirstDigitTimeList, 0, 0x08AD, 0},   // 0 ms
        {Rules::kTotList, 0, 0x08A4, 0},                  // off
        {Rules::kVoxLevelList, 0, 0x08A5, 0},             // off
        {Rules::kSquelchLevelList, 4, 0x08A3, 4},
    };
    for (const Case& c : cases) {
        eraseImage();
        rules.select(c.list, c.index);
        EXPECT_EQ(at(c.offset), c.stored) << c.list << " item " << c.index;
        EXPECT_TRUE(doc.isModified()) << c.list;
        EXPECT_EQ(rules.selectedIndex(c.list), c.index) << c.list;
        // Picking the item shown again changes no byte: nothing new to save.
        doc.setModifiedFlag(false);
        rules.select(c.list, c.index);
        EXPECT_FALSE(doc.isModified()) << c.list;
    }
    // The off items really are the "IDS_OFF" text.
    EXPECT_EQ(rules.items(Rules::kTotList).front(), texts.text("IDS_OFF"));
    EXPECT_EQ(rules.items(Rules::kVoxLevelList).front(), texts.text("IDS_OFF"));
}

TEST_F(FunctionsPageRulesTest, BitListsAndBoxesChangeOnlyTheirOwnBits) {
    struct Case {
        int id;
        bool box;
        std::size_t offset;
        std::uint8_t cleared;  // the byte after writing 0 into 0xFF
    } cases[] = {
        {Rules::kKeyBeepBox, true, 0x08A0, 0xDF},
        {Rules::kBatterySaveBox, true, 0x08A0, 0x7F},
        {Rules::kAutoPowerOffBox, true, 0x08A1, 0xF7},
        {Rules::kFreqGroupBox, true, 0x08A1, 0xEF},
        {Rules::kDtmfSidetoneBox, true, 0x08AF, 0xEF},
        {Rules::kBackLampList, false, 0x08A0, 0xFC},
        {Rules::kKeyLockModeList, false, 0x08A0, 0xF3},
        {Rules::kSystemModeList, false, 0x08A1, 0xDF},
        {Rules::kTailNoiseModeList, false, 0x08A2, 0xFC},
        {Rules::kLcdDisplayModeList, false, 0x08A2, 0xF7},
        {Rules::kPttIdList, false, 0x08AF, 0x3F},
    };
    for (const Case& c : cases) {
        eraseImage();
        if (c.box) {
            rules.setChecked(c.id, false);
            EXPECT_FALSE(rules.checked(c.id)) << c.id;
        } else {
            rules.select(c.id, 0);
        }
        EXPECT_EQ(at(c.offset), c.cleared) << c.id;
        EXPECT_TRUE(doc.isModified()) << c.id;
    }
    // Key tone on a cleared byte: only bit 5 comes up, backlight and key lock stay.
    doc.rawFields().image()[0x08A0] = 0x06;
    rules.setChecked(Rules::kKeyBeepBox, true);
    EXPECT_EQ(at(0x08A0), 0x26);
    EXPECT_TRUE(rules.checked(Rules::kKeyBeepBox));
}

TEST_F(FunctionsPageRulesTest, CodeBoxesEncodeOnCommit) {
    struct Case {
        int box;
        std::size_t offset;
        const char* typed;
        std::uint8_t length;
        std::vector<std::uint8_t> digits;
        const char* shown;
    } cases[] = {
        {Rules::kBotCodeBox, 0x08B0, "12ab*#", 6, {0x12, 0xAB, 0xEF}, "12AB*#"},
        {Rules::kEotCodeBox, 0x08C0, "12ab*#", 6, {0x12, 0xAB, 0xEF}, "12AB*#"},
        {Rules::kBotCodeBox, 0x08B0, "98x7", 2, {0x98}, "98"},  // pasted junk ends it
        {Rules::kEotCodeBox, 0x08C0, "", 0, {}, ""},
    };
    for (const Case& c : cases) {
        eraseImage();
        rules.commitCode(c.box, c.typed);
        EXPECT_TRUE(doc.isModified()) << c.typed;
        EXPECT_EQ(at(c.offset), c.length) << c.typed;
        for (std::size_t i = 0; i < c.digits.size(); ++i) {
            EXPECT_EQ(at(c.offset + 1 + i), c.digits[i]) << c.typed << " byte " << i;
        }
        EXPECT_EQ(rules.codeText(c.box), c.shown);
        // Only its own field: the other code stays erased.
        std::size_t other = c.offset == 0x08B0 ? 0x08C0 : 0x08B0;
        for (std::size_t i = 0; i < 16; ++i)
            EXPECT_EQ(at(other + i), 0xFF) << c.typed;
    }
}

TEST_F(FunctionsPageRulesTest, UnchangedCodeStillMarksModified) {
    rules.commitCode(Rules::kBotCodeBox, "123");
    doc.setModifiedFlag(false);
    rules.commitCode(Rules::kBotCodeBox, rules.codeText(Rules::kBotCodeBox));
    EXPECT_TRUE(doc.isModified());
    // Shortening keeps the old nibbles but shows only the new length.
    rules.commitCode(Rules::kBotCodeBox, "1234567890");
    rules.commitCode(Rules::kBotCodeBox, "555");
    EXPECT_EQ(at(0x08B0), 3);
    EXPECT_EQ(at(0x08B0 + 5), 0x90);
    EXPECT_EQ(rules.codeText(Rules::kBotCodeBox), "555");
    doc.rawFields().image()[0x08B0] = 17;
    EXPECT_EQ(rules.codeText(Rules::kBotCodeBox), "");
}

TEST_F(FunctionsPageRulesTest, CodeKeys) {
    for (char c : std::string("0123456789ABCDabcd*#")) {
        EXPECT_TRUE(Rules::acceptsCodeKey(c)) << c;
    }
    for (char c : std::string("Eez+- .\b")) {
        EXPECT_FALSE(Rules::acceptsCodeKey(c)) << c;
    }
    EXPECT_EQ(Rules::kMaxCodeLength, 16);
}

TEST_F(FunctionsPageRulesTest, ShortLanguageListLeavesNoSelection) {
    TextLookup shortTexts(folder.write("short.lang", "[BackLamp]\n0=Off\n1=On\n"));
    Rules shortRules(doc.editTarget(), shortTexts);
    doc.rawFields().setSetting(Setting::BackLamp, 2);
    doc.setModifiedFlag(false);
    EXPECT_EQ(shortRules.selectedIndex(Rules::kBackLampList), -1);
    EXPECT_EQ(shortRules.selectedIndex(Rules::kPttIdList), -1);  // section missing
    shortRules.select(Rules::kBackLampList, 2);                  // not offered: ignored
    shortRules.select(Rules::kPttIdList, 0);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.fields().setting(Setting::BackLamp), 2);
}

TEST_F(FunctionsPageRulesTest, WrongIdentifiersAreRejected) {
    EXPECT_THROW(rules.items(Rules::kKeyBeepBox), std::invalid_argument);
    EXPECT_THROW(rules.checked(Rules::kBackLampList), std::invalid_argument);
    EXPECT_THROW(rules.commitCode(Rules::kTotList, "1"), std::invalid_argument);
    EXPECT_THROW(rules.select(4711, 0), std::invalid_argument);
    EXPECT_EQ(Rules::control(4711), nullptr);
    EXPECT_EQ(Rules::controls().size(), 21u);
}

TEST_F(FunctionsPageRulesTest, PrintRowsFollowTheTopicOrder) {
    eraseImage();
    rules.select(Rules::kSquelchLevelList, 3);
    rules.setChecked(Rules::kFreqGroupBox, false);
    rules.commitCode(Rules::kEotCodeBox, "7#");
    auto captionOf = [](int id) { return "C" + std::to_string(id); };
    page_rules::PrintRows rows = rules.printRows(captionOf);
    page_rules::PrintRows expected = {
        {"C1091 : 3", "C1093 : 270", "C1099 : 10"},
        {"C1082 : 240° phase shift", "C1084 : Channel name", "C1062 : Always on"},
        {"C1064 : Automatic (keys + PTT)", "C1073 : No", "C1075 : Professional"},
        {"C1065 : Yes", "C1067 : Yes", "C1072 : Yes"},
        {"C1095 : 9", "C1097 : 3.0", "C1106 : Yes"},
        {"C1108 : Start and end of TX", "C1109 : ", "C1112 : 7#"},
        {"C1101 : 10", "C1103 : 1000", "C1105 : 1000"},
    };
    EXPECT_EQ(rows, expected);
}

}  // namespace
}  // namespace pl3
