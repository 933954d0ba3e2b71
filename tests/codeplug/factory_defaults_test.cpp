#include "codeplug/factory_defaults.h"

#include <gtest/gtest.h>

#include <vector>

#include "codeplug/document.h"
#include "settings_fixture.h"

namespace pl3 {
namespace {

class FactoryDefaultsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        doc.clearContents();
        doc.selectRange(0);
        applyFactoryDefaults(doc.rawFields());
    }
    std::vector<std::uint8_t> bytes(std::size_t from, std::size_t count) const {
        return {doc.image().begin() + static_cast<std::ptrdiff_t>(from),
                doc.image().begin() + static_cast<std::ptrdiff_t>(from + count)};
    }

    test::ProgramFolder folder;
    CMaItemDoc doc{folder.settings()};
};

TEST_F(FactoryDefaultsTest, WholeBytesOfTheCleardImage) {
    EXPECT_EQ(bytes(0x08A0, 16),
              (std::vector<std::uint8_t>{0xED, 0xA7, 0x9B, 0x03, 0x06, 0x00, 0x19, 0x32, 0x01, 0x01,
                                         0x14, 0x23, 0x05, 0x01, 0x02, 0x2F}));
    EXPECT_EQ(bytes(0x08E0, 16),
              (std::vector<std::uint8_t>{0x17, 0x16, 0x17, 0x90, 0x90, 0x91, 0x91, 0x92, 0x3E, 0x3E,
                                         0x44, 0x44, 0x41, 0x00, 0x72, 0x20}));
    EXPECT_EQ(bytes(0x0000, 12), (std::vector<std::uint8_t>{0x50, 0x4C, 0x2D, 0x33, 0xA5, 0x01,
                                                            0x80, 0xFF, 0x00, 0x40, 0x00, 0x47}));
    EXPECT_EQ(doc.image()[0x081D], 0x30);
    EXPECT_EQ(bytes(0x0830, 4), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(bytes(0x0850, 16), std::vector<std::uint8_t>(16, 0xFF));
    EXPECT_EQ(doc.image()[0x0880], 0x00);
    EXPECT_EQ(bytes(0x0881, 25), std::vector<std::uint8_t>(25, 0xFF));
    EXPECT_EQ(bytes(0x0A00, 8),
              (std::vector<std::uint8_t>{0x1B, 0x17, 0x26, 0x03, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(doc.image()[0x08B0], 0);
    EXPECT_EQ(doc.image()[0x08C0], 0);
    EXPECT_EQ(bytes(0x08B1, 15), std::vector<std::uint8_t>(15, 0xFF));
}

TEST_F(FactoryDefaultsTest, Channels) {
    struct Case {
        int n;
        const char* frequency;
    } cases[] = {
        {1, "446.00625"}, {2, "446.01875"},  {8, "446.09375"},
        {9, "433.07500"}, {10, "433.10000"}, {77, "434.77500"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(doc.fields().frequencyText(c.n, Side::Receive), c.frequency) << c.n;
        EXPECT_EQ(doc.fields().frequencyText(c.n, Side::Transmit), c.frequency) << c.n;
    }
    for (int n = 1; n <= kChannelCount; ++n) {
        std::size_t record = static_cast<std::size_t>(n) * 16;
        EXPECT_EQ(doc.image()[record + 12], n <= 77 ? 0xA7 : 0xBF) << n;
        EXPECT_EQ(doc.fields().isEmpty(n), n >= 78) << n;
        EXPECT_EQ(bytes(record + 8, 4), std::vector<std::uint8_t>(4, 0xFF)) << n;  // tones off
    }
    EXPECT_TRUE(doc.fields().isEmpty(kVfoRecord));
}

TEST_F(FactoryDefaultsTest, DoNotDependOnTheRange) {
    Image first = doc.image();
    doc.clearContents();
    doc.selectRange(1);
    applyFactoryDefaults(doc.rawFields());
    Image second = doc.image();
    for (std::size_t at = 0; at < first.size(); ++at) {
        if (at >= 0x0008 && at < 0x000C) continue;  // the range code itself
        ASSERT_EQ(first[at], second[at]) << at;
    }
    EXPECT_EQ(bytes(0x0008, 4), (std::vector<std::uint8_t>{0x00, 0x43, 0x00, 0x44}));
}

}  // namespace
}  // namespace pl3
