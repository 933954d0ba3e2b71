#include "interchange/delimited_writer.h"

namespace pl3::interchange {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool needsQuotes(std::string_view field, char separator, bool first) {
    if (field.empty()) return false;
    if (field.find_first_of(std::string{separator, '"', '\n', '\r'}) != std::string_view::npos)
        return true;
    if (field.front() == ' ' || field.back() == ' ') return true;
    // A reader would take either for something other than data at the start of a line.
    return first && (field.front() == '#' || field.starts_with(kByteOrderMark));
}

void appendField(std::string& out, std::string_view field, char separator, bool first) {
    if (!needsQuotes(field, separator, first)) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

}  // namespace

void appendRecord(std::string& out, const std::vector<std::string>& fields, char separator,
                  std::string_view lineEnd) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += separator;
        appendField(out, fields[i], separator, i == 0);
    }
    out += lineEnd;
}

}  // namespace pl3::interchange
