#pragma once
// Typed field access over one codeplug image: frequencies, tones, flags, names and the
// radio-wide settings, each read and written where the layout puts it. No operation
// checks its index or value range (callers pass what the tables allow).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "codeplug/frequency.h"
#include "codeplug/frequency_range.h"
#include "codeplug/image_layout.h"
#include "codeplug/radio_settings.h"
#include "codeplug/text_codes.h"
#include "codeplug/tone_tables.h"

namespace pl3 {

enum class DtmfCode { Bot, Eot };

class ImageFields {
  public:
    Image& image() { return image_; }
    const Image& image() const { return image_; }

    // --- channel records: n = 1 ... 128, 129 for the VFO ---
    bool isEmpty(int n) const;
    bool lacksFrequency(int n) const;
    bool sameFrequencies(int n) const;
    std::string frequencyText(int n, Side side) const;
    // Channel rounding; the empty text empties the field.
    void setFrequencyText(int n, Side side, std::string_view text);
    // The same in 10 Hz units; nullopt empties the field.
    void setFrequency(int n, Side side, std::optional<std::int32_t> value);
    int toneCode(int n, Side side) const;
    void setToneCode(int n, Side side, int code);
    tone::Field toneField(int n, Side side) const;
    void setToneField(int n, Side side, tone::Field field);
    std::uint8_t toneIndexByte(int n, Side side) const;
    void setToneIndexByte(int n, Side side, std::uint8_t index);
    bool toneKindBit(int n, Side side, int bit) const;
    void setToneKindBit(int n, Side side, int bit, bool on);
    bool channelFlag(int n, ChannelFlag flag) const;
    void setChannelFlag(int n, ChannelFlag flag, bool on);
    // Bits 6-7 of record byte 13: 0 equal, 1 transmit above receive, 2 below.
    int shiftDir(int n) const;
    void setShiftDir(int n, int direction);
    text_codes::DisplayBytes channelName(int n) const;
    void setChannelName(int n, const text_codes::DisplayBytes& name);

    // --- VFO ---
    std::string vfoOffsetText() const;
    void setVfoFrequencyText(frequency::VfoValue which, std::string_view text);

    // --- scan list: k = 0 ... 127 for channel k + 1 ---
    bool scanMember(int k) const;
    void setScanMember(int k, bool on);

    // --- FM broadcast presets: p = 1 ... 25; 0 = empty, else FM index + 1 ---
    int preset(int p) const;
    void setPreset(int p, int value);

    // --- radio-wide settings (indexes as the lists show them) ---
    int setting(Setting id) const { return readSettingIndex(image_, id); }
    void setSetting(Setting id, int index) { writeSettingIndex(image_, id, index); }

    std::string dtmfCodeText(DtmfCode which) const;
    void setDtmfCodeText(DtmfCode which, std::string_view text);
    text_codes::PasswordBytes powerOnPassword() const;
    void setPowerOnPassword(const text_codes::PasswordBytes& bytes);
    text_codes::DisplayBytes powerOnMessage() const;
    void setPowerOnMessage(const text_codes::DisplayBytes& bytes);

    // --- tuning values ---
    int tuneSquelch3(int i) const;  // i = 0 ... 2; above 127 reads as 127
    void setTuneSquelch3(int i, int value);
    // j = 0 ... 12: high power 0 ... 4, low power 0 ... 4, battery, VOX 1, VOX 9.
    int tuningValue(int j) const;
    void setTuningValue(int j, int value);

    // --- the frequency-range field as stored ---
    freq_range::Code freqRangeCode() const;
    void setFreqRangeCode(const freq_range::Code& code);

  private:
    std::size_t recordByte(int n, std::size_t byte) const { return layout::record(n) + byte; }
    std::size_t toneOffset(int n, Side side) const;
    std::size_t frequencyOffset(int n, Side side) const;
    std::size_t dtmfOffset(DtmfCode which) const;

    Image image_{};
};

}  // namespace pl3
