#include "editors/setting_items.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace pl3 {
namespace {

class SettingItemsTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    TextLookup texts{dir.write("t.lang",
                               "[String]\nIDS_OFF=Off\nIDS_ON=On\n"
                               "[BackLamp]\n0=Dark\n1=Auto\n2=Bright\n3=Beyond the field\n"
                               "[KeyData]\n0=None\n1=Monitor\n")};
};

TEST_F(SettingItemsTest, NumericListsAreFormattedLikeThePages) {
    struct Case {
        Setting id;
        std::size_t count;
        std::string first;
        std::string last;
    } cases[] = {
        {Setting::SquelchLevel, 10, "0", "9"},
        {Setting::Tot, 10, "Off", "270"},
        {Setting::VoxLevel, 10, "Off", "9"},
        {Setting::VoxDelay, 28, "0.3", "3.0"},
        {Setting::ScanDelay, 10, "1", "10"},
        {Setting::DtmfRate, 6, "5", "10"},
        {Setting::DtmfFirstDigitTime, 11, "0", "1000"},
        {Setting::DtmfFirstDigitDelay, 10, "100", "1000"},
        {Setting::FmVfoFreq, 211, "87.0", "108.0"},
        {Setting::KeyBeep, 2, "Off", "On"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> items = settingItems(c.id, texts);
        ASSERT_EQ(items.size(), c.count) << settingInfo(c.id).name;
        EXPECT_EQ(items.front(), c.first) << settingInfo(c.id).name;
        EXPECT_EQ(items.back(), c.last) << settingInfo(c.id).name;
    }
    EXPECT_EQ(settingValueText(Setting::VoxDelay, 22, texts), "2.5");
    EXPECT_EQ(settingValueText(Setting::Tot, 6, texts), "180");
}

TEST_F(SettingItemsTest, LanguageListsAreLimitedToWhatTheFieldCanHold) {
    EXPECT_EQ(settingItems(Setting::BackLamp, texts),
              (std::vector<std::string>{"Dark", "Auto", "Bright"}));
    EXPECT_EQ(settingItems(Setting::SideKey1Short, texts),
              (std::vector<std::string>{"None", "Monitor"}));
    EXPECT_TRUE(settingItems(Setting::PttId, texts).empty());
    EXPECT_EQ(settingValueText(Setting::BackLamp, 1, texts), "Auto");
    EXPECT_EQ(settingValueText(Setting::SideKey1Short, 5, texts), "");  // no such item
    EXPECT_EQ(settingValueText(Setting::SquelchLevel, 10, texts), "");  // beyond the field
}

}  // namespace
}  // namespace pl3
