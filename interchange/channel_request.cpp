#include "interchange/channel_request.h"

#include <algorithm>

#include "codeplug/image_layout.h"
#include "codeplug/text_keys.h"
#include "interchange/column_words.h"
#include "interchange/field_text.h"
#include "interchange/megahertz_text.h"
#include "interchange/tone_columns.h"

namespace pl3::interchange {

namespace {

constexpr std::size_t kMaxLocationDigits = 4;
constexpr std::string_view kOlderCrossMode = "Tone->Tone";
constexpr std::string_view kArrow = " -> ";
// Lists made for other radios give the power in watts; a handheld's low setting stays
// below this, its high setting reaches it.
constexpr int kHighPowerFromWatts = 2;
constexpr std::size_t kMaxWattDigits = 4;

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The whole watts of a power such as "4.0W", "5 w" or "0.5W"; nullopt for anything else.
std::optional<int> wholeWatts(std::string_view text) {
    if (text.empty() || upper(text.back()) != 'W') return std::nullopt;
    text = trimBlanks(text.substr(0, text.size() - 1));
    const std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.size() + fraction.size() == 0 || whole.size() > kMaxWattDigits || !allDigits(whole) ||
        !allDigits(fraction))
        return std::nullopt;
    int watts = 0;
    for (char c : whole)
        watts = watts * 10 + (c - '0');
    return watts;
}

class RowReader {
  public:
    RowReader(const Record& record, const ColumnMap& columns, const ShortNames& names)
        : record_(record), columns_(columns), names_(names) {}

    RowReading read(int channel) {
        ChannelRequest request;
        request.channel = channel;
        std::string_view rxText = value(Column::Frequency);
        std::optional<std::int64_t> rx = parseMegahertz(rxText);
        if (!rx) {
            skip(text_key::kCsvSkipFrequency, rxText);
            return std::move(reading_);
        }
        request.rx = *rx;
        request.rxText = shownValue(rxText);

        if (columns_.has(Column::Duplex)) {
            std::optional<TransmitRequest> transmit = readTransmit(*rx);
            if (!transmit) return std::move(reading_);
            request.transmit = transmit;
        }
        if (columns_.has(Column::Tone)) request.tones = readTones();
        request.wide = readChoice(Column::Mode, word::kWide, word::kNarrow, text_key::kCsvMode);
        request.highPower = readPower();
        if (columns_.has(Column::Skip))
            request.scanned = !equalsIgnoringCase(value(Column::Skip), word::kNotScanned);
        if (columns_.has(Column::Name)) request.name = readName();

        reading_.request = std::move(request);
        return std::move(reading_);
    }

  private:
    std::string_view value(Column column) const { return columns_.value(record_, column); }

    void note(NoteKind kind, std::string_view key, std::string detail) {
        reading_.notes.push_back({kind, record_.line, key, std::move(detail)});
    }

    void skip(std::string_view key, std::string_view detail) {
        note(NoteKind::Skipped, key, shownValue(detail));
    }

    std::optional<TransmitRequest> readTransmit(std::int64_t rx) {
        std::string_view duplex = value(Column::Duplex);
        std::string_view offsetText = value(Column::Offset);
        std::optional<std::int64_t> offset =
            offsetText.empty() ? std::optional<std::int64_t>(0) : parseMegahertz(offsetText);
        const bool split = equalsIgnoringCase(duplex, word::kSplit);
        const bool shifted = duplex == word::kPlus || duplex == word::kMinus;
        if ((shifted || split) && (!offset || (split && offsetText.empty()))) {
            skip(text_key::kCsvSkipOffset, offsetText);
            return std::nullopt;
        }
        if (duplex == word::kSimplex) return TransmitRequest{rx, false};
        if (equalsIgnoringCase(duplex, word::kTxOff)) return TransmitRequest{rx, true};
        if (duplex == word::kPlus) return TransmitRequest{rx + *offset, false};
        if (duplex == word::kMinus) return TransmitRequest{rx - *offset, false};
        if (split) return TransmitRequest{*offset, false};
        skip(text_key::kCsvSkipDuplex, duplex);
        return std::nullopt;
    }

    TonePair readTones() {
        ToneColumns tones{
            std::string(value(Column::Tone)),         std::string(value(Column::RToneFreq)),
            std::string(value(Column::CToneFreq)),    std::string(value(Column::DtcsCode)),
            std::string(value(Column::DtcsPolarity)), std::string(value(Column::RxDtcsCode)),
            std::string(value(Column::CrossMode))};
        // The older layout has one DCS code for both ways and no cross modes but one.
        if (!columns_.has(Column::RxDtcsCode)) tones.rxDtcsCode = tones.dtcsCode;
        if (!columns_.has(Column::CrossMode)) tones.crossMode = kOlderCrossMode;
        ToneReading reading = readToneColumns(tones);
        for (ToneNote& problem : reading.notes)
            note(NoteKind::Adjusted, problem.textKey, std::move(problem.detail));
        return {reading.rxTone, reading.txTone};
    }

    // True for `yes`, false for `no`; nullopt (the channel keeps its setting) when the
    // column is missing or empty, and with a note when it holds anything else.
    std::optional<bool> readChoice(Column column, std::string_view yes, std::string_view no,
                                   std::string_view unknownKey) {
        std::string_view text = value(column);
        if (text.empty()) return std::nullopt;
        if (equalsIgnoringCase(text, yes)) return true;
        if (equalsIgnoringCase(text, no)) return false;
        note(NoteKind::Adjusted, unknownKey, shownValue(text));
        return std::nullopt;
    }

    // As readChoice, with watts also understood.
    std::optional<bool> readPower() {
        std::optional<int> watts = wholeWatts(value(Column::Power));
        if (!watts) return readChoice(Column::Power, word::kHigh, word::kLow, text_key::kCsvPower);
        reading_.powerInWatts = true;
        return *watts >= kHighPowerFromWatts;
    }

    std::string readName() {
        // Blanks are display characters: a name may start with one.
        std::string_view written = columns_.field(record_, Column::Name);
        const std::string shown = displayCharacters(written);
        auto shortened = names_.find(shown);
        std::string name = shortened != names_.end() ? shortened->second
                                                     : shown.substr(0, layout::kDisplayTextSize);
        std::string upperWritten(written);
        std::transform(upperWritten.begin(), upperWritten.end(), upperWritten.begin(), upper);
        // Characters the radio lacks are told apart from a name only cut to length.
        if (shown != upperWritten) {
            note(NoteKind::Adjusted, text_key::kCsvName,
                 shownValue(written) + std::string(kArrow) + name);
        } else if (name != shown) {
            note(NoteKind::Adjusted, text_key::kCsvNameShortened,
                 shownValue(written) + std::string(kArrow) + name);
        }
        return name;
    }

    const Record& record_;
    const ColumnMap& columns_;
    const ShortNames& names_;
    RowReading reading_;
};

}  // namespace

RowReading readRow(const Record& record, const ColumnMap& columns, int channel,
                   const ShortNames& names) {
    return RowReader(record, columns, names).read(channel);
}

std::optional<int> channelNumber(std::string_view location) {
    location = trimBlanks(location);
    if (location.empty() || location.size() > kMaxLocationDigits) return std::nullopt;
    int number = 0;
    for (char c : location) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > kChannelCount) return std::nullopt;
    return number;
}

}  // namespace pl3::interchange
