#include "codeplug/frequency_range.h"

#include <gtest/gtest.h>

#include "codeplug/document.h"
#include "settings_fixture.h"

namespace pl3 {
namespace {

using freq_range::Code;
using freq_range::Limits;

TEST(FrequencyRange, CodesAndLimitsOfDataValues) {
    struct Case {
        const char* data;
        std::optional<Code> code;
        std::optional<Limits> limits;
    } cases[] = {
        {"00400047", Code{0x00, 0x40, 0x00, 0x47}, Limits{40'000'000, 47'000'000}},
        {"00430044", Code{0x00, 0x43, 0x00, 0x44}, Limits{43'000'000, 44'000'000}},
        {"50136017", Code{0x50, 0x13, 0x60, 0x17}, Limits{13'500'000, 17'600'000}},
        // The 100 kHz digits carry no limit, so they may be any hexadecimal digit.
        {"0a400047", Code{0x0A, 0x40, 0x00, 0x47}, Limits{40'000'000, 47'000'000}},
        {"0A400F47", Code{0x0A, 0x40, 0x0F, 0x47}, Limits{40'000'000, 47'000'000}},
        // Unusable: a limit digit that is not decimal, lower above upper, not eight digits.
        {"00A00047", std::nullopt, std::nullopt},
        {"FFFFFFFF", std::nullopt, std::nullopt},
        {"00470040", std::nullopt, std::nullopt},
        {"5013601700", std::nullopt, std::nullopt},
        {"00400047000000000", std::nullopt, std::nullopt},
        {"0040004", std::nullopt, std::nullopt},
        {"0040 047", std::nullopt, std::nullopt},
        {"garbage!", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(freq_range::parseCode(c.data), c.code) << c.data;
        EXPECT_EQ(freq_range::limitsOf(c.data), c.limits) << c.data;
    }
}

TEST(FrequencyRange, IndexIsTheLastMatchBeforeTheFirstGap) {
    test::ProgramFolder folder(
        "[FreqRange]\n"
        "data0=00400047\n"
        "data1=00430044\n"
        "data2=00430044\n"
        "data4=00420045\n");
    SettingsFile settings = folder.settings();
    EXPECT_EQ(freq_range::rangeIndexOf(settings, {0x00, 0x40, 0x00, 0x47}), 0);
    EXPECT_EQ(freq_range::rangeIndexOf(settings, {0x00, 0x43, 0x00, 0x44}), 2);
    EXPECT_EQ(freq_range::rangeIndexOf(settings, {0x00, 0x42, 0x00, 0x45}), 0);  // after the gap
    EXPECT_EQ(freq_range::rangeIndexOf(settings, {0xFF, 0xFF, 0xFF, 0xFF}), 0);
    EXPECT_EQ(freq_range::deriveLimits(settings, {0xFF, 0xFF, 0xFF, 0xFF}),
              (Limits{40'000'000, 47'000'000}));  // range 0 even though it does not match
}

TEST(FrequencyRange, UnusableEntriesAreSkippedAndListed) {
    test::ProgramFolder folder(
        "[FreqRange]\n"
        "data0=00400047\n"
        "data1=FFFFFFFF\n"
        "data2=00430044\n"
        "data3=00400047000000000\n"
        "data5=after-the-gap\n");
    SettingsFile settings = folder.settings();
    const std::string file = folder.file("setting.ini");
    EXPECT_EQ(freq_range::unusableEntries(settings),
              (std::vector<freq_range::UnusableEntry>{{file, "data1=FFFFFFFF"},
                                                      {file, "data3=00400047000000000"}}));
    // The skipped entry matches nothing, and the scan goes on past it.
    EXPECT_EQ(freq_range::rangeIndexOf(settings, {0xFF, 0xFF, 0xFF, 0xFF}), 0);
    EXPECT_EQ(freq_range::rangeIndexOf(settings, {0x00, 0x43, 0x00, 0x44}), 2);

    CMaItemDoc doc(settings);
    doc.selectRange(2);
    doc.selectRange(1);  // selects nothing: the image keeps range 2
    EXPECT_EQ(doc.rangeIndex(), 2);
    EXPECT_EQ(doc.lowerLimit(), 43'000'000);
}

TEST(FrequencyRange, LimitsFallBackTo100And500MHz) {
    for (const char* settings : {"[setup]\ncom=1\n", "[FreqRange]\ndata0=nonsense\n",
                                 "[FreqRange]\nfreq0=x\n", "[FreqRange]\ndata0=FFFFFFFF\n"}) {
        test::ProgramFolder folder(settings);
        EXPECT_EQ(freq_range::deriveLimits(folder.settings(), {0, 0x40, 0, 0x47}),
                  freq_range::kDefaultLimits)
            << settings;
    }
}

TEST(FrequencyRange, DocumentSelectsAndDerives) {
    test::ProgramFolder folder;
    CMaItemDoc doc(folder.settings());
    EXPECT_EQ(doc.lowerLimit(), 10'000'000);  // before any range is selected
    doc.selectRange(2);
    EXPECT_EQ(doc.rangeIndex(), 2);
    EXPECT_EQ(doc.lowerLimit(), 42'000'000);
    EXPECT_EQ(doc.upperLimit(), 45'000'000);
    EXPECT_EQ(doc.image()[0x0009], 0x42);

    doc.selectRange(7);  // no such entry: the code stays, the limits follow it
    EXPECT_EQ(doc.rangeIndex(), 2);
    EXPECT_EQ(doc.upperLimit(), 45'000'000);

    doc.rawFields().image()[0x0009] = 0x43;
    doc.rawFields().image()[0x000B] = 0x44;
    doc.deriveRangeLimits();
    EXPECT_EQ(doc.rangeIndex(), 1);
    EXPECT_EQ(doc.lowerLimit(), 43'000'000);
}

}  // namespace
}  // namespace pl3
