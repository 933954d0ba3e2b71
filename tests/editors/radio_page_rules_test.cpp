#include "editors/radio_page_rules.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "document_fixture.h"

namespace pl3 {
namespace {

using Rules = RadioPageRules;
using Items = std::vector<std::string>;

class RadioPageRulesTest : public test::DocumentFixture {
  protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        doc.setModifiedFlag(false);
    }

    std::uint8_t at(std::size_t offset) const { return doc.image()[offset]; }

    // Empties every channel and the scan list, then fills the given channels.
    void useChannels(std::initializer_list<int> channels) {
        for (int c = 1; c <= kChannelCount; ++c) {
            doc.rawFields().setFrequencyText(c, Side::Receive, "");
            doc.rawFields().setFrequencyText(c, Side::Transmit, "");
            doc.rawFields().setScanMember(c - 1, false);
        }
        for (int c : channels) {
            doc.rawFields().setFrequencyText(c, Side::Receive, "435.0");
            doc.rawFields().setFrequencyText(c, Side::Transmit, "435.0");
        }
        doc.setModifiedFlag(false);
    }

    Rules rules{doc.editTarget(), texts};
};

TEST_F(RadioPageRulesTest, SideKeysWriteTheirOwnNibble) {
    struct Case {
        int list;
        std::size_t offset;
        std::uint8_t before;
        int index;
        std::uint8_t after;
    } cases[] = {
        {Rules::kSideKey2ShortList, 0x08AB, 0x3C, 5, 0x5C},
        {Rules::kSideKey2LongList, 0x08AB, 0x3C, 5, 0x35},
        {Rules::kSideKey1ShortList, 0x08AA, 0xA1, 6, 0x61},
        {Rules::kSideKey1LongList, 0x08AA, 0xA1, 0, 0xA0},
    };
    for (const Case& c : cases) {
        doc.rawFields().image()[c.offset] = c.before;
        doc.setModifiedFlag(false);
        rules.select(c.list, c.index);
        EXPECT_EQ(at(c.offset), c.after) << c.list;
        EXPECT_TRUE(doc.isModified()) << c.list;
        EXPECT_EQ(rules.selectedIndex(c.list), c.index) << c.list;
    }
    EXPECT_EQ(rules.items(Rules::kSideKey1ShortList).size(), 7u);
    EXPECT_EQ(rules.items(Rules::kSideKey1ShortList)[5], "FM radio");
}

TEST_F(RadioPageRulesTest, DamagedValuesShowAsDocumented) {
    doc.rawFields().image().fill(0xFF);
    for (int list : {Rules::kSideKey1ShortList, Rules::kSideKey1LongList, Rules::kSideKey2ShortList,
                     Rules::kSideKey2LongList}) {
        EXPECT_EQ(rules.selectedIndex(list), 0) << list;  // nibble 15: the first function
    }
    EXPECT_EQ(rules.selectedIndex(Rules::kFmVfoList), 210);  // above 210: 108.0
    EXPECT_EQ(rules.items(Rules::kFmVfoList).size(), 211u);
    EXPECT_EQ(rules.items(Rules::kFmVfoList).front(), "87.0");
    EXPECT_EQ(rules.items(Rules::kFmVfoList).back(), "108.0");
    EXPECT_EQ(rules.passwordText(), "");
    EXPECT_EQ(rules.messageText(), "");
    EXPECT_FALSE(doc.isModified());
}

TEST_F(RadioPageRulesTest, FmBoxesAndListsStoreTheirBits) {
    struct Case {
        int id;
        bool box;
        std::uint8_t cleared;  // 0x08A2 after writing 0 into 0xFF
    } cases[] = {
        {Rules::kFmRadioEnableBox, true, 0xEF},
        {Rules::kFmRadioBox, true, 0xDF},
        {Rules::kFmMonitorBox, true, 0x7F},
        {Rules::kRadioModeList, false, 0xBF},
    };
    for (const Case& c : cases) {
        doc.rawFields().image()[0x08A2] = 0xFF;
        doc.setModifiedFlag(false);
        if (c.box) {
            rules.setChecked(c.id, false);
            EXPECT_FALSE(rules.checked(c.id));
        } else {
            rules.select(c.id, 0);
        }
        EXPECT_EQ(at(0x08A2), c.cleared) << c.id;
        EXPECT_TRUE(doc.isModified()) << c.id;
    }
    rules.select(Rules::kFmVfoList, 17);
    EXPECT_EQ(at(0x0880), 17);
}

TEST_F(RadioPageRulesTest, FmEnableBitGovernsTheFmControls) {
    const int dependent[] = {Rules::kFmRadioBox, Rules::kFmMonitorBox, Rules::kRadioModeList,
                             Rules::kFmVfoList};
    const int independent[] = {Rules::kFmRadioEnableBox, Rules::kSideKey1ShortList,
                               Rules::kPasswordBox, Rules::kMessageBox};
    for (bool on : {false, true, false}) {
        rules.setChecked(Rules::kFmRadioEnableBox, on);
        EXPECT_EQ((at(0x08A2) >> 4) & 1, on ? 1 : 0);
        for (int id : dependent)
            EXPECT_EQ(rules.enabled(id), on) << id;
        for (int id : independent)
            EXPECT_TRUE(rules.enabled(id)) << id;
        EXPECT_EQ(rules.presetsReadOnly(), !on);
    }
}

TEST_F(RadioPageRulesTest, PresetsMapOffAndFrequencies) {
    struct Case {
        int preset;
        int item;
        std::uint8_t stored;
        const char* shown;
    } cases[] = {
        {1, 1, 0x00, "87.0"},
        {25, 0, 0xFF, "Off"},
        {7, 211, 0xD2, "108.0"},
        {12, 12, 0x0B, "88.1"},
    };
    for (const Case& c : cases) {
        doc.setModifiedFlag(false);
        rules.commitPreset(c.preset, c.item);
        EXPECT_EQ(at(0x0880 + static_cast<std::size_t>(c.preset)), c.stored) << c.preset;
        EXPECT_TRUE(doc.isModified());
        EXPECT_EQ(rules.presetText(c.preset), c.shown);
        EXPECT_EQ(rules.presetItemIndex(c.preset), c.item);
    }
    doc.rawFields().image()[0x0880 + 3] = 0xD3;  // beyond 108.0: no preset
    EXPECT_EQ(rules.presetText(3), "Off");
    Items items = rules.presetItems();
    ASSERT_EQ(items.size(), 212u);
    EXPECT_EQ(items[0], "Off");
    EXPECT_EQ(items[1], "87.0");
    EXPECT_EQ(items[211], "108.0");
}

TEST_F(RadioPageRulesTest, PresetGridHeadings) {
    EXPECT_EQ(rules.presetHeading(0), "Preset");
    EXPECT_EQ(rules.presetHeading(1), "Frequency (MHz)");
    EXPECT_EQ(Rules::presetNumberText(1), "1");
    EXPECT_EQ(Rules::presetNumberText(25), "25");
    TextLookup none{folder.file("missing.lang")};
    Rules bare{doc.editTarget(), none};
    EXPECT_EQ(bare.presetHeading(0), "");
}

TEST_F(RadioPageRulesTest, PasswordStoresOnlyChanges) {
    struct Case {
        const char* typed;
        std::array<std::uint8_t, 4> stored;
        const char* shown;
    } cases[] = {
        {"12", {1, 2, 0xFF, 0xFF}, "12"},
        {"", {0xFF, 0xFF, 0xFF, 0xFF}, ""},
        {"98765", {9, 8, 7, 6}, "9876"},
        {"3x4", {3, 0xFF, 0xFF, 0xFF}, "3"},
    };
    for (const Case& c : cases) {
        doc.rawFields().image()[0x08D0] = 5;  // something else before each
        doc.setModifiedFlag(false);
        EXPECT_TRUE(rules.commitPassword(c.typed)) << c.typed;
        EXPECT_TRUE(doc.isModified());
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_EQ(at(0x08D0 + i), c.stored[i]) << c.typed;
        EXPECT_EQ(rules.passwordText(), c.shown);
        doc.setModifiedFlag(false);
        EXPECT_FALSE(rules.commitPassword(rules.passwordText())) << c.typed;
        EXPECT_FALSE(doc.isModified()) << c.typed;
    }
    EXPECT_TRUE(Rules::acceptsPasswordKey('0'));
    EXPECT_TRUE(Rules::acceptsPasswordKey('9'));
    EXPECT_FALSE(Rules::acceptsPasswordKey('a'));
    EXPECT_FALSE(Rules::acceptsPasswordKey('*'));
}

TEST_F(RadioPageRulesTest, MessageStoresOnlyChangesAndShowsItsDecodedForm) {
    struct Case {
        const char* typed;
        std::array<std::uint8_t, 6> stored;
        const char* shown;
    } cases[] = {
        {"abc", {12, 13, 14, 0xFF, 0xFF, 0xFF}, "ABC"},
        {"A_ 9-+", {12, 10, 11, 9, 38, 39}, "A_ 9-+"},
        {"*#Z!YY", {40, 41, 37, 0xFF, 0xFF, 0xFF}, "*#Z"},
    };
    for (const Case& c : cases) {
        doc.rawFields().image()[0x0A06] = 0x5A;
        doc.rawFields().image()[0x0A07] = 0xA5;
        doc.setModifiedFlag(false);
        EXPECT_EQ(rules.commitMessage(c.typed), c.shown);
        EXPECT_TRUE(doc.isModified()) << c.typed;
        for (std::size_t i = 0; i < 6; ++i)
            EXPECT_EQ(at(0x0A00 + i), c.stored[i]) << c.typed;
        EXPECT_EQ(at(0x0A06), 0x5A);
        EXPECT_EQ(at(0x0A07), 0xA5);
        doc.setModifiedFlag(false);
        EXPECT_EQ(rules.commitMessage(c.shown), c.shown);
        EXPECT_FALSE(doc.isModified()) << c.typed;
    }
    EXPECT_TRUE(Rules::acceptsMessageKey('a'));
    EXPECT_TRUE(Rules::acceptsMessageKey(' '));
    EXPECT_TRUE(Rules::acceptsMessageKey('_'));
    EXPECT_FALSE(Rules::acceptsMessageKey('#'));
    EXPECT_FALSE(Rules::acceptsMessageKey('.'));
}

TEST_F(RadioPageRulesTest, EmptyChannelLeavesBothListsAndLosesItsBit) {
    useChannels({1, 2, 5});
    doc.rawFields().setScanMember(1, true);  // channel 2
    doc.rawFields().setScanMember(3, true);  // channel 4, empty
    Rules::ScanLists lists = rules.rebuildScanLists();
    EXPECT_EQ(lists.existing, (Items{"Ch 1", "Ch 5"}));
    EXPECT_EQ(lists.scanned, (Items{"Ch 2"}));
    EXPECT_FALSE(doc.fields().scanMember(3));
    EXPECT_TRUE(doc.fields().scanMember(1));
    EXPECT_FALSE(doc.isModified());  // the clean-up alone is not an edit
}

TEST_F(RadioPageRulesTest, ScanButtonsChangeExactlyTheSelectedChannels) {
    useChannels({1, 2, 3, 4, 5, 6, 7, 8, 100, 128});
    struct Step {
        bool add;
        Items selected;
        Items existing;
        Items scanned;
    } steps[] = {
        {true,
         {"Ch 3", "Ch 7"},
         {"Ch 1", "Ch 2", "Ch 4", "Ch 5", "Ch 6", "Ch 8", "Ch 100", "Ch 128"},
         {"Ch 3", "Ch 7"}},
        {true,
         {"Ch 128", "Ch 1"},
         {"Ch 2", "Ch 4", "Ch 5", "Ch 6", "Ch 8", "Ch 100"},
         {"Ch 1", "Ch 3", "Ch 7", "Ch 128"}},
        {false,
         {"Ch 3", "Ch 128"},
         {"Ch 2", "Ch 3", "Ch 4", "Ch 5", "Ch 6", "Ch 8", "Ch 100", "Ch 128"},
         {"Ch 1", "Ch 7"}},
    };
    for (const Step& s : steps) {
        doc.setModifiedFlag(false);
        Rules::ScanLists lists =
            s.add ? rules.addToScan(s.selected) : rules.removeFromScan(s.selected);
        EXPECT_EQ(lists.existing, s.existing);
        EXPECT_EQ(lists.scanned, s.scanned);
        EXPECT_TRUE(doc.isModified());
    }
    EXPECT_EQ(at(0x0850), 0x41);  // channels 1 and 7
    EXPECT_EQ(at(0x085F), 0x00);
    doc.setModifiedFlag(false);
    rules.addToScan({});
    EXPECT_FALSE(doc.isModified());
}

TEST_F(RadioPageRulesTest, ButtonsFollowTheListLastClicked) {
    EXPECT_FALSE(rules.addEnabled());
    EXPECT_FALSE(rules.removeEnabled());
    rules.clickedExistingList();
    EXPECT_TRUE(rules.addEnabled());
    EXPECT_FALSE(rules.removeEnabled());
    rules.addToScan({});  // a click on the button leaves the states
    rules.clickedScanList();
    EXPECT_FALSE(rules.addEnabled());
    EXPECT_TRUE(rules.removeEnabled());
}

TEST_F(RadioPageRulesTest, PrintRows) {
    doc.rawFields().image()[0x08A2] = 0x30;  // enabled and on, no monitoring, first mode
    doc.rawFields().image()[0x0880] = 0;
    doc.rawFields().image()[0x08AA] = 0x12;
    doc.rawFields().image()[0x08AB] = 0x34;
    rules.commitMessage("hi");
    rules.commitPassword("42");
    auto captionOf = [](int id) { return "C" + std::to_string(id); };
    page_rules::PrintRows expected = {
        {"C1086 : Yes", "C1089 : No", "C1088 : Frequency (VFO)"},
        {"C1029 : 87.0", "C1116 : HI", "C1114 : 42"},
        {"C1123 : Monitor", "C1125 : Scan", "C1127 : VOX"},
        {"C1129 : Emergency alarm", "C1133 : Yes"},
    };
    EXPECT_EQ(rules.printRows(captionOf), expected);
}

TEST_F(RadioPageRulesTest, WrongIdentifiersAreRejected) {
    EXPECT_THROW(rules.items(Rules::kFmRadioBox), std::invalid_argument);
    EXPECT_THROW(rules.setChecked(Rules::kFmVfoList, true), std::invalid_argument);
    EXPECT_THROW(rules.selectedIndex(1062), std::invalid_argument);
}

}  // namespace
}  // namespace pl3
