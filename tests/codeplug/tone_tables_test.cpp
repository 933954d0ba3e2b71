#include "codeplug/tone_tables.h"

#include <gtest/gtest.h>

#include <set>

namespace pl3 {
namespace {

TEST(ToneTables, StoredFieldsAndTexts) {
    struct Case {
        int code;
        std::uint8_t index;
        std::uint8_t kind;
        std::optional<std::string_view> text;
    } cases[] = {
        {0, 0xFF, 0xFF, std::nullopt}, {1, 0, 0xF8, "67.0"},      {9, 8, 0xF8, "88.5"},
        {50, 49, 0xF8, "254.1"},       {51, 0, 0xF9, "D023N"},    {154, 103, 0xF9, "D754N"},
        {155, 0, 0xFB, "D023I"},       {258, 103, 0xFB, "D754I"}, {100, 49, 0xF9, "D271N"},
    };
    for (const Case& c : cases) {
        tone::Field field = tone::fieldOf(c.code);
        EXPECT_EQ(field.index, c.index) << c.code;
        EXPECT_EQ(field.kind, c.kind) << c.code;
        EXPECT_EQ(tone::codeOf(field), c.code);
        EXPECT_EQ(tone::tableText(c.code), c.text) << c.code;
        if (c.text) {
            EXPECT_EQ(tone::codeOfText(*c.text), c.code);
        }
    }
}

TEST(ToneTables, UnknownKindBytesReadAsOff) {
    for (std::uint8_t kind : {0xFA, 0xFF, 0x00, 0xFC, 0xF0})
        EXPECT_EQ(tone::codeOf({5, kind}), tone::kOff) << int(kind);
}

TEST(ToneTables, TablesHaveDistinctEntriesInTheirOrder) {
    std::set<std::string_view> ctcss(tone::ctcssTable().begin(), tone::ctcssTable().end());
    EXPECT_EQ(ctcss.size(), 50u);
    EXPECT_EQ(tone::ctcssTable()[0], "67.0");
    EXPECT_EQ(tone::ctcssTable()[26], "159.8");
    for (int i = 0; i < tone::kDcsCount; ++i) {
        std::string_view normal = tone::dcsNormalTable()[static_cast<std::size_t>(i)];
        std::string_view inverted = tone::dcsInvertedTable()[static_cast<std::size_t>(i)];
        EXPECT_EQ(normal.substr(0, 4), inverted.substr(0, 4));
        EXPECT_EQ(normal.back(), 'N');
        EXPECT_EQ(inverted.back(), 'I');
        if (i > 0) {
            EXPECT_LT(tone::dcsNormalTable()[static_cast<std::size_t>(i - 1)], normal);
        }
    }
}

TEST(ToneTables, DisplayTextFollowsIndexAndKindBits) {
    struct Case {
        tone::Field field;
        std::optional<std::string_view> text;
    } cases[] = {
        {{8, 0xF8}, "88.5"},    {{8, 0xF9}, "D051N"},        {{8, 0xFB}, "D051I"},
        {{60, 0xF8}, "D356N"},  // beyond the CTCSS table the kind bit no longer matters
        {{103, 0xFA}, "D754I"}, {{104, 0xF9}, std::nullopt}, {{0xFF, 0xF8}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tone::displayText(c.field), c.text)
            << int(c.field.index) << "/" << int(c.field.kind);
}

TEST(ToneTables, TextLookupIgnoresCaseAndRejectsStrangers) {
    EXPECT_EQ(tone::codeOfText("d023n"), 51);
    EXPECT_EQ(tone::codeOfText("88.5"), 9);
    EXPECT_EQ(tone::codeOfText("88.50"), std::nullopt);
    EXPECT_EQ(tone::codeOfText("D024N"), std::nullopt);
}

}  // namespace
}  // namespace pl3
