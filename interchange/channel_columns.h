#pragma once
// The columns of the channel-list interchange layout, in their order, and where a
// given file keeps each of them. Files are matched by heading name, so files with
// fewer columns, other orders or the older heading all read.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "interchange/delimited_reader.h"

namespace pl3::interchange {

enum class Format { Csv, Tsv };

constexpr char separatorOf(Format format) {
    return format == Format::Csv ? ',' : '\t';
}

enum class Column {
    Location,
    Name,
    Frequency,
    Duplex,
    Offset,
    Tone,
    RToneFreq,
    CToneFreq,
    DtcsCode,
    DtcsPolarity,
    RxDtcsCode,
    CrossMode,
    Mode,
    TStep,
    Skip,
    Power,
    Comment,
    Urcall,
    Rpt1Call,
    Rpt2Call,
    DvCode,
};

inline constexpr std::size_t kColumnCount = 21;

// The heading names, in the order the columns are written.
inline constexpr std::array<std::string_view, kColumnCount> kColumnNames = {
    "Location",  "Name",     "Frequency",    "Duplex",     "Offset",    "Tone",     "rToneFreq",
    "cToneFreq", "DtcsCode", "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode",     "TStep",
    "Skip",      "Power",    "Comment",      "URCALL",     "RPT1CALL",  "RPT2CALL", "DVCODE",
};

constexpr std::size_t indexOf(Column column) {
    return static_cast<std::size_t>(column);
}

// Which field of a record holds each column.
class ColumnMap {
  public:
    // From a heading record: names match without regard to letter case or blanks
    // around them; unknown names are ignored. Nullopt unless both Location and
    // Frequency are there, the least a channel list has.
    static std::optional<ColumnMap> fromHeading(const Record& heading);
    // Every column in its written place: text copied without its heading line.
    static ColumnMap inWrittenOrder();

    bool has(Column column) const { return fieldIndex_[indexOf(column)].has_value(); }
    // The field as the file holds it; empty when the file has no such column or the
    // record is short.
    std::string_view field(const Record& record, Column column) const;
    // The field without blanks at either end.
    std::string_view value(const Record& record, Column column) const;

  private:
    std::array<std::optional<std::size_t>, kColumnCount> fieldIndex_{};
};

}  // namespace pl3::interchange
