#include "codeplug/image_fields.h"

#include <algorithm>

namespace pl3 {

namespace {

constexpr int kSquelchReadMax = 127;
constexpr std::uint8_t kShiftMask = 0xC0;
constexpr int kShiftBitPosition = 6;

}  // namespace

std::size_t ImageFields::frequencyOffset(int n, Side side) const {
    return recordByte(n, side == Side::Receive ? layout::kRecRxFreq : layout::kRecTxFreq);
}

std::size_t ImageFields::toneOffset(int n, Side side) const {
    return recordByte(n, side == Side::Receive ? layout::kRecRxTone : layout::kRecTxTone);
}

bool ImageFields::isEmpty(int n) const {
    return frequency::isEmptyField(&image_[frequencyOffset(n, Side::Receive)]);
}

bool ImageFields::lacksFrequency(int n) const {
    return isEmpty(n) || frequency::isEmptyField(&image_[frequencyOffset(n, Side::Transmit)]);
}

bool ImageFields::sameFrequencies(int n) const {
    auto rx = image_.begin() + static_cast<std::ptrdiff_t>(frequencyOffset(n, Side::Receive));
    auto tx = image_.begin() + static_cast<std::ptrdiff_t>(frequencyOffset(n, Side::Transmit));
    return std::equal(rx, rx + frequency::kFieldSize, tx);
}

std::string ImageFields::frequencyText(int n, Side side) const {
    return frequency::channelText(&image_[frequencyOffset(n, side)]);
}

void ImageFields::setFrequencyText(int n, Side side, std::string_view text) {
    frequency::storeChannelText(text, &image_[frequencyOffset(n, side)]);
}

void ImageFields::setFrequency(int n, Side side, std::optional<std::int32_t> value) {
    frequency::storeChannelValue(value, &image_[frequencyOffset(n, side)]);
}

tone::Field ImageFields::toneField(int n, Side side) const {
    std::size_t at = toneOffset(n, side);
    return {image_[at], image_[at + 1]};
}

int ImageFields::toneCode(int n, Side side) const {
    return tone::codeOf(toneField(n, side));
}

void ImageFields::setToneField(int n, Side side, tone::Field field) {
    std::size_t at = toneOffset(n, side);
    image_[at] = field.index;
    image_[at + 1] = field.kind;
}

void ImageFields::setToneCode(int n, Side side, int code) {
    setToneField(n, side, tone::fieldOf(code));
}

std::uint8_t ImageFields::toneIndexByte(int n, Side side) const {
    return image_[toneOffset(n, side)];
}

void ImageFields::setToneIndexByte(int n, Side side, std::uint8_t index) {
    image_[toneOffset(n, side)] = index;
}

bool ImageFields::toneKindBit(int n, Side side, int bit) const {
    return BitField{toneOffset(n, side) + 1, static_cast<std::uint8_t>(bit), 1}.read(image_);
}

void ImageFields::setToneKindBit(int n, Side side, int bit, bool on) {
    BitField{toneOffset(n, side) + 1, static_cast<std::uint8_t>(bit), 1}.write(image_, on);
}

bool ImageFields::channelFlag(int n, ChannelFlag flag) const {
    return BitField{recordByte(n, layout::kRecFlags), static_cast<std::uint8_t>(flag), 1}.read(
        image_);
}

void ImageFields::setChannelFlag(int n, ChannelFlag flag, bool on) {
    BitField{recordByte(n, layout::kRecFlags), static_cast<std::uint8_t>(flag), 1}.write(image_,
                                                                                         on);
}

int ImageFields::shiftDir(int n) const {
    return (image_[recordByte(n, layout::kRecShift)] & kShiftMask) >> kShiftBitPosition;
}

void ImageFields::setShiftDir(int n, int direction) {
    BitField{recordByte(n, layout::kRecShift), kShiftBitPosition, 2}.write(image_, direction);
}

text_codes::DisplayBytes ImageFields::channelName(int n) const {
    text_codes::DisplayBytes name;
    std::copy_n(image_.begin() + static_cast<std::ptrdiff_t>(layout::nameSlot(n)), name.size(),
                name.begin());
    return name;
}

void ImageFields::setChannelName(int n, const text_codes::DisplayBytes& name) {
    std::copy(name.begin(), name.end(),
              image_.begin() + static_cast<std::ptrdiff_t>(layout::nameSlot(n)));
}

std::string ImageFields::vfoOffsetText() const {
    return frequency::offsetText(&image_[layout::kVfoOffset]);
}

void ImageFields::setVfoFrequencyText(frequency::VfoValue which, std::string_view text) {
    std::size_t at = which == frequency::VfoValue::Receive
                         ? frequencyOffset(kVfoRecord, Side::Receive)
                         : layout::kVfoOffset;
    frequency::storeVfoText(text, setting(Setting::FreqStep), which, &image_[at]);
}

bool ImageFields::scanMember(int k) const {
    return BitField{layout::kScanList + static_cast<std::size_t>(k / 8),
                    static_cast<std::uint8_t>(k % 8), 1}
        .read(image_);
}

void ImageFields::setScanMember(int k, bool on) {
    BitField{layout::kScanList + static_cast<std::size_t>(k / 8), static_cast<std::uint8_t>(k % 8),
             1}
        .write(image_, on);
}

int ImageFields::preset(int p) const {
    int stored = image_[layout::kFmPresetBase + static_cast<std::size_t>(p)];
    return stored > kFmIndexMax ? 0 : stored + 1;
}

void ImageFields::setPreset(int p, int value) {
    image_[layout::kFmPresetBase + static_cast<std::size_t>(p)] =
        value == 0 ? kErased : static_cast<std::uint8_t>(value - 1);
}

std::size_t ImageFields::dtmfOffset(DtmfCode which) const {
    return which == DtmfCode::Bot ? layout::kBotCode : layout::kEotCode;
}

std::string ImageFields::dtmfCodeText(DtmfCode which) const {
    return text_codes::decodeDtmf(&image_[dtmfOffset(which)]);
}

void ImageFields::setDtmfCodeText(DtmfCode which, std::string_view text) {
    text_codes::encodeDtmf(text, &image_[dtmfOffset(which)]);
}

text_codes::PasswordBytes ImageFields::powerOnPassword() const {
    text_codes::PasswordBytes bytes;
    std::copy_n(image_.begin() + layout::kPowerOnPassword, bytes.size(), bytes.begin());
    return bytes;
}

void ImageFields::setPowerOnPassword(const text_codes::PasswordBytes& bytes) {
    std::copy(bytes.begin(), bytes.end(), image_.begin() + layout::kPowerOnPassword);
}

text_codes::DisplayBytes ImageFields::powerOnMessage() const {
    text_codes::DisplayBytes bytes;
    std::copy_n(image_.begin() + layout::kPowerOnMessage, bytes.size(), bytes.begin());
    return bytes;
}

void ImageFields::setPowerOnMessage(const text_codes::DisplayBytes& bytes) {
    std::copy(bytes.begin(), bytes.end(), image_.begin() + layout::kPowerOnMessage);
}

int ImageFields::tuneSquelch3(int i) const {
    return std::min<int>(image_[layout::kTestData + static_cast<std::size_t>(i)], kSquelchReadMax);
}

void ImageFields::setTuneSquelch3(int i, int value) {
    image_[layout::kTestData + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
}

int ImageFields::tuningValue(int j) const {
    return image_[layout::kTestData + 3 + static_cast<std::size_t>(j)];
}

void ImageFields::setTuningValue(int j, int value) {
    image_[layout::kTestData + 3 + static_cast<std::size_t>(j)] = static_cast<std::uint8_t>(value);
}

freq_range::Code ImageFields::freqRangeCode() const {
    freq_range::Code code;
    std::copy_n(image_.begin() + layout::kFreqRangeCode, code.size(), code.begin());
    return code;
}

void ImageFields::setFreqRangeCode(const freq_range::Code& code) {
    std::copy(code.begin(), code.end(), image_.begin() + layout::kFreqRangeCode);
}

}  // namespace pl3
