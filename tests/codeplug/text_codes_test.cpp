#include "codeplug/text_codes.h"

#include <gtest/gtest.h>

#include <array>

namespace pl3 {
namespace {

using text_codes::DisplayBytes;
using text_codes::PasswordBytes;

TEST(TextCodes, DisplayTextRoundTrip) {
    struct Case {
        const char* typed;
        DisplayBytes bytes;
        const char* shown;
    } cases[] = {
        {"ab-1", {12, 13, 38, 1, 0xFF, 0xFF}, "AB-1"},
        {"A.B", {12, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "A"},
        {"ab-12*", {12, 13, 38, 1, 2, 40}, "AB-12*"},
        {"PL-3", {0x1B, 0x17, 0x26, 0x03, 0xFF, 0xFF}, "PL-3"},
        {"_ +#Z9", {10, 11, 39, 41, 37, 9}, "_ +#Z9"},
        {"ABCDEFGH", {12, 13, 14, 15, 16, 17}, "ABCDEF"},
        {"", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, ""},
        {"\xE4\xB8\xAD", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text_codes::encodeDisplayText(c.typed), c.bytes) << c.typed;
        EXPECT_EQ(text_codes::decodeDisplayText(c.bytes), c.shown) << c.typed;
    }
}

TEST(TextCodes, DisplayTextStopsAtTheFirstEndCode) {
    EXPECT_EQ(text_codes::decodeDisplayText({12, 42, 13, 13, 13, 13}), "A");
    EXPECT_EQ(text_codes::decodeDisplayText({0xFF, 12, 13, 14, 15, 16}), "");
}

TEST(TextCodes, TypableDisplayCharacters) {
    for (char c : std::string("09AZaz _-+*"))
        EXPECT_TRUE(text_codes::isTypableDisplayChar(c)) << c;
    for (char c : std::string("#.,/\t"))
        EXPECT_FALSE(text_codes::isTypableDisplayChar(c)) << c;
}

TEST(TextCodes, Password) {
    struct Case {
        const char* text;
        PasswordBytes bytes;
        const char* shown;
    } cases[] = {
        {"12", {1, 2, 0xFF, 0xFF}, "12"},
        {"1a34", {1, 0xFF, 0xFF, 0xFF}, "1"},
        {"", {0xFF, 0xFF, 0xFF, 0xFF}, ""},
        {"98765", {9, 8, 7, 6}, "9876"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text_codes::encodePassword(c.text), c.bytes) << c.text;
        EXPECT_EQ(text_codes::decodePassword(c.bytes), c.shown) << c.text;
    }
    EXPECT_EQ(text_codes::decodePassword({3, 10, 4, 4}), "3");
}

using DtmfField = std::array<std::uint8_t, 16>;

DtmfField erasedDtmf() {
    DtmfField field;
    field.fill(0xFF);
    return field;
}

TEST(TextCodes, DtmfEncoding) {
    struct Case {
        const char* text;
        std::uint8_t count;
        std::vector<std::uint8_t> digitBytes;
        const char* shown;
    } cases[] = {
        {"12X4", 2, {0x12}, "12"},
        {"abcd", 4, {0xAB, 0xCD}, "ABCD"},
        {"12ab*#", 6, {0x12, 0xAB, 0xEF}, "12AB*#"},
        {"12345678901234567890",
         16,
         {0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34, 0x56},
         "1234567890123456"},
        {"", 0, {}, ""},
    };
    for (const Case& c : cases) {
        DtmfField field = erasedDtmf();
        text_codes::encodeDtmf(c.text, field.data());
        EXPECT_EQ(field[0], c.count) << c.text;
        for (std::size_t i = 0; i < c.digitBytes.size(); ++i)
            EXPECT_EQ(field[1 + i], c.digitBytes[i]) << c.text;
        EXPECT_EQ(text_codes::decodeDtmf(field.data()), c.shown) << c.text;
    }
}

TEST(TextCodes, DtmfKeepsUnwrittenNibbles) {
    DtmfField field = erasedDtmf();
    text_codes::encodeDtmf("1234567890", field.data());
    text_codes::encodeDtmf("987", field.data());
    EXPECT_EQ(field[0], 3);
    EXPECT_EQ(field[1], 0x98);
    EXPECT_EQ(field[2], 0x74);  // the low nibble of the old second byte stays
    EXPECT_EQ(field[3], 0x56);
    EXPECT_EQ(text_codes::decodeDtmf(field.data()), "987");
}

TEST(TextCodes, DtmfCountAbove16ReadsEmpty) {
    DtmfField field = erasedDtmf();
    field[0] = 17;
    EXPECT_EQ(text_codes::decodeDtmf(field.data()), "");
    field[0] = 16;
    EXPECT_EQ(text_codes::decodeDtmf(field.data()), "################");
}

}  // namespace
}  // namespace pl3
