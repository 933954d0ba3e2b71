#pragma once
// Reads comma- or tab-separated text the way spreadsheets and other radio programs
// write it: an optional UTF-8 byte-order mark, LF, CRLF or CR line ends, fields in
// double quotes that hold separators, doubled quotes or line breaks, and '#' comment
// lines. Input comes from outside and may be anything, so every record is bounded: a
// damaged file costs time in proportion to its size and never more memory than one
// record's limits.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pl3::interchange {

// No channel-list value comes near these; what goes past them is dropped.
inline constexpr std::size_t kMaxFieldBytes = 1024;
inline constexpr std::size_t kMaxFieldsPerRecord = 64;

struct Record {
    int line = 0;  // where the record starts, 1-based
    std::vector<std::string> fields;
    bool unterminatedQuote = false;  // the text ended inside a quoted field
};

class DelimitedReader {
  public:
    // The reader keeps a view of text, which must outlive it.
    DelimitedReader(std::string_view text, char separator);

    // The next record; blank lines, lines of nothing but separators and blanks, and
    // lines that start with '#' are passed over. False at the end of the text.
    bool next(Record& record);

  private:
    void readRecord(Record& record);
    void readQuotedField(std::string& field, Record& record);
    void readPlainField(std::string& field);
    bool atLineEnd() const;
    void skipLineEnd();
    void skipLine();

    std::string_view text_;
    char separator_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace pl3::interchange
