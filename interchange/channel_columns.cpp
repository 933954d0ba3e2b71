#include "interchange/channel_columns.h"

#include "interchange/field_text.h"

namespace pl3::interchange {

std::optional<ColumnMap> ColumnMap::fromHeading(const Record& heading) {
    ColumnMap map;
    for (std::size_t field = 0; field < heading.fields.size(); ++field) {
        std::string_view name = trimBlanks(heading.fields[field]);
        for (std::size_t column = 0; column < kColumnCount; ++column) {
            // The first of two equal headings wins, as a reader by name would see it.
            if (!map.fieldIndex_[column] && equalsIgnoringCase(name, kColumnNames[column]))
                map.fieldIndex_[column] = field;
        }
    }
    if (!map.has(Column::Location) || !map.has(Column::Frequency)) return std::nullopt;
    return map;
}

ColumnMap ColumnMap::inWrittenOrder() {
    ColumnMap map;
    for (std::size_t column = 0; column < kColumnCount; ++column)
        map.fieldIndex_[column] = column;
    return map;
}

std::string_view ColumnMap::field(const Record& record, Column column) const {
    const std::optional<std::size_t>& at = fieldIndex_[indexOf(column)];
    if (!at || *at >= record.fields.size()) return {};
    return record.fields[*at];
}

std::string_view ColumnMap::value(const Record& record, Column column) const {
    return trimBlanks(field(record, column));
}

}  // namespace pl3::interchange
