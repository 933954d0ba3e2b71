#pragma once
// Where every field lives in the 4096-byte codeplug image. Offsets and bit positions
// are a wire and file format: the radio and saved files depend on them.

#include <array>
#include <cstddef>
#include <cstdint>

namespace pl3 {

inline constexpr std::size_t kImageSize = 4096;
inline constexpr std::size_t kHeaderSize = 48;
inline constexpr std::uint8_t kErased = 0xFF;

using Image = std::array<std::uint8_t, kImageSize>;
using Header = std::array<std::uint8_t, kHeaderSize>;

inline constexpr int kChannelCount = 128;
inline constexpr int kFirstEditableChannel = 78;  // channels 1 ... 77 have fixed frequencies
inline constexpr int kVfoRecord = 129;
inline constexpr int kFmPresetCount = 25;
inline constexpr int kFmIndexMax = 210;  // 87.0 ... 108.0 MHz in 0.1 MHz steps

namespace layout {

inline constexpr std::size_t kModelTag = 0x0000;       // 6 bytes
inline constexpr std::size_t kModelFlagByte = 0x0006;  // 0x80 from the factory
inline constexpr std::size_t kFreqRangeCode = 0x0008;  // 4 bytes
inline constexpr std::size_t kRecordSize = 16;
inline constexpr std::size_t kVfoOffset = 0x0830;  // 4 bytes BCD
inline constexpr std::size_t kScanList = 0x0850;   // 16 bytes, one bit per channel
inline constexpr std::size_t kFmVfoFreq = 0x0880;
inline constexpr std::size_t kFmPresetBase = 0x0880;  // preset p at base + p
inline constexpr std::size_t kRadioSettings = 0x08A0;
inline constexpr std::size_t kFactoryByte08A8 = 0x08A8;
inline constexpr std::size_t kBotCode = 0x08B0;  // 16 bytes
inline constexpr std::size_t kEotCode = 0x08C0;  // 16 bytes
inline constexpr std::size_t kDtmfCodeSize = 16;
inline constexpr std::size_t kPowerOnPassword = 0x08D0;  // 4 bytes
inline constexpr std::size_t kPasswordSize = 4;
inline constexpr std::size_t kTestData = 0x08E0;  // 16 bytes of tuning values
inline constexpr std::size_t kTestDataSize = 16;
inline constexpr std::size_t kPowerOnMessage = 0x0A00;  // 6 bytes
inline constexpr std::size_t kNameBase = 0x0A00;        // channel n's name at base + n * 8
inline constexpr std::size_t kNameSlotSize = 8;
inline constexpr std::size_t kDisplayTextSize = 6;

// Byte positions inside a 16-byte channel record.
inline constexpr std::size_t kRecRxFreq = 0;
inline constexpr std::size_t kRecTxFreq = 4;
inline constexpr std::size_t kRecRxTone = 8;   // index byte, then kind byte
inline constexpr std::size_t kRecTxTone = 10;  // index byte, then kind byte
inline constexpr std::size_t kRecFlags = 12;
inline constexpr std::size_t kRecShift =
    13;  // ShiftDir in bits 6-7; the VFO keeps FreqStep/OffsetMode here
inline constexpr std::uint8_t kShiftDirShift = 6;  // ShiftDir: bits 6-7 of kRecShift
inline constexpr std::uint8_t kShiftDirWidth = 2;
inline constexpr std::size_t kFrequencySize = 4;  // BCD, 10 Hz units
inline constexpr std::size_t kToneSize = 2;

// The test data: three squelch bytes, then the tuning values.
inline constexpr std::size_t kTuneSquelchCount = 3;
inline constexpr std::size_t kTuningValues = kTestData + kTuneSquelchCount;

constexpr std::size_t record(int n) {
    return static_cast<std::size_t>(n) * kRecordSize;
}
constexpr std::size_t nameSlot(int n) {
    return kNameBase + static_cast<std::size_t>(n) * kNameSlotSize;
}

}  // namespace layout

// A run of bits inside one image byte.
struct BitField {
    std::size_t offset;
    std::uint8_t shift;
    std::uint8_t width;

    constexpr std::uint8_t mask() const {
        return static_cast<std::uint8_t>(((1u << width) - 1u) << shift);
    }
    constexpr int read(const Image& image) const { return (image[offset] & mask()) >> shift; }
    // Changes only this field's bits; the rest of the byte keeps its value.
    constexpr void write(Image& image, int value) const {
        image[offset] = static_cast<std::uint8_t>(
            (image[offset] & ~mask()) | ((static_cast<unsigned>(value) << shift) & mask()));
    }
};

constexpr BitField wholeByte(std::size_t offset) {
    return {offset, 0, 8};
}

// One-bit channel options in record byte 12. Several are active when their bit is 0
// so that an erased byte means "option off".
enum class ChannelFlag : std::uint8_t {
    BusyLock = 0,   // 0 = busy-channel lock on
    TxInhibit = 1,  // 0 = transmit inhibited
    EndTone = 2,    // 0 = end tone on
    Bandwidth = 3,  // 0 = narrow, 1 = wide
    TxPower = 4,    // 0 = low, 1 = high
    BeatShift = 5,  // 0 = beat-frequency shift on
    Repeater = 6,   // 0 = talkaround, 1 = repeater
    PttIdOn = 7,    // 0 = PTT ID sent
};

inline constexpr std::uint8_t kResetChannelFlags = 0xBF;  // every option off, talkaround
inline constexpr std::uint8_t kResetShiftByte = 0x3F;

enum class Side { Receive, Transmit };

}  // namespace pl3
