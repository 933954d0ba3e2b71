#include "codeplug/field_registry.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "codeplug/frequency.h"

namespace pl3 {

namespace {

constexpr std::string_view kOffText = "off";

std::string rangeHelp(int min, int max) {
    return std::to_string(min) + ".." + std::to_string(max);
}

Side sideOf(bool receive) {
    return receive ? Side::Receive : Side::Transmit;
}

// --- the image bits each field reads ---

std::vector<BitSpan> wholeBytes(std::size_t address, std::size_t count) {
    std::vector<BitSpan> spans;
    for (std::size_t i = 0; i < count; ++i)
        spans.push_back({address + i, 0xFF});
    return spans;
}

template <std::size_t kAddress, std::size_t kCount>
std::vector<BitSpan> fixedBytes(int) {
    return wholeBytes(kAddress, kCount);
}

template <std::size_t kRecordByte, std::size_t kCount>
std::vector<BitSpan> recordBytes(int n) {
    return wholeBytes(layout::record(n) + kRecordByte, kCount);
}

template <ChannelFlag kFlag>
std::vector<BitSpan> flagBits(int n) {
    return {{layout::record(n) + layout::kRecFlags,
             BitField{0, static_cast<std::uint8_t>(kFlag), 1}.mask()}};
}

std::vector<BitSpan> shiftDirBits(int n) {
    return {{layout::record(n) + layout::kRecShift,
             BitField{0, layout::kShiftDirShift, layout::kShiftDirWidth}.mask()}};
}

std::vector<BitSpan> channelNameBits(int n) {
    return wholeBytes(layout::nameSlot(n), layout::kDisplayTextSize);
}

std::vector<BitSpan> scanListBits(int n) {
    const int k = n - 1;
    return {{layout::kScanList + static_cast<std::size_t>(k / 8),
             BitField{0, static_cast<std::uint8_t>(k % 8), 1}.mask()}};
}

std::vector<BitSpan> fmPresetBits(int p) {
    return wholeBytes(layout::kFmPresetBase + static_cast<std::size_t>(p), 1);
}

template <bool kReceive>
bool setChannelFrequency(CMaItemDoc& doc, int n, std::string_view value) {
    if (!isChannelFrequencyText(doc.limits(), value)) return false;
    if (kReceive && n == kVfoRecord) {
        doc.rawFields().setVfoFrequencyText(frequency::VfoValue::Receive, value);
    } else {
        doc.rawFields().setFrequencyText(n, sideOf(kReceive), value);
    }
    return true;
}

template <bool kReceive>
std::string getChannelFrequency(const CMaItemDoc& doc, int n) {
    return doc.fields().frequencyText(n, sideOf(kReceive));
}

template <bool kReceive>
std::string getTone(const CMaItemDoc& doc, int n) {
    return toneValueText(doc.fields().toneCode(n, sideOf(kReceive)));
}

template <bool kReceive>
bool setTone(CMaItemDoc& doc, int n, std::string_view value) {
    std::optional<int> code = parseToneValue(value);
    if (!code) return false;
    doc.rawFields().setToneCode(n, sideOf(kReceive), *code);
    return true;
}

template <ChannelFlag kFlag>
std::string getFlag(const CMaItemDoc& doc, int n) {
    return doc.fields().channelFlag(n, kFlag) ? "1" : "0";
}

template <ChannelFlag kFlag>
bool setFlag(CMaItemDoc& doc, int n, std::string_view value) {
    std::optional<int> bit = parseFieldInt(value, 0, 1);
    if (!bit) return false;
    doc.rawFields().setChannelFlag(n, kFlag, *bit == 1);
    return true;
}

std::string getSetting(const CMaItemDoc& doc, Setting id) {
    return std::to_string(doc.fields().setting(id));
}

template <Setting kId>
std::string getSettingField(const CMaItemDoc& doc, int) {
    return getSetting(doc, kId);
}

template <Setting kId>
bool setSettingField(CMaItemDoc& doc, int, std::string_view value) {
    const SettingInfo& info = settingInfo(kId);
    std::optional<int> index = parseFieldInt(value, info.indexMin, info.indexMax);
    if (!index) return false;
    doc.rawFields().setSetting(kId, *index);
    return true;
}

template <Setting kId>
std::vector<BitSpan> settingBits(int) {
    const BitField& field = settingInfo(kId).field;
    return {{field.offset, field.mask()}};
}

template <std::size_t... I>
void addSettings(std::vector<FieldInfo>& table, std::index_sequence<I...>) {
    (table.push_back({settingInfo(static_cast<Setting>(I)).name, 0, 0,
                      rangeHelp(settingInfo(static_cast<Setting>(I)).indexMin,
                                settingInfo(static_cast<Setting>(I)).indexMax),
                      &getSettingField<static_cast<Setting>(I)>,
                      &setSettingField<static_cast<Setting>(I)>,
                      &settingBits<static_cast<Setting>(I)>, true, static_cast<Setting>(I)}),
     ...);
}

// An option no column shows is on no page.
FieldPlace placeOf(const ChannelOption& option) {
    return option.field ? FieldPlace(*option.field) : FieldPlace();
}

template <std::size_t... I>
void addChannelOptions(std::vector<FieldInfo>& table, std::index_sequence<I...>) {
    (table.push_back({kChannelOptions[I].name, 1, kChannelCount,
                      std::string(kChannelOptions[I].valueHelp), &getFlag<kChannelOptions[I].flag>,
                      &setFlag<kChannelOptions[I].flag>, &flagBits<kChannelOptions[I].flag>, true,
                      placeOf(kChannelOptions[I])}),
     ...);
}

template <int kFirst, int kMin, int kMax>
std::string getTuning(const CMaItemDoc& doc, int i) {
    if constexpr (kFirst < 0) return std::to_string(doc.fields().tuneSquelch3(i));
    return std::to_string(doc.fields().tuningValue(kFirst + i));
}

template <int kFirst>
std::vector<BitSpan> tuningBits(int i) {
    const std::size_t first =
        kFirst < 0 ? layout::kTestData : layout::kTuningValues + static_cast<std::size_t>(kFirst);
    return wholeBytes(first + static_cast<std::size_t>(i), 1);
}

template <int kFirst, int kMin, int kMax>
bool setTuning(CMaItemDoc& doc, int i, std::string_view value) {
    std::optional<int> v = parseFieldInt(value, kMin, kMax);
    if (!v) return false;
    if constexpr (kFirst < 0) {
        doc.rawFields().setTuneSquelch3(i, *v);
    } else {
        doc.rawFields().setTuningValue(kFirst + i, *v);
    }
    return true;
}

template <DtmfCode kWhich>
std::string getDtmf(const CMaItemDoc& doc, int) {
    return doc.fields().dtmfCodeText(kWhich);
}

template <DtmfCode kWhich>
bool setDtmf(CMaItemDoc& doc, int, std::string_view value) {
    if (!isDtmfCodeText(value)) return false;
    doc.rawFields().setDtmfCodeText(kWhich, value);
    return true;
}

constexpr int kTuneSquelch = -1;  // marks the three squelch values in the tuning templates
constexpr int kSquelchMax = 127;

std::vector<FieldInfo> buildTable() {
    std::vector<FieldInfo> table = {
        {"RxFreq", 1, kVfoRecord, "MHz text within the range limits, or empty (129: the VFO)",
         &getChannelFrequency<true>, &setChannelFrequency<true>,
         &recordBytes<layout::kRecRxFreq, layout::kFrequencySize>, false, ChannelField::RxFreq},
        {"TxFreq", 1, kChannelCount, "MHz text within the range limits, or empty",
         &getChannelFrequency<false>, &setChannelFrequency<false>,
         &recordBytes<layout::kRecTxFreq, layout::kFrequencySize>, false, ChannelField::TxFreq},
        {"RxTone", 1, kChannelCount, "off, 67.0 ... 254.1, D023N ... D754I, or a code 0..258",
         &getTone<true>, &setTone<true>, &recordBytes<layout::kRecRxTone, layout::kToneSize>, false,
         ChannelField::RxTone},
        {"TxTone", 1, kChannelCount, "off, 67.0 ... 254.1, D023N ... D754I, or a code 0..258",
         &getTone<false>, &setTone<false>, &recordBytes<layout::kRecTxTone, layout::kToneSize>,
         false, ChannelField::TxTone},
    };
    addChannelOptions(table, std::make_index_sequence<kChannelOptions.size()>());
    // The fields that follow the options.
    const std::vector<FieldInfo> others = {
        {"ShiftDir", 1, kChannelCount, "0 (equal), 1 (transmit above), 2 (transmit below)",
         [](const CMaItemDoc& doc, int n) { return std::to_string(doc.fields().shiftDir(n)); },
         [](CMaItemDoc& doc, int n, std::string_view value) {
             std::optional<int> v = parseFieldInt(value, 0, 2);
             if (v) doc.rawFields().setShiftDir(n, *v);
             return v.has_value();
         },
         &shiftDirBits, true},
        {"ChannelName", 1, kChannelCount, "up to 6 of 0-9 A-Z a-z space _ - + * #",
         [](const CMaItemDoc& doc, int n) {
             return text_codes::decodeDisplayText(doc.fields().channelName(n));
         },
         [](CMaItemDoc& doc, int n, std::string_view value) {
             if (!isDisplayText(value)) return false;
             doc.rawFields().setChannelName(n, text_codes::encodeDisplayText(value));
             return true;
         },
         &channelNameBits, false, ChannelField::Name},
        {"ScanList", 1, kChannelCount, "0 or 1 (member)",
         [](const CMaItemDoc& doc, int n) {
             return std::string(doc.fields().scanMember(n - 1) ? "1" : "0");
         },
         [](CMaItemDoc& doc, int n, std::string_view value) {
             std::optional<int> v = parseFieldInt(value, 0, 1);
             if (v) doc.rawFields().setScanMember(n - 1, *v == 1);
             return v.has_value();
         },
         &scanListBits, true, PageValue::ScanList},
        {"VfoOffset", 0, 0, "MHz text (above 69.995 stores 69.995), or empty",
         [](const CMaItemDoc& doc, int) { return doc.fields().vfoOffsetText(); },
         [](CMaItemDoc& doc, int, std::string_view value) {
             if (!frequency::isWellFormedText(value)) return false;
             doc.rawFields().setVfoFrequencyText(frequency::VfoValue::Offset, value);
             return true;
         },
         &fixedBytes<layout::kVfoOffset, layout::kFrequencySize>},
        {"FmPreset", 1, kFmPresetCount, "0 (empty) or 1..211 (87.0 MHz + (value - 1) x 0.1)",
         [](const CMaItemDoc& doc, int p) { return std::to_string(doc.fields().preset(p)); },
         [](CMaItemDoc& doc, int p, std::string_view value) {
             std::optional<int> v = parseFieldInt(value, 0, kFmIndexMax + 1);
             if (v) doc.rawFields().setPreset(p, *v);
             return v.has_value();
         },
         &fmPresetBits, true, PageValue::FmPreset},
        {"BotCode", 0, 0, "up to 16 of 0-9 A-D * #", &getDtmf<DtmfCode::Bot>,
         &setDtmf<DtmfCode::Bot>, &fixedBytes<layout::kBotCode, layout::kDtmfCodeSize>, false,
         PageValue::BotCode},
        {"EotCode", 0, 0, "up to 16 of 0-9 A-D * #", &getDtmf<DtmfCode::Eot>,
         &setDtmf<DtmfCode::Eot>, &fixedBytes<layout::kEotCode, layout::kDtmfCodeSize>, false,
         PageValue::EotCode},
        {"PowerOnPassword", 0, 0, "up to 4 digits, or empty for none",
         [](const CMaItemDoc& doc, int) {
             return text_codes::decodePassword(doc.fields().powerOnPassword());
         },
         [](CMaItemDoc& doc, int, std::string_view value) {
             if (!isPasswordText(value)) return false;
             doc.rawFields().setPowerOnPassword(text_codes::encodePassword(value));
             return true;
         },
         &fixedBytes<layout::kPowerOnPassword, layout::kPasswordSize>, false,
         PageValue::PowerOnPassword},
        {"PowerOnMessage", 0, 0, "up to 6 of 0-9 A-Z a-z space _ - + * #",
         [](const CMaItemDoc& doc, int) {
             return text_codes::decodeDisplayText(doc.fields().powerOnMessage());
         },
         [](CMaItemDoc& doc, int, std::string_view value) {
             if (!isDisplayText(value)) return false;
             doc.rawFields().setPowerOnMessage(text_codes::encodeDisplayText(value));
             return true;
         },
         &fixedBytes<layout::kPowerOnMessage, layout::kDisplayTextSize>, false,
         PageValue::PowerOnMessage},
        {"TuneSquelch3", 0, 2, rangeHelp(0, kSquelchMax), &getTuning<kTuneSquelch, 0, kSquelchMax>,
         &setTuning<kTuneSquelch, 0, kSquelchMax>, &tuningBits<kTuneSquelch>, true},
        {"TuneHighPower", 0, 4, rangeHelp(0, 255), &getTuning<0, 0, 255>, &setTuning<0, 0, 255>,
         &tuningBits<0>, true},
        {"TuneLowPower", 0, 4, rangeHelp(0, 255), &getTuning<5, 0, 255>, &setTuning<5, 0, 255>,
         &tuningBits<5>, true},
        {"TuneBattery", 0, 0, rangeHelp(1, 255), &getTuning<10, 1, 255>, &setTuning<10, 1, 255>,
         &tuningBits<10>, true},
        {"TuneVox1", 0, 0, rangeHelp(0, 255), &getTuning<11, 0, 255>, &setTuning<11, 0, 255>,
         &tuningBits<11>, true},
        {"TuneVox9", 0, 0, rangeHelp(0, 255), &getTuning<12, 0, 255>, &setTuning<12, 0, 255>,
         &tuningBits<12>, true},
    };
    table.insert(table.end(), others.begin(), others.end());
    addSettings(table, std::make_index_sequence<kSettingCount>());
    return table;
}

}  // namespace

std::string FieldRef::name() const {
    std::string text(info->name);
    if (info->indexed()) text += "[" + std::to_string(index) + "]";
    return text;
}

const std::vector<FieldInfo>& fieldTable() {
    static const std::vector<FieldInfo> table = buildTable();
    return table;
}

std::vector<BitSpan> fieldBits(const FieldRef& field) {
    return field.info->bits(field.index);
}

std::optional<int> parseFieldInt(std::string_view text, int min, int max) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < min || value > max)
        return std::nullopt;
    return value;
}

