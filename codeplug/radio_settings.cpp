#include "codeplug/radio_settings.h"

namespace pl3 {

namespace {

using enum IndexCoding;
using enum ValueKind;

constexpr BitField bits(std::size_t offset, int shift, int width) {
    return {offset, static_cast<std::uint8_t>(shift), static_cast<std::uint8_t>(width)};
}

constexpr SettingInfo flag(Setting id, std::string_view name, std::size_t offset, int bit) {
    return {id, name, bits(offset, bit, 1), Direct, 0, 0, 1, 0, 0, 1, OnOff, {}};
}

constexpr SettingInfo choice(Setting id, std::string_view name, BitField field, int count,
                             int outOfRange, std::string_view section) {
    return {id, name, field, Direct, 0, 0, count - 1, outOfRange, 0, count - 1, Choice, section};
}

constexpr SettingInfo number(Setting id, std::string_view name, std::size_t offset, int base,
                             int storedMin, int storedMax, int outOfRange, ValueKind kind) {
    return {id,         name, wholeByte(offset), Direct, base, storedMin, storedMax,
            outOfRange, 0,    storedMax - base,  kind,   {}};
}

constexpr std::size_t kVfoShiftByte = layout::record(kVfoRecord) + layout::kRecShift;

// Rows in the order of the Setting enum.
constexpr std::array<SettingInfo, kSettingCount> kTable = {{
    choice(Setting::BackLamp, "BackLamp", bits(0x08A0, 0, 2), 3, 2, "BackLamp"),
    choice(Setting::KeyLockMode, "KeyLockMode", bits(0x08A0, 2, 2), 4, 3, "KeyLockMode"),
    flag(Setting::KeyBeep, "KeyBeep", 0x08A0, 5),
    flag(Setting::BatterySave, "BatterySave", 0x08A0, 7),
    flag(Setting::AutoPowerOff, "AutoPowerOff", 0x08A1, 3),
    flag(Setting::FreqGroup, "FreqGroup", 0x08A1, 4),
    choice(Setting::SystemMode, "SystemMode", bits(0x08A1, 5, 1), 2, 1, "SystemMode"),
    flag(Setting::VfoEnable, "VfoEnable", 0x08A1, 6),
    choice(Setting::TailNoiseMode, "TailNoiseMode", bits(0x08A2, 0, 2), 4, 3, "TailNoiseMode"),
    flag(Setting::ManualTune, "ManualTune", 0x08A2, 2),
    choice(Setting::LcdDisplayMode, "LcdDisplayMode", bits(0x08A2, 3, 1), 2, 1, "LcdDisplayMode"),
    flag(Setting::FmRadioEnable, "FmRadioEnable", 0x08A2, 4),
    flag(Setting::FmRadio, "FmRadio", 0x08A2, 5),
    choice(Setting::RadioMode, "RadioMode", bits(0x08A2, 6, 1), 2, 1, "RadioMode"),
    flag(Setting::FmMonitor, "FmMonitor", 0x08A2, 7),
    number(Setting::SquelchLevel, "SquelchLevel", 0x08A3, 0, 0, 9, 9, Number),
    number(Setting::Tot, "Tot", 0x08A4, 0, 0, 9, 9, Seconds30),
    number(Setting::VoxLevel, "VoxLevel", 0x08A5, 0, 0, 9, 9, NumberOrOff),
    number(Setting::VoxDelay, "VoxDelay", 0x08A6, 3, 3, 30, 27, Tenths),
    {Setting::ScanDelay, "ScanDelay", wholeByte(0x08A7), Tens, 0, 10, 100, 9, 0, 9, Plus1, {}},
    {Setting::StartChannel,
     "StartChannel",
     wholeByte(0x08A9),
     Direct,
     0,
     0,
     255,
     0,
     1,
     kChannelCount,
     Channel,
     {}},
    choice(Setting::SideKey1Short, "SideKey1Short", bits(0x08AA, 4, 4), 7, 0, "KeyData"),
    choice(Setting::SideKey1Long, "SideKey1Long", bits(0x08AA, 0, 4), 7, 0, "KeyData"),
    choice(Setting::SideKey2Short, "SideKey2Short", bits(0x08AB, 4, 4), 7, 0, "KeyData"),
    choice(Setting::SideKey2Long, "SideKey2Long", bits(0x08AB, 0, 4), 7, 0, "KeyData"),
    number(Setting::DtmfRate, "DtmfRate", 0x08AC, 5, 5, 10, 5, Plus5),
    number(Setting::DtmfFirstDigitTime, "DtmfFirstDigitTime", 0x08AD, 0, 0, 10, 10, Times100),
    number(Setting::DtmfFirstDigitDelay, "DtmfFirstDigitDelay", 0x08AE, 1, 1, 10, 9, Plus1Times100),
    flag(Setting::DtmfSidetone, "DtmfSidetone", 0x08AF, 4),
    choice(Setting::PttId, "PttId", bits(0x08AF, 6, 2), 4, 3, "PttId"),
    choice(Setting::FreqStep, "FreqStep", bits(kVfoShiftByte, 0, 4), 5, 4, "FreqStep"),
    choice(Setting::OffsetMode, "OffsetMode", bits(kVfoShiftByte, 6, 2), 3, 2, "OffsetMode"),
    number(Setting::FmVfoFreq, "FmVfoFreq", layout::kFmVfoFreq, 0, 0, kFmIndexMax, kFmIndexMax,
           FmFrequency),
}};

constexpr bool tableFollowsEnumOrder() {
    for (int i = 0; i < kSettingCount; ++i) {
        if (static_cast<int>(kTable[i].id) != i) return false;
    }
    return true;
}
static_assert(tableFollowsEnumOrder(), "settingInfo() indexes the table by the enum value");

}  // namespace

const std::array<SettingInfo, kSettingCount>& settingTable() {
    return kTable;
}

const SettingInfo& settingInfo(Setting id) {
    return kTable[static_cast<int>(id)];
}

std::optional<Setting> settingByName(std::string_view name) {
    for (const SettingInfo& info : kTable) {
        if (info.name == name) return info.id;
    }
    return std::nullopt;
}

int readSettingIndex(const Image& image, Setting id) {
    const SettingInfo& info = settingInfo(id);
    int stored = info.field.read(image);
    if (stored < info.storedMin || stored > info.storedMax) return info.outOfRangeIndex;
    return info.coding == Tens ? stored / 10 - 1 : stored - info.storedBase;
}

void writeSettingIndex(Image& image, Setting id, int index) {
    const SettingInfo& info = settingInfo(id);
    int stored = info.coding == Tens ? (index + 1) * 10 : index + info.storedBase;
    info.field.write(image, stored);
}

}  // namespace pl3
