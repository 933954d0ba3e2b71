#include "codeplug/radio_settings.h"

#include <gtest/gtest.h>

#include <random>

namespace pl3 {
namespace {

Image erasedImage() {
    Image image;
    image.fill(0xFF);
    return image;
}

TEST(RadioSettings, ErasedImageReadsAsValidChoices) {
    struct Case {
        Setting id;
        int index;
    } cases[] = {
        {Setting::BackLamp, 2},
        {Setting::KeyLockMode, 3},
        {Setting::SystemMode, 1},
        {Setting::TailNoiseMode, 3},
        {Setting::LcdDisplayMode, 1},
        {Setting::PttId, 3},
        {Setting::SquelchLevel, 9},
        {Setting::Tot, 9},
        {Setting::VoxLevel, 9},
        {Setting::VoxDelay, 27},
        {Setting::ScanDelay, 9},
        {Setting::DtmfRate, 5},
        {Setting::DtmfFirstDigitTime, 10},
        {Setting::DtmfFirstDigitDelay, 9},
        {Setting::SideKey1Short, 0},
        {Setting::SideKey2Long, 0},
        {Setting::FreqStep, 4},
        {Setting::OffsetMode, 2},
        {Setting::FmVfoFreq, 210},
        {Setting::KeyBeep, 1},
        {Setting::StartChannel, 255},
    };
    Image image = erasedImage();
    for (const Case& c : cases)
        EXPECT_EQ(readSettingIndex(image, c.id), c.index) << settingInfo(c.id).name;
}

TEST(RadioSettings, StoredValuesAndTheirIndexes) {
    struct Case {
        Setting id;
        std::uint8_t stored;  // whole byte for byte fields
        int index;
    } cases[] = {
        {Setting::VoxDelay, 3, 0},
        {Setting::VoxDelay, 30, 27},
        {Setting::VoxDelay, 2, 27},
        {Setting::VoxDelay, 31, 27},
        {Setting::ScanDelay, 10, 0},
        {Setting::ScanDelay, 100, 9},
        {Setting::ScanDelay, 15, 0},
        {Setting::ScanDelay, 9, 9},
        {Setting::ScanDelay, 101, 9},
        {Setting::DtmfRate, 5, 0},
        {Setting::DtmfRate, 10, 5},
        {Setting::DtmfRate, 4, 5},
        {Setting::DtmfFirstDigitDelay, 1, 0},
        {Setting::DtmfFirstDigitDelay, 0, 9},
        {Setting::DtmfFirstDigitDelay, 11, 9},
        {Setting::DtmfFirstDigitTime, 0, 0},
        {Setting::SquelchLevel, 10, 9},
        {Setting::Tot, 6, 6},
        {Setting::FmVfoFreq, 0xD3, 210},
    };
    for (const Case& c : cases) {
        Image image = erasedImage();
        image[settingInfo(c.id).field.offset] = c.stored;
        EXPECT_EQ(readSettingIndex(image, c.id), c.index)
            << settingInfo(c.id).name << " stored " << int(c.stored);
    }
}

TEST(RadioSettings, SettersStoreTheMappedValue) {
    struct Case {
        Setting id;
        int index;
        std::uint8_t stored;
    } cases[] = {
        {Setting::VoxDelay, 0, 3},           {Setting::VoxDelay, 27, 30},
        {Setting::ScanDelay, 0, 10},         {Setting::ScanDelay, 9, 100},
        {Setting::DtmfRate, 0, 5},           {Setting::DtmfFirstDigitDelay, 0, 1},
        {Setting::DtmfFirstDigitTime, 0, 0}, {Setting::Tot, 0, 0},
        {Setting::StartChannel, 3, 3},
    };
    for (const Case& c : cases) {
        Image image = erasedImage();
        writeSettingIndex(image, c.id, c.index);
        EXPECT_EQ(image[settingInfo(c.id).field.offset], c.stored) << settingInfo(c.id).name;
    }
}

// Every setter round-trips every index and leaves all other bits of the image alone.
TEST(RadioSettings, SettersChangeOnlyTheirOwnBits) {
    std::mt19937 random(7);
    for (const SettingInfo& info : settingTable()) {
        for (int index = info.indexMin; index <= info.indexMax; ++index) {
            Image image;
            for (auto& b : image)
                b = static_cast<std::uint8_t>(random());
            Image before = image;
            writeSettingIndex(image, info.id, index);
            EXPECT_EQ(readSettingIndex(image, info.id), index) << info.name;
            for (std::size_t at = 0; at < image.size(); ++at) {
                std::uint8_t changed = image[at] ^ before[at];
                std::uint8_t allowed = at == info.field.offset ? info.field.mask() : 0;
                ASSERT_EQ(changed & ~allowed, 0) << info.name << " changed byte " << at;
            }
        }
    }
}

TEST(RadioSettings, KnownPositions) {
    Image image = erasedImage();
    writeSettingIndex(image, Setting::FreqStep, 3);
    image[0x081D] = 0xC0;
    writeSettingIndex(image, Setting::FreqStep, 3);
    EXPECT_EQ(image[0x081D], 0xC3);
    writeSettingIndex(image, Setting::OffsetMode, 1);
    EXPECT_EQ(image[0x081D], 0x43);
    image[0x08AB] = 0x00;
    writeSettingIndex(image, Setting::SideKey2Short, 5);
    EXPECT_EQ(image[0x08AB], 0x50);
    image[0x08A0] = 0x00;
    writeSettingIndex(image, Setting::KeyBeep, 1);
    EXPECT_EQ(image[0x08A0], 0x20);
}

TEST(RadioSettings, LookupByName) {
    EXPECT_EQ(settingByName("BackLamp"), Setting::BackLamp);
    EXPECT_EQ(settingByName("FmVfoFreq"), Setting::FmVfoFreq);
    EXPECT_EQ(settingByName("backlamp"), std::nullopt);
}

}  // namespace
}  // namespace pl3
