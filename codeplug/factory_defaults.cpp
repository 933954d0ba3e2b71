#include "codeplug/factory_defaults.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "codeplug/document.h"
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
void setFixedChannel(CMaItemDoc& doc, int n, double megahertz) {
    char text[32];
    std::snprintf(text, sizeof text, "%f", megahertz);
    doc.setFrequencyText(n, Side::Receive, text);
    doc.setFrequencyText(n, Side::Transmit, text);
    doc.setChannelFlag(n, ChannelFlag::Repeater, false);
    doc.setChannelFlag(n, ChannelFlag::TxPower, false);
    doc.setChannelFlag(n, ChannelFlag::Bandwidth, false);
}

}  // namespace

void applyFactoryDefaults(CMaItemDoc& doc) {
    Image& image = doc.image();
    std::copy(model::kIdentification.begin(), model::kIdentification.end(),
              image.begin() + layout::kModelTag);
    image[layout::kModelFlagByte] = 0x80;
    doc.setSetting(Setting::FmVfoFreq, 0);

    for (int n = kFirstLpdChannel; n <= kLastFixedChannel; ++n) {
        setFixedChannel(doc, n, 433.075 + 0.025 * (n - kFirstLpdChannel));
    }
    for (int n = kFirstPmrChannel; n <= kLastPmrChannel; ++n) {
        setFixedChannel(doc, n, 446.00625 + 0.0125 * (n - kFirstPmrChannel));
    }
    for (int p = 1; p <= kFmPresetCount; ++p)
        doc.setPreset(p, 0);
    for (int n = 1; n <= kChannelCount; ++n)
        doc.setChannelFlag(n, ChannelFlag::Repeater, false);

    BitField{layout::kRadioSettings, 4, 1}.write(image, 0);
    doc.setSetting(Setting::StartChannel, 1);
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
        doc.setSetting(value.id, value.index);

    doc.setVfoFrequencyText(frequency::VfoValue::Offset, "0.00000");
    doc.setPowerOnMessage(text_codes::encodeDisplayText("PL-3"));

    constexpr Value kSideKeys[] = {{Setting::SideKey1Short, 1},
                                   {Setting::SideKey1Long, 4},
                                   {Setting::SideKey2Short, 2},
                                   {Setting::SideKey2Long, 3}};
    for (const Value& value : kSideKeys)
        doc.setSetting(value.id, value.index);

    for (int k = 0; k < kChannelCount; ++k)
        doc.setScanMember(k, true);
    for (int i = 0; i < static_cast<int>(kSquelch3.size()); ++i)
        doc.setTuneSquelch3(i, kSquelch3[static_cast<std::size_t>(i)]);
    for (int j = 0; j < static_cast<int>(kTuning.size()); ++j)
        doc.setTuningValue(j, kTuning[static_cast<std::size_t>(j)]);
}

}  // namespace pl3
