#include "codeplug/frequency.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace pl3 {
namespace {

using Field = std::array<std::uint8_t, 4>;

Field stored(const std::string& text) {
    Field field{};
    frequency::storeChannelText(text, field.data());
    return field;
}

Field storedVfo(const std::string& text, int step, frequency::VfoValue which) {
    Field field{};
    frequency::storeVfoText(text, step, which, field.data());
    return field;
}

TEST(Frequency, FieldTexts) {
    struct Case {
        Field field;
        std::string channel;
        std::string offset;
    } cases[] = {
        {{0x00, 0x75, 0x30, 0x43}, "433.07500", "433.07500"},
        {{0xFF, 0xFF, 0xFF, 0xFF}, "", ""},
        {{0x00, 0x00, 0x00, 0x05}, "50.00000", "50.00000"},
        {{0x00, 0x00, 0x50, 0x00}, "05.00000", "5.00000"},
        {{0x00, 0x95, 0x99, 0x06}, "69.99500", "69.99500"},
        {{0x00, 0x00, 0x00, 0x01}, "10.00000", "10.00000"},
        {{0x12, 0x34, 0x56, 0x99}, "995.63412", "995.63412"},
        {{0x00, 0x00, 0x00, 0x9A}, "", ""},  // top byte above 0x99: empty
    };
    for (const Case& c : cases) {
        EXPECT_EQ(frequency::channelText(c.field.data()), c.channel);
        EXPECT_EQ(frequency::offsetText(c.field.data()), c.offset);
        EXPECT_EQ(frequency::isEmptyField(c.field.data()), c.channel.empty());
    }
}

TEST(Frequency, ParseKeepsFiveDecimalsAndDropsTheRest) {
    struct Case {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"433", 43'300'000},
        {"433.1", 43'310'000},
        {"433.0750", 43'307'500},
        {"433.075009", 43'307'500},
        {"433.07509", 43'307'509},
        {".5", 50'000},
        {"abc", 0},
        {"", 0},
        {"446.", 44'600'000},
        {"12x.5", 12},
        {"99999999999", 999'999'999},
    };
    for (const Case& c : cases)
        EXPECT_EQ(frequency::parse(c.text), c.value) << c.text;
}

TEST(Frequency, ChannelRounding) {
    struct Case {
        const char* text;
        Field bytes;
    } cases[] = {
        {"433", {0x00, 0x00, 0x30, 0x43}},       {"433.1", {0x00, 0x00, 0x31, 0x43}},
        {"446.00625", {0x25, 0x06, 0x60, 0x44}}, {"446.006", {0x25, 0x06, 0x60, 0x44}},
        {"446.0088", {0x00, 0x10, 0x60, 0x44}},  {"433.0776", {0x00, 0x80, 0x30, 0x43}},
        {"433.006", {0x25, 0x06, 0x30, 0x43}},   {"433.0105", {0x00, 0x10, 0x30, 0x43}},
        {"433.075", {0x00, 0x75, 0x30, 0x43}},   {"", {0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stored(c.text), c.bytes) << c.text;
}

TEST(Frequency, RoundingNeverLeavesTheDigitRange) {
    EXPECT_EQ(stored("9999999999"), (Field{0x99, 0x99, 0x99, 0x99}));
    EXPECT_EQ(stored("-5"), (Field{0x00, 0x00, 0x00, 0x00}));
}

TEST(Frequency, VfoRounding) {
    using frequency::VfoValue;
    struct Case {
        const char* text;
        int step;
        VfoValue which;
        std::string expected;
    } cases[] = {
        {"433.0030", 0, VfoValue::Receive, "433.00500"},  // hi is nearer
        {"433.0025", 0, VfoValue::Receive, "433.00000"},  // a tie goes to lo
        {"433.0100", 1, VfoValue::Receive, "433.00625"},  // the 6.25 kHz grid wins
        {"433.0040", 3, VfoValue::Receive, "433.00500"},  // nearer the upper 5 kHz point
        {"433.0060", 3, VfoValue::Receive, "433.00625"},
        {"433.0030", 4, VfoValue::Receive, "433.00500"},
        {"75", 0, VfoValue::Offset, "69.99500"},
        {"75", 0, VfoValue::Receive, "75.00000"},  // only the offset is clamped
        {"5", 0, VfoValue::Offset, "5.00000"},
        {"0.00000", 0, VfoValue::Offset, "0.00000"},
        {"", 0, VfoValue::Offset, ""},
    };
    for (const Case& c : cases) {
        Field field = storedVfo(c.text, c.step, c.which);
        EXPECT_EQ(frequency::offsetText(field.data()), c.expected) << c.text << " step " << c.step;
    }
    EXPECT_EQ(storedVfo("75", 0, VfoValue::Offset), (Field{0x00, 0x95, 0x99, 0x06}));
    EXPECT_EQ(storedVfo("0.00000", 0, VfoValue::Offset), (Field{0x00, 0x00, 0x00, 0x00}));
}

TEST(Frequency, RangeCheckIncludesBothLimits) {
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {"470", 0}, {"400", 0}, {"470.00001", 1}, {"399.99999", -1}, {"", 0}, {"433.075", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(frequency::rangeCheck(c.text, 40'000'000, 47'000'000), c.expected) << c.text;
}

TEST(Frequency, LimitAndFmTexts) {
    EXPECT_EQ(frequency::limitText(40'000'000), "400.00000");
    EXPECT_EQ(frequency::limitText(43'307'500), "433.07500");
    EXPECT_EQ(frequency::limitText(10'000'000), "100.00000");
    EXPECT_EQ(frequency::fmText(0), "87.0");
    EXPECT_EQ(frequency::fmText(13), "88.3");
    EXPECT_EQ(frequency::fmText(210), "108.0");
}

TEST(Frequency, WellFormedTexts) {
    for (const char* good : {"", "433", "433.075", "433.07500", ".5", "446."})
        EXPECT_TRUE(frequency::isWellFormedText(good)) << good;
    for (const char* bad : {".", "4.3.3", "433,075", "-433", "433.075001", "abc", "433 "})
        EXPECT_FALSE(frequency::isWellFormedText(bad)) << bad;
}

}  // namespace
}  // namespace pl3
