#pragma once
// Writes comma- or tab-separated records that spreadsheets and DelimitedReader read
// back field for field.

#include <string>
#include <string_view>
#include <vector>

namespace pl3::interchange {

// One record and its line end. A field goes into double quotes (inner quotes doubled)
// when it holds the separator, a quote or a line break, has blanks at either end, or,
// as the first field, starts with the comment mark '#' or a byte-order mark.
void appendRecord(std::string& out, const std::vector<std::string>& fields, char separator,
                  std::string_view lineEnd);

}  // namespace pl3::interchange
