#include "codeplug/field_registry.h"

#include <gtest/gtest.h>

#include <set>

#include "codeplug/document_commands.h"
#include "scripted_prompter.h"
#include "settings_fixture.h"

namespace pl3 {
namespace {

class FieldRegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        bool skip = true;
        newDocument(doc, prompter, skip);
    }
    std::string set(std::string_view name, std::string_view value) {
        std::optional<FieldRef> field = findField(name);
        EXPECT_TRUE(field) << name;
        if (!field) return "<unknown>";
        EXPECT_TRUE(field->set(doc, value)) << name << "=" << value;
        return field->get(doc);
    }

    test::ProgramFolder folder;
    test::ScriptedPrompter prompter;
    CMaItemDoc doc{folder.settings()};
};

TEST_F(FieldRegistryTest, NamesAndIndexes) {
    struct Case {
        const char* name;
        bool found;
    } cases[] = {
        {"RxFreq[1]", true},     {"RxFreq[128]", true},     {"RxFreq[129]", true},
        {"TxFreq[129]", false},  {"RxFreq[0]", false},      {"RxFreq", false},
        {"BackLamp", true},      {"BackLamp[1]", false},    {"FmPreset[25]", true},
        {"FmPreset[26]", false}, {"TuneSquelch3[2]", true}, {"TuneSquelch3[3]", false},
        {"RxFreq[8", false},     {"RxFreq[x]", false},      {"Nonsense", false},
        {"rxfreq[1]", false},    {"RxFreq[-1]", false},     {"ScanList[128]", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findField(c.name).has_value(), c.found) << c.name;
}

TEST_F(FieldRegistryTest, EveryFieldNameIsUnique) {
    std::set<std::string_view> names;
    for (const FieldInfo& info : fieldTable())
        EXPECT_TRUE(names.insert(info.name).second) << info.name;
    EXPECT_GT(names.size(), 50u);
}

TEST_F(FieldRegistryTest, ValuesAreStoredThroughTheFieldOperations) {
    struct Case {
        const char* name;
        const char* value;
        const char* readBack;
    } cases[] = {
        {"RxFreq[80]", "433.0776", "433.08000"},
        {"TxFreq[80]", "", ""},
        {"ChannelName[80]", "ab-1", "AB-1"},
        {"BotCode", "12ab*#", "12AB*#"},
        {"PowerOnPassword", "12", "12"},
        {"PowerOnPassword", "", ""},
        {"VfoOffset", "75", "69.99500"},
        {"RxTone[5]", "51", "D023N"},
        {"TxTone[5]", "88.5", "88.5"},
        {"TxTone[5]", "d754i", "D754I"},
        {"TxTone[5]", "OFF", "off"},
        {"BackLamp", "2", "2"},
        {"FreqStep", "3", "3"},
        {"VoxDelay", "27", "27"},
        {"FmPreset[3]", "1", "1"},
        {"FmPreset[3]", "0", "0"},
        {"TuneSquelch3[1]", "127", "127"},
        {"TuneBattery", "1", "1"},
        {"ScanList[9]", "0", "0"},
        {"Repeater[80]", "1", "1"},
        {"ShiftDir[80]", "2", "2"},
        {"StartChannel", "128", "128"},
        {"RxFreq[129]", "433.0100", "433.00625"},  // VFO raster of FreqStep 3
    };
    for (const Case& c : cases)
        EXPECT_EQ(set(c.name, c.value), c.readBack) << c.name;
    EXPECT_EQ(doc.image()[0x08A9], 128);
    EXPECT_EQ(doc.image()[0x0851] & 1, 0);
}

TEST_F(FieldRegistryTest, InvalidValuesChangeNothing) {
    struct Case {
        const char* name;
        const char* value;
    } cases[] = {
        {"RxFreq[80]", "480"},        // above the range of the document (400 ... 470)
        {"RxFreq[80]", "399.99999"},  // below it
        {"RxFreq[80]", "433,075"},
        {"RxFreq[80]", "4.3.3"},
        {"ChannelName[80]", "A.B"},
        {"ChannelName[80]", "ABCDEFG"},
        {"BotCode", "12X"},
        {"BotCode", "11111111111111111"},
        {"PowerOnPassword", "12345"},
        {"PowerOnPassword", "1a"},
        {"RxTone[5]", "259"},
        {"RxTone[5]", "88.6"},
        {"BackLamp", "3"},
        {"BackLamp", "-1"},
        {"BackLamp", "1x"},
        {"BackLamp", ""},
        {"VoxDelay", "28"},
        {"FmPreset[3]", "212"},
        {"TuneSquelch3[0]", "128"},
        {"TuneBattery", "0"},
        {"ScanList[9]", "2"},
        {"ShiftDir[80]", "3"},
        {"StartChannel", "0"},
        {"Bandwidth[80]", "on"},
        {"VfoOffset", "x"},
    };
    for (const Case& c : cases) {
        Image before = doc.image();
        std::optional<FieldRef> field = findField(c.name);
        ASSERT_TRUE(field) << c.name;
        EXPECT_FALSE(field->set(doc, c.value)) << c.name << "=" << c.value;
        EXPECT_EQ(doc.image(), before) << c.name << "=" << c.value;
    }
}

TEST_F(FieldRegistryTest, ToneValues) {
    EXPECT_EQ(toneValueText(0), "off");
    EXPECT_EQ(toneValueText(9), "88.5");
    EXPECT_EQ(toneValueText(400), "off");
    EXPECT_EQ(parseToneValue("0"), 0);
    EXPECT_EQ(parseToneValue("258"), 258);
    EXPECT_EQ(parseToneValue("Off"), 0);
    EXPECT_EQ(parseToneValue("of"), std::nullopt);
}

}  // namespace
}  // namespace pl3
