#include "codeplug/field_coverage.h"

#include "codeplug/radio_settings.h"

namespace pl3 {

namespace {

constexpr std::uint8_t kAllBits = 0xFF;
constexpr std::uint8_t kShiftDirBits = 0xC0;
constexpr std::size_t kFrequencyBytes = 4;
constexpr std::size_t kToneBytes = 2;
// Tuning values after the three squelch bytes: high power 0 ... 4, low power 0 ... 4,
// battery, VOX 1, VOX 9.
constexpr std::size_t kTuneHighPower = 3;
constexpr std::size_t kTuneLowPower = 8;
constexpr std::size_t kTuneBattery = 13;
constexpr std::size_t kTuneVox1 = 14;
constexpr std::size_t kTuneVox9 = 15;

std::vector<BitSpan> wholeBytes(std::size_t address, std::size_t count) {
    std::vector<BitSpan> spans;
    for (std::size_t i = 0; i < count; ++i)
        spans.push_back({address + i, kAllBits});
    return spans;
}

std::vector<BitSpan> recordBytes(int n, std::size_t byte, std::size_t count) {
    return wholeBytes(layout::record(n) + byte, count);
}

std::uint8_t bit(int position) {
    return static_cast<std::uint8_t>(1u << position);
}

std::vector<BitSpan> flagBit(int n, ChannelFlag flag) {
    return {{layout::record(n) + layout::kRecFlags, bit(static_cast<int>(flag))}};
}

std::vector<BitSpan> tuningByte(std::size_t offset) {
    return wholeBytes(layout::kTestData + offset, 1);
}

}  // namespace

std::vector<BitSpan> fieldBits(const FieldRef& field) {
    const std::string_view name = field.info->name;
    const int n = field.index;
    const std::size_t i = static_cast<std::size_t>(n);
    if (std::optional<Setting> setting = settingByName(name)) {
        const BitField& bits = settingInfo(*setting).field;
        return {{bits.offset, bits.mask()}};
    }
    if (name == "RxFreq") return recordBytes(n, layout::kRecRxFreq, kFrequencyBytes);
    if (name == "TxFreq") return recordBytes(n, layout::kRecTxFreq, kFrequencyBytes);
    if (name == "RxTone") return recordBytes(n, layout::kRecRxTone, kToneBytes);
    if (name == "TxTone") return recordBytes(n, layout::kRecTxTone, kToneBytes);
    if (name == "BusyLock") return flagBit(n, ChannelFlag::BusyLock);
    if (name == "TxInhibit") return flagBit(n, ChannelFlag::TxInhibit);
    if (name == "EndTone") return flagBit(n, ChannelFlag::EndTone);
    if (name == "Bandwidth") return flagBit(n, ChannelFlag::Bandwidth);
    if (name == "TxPower") return flagBit(n, ChannelFlag::TxPower);
    if (name == "BeatShift") return flagBit(n, ChannelFlag::BeatShift);
    if (name == "Repeater") return flagBit(n, ChannelFlag::Repeater);
    if (name == "PttIdOn") return flagBit(n, ChannelFlag::PttIdOn);
    if (name == "ShiftDir") return {{layout::record(n) + layout::kRecShift, kShiftDirBits}};
    if (name == "ChannelName") return wholeBytes(layout::nameSlot(n), layout::kDisplayTextSize);
    if (name == "ScanList") return {{layout::kScanList + (i - 1) / 8, bit((n - 1) % 8)}};
    if (name == "VfoOffset") return wholeBytes(layout::kVfoOffset, kFrequencyBytes);
    if (name == "FmPreset") return wholeBytes(layout::kFmPresetBase + i, 1);
    if (name == "BotCode") return wholeBytes(layout::kBotCode, layout::kDtmfCodeSize);
    if (name == "EotCode") return wholeBytes(layout::kEotCode, layout::kDtmfCodeSize);
    if (name == "PowerOnPassword")
        return wholeBytes(layout::kPowerOnPassword, layout::kPasswordSize);
    if (name == "PowerOnMessage")
        return wholeBytes(layout::kPowerOnMessage, layout::kDisplayTextSize);
    if (name == "TuneSquelch3") return tuningByte(i);
    if (name == "TuneHighPower") return tuningByte(kTuneHighPower + i);
    if (name == "TuneLowPower") return tuningByte(kTuneLowPower + i);
    if (name == "TuneBattery") return tuningByte(kTuneBattery);
    if (name == "TuneVox1") return tuningByte(kTuneVox1);
    if (name == "TuneVox9") return tuningByte(kTuneVox9);
    return {};
}

}  // namespace pl3
