#include "interchange/tone_columns.h"

#include <algorithm>
#include <array>
#include <optional>

#include "codeplug/text_keys.h"
#include "codeplug/tone_tables.h"
#include "interchange/field_text.h"

namespace pl3::interchange {

namespace {

enum class Kind { Off, Ctcss, Dcs };

struct Sides {
    Kind tx;
    Kind rx;
};

struct CrossMode {
    std::string_view name;
    Sides sides;
};

constexpr std::array<CrossMode, 8> kCrossModes = {{
    {"Tone->Tone", {Kind::Ctcss, Kind::Ctcss}},
    {"DTCS->", {Kind::Dcs, Kind::Off}},
    {"->DTCS", {Kind::Off, Kind::Dcs}},
    {"Tone->DTCS", {Kind::Ctcss, Kind::Dcs}},
    {"DTCS->Tone", {Kind::Dcs, Kind::Ctcss}},
    {"->Tone", {Kind::Off, Kind::Ctcss}},
    {"DTCS->DTCS", {Kind::Dcs, Kind::Dcs}},
    {"Tone->", {Kind::Ctcss, Kind::Off}},
}};

constexpr std::string_view kModeNone = "";
constexpr std::string_view kModeTone = "Tone";
constexpr std::string_view kModeTsql = "TSQL";
constexpr std::string_view kModeDtcs = "DTCS";
constexpr std::string_view kModeCross = "Cross";

// What unused columns carry.
constexpr std::string_view kFillerCtcss = "88.5";
constexpr std::string_view kFillerDcs = "023";
constexpr std::string_view kFillerCrossMode = "Tone->Tone";

constexpr char kNormal = 'N';
constexpr char kInverted = 'R';
constexpr std::size_t kDcsDigits = 3;

Kind kindOf(int code) {
    if (code >= tone::kFirstCtcss && code < tone::kFirstDcsNormal) return Kind::Ctcss;
    if (code >= tone::kFirstDcsNormal && code <= tone::kMaxCode) return Kind::Dcs;
    return Kind::Off;
}

bool isInverted(int code) {
    return code >= tone::kFirstDcsInverted;
}

// "023" of a DCS code.
std::string dcsDigits(int code) {
    return std::string(tone::tableText(code)->substr(1, kDcsDigits));
}

char polarityLetter(int code) {
    return kindOf(code) == Kind::Dcs && isInverted(code) ? kInverted : kNormal;
}

std::string ctcssText(int code) {
    return std::string(*tone::tableText(code));
}

// Tenths of a hertz from "88.5", "88.50", "88"; nullopt when it is no such number or
// has a nonzero digit after the tenths.
std::optional<int> tenthsOfHertz(std::string_view text) {
    std::size_t dot = text.find('.');
    std::string_view whole = text.substr(0, dot);
    std::string_view decimals = dot == std::string_view::npos ? "" : text.substr(dot + 1);
    auto digits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || whole.size() > 4 || !digits(whole) || !digits(decimals))
        return std::nullopt;
    int tenths = 0;
    for (char c : whole)
        tenths = tenths * 10 + (c - '0');
    tenths = tenths * 10 + (decimals.empty() ? 0 : decimals[0] - '0');
    if (decimals.size() > 1 && decimals.substr(1).find_first_not_of('0') != std::string_view::npos)
        return std::nullopt;
    return tenths;
}

std::optional<int> ctcssCode(std::string_view text) {
    std::optional<int> wanted = tenthsOfHertz(text);
    if (!wanted) return std::nullopt;
    for (int code = tone::kFirstCtcss; code < tone::kFirstDcsNormal; ++code) {
        if (tenthsOfHertz(*tone::tableText(code)) == wanted) return code;
    }
    return std::nullopt;
}

std::optional<int> dcsCode(std::string_view digits, char polarity) {
    if (digits.empty() || digits.size() > kDcsDigits) return std::nullopt;
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; }))
        return std::nullopt;
    std::string text = "D" + std::string(kDcsDigits - digits.size(), '0') + std::string(digits);
    if (polarity == kNormal || polarity == 'n') {
        text += 'N';
    } else if (polarity == kInverted || polarity == 'r') {
        text += 'I';
    } else {
        return std::nullopt;
    }
    return tone::codeOfText(text);
}

char polarityAt(std::string_view polarity, std::size_t i) {
    return i < polarity.size() ? polarity[i] : kNormal;
}

class Reader {
  public:
    explicit Reader(const ToneColumns& columns) : columns_(columns) {}

    int ctcss(std::string_view text) {
        if (std::optional<int> code = ctcssCode(text)) return *code;
        unsupported(text);
        return tone::kOff;
    }

