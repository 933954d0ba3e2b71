#pragma once
// The radio-wide settings of the image as one table: where each lives, how its list
// index maps onto the stored value, and which index a damaged value reads as, so that
// every list still shows a valid choice.

#include <array>
#include <optional>
#include <string_view>

#include "codeplug/image_layout.h"

namespace pl3 {

enum class Setting {
    BackLamp,
    KeyLockMode,
    KeyBeep,
    BatterySave,
    AutoPowerOff,
    FreqGroup,
    SystemMode,
    VfoEnable,
    TailNoiseMode,
    ManualTune,
    LcdDisplayMode,
    FmRadioEnable,
    FmRadio,
    RadioMode,
    FmMonitor,
    SquelchLevel,
    Tot,
    VoxLevel,
    VoxDelay,
    ScanDelay,
    StartChannel,
    SideKey1Short,
    SideKey1Long,
    SideKey2Short,
    SideKey2Long,
    DtmfRate,
    DtmfFirstDigitTime,
    DtmfFirstDigitDelay,
    DtmfSidetone,
    PttId,
    FreqStep,
    OffsetMode,
    FmVfoFreq,
};

inline constexpr int kSettingCount = static_cast<int>(Setting::FmVfoFreq) + 1;

// How the list index relates to the stored value.
enum class IndexCoding {
    Direct,  // stored = index + storedBase
    Tens,    // stored = (index + 1) * 10; read index = stored / 10 - 1
};

// What an index means to the user, for the lists that format their own items.
enum class ValueKind {
    Choice,         // items come from a language section
    OnOff,          // one bit, 1 = on
    Number,         // the index itself
    NumberOrOff,    // index 0 is off, n is n
    Seconds30,      // index 0 is off, n is n x 30 s
    Tenths,         // (index + 3) tenths of a second, "%d.%d"
    Plus1,          // index + 1
    Plus5,          // index + 5
    Times100,       // index x 100 ms
    Plus1Times100,  // (index + 1) x 100 ms
    Channel,        // a channel number
    FmFrequency,    // 87.0 + index x 0.1 MHz
};

struct SettingInfo {
    Setting id;
    std::string_view name;
    BitField field;
    IndexCoding coding;
    int storedBase;  // Direct coding: stored = index + storedBase
    int storedMin;   // stored values in [storedMin, storedMax] read as themselves ...
    int storedMax;
    int outOfRangeIndex;  // ... all others read as this index
    int indexMin;         // the indexes a setter takes
    int indexMax;
    ValueKind kind;
    std::string_view listSection;  // language section of the item texts, or empty
};

const std::array<SettingInfo, kSettingCount>& settingTable();
const SettingInfo& settingInfo(Setting id);
std::optional<Setting> settingByName(std::string_view name);

// Index as the lists show it: the clamped reading of the stored value.
int readSettingIndex(const Image& image, Setting id);
// Stores an index; only the setting's own bits change.
void writeSettingIndex(Image& image, Setting id, int index);

}  // namespace pl3