bool isDisplayText(std::string_view value) {
    return value.size() <= 6 &&
           text_codes::decodeDisplayText(text_codes::encodeDisplayText(value)).size() ==
               value.size();
}

bool isPasswordText(std::string_view value) {
    return value.size() <= 4 && std::all_of(value.begin(), value.end(), [](char c) {
               return std::isdigit(static_cast<unsigned char>(c)) != 0;
           });
}

bool isDtmfCodeText(std::string_view value) {
    return value.size() <= static_cast<std::size_t>(text_codes::kDtmfMaxDigits) &&
           std::all_of(value.begin(), value.end(), text_codes::isDtmfChar);
}

bool isChannelFrequencyText(const freq_range::Limits& limits, std::string_view value) {
    return frequency::isWellFormedText(value) &&
           frequency::rangeCheck(value, limits.lower, limits.upper) == 0;
}

std::optional<FieldRef> findField(std::string_view name) {
    std::string_view base = name;
    std::optional<int> index;
    if (std::size_t open = name.find('['); open != std::string_view::npos) {
        if (name.back() != ']') return std::nullopt;
        base = name.substr(0, open);
        index = parseFieldInt(name.substr(open + 1, name.size() - open - 2), 0, 1000);
        if (!index) return std::nullopt;
    }
    for (const FieldInfo& info : fieldTable()) {
        if (info.name != base) continue;
        if (info.indexed() != index.has_value()) return std::nullopt;
        if (index && (*index < info.indexMin || *index > info.indexMax)) return std::nullopt;
        return FieldRef{&info, index.value_or(0)};
    }
    return std::nullopt;
}