    int dcs(std::string_view digits, std::size_t polaritySide) {
        char polarity = polarityAt(columns_.dtcsPolarity, polaritySide);
        if (std::optional<int> code = dcsCode(digits, polarity)) return *code;
        unsupported(std::string(digits) + " " + std::string(1, polarity));
        return tone::kOff;
    }

    ToneReading read() {
        const std::string& mode = columns_.tone;
        if (mode == kModeNone) {
            // no tone either way
        } else if (equalsIgnoringCase(mode, kModeTone)) {
            reading_.txTone = ctcss(columns_.rToneFreq);
        } else if (equalsIgnoringCase(mode, kModeTsql)) {
            reading_.rxTone = ctcss(columns_.cToneFreq);
            reading_.txTone = reading_.rxTone;
        } else if (equalsIgnoringCase(mode, kModeDtcs)) {
            reading_.txTone = dcs(columns_.dtcsCode, 0);
            reading_.rxTone = dcs(columns_.dtcsCode, 1);
        } else if (equalsIgnoringCase(mode, kModeCross)) {
            readCross();
        } else {
            unknownMode(mode);
        }
        return std::move(reading_);
    }

  private:
    void readCross() {
        auto named = std::find_if(kCrossModes.begin(), kCrossModes.end(), [&](const CrossMode& m) {
            return equalsIgnoringCase(m.name, columns_.crossMode);
        });
        if (named == kCrossModes.end()) {
            unknownMode(columns_.tone + " " + columns_.crossMode);
            return;
        }
        if (named->sides.tx == Kind::Ctcss) reading_.txTone = ctcss(columns_.rToneFreq);
        if (named->sides.tx == Kind::Dcs) reading_.txTone = dcs(columns_.dtcsCode, 0);
        if (named->sides.rx == Kind::Ctcss) reading_.rxTone = ctcss(columns_.cToneFreq);
        if (named->sides.rx == Kind::Dcs) reading_.rxTone = dcs(columns_.rxDtcsCode, 1);
    }

    void unsupported(std::string_view value) {
        // DTCS names one code for both ways: one note is enough.
        ToneNote note{text_key::kCsvToneUnsupported, shownValue(value)};
        bool known =
            std::any_of(reading_.notes.begin(), reading_.notes.end(), [&](const ToneNote& n) {
                return n.textKey == note.textKey && n.detail == note.detail;
            });
        if (!known) reading_.notes.push_back(std::move(note));
    }

    void unknownMode(std::string_view value) {
        reading_.notes.push_back({text_key::kCsvToneMode, shownValue(value)});
    }

    const ToneColumns& columns_;
    ToneReading reading_;
};

std::string_view crossModeName(Kind tx, Kind rx) {
    for (const CrossMode& mode : kCrossModes) {
        if (mode.sides.tx == tx && mode.sides.rx == rx) return mode.name;
    }
    return kFillerCrossMode;
}

}  // namespace

ToneColumns toneColumnsOf(int txTone, int rxTone) {
    const Kind tx = kindOf(txTone);
    const Kind rx = kindOf(rxTone);
    ToneColumns columns{std::string(kModeCross),
                        std::string(kFillerCtcss),
                        std::string(kFillerCtcss),
                        std::string(kFillerDcs),
                        {polarityLetter(txTone), polarityLetter(rxTone)},
                        std::string(kFillerDcs),
                        std::string(kFillerCrossMode)};
    if (tx == Kind::Ctcss) columns.rToneFreq = ctcssText(txTone);
    if (rx == Kind::Ctcss) columns.cToneFreq = ctcssText(rxTone);
    if (tx == Kind::Dcs) columns.dtcsCode = dcsDigits(txTone);
    if (rx == Kind::Dcs) columns.rxDtcsCode = dcsDigits(rxTone);

    if (tx == Kind::Off && rx == Kind::Off) {
        columns.tone = kModeNone;
    } else if (tx == Kind::Ctcss && rx == Kind::Off) {
        columns.tone = kModeTone;
    } else if (tx == Kind::Ctcss && txTone == rxTone) {
        columns.tone = kModeTsql;
    } else if (tx == Kind::Dcs && rx == Kind::Dcs && dcsDigits(txTone) == dcsDigits(rxTone)) {
        columns.tone = kModeDtcs;
    } else {
        columns.crossMode = crossModeName(tx, rx);
    }
    return columns;
}

ToneReading readToneColumns(const ToneColumns& columns) {
    return Reader(columns).read();
}

}  // namespace pl3::interchange
