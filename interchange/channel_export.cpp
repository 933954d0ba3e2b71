#include "interchange/channel_export.h"

#include "interchange/column_words.h"
#include "interchange/delimited_writer.h"
#include "interchange/megahertz_text.h"
#include "interchange/tone_columns.h"

namespace pl3::interchange {

namespace {

// The step that the channel's receive frequency lies on: channel rounding puts every
// frequency on the 5 kHz or the 6.25 kHz raster.
constexpr std::string_view kStep5 = "5.00";
constexpr std::string_view kStep625 = "6.25";
constexpr std::int32_t kRaster5 = 500;

std::string_view lineEndOf(Format format) {
    return format == Format::Csv ? "\r\n" : "\n";
}

std::vector<std::string> headingFields() {
    return {kColumnNames.begin(), kColumnNames.end()};
}

}  // namespace

std::vector<std::string> rowFields(int channel, const ChannelValues& values) {
    std::vector<std::string> fields(kColumnCount);
    auto set = [&](Column column, std::string_view value) { fields[indexOf(column)] = value; };

    set(Column::Location, std::to_string(channel));
    set(Column::Name, values.name);
    set(Column::Frequency, megahertzText(values.rx));
    std::int64_t offset = 0;
    if (values.txInhibited) {
        set(Column::Duplex, word::kTxOff);
    } else if (values.tx > values.rx) {
        set(Column::Duplex, word::kPlus);
        offset = values.tx - values.rx;
    } else if (values.tx < values.rx) {
        set(Column::Duplex, word::kMinus);
        offset = values.rx - values.tx;
    } else {
        set(Column::Duplex, word::kSimplex);
    }
    set(Column::Offset, megahertzText(offset));

    ToneColumns tones = toneColumnsOf(values.txTone, values.rxTone);
    set(Column::Tone, tones.tone);
    set(Column::RToneFreq, tones.rToneFreq);
    set(Column::CToneFreq, tones.cToneFreq);
    set(Column::DtcsCode, tones.dtcsCode);
    set(Column::DtcsPolarity, tones.dtcsPolarity);
    set(Column::RxDtcsCode, tones.rxDtcsCode);
    set(Column::CrossMode, tones.crossMode);

    set(Column::Mode, values.wide ? word::kWide : word::kNarrow);
    set(Column::TStep, values.rx % kRaster5 == 0 ? kStep5 : kStep625);
    set(Column::Skip, values.scanned ? "" : word::kNotScanned);
    set(Column::Power, values.highPower ? word::kHigh : word::kLow);
    return fields;
}

std::string exportChannels(const CMaItemDoc& doc, const std::vector<int>& channels, Format format,
                           HeadingLine heading) {
    const char separator = separatorOf(format);
    const std::string_view lineEnd = lineEndOf(format);
    std::string out;
    if (heading == HeadingLine::With) appendRecord(out, headingFields(), separator, lineEnd);
    for (int n : channels) {
        if (n < 1 || n > kChannelCount || doc.fields().isEmpty(n)) continue;
        appendRecord(out, rowFields(n, readChannel(doc.fields(), n)), separator, lineEnd);
    }
    return out;
}

std::string exportCsv(const CMaItemDoc& doc) {
    std::vector<int> all(kChannelCount);
    for (int n = 1; n <= kChannelCount; ++n)
        all[static_cast<std::size_t>(n - 1)] = n;
    return exportChannels(doc, all, Format::Csv, HeadingLine::With);
}

}  // namespace pl3::interchange
