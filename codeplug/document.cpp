#include "codeplug/document.h"

#include <algorithm>

#include "codeplug/data_file.h"
#include "codeplug/frequency.h"

namespace pl3 {

namespace {

constexpr int kSquelchReadMax = 127;
constexpr std::uint8_t kShiftMask = 0xC0;
constexpr int kShiftBitPosition = 6;

}  // namespace

CMaItemDoc::CMaItemDoc(SettingsFile settings) : settings_(std::move(settings)) {
    clearContents();
}

void CMaItemDoc::clearContents() {
    data_file::writeMagic(header_);
    image_.fill(kErased);
    fromIncompleteFile_ = false;
}

void CMaItemDoc::markEdited() {
    modified_ = true;
    if (history_.record(image_) && historyListener_) historyListener_();
}

void CMaItemDoc::startHistory(bool saved) {
    history_.reset(image_, saved);
    if (historyListener_) historyListener_();
}

void CMaItemDoc::markSaved() {
    history_.markSaved();
}

void CMaItemDoc::undo() {
    if (!canUndo()) return;
    image_ = history_.undo();
    modified_ = !history_.atSavedState();
    updateAllViews();
    if (historyListener_) historyListener_();
}

void CMaItemDoc::redo() {
    if (!canRedo()) return;
    image_ = history_.redo();
    modified_ = !history_.atSavedState();
    updateAllViews();
    if (historyListener_) historyListener_();
}

int CMaItemDoc::addViewListener(std::function<void()> listener) {
    viewListeners_.emplace_back(nextListenerId_, std::move(listener));
    return nextListenerId_++;
}

void CMaItemDoc::removeViewListener(int id) {
    std::erase_if(viewListeners_, [id](const auto& entry) { return entry.first == id; });
}

void CMaItemDoc::updateAllViews() {
    // A listener may remove itself while views update.
    auto listeners = viewListeners_;
    for (auto& [id, listener] : listeners)
        listener();
}

std::size_t CMaItemDoc::frequencyOffset(int n, Side side) const {
    return recordByte(n, side == Side::Receive ? layout::kRecRxFreq : layout::kRecTxFreq);
}

std::size_t CMaItemDoc::toneOffset(int n, Side side) const {
    return recordByte(n, side == Side::Receive ? layout::kRecRxTone : layout::kRecTxTone);
}

bool CMaItemDoc::isEmpty(int n) const {
    return frequency::isEmptyField(&image_[frequencyOffset(n, Side::Receive)]);
}

bool CMaItemDoc::lacksFrequency(int n) const {
    return isEmpty(n) || frequency::isEmptyField(&image_[frequencyOffset(n, Side::Transmit)]);
}

bool CMaItemDoc::sameFrequencies(int n) const {
    auto rx = image_.begin() + static_cast<std::ptrdiff_t>(frequencyOffset(n, Side::Receive));
    auto tx = image_.begin() + static_cast<std::ptrdiff_t>(frequencyOffset(n, Side::Transmit));
    return std::equal(rx, rx + frequency::kFieldSize, tx);
}

std::string CMaItemDoc::frequencyText(int n, Side side) const {
    return frequency::channelText(&image_[frequencyOffset(n, side)]);
}

void CMaItemDoc::setFrequencyText(int n, Side side, std::string_view text) {
    frequency::storeChannelText(text, &image_[frequencyOffset(n, side)]);
}

void CMaItemDoc::setFrequency(int n, Side side, std::optional<std::int32_t> value) {
    frequency::storeChannelValue(value, &image_[frequencyOffset(n, side)]);
}

tone::Field CMaItemDoc::toneField(int n, Side side) const {
    std::size_t at = toneOffset(n, side);
    return {image_[at], image_[at + 1]};
}

int CMaItemDoc::toneCode(int n, Side side) const {
    return tone::codeOf(toneField(n, side));
}

void CMaItemDoc::setToneCode(int n, Side side, int code) {
    tone::Field field = tone::fieldOf(code);
    std::size_t at = toneOffset(n, side);
    image_[at] = field.index;
    image_[at + 1] = field.kind;
}

std::uint8_t CMaItemDoc::toneIndexByte(int n, Side side) const {
    return image_[toneOffset(n, side)];
}

void CMaItemDoc::setToneIndexByte(int n, Side side, std::uint8_t index) {
    image_[toneOffset(n, side)] = index;
}

bool CMaItemDoc::toneKindBit(int n, Side side, int bit) const {
    return BitField{toneOffset(n, side) + 1, static_cast<std::uint8_t>(bit), 1}.read(image_);
}

void CMaItemDoc::setToneKindBit(int n, Side side, int bit, bool on) {
    BitField{toneOffset(n, side) + 1, static_cast<std::uint8_t>(bit), 1}.write(image_, on);
}

bool CMaItemDoc::channelFlag(int n, ChannelFlag flag) const {
    return BitField{recordByte(n, layout::kRecFlags), static_cast<std::uint8_t>(flag), 1}.read(
        image_);
}

void CMaItemDoc::setChannelFlag(int n, ChannelFlag flag, bool on) {
    BitField{recordByte(n, layout::kRecFlags), static_cast<std::uint8_t>(flag), 1}.write(image_,
                                                                                         on);
}

int CMaItemDoc::shiftDir(int n) const {
    return (image_[recordByte(n, layout::kRecShift)] & kShiftMask) >> kShiftBitPosition;
}

void CMaItemDoc::setShiftDir(int n, int direction) {
    BitField{recordByte(n, layout::kRecShift), kShiftBitPosition, 2}.write(image_, direction);
}

text_codes::DisplayBytes CMaItemDoc::channelName(int n) const {
    text_codes::DisplayBytes name;
    std::copy_n(image_.begin() + static_cast<std::ptrdiff_t>(layout::nameSlot(n)), name.size(),
                name.begin());
    return name;
}

void CMaItemDoc::setChannelName(int n, const text_codes::DisplayBytes& name) {
    std::copy(name.begin(), name.end(),
              image_.begin() + static_cast<std::ptrdiff_t>(layout::nameSlot(n)));
}

std::string CMaItemDoc::vfoOffsetText() const {
    return frequency::offsetText(&image_[layout::kVfoOffset]);
}

void CMaItemDoc::setVfoFrequencyText(frequency::VfoValue which, std::string_view text) {
    std::size_t at = which == frequency::VfoValue::Receive
                         ? frequencyOffset(kVfoRecord, Side::Receive)
                         : layout::kVfoOffset;
    frequency::storeVfoText(text, setting(Setting::FreqStep), which, &image_[at]);
}

bool CMaItemDoc::scanMember(int k) const {
    return BitField{layout::kScanList + static_cast<std::size_t>(k / 8),
                    static_cast<std::uint8_t>(k % 8), 1}
        .read(image_);
}

void CMaItemDoc::setScanMember(int k, bool on) {
    BitField{layout::kScanList + static_cast<std::size_t>(k / 8), static_cast<std::uint8_t>(k % 8),
             1}
        .write(image_, on);
}

int CMaItemDoc::preset(int p) const {
    int stored = image_[layout::kFmPresetBase + static_cast<std::size_t>(p)];
    return stored > kFmIndexMax ? 0 : stored + 1;
}

void CMaItemDoc::setPreset(int p, int value) {
    image_[layout::kFmPresetBase + static_cast<std::size_t>(p)] =
        value == 0 ? kErased : static_cast<std::uint8_t>(value - 1);
}

std::size_t CMaItemDoc::dtmfOffset(DtmfCode which) const {
    return which == DtmfCode::Bot ? layout::kBotCode : layout::kEotCode;
}

std::string CMaItemDoc::dtmfCodeText(DtmfCode which) const {
    return text_codes::decodeDtmf(&image_[dtmfOffset(which)]);
}

void CMaItemDoc::setDtmfCodeText(DtmfCode which, std::string_view text) {
    text_codes::encodeDtmf(text, &image_[dtmfOffset(which)]);
}

text_codes::PasswordBytes CMaItemDoc::powerOnPassword() const {
    text_codes::PasswordBytes bytes;
    std::copy_n(image_.begin() + layout::kPowerOnPassword, bytes.size(), bytes.begin());
    return bytes;
}

void CMaItemDoc::setPowerOnPassword(const text_codes::PasswordBytes& bytes) {
    std::copy(bytes.begin(), bytes.end(), image_.begin() + layout::kPowerOnPassword);
}

text_codes::DisplayBytes CMaItemDoc::powerOnMessage() const {
    text_codes::DisplayBytes bytes;
    std::copy_n(image_.begin() + layout::kPowerOnMessage, bytes.size(), bytes.begin());
    return bytes;
}

void CMaItemDoc::setPowerOnMessage(const text_codes::DisplayBytes& bytes) {
    std::copy(bytes.begin(), bytes.end(), image_.begin() + layout::kPowerOnMessage);
}

int CMaItemDoc::tuneSquelch3(int i) const {
    return std::min<int>(image_[layout::kTestData + static_cast<std::size_t>(i)], kSquelchReadMax);
}

void CMaItemDoc::setTuneSquelch3(int i, int value) {
    image_[layout::kTestData + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
}

int CMaItemDoc::tuningValue(int j) const {
    return image_[layout::kTestData + 3 + static_cast<std::size_t>(j)];
}

void CMaItemDoc::setTuningValue(int j, int value) {
    image_[layout::kTestData + 3 + static_cast<std::size_t>(j)] = static_cast<std::uint8_t>(value);
}

freq_range::Code CMaItemDoc::freqRangeCode() const {
    freq_range::Code code;
    std::copy_n(image_.begin() + layout::kFreqRangeCode, code.size(), code.begin());
    return code;
}

int CMaItemDoc::rangeIndex() const {
    return freq_range::rangeIndexOf(settings_, freqRangeCode());
}

void CMaItemDoc::selectRange(int i) {
    if (std::optional<std::string> data = settings_.freqRangeData(i)) {
        if (std::optional<freq_range::Code> code = freq_range::parseCode(*data)) {
            std::copy(code->begin(), code->end(), image_.begin() + layout::kFreqRangeCode);
        }
    }
    deriveRangeLimits();
}

void CMaItemDoc::deriveRangeLimits() {
    limits_ = freq_range::deriveLimits(settings_, freqRangeCode());
}

}  // namespace pl3
