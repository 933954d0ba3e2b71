#include "codeplug/factory_defaults.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "codeplug/image_fields.h"
#include "codeplug/model_constants.h"

namespace pl3 {

namespace {

constexpr int kFirstPmrChannel = 1;  // 446.00625 MHz onward, 12.5 kHz apart
constexpr int kLastPmrChannel = 8;
constexpr int kFirstLpdChannel = 9;  // 433.075 MHz onward, 25 kHz apart
constexpr int kLastFixedChannel = 77;

constexpr std::array<int, 3> kSquelch3 = {23, 22, 23};
constexpr std::array<int, 13> kTuning = {144, 144, 145, 145, 146,  // high power
                                         62,  62,  68,  68,  65,   // low power
                                         0,   114, 32};            // battery, VOX 1, VOX 9

// Defaults are written as text the way a user would type them, so they pass the same
// rounding as typed frequencies (each one already lies on the raster).
void setFixedChannel(ImageFields& fields, int n, double megahertz) {
    char text[32];
    std::snprintf(text, sizeof text, "%f", megahertz);
    fields.setFrequencyText(n, Side::Receive, text);
    fields.setFrequencyText(n, Side::Transmit, text);
    fields.setChannelFlag(n, ChannelFlag::Repeater, false);
    fields.setChannelFlag(n, ChannelFlag::TxPower, false);
    fields.setChannelFlag(n, ChannelFlag::Bandwidth, false);
}

}  // namespace

void applyFactoryDefaults(ImageFields& fields) {
    Image& image = fields.image();
    std::copy(model::kIdentification.begin(), model::kIdentification.end(),
              image.begin() + layout::kModelTag);
    image[layout::kModelFlagByte] = 0x80;
    fields.setSetting(Setting::FmVfoFreq, 0);

    for (int n = kFirstLpdChannel; n <= kLastFixedChannel; ++n) {
        setFixedChannel(fields, n, 433.075 + 0.025 * (n - kFirstLpdChannel));
    }
    for (int n = kFirstPmrChannel; n <= kLastPmrChannel; ++n) {
        setFixedChannel(fields, n, 446.00625 + 0.0125 * (n - kFirstPmrChannel));
    }
    for (int p = 1; p <= kFmPresetCount; ++p)
        fields.setPreset(p, 0);
    for (int n = 1; n <= kChannelCount; ++n)
        fields.setChannelFlag(n, ChannelFlag::Repeater, false);

    BitField{layout::kRadioSettings, 4, 1}.write(image, 0);
    fields.setSetting(Setting::StartChannel, 1);
    image[layout::kFactoryByte08A8] = 1;
    image[layout::kEotCode] = 0;
    image[layout::kBotCode] = 0;

    struct Value {
        Setting id;
        int index;
    };
    constexpr Value kSettings[] = {
        {Setting::FmRadioEnable, 1},      {Setting::BackLamp, 1},
        {Setting::KeyLockMode, 3},        {Setting::KeyBeep, 1},
        {Setting::BatterySave, 1},        {Setting::AutoPowerOff, 0},
        {Setting::FreqGroup, 0},          {Setting::VfoEnable, 0},
        {Setting::SystemMode, 1},         {Setting::TailNoiseMode, 3},
        {Setting::LcdDisplayMode, 1},     {Setting::FmRadio, 0},
        {Setting::RadioMode, 0},          {Setting::FmMonitor, 1},
        {Setting::SquelchLevel, 3},       {Setting::Tot, 6},
        {Setting::VoxLevel, 0},           {Setting::VoxDelay, 22},
        {Setting::ScanDelay, 4},          {Setting::DtmfRate, 0},
        {Setting::DtmfFirstDigitTime, 1}, {Setting::DtmfFirstDigitDelay, 1},
        {Setting::DtmfSidetone, 0},       {Setting::PttId, 0},
        {Setting::ManualTune, 0},         {Setting::FreqStep, 0},
        {Setting::OffsetMode, 0},
    };
    for (const Value& value : kSettings)
        fields.setSetting(value.id, value.index);

    fields.setVfoFrequencyText(frequency::VfoValue::Offset, "0.00000");
    fields.setPowerOnMessage(text_codes::encodeDisplayText("PL-3"));

    constexpr Value kSideKeys[] = {{Setting::SideKey1Short, 1},
                                   {Setting::SideKey1Long, 4},
                                   {Setting::SideKey2Short, 2},
                                   {Setting::SideKey2Long, 3}};
    for (const Value& value : kSideKeys)
        fields.setSetting(value.id, value.index);

    for (int k = 0; k < kChannelCount; ++k)
        fields.setScanMember(k, true);
    for (int i = 0; i < static_cast<int>(kSquelch3.size()); ++i)
        fields.setTuneSquelch3(i, kSquelch3[static_cast<std::size_t>(i)]);
    for (int j = 0; j < static_cast<int>(kTuning.size()); ++j)
        fields.setTuningValue(j, kTuning[static_cast<std::size_t>(j)]);
}

}  // namespace pl3