std::string toneValueText(int code) {
    std::optional<std::string_view> text = tone::tableText(code);
    return text ? std::string(*text) : std::string(kOffText);
}

std::optional<int> parseToneValue(std::string_view value) {
    if (std::optional<int> code = parseFieldInt(value, tone::kOff, tone::kMaxCode)) return code;
    if (value.size() == kOffText.size() &&
        std::equal(value.begin(), value.end(), kOffText.begin(),
                   [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }))
        return tone::kOff;
    return tone::codeOfText(value);
}

std::optional<FieldRef> fieldAt(CMaItemDoc& doc, int address) {
    if (address < 0 || address >= static_cast<int>(kImageSize)) return std::nullopt;
    // Probed in place, around the rules, and put back as it was.
    Image& image = doc.rawFields().image();
    const Image saved = image;
    // An empty channel (or transmit frequency) hides the other bytes from the fields; with
    // a frequency in every record, every byte of it shows.
    constexpr std::uint8_t kProbeFrequency[] = {0x00, 0x00, 0x00, 0x44};
    for (int n = 1; n <= kChannelCount; ++n) {
        for (std::size_t offset :
             {layout::record(n) + layout::kRecRxFreq, layout::record(n) + layout::kRecTxFreq}) {
            if (frequency::isEmptyField(&image[offset]))
                std::copy(std::begin(kProbeFrequency), std::end(kProbeFrequency),
                          image.begin() + static_cast<std::ptrdiff_t>(offset));
        }
    }
    // No field records its bytes; the one whose value changes when the byte does owns it.
    std::uint8_t& byte = image[static_cast<std::size_t>(address)];
    const std::uint8_t original = byte;
    std::optional<FieldRef> owner;
    for (const FieldInfo& info : fieldTable()) {
        for (int index = info.indexMin; index <= info.indexMax && !owner; ++index) {
            std::string before = info.get(doc, index);
            byte = static_cast<std::uint8_t>(original ^ 0xFF);
            std::string after = info.get(doc, index);
            byte = original;
            if (before != after) owner = FieldRef{&info, index};
        }
        if (owner) break;
    }
    image = saved;
    return owner;
}

}  // namespace pl3
