#include "service/tuning_values.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace pl3::service {
namespace {

const TuningBox& boxAt(int index) {
    return kTuningBoxes[static_cast<std::size_t>(index)];
}

constexpr int kSquelch = 0;
constexpr int kHighPower = 3;
constexpr int kBattery = 13;

TEST(TuningValues, TheBoxesFillTwoColumnsOfEightRowsInBlockOrder) {
    std::set<std::pair<int, int>> cells;
    std::set<int> ids;
    for (std::size_t i = 0; i < kTuningBoxes.size(); ++i) {
        const TuningBox& box = kTuningBoxes[i];
        EXPECT_EQ(box.index, static_cast<int>(i));
        cells.insert({static_cast<int>(box.column), box.row});
        ids.insert(box.controlId);
        ids.insert(box.captionId);
    }
    EXPECT_EQ(cells.size(), 16u);
    EXPECT_EQ(ids.size(), 32u);
    // Spot checks of the identifiers the language files and the radio's template use.
    EXPECT_EQ(boxAt(0).controlId, 1163);
    EXPECT_EQ(boxAt(8).controlId, 1181);
    EXPECT_EQ(boxAt(kBattery).controlId, 1172);
    EXPECT_EQ(boxAt(15).controlId, 1178);
}

TEST(TuningValues, BoxTextReadsItsLeadingDigits) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"", 0},      {"0", 0},   {"42", 42}, {"007", 7}, {"300", 300},
        {"12ab", 12}, {"x12", 0}, {"-5", 0},  {" 5", 0},  {"99999999999999999999", 2147483647},
    };
    for (const Case& c : cases)
        EXPECT_EQ(boxNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(TuningValues, SteppingWrapsAndLeavingClamps) {
    struct Case {
        const char* what;
        int box;
        const char* text;
        int direction;
        int value;
    } cases[] = {
        {"up inside", kHighPower, "100", +1, 101},
        {"down inside", kHighPower, "100", -1, 99},
        {"up at the top wraps to 0", kHighPower, "255", +1, 0},
        {"down at 0 wraps to the top", kHighPower, "0", -1, 255},
        {"battery down at 1 wraps to 255", kBattery, "1", -1, 255},
        {"battery up at 255 wraps to 1", kBattery, "255", +1, 1},
        {"squelch down at 0 wraps to 127", kSquelch, "0", -1, 127},
        {"squelch up at 127 wraps to 0", kSquelch, "127", +1, 0},
        {"leaving with 300 clamps to 255", kHighPower, "300", 0, 255},
        {"leaving the battery box with 0 gives 1", kBattery, "0", 0, 1},
        {"leaving an empty battery box gives 1", kBattery, "", 0, 1},
        {"leaving an empty box gives 0", kHighPower, "", 0, 0},
        {"leaving a squelch box with 200 gives 127", kSquelch, "200", 0, 127},
        {"leaving with a value inside keeps it", kHighPower, "77", 0, 77},
        {"a typed 300 stepped down stays a byte", kHighPower, "300", -1, 255},
        {"a typed 300 stepped up wraps", kHighPower, "300", +1, 0},
        {"a huge number stepped up wraps", kHighPower, "99999999999999999999", +1, 0},
        {"a huge number left clamps", kSquelch, "99999999999999999999", 0, 127},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stepBox(c.text, c.direction, boxAt(c.box).limits), c.value) << c.what;
}

TEST(TuningValues, EachBoxReadsAndWritesOnlyItsOwnByte) {
    CMaItemDoc doc{SettingsFile(std::string())};
    for (const TuningBox& box : kTuningBoxes) {
        Image before = doc.image();
        storeBoxValue(doc, box, 100 + box.index);
        Image expected = before;
        expected[layout::kTestData + static_cast<std::size_t>(box.index)] =
            static_cast<std::uint8_t>(100 + box.index);
        EXPECT_EQ(doc.image(), expected) << box.index;
        EXPECT_EQ(boxValue(doc, box), 100 + box.index) << box.index;
    }
}

}  // namespace
}  // namespace pl3::service
