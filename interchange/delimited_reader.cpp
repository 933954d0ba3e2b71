#include "interchange/delimited_reader.h"

namespace pl3::interchange {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kQuote = '"';
constexpr char kCommentMark = '#';

void appendBounded(std::string& field, char c) {
    if (field.size() < kMaxFieldBytes) field += c;
}

bool isBlank(std::string_view field) {
    return field.find_first_not_of(" \t") == std::string_view::npos;
}

bool allBlank(const Record& record) {
    for (const std::string& field : record.fields) {
        if (!isBlank(field)) return false;
    }
    return true;
}

}  // namespace

DelimitedReader::DelimitedReader(std::string_view text, char separator)
    : text_(text), separator_(separator) {
    if (text_.starts_with(kByteOrderMark)) text_.remove_prefix(kByteOrderMark.size());
}

bool DelimitedReader::next(Record& record) {
    while (pos_ < text_.size()) {
        if (text_[pos_] == kCommentMark) {
            skipLine();
            continue;
        }
        readRecord(record);
        if (record.unterminatedQuote || !allBlank(record)) return true;
    }
    return false;
}

bool DelimitedReader::atLineEnd() const {
    return pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r';
}

void DelimitedReader::skipLineEnd() {
    if (pos_ >= text_.size()) return;
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++line_;
}

void DelimitedReader::skipLine() {
    while (!atLineEnd())
        ++pos_;
    skipLineEnd();
}

void DelimitedReader::readRecord(Record& record) {
    record.line = line_;
    record.fields.clear();
    record.unterminatedQuote = false;
    std::string field;
    while (true) {
        field.clear();
        if (pos_ < text_.size() && text_[pos_] == kQuote) {
            readQuotedField(field, record);
        } else {
            readPlainField(field);
        }
        if (record.fields.size() < kMaxFieldsPerRecord) record.fields.push_back(field);
        if (pos_ < text_.size() && text_[pos_] == separator_) {
            ++pos_;
            continue;
        }
        skipLineEnd();
        return;
    }
}

void DelimitedReader::readQuotedField(std::string& field, Record& record) {
    ++pos_;  // the opening quote
    while (true) {
        if (pos_ >= text_.size()) {
            record.unterminatedQuote = true;
            return;
        }
        char c = text_[pos_];
        if (c == kQuote) {
            if (pos_ + 1 < text_.size() && text_[pos_ + 1] == kQuote) {
                appendBounded(field, kQuote);
                pos_ += 2;
                continue;
            }
            ++pos_;
            break;
        }
        if (c == '\n' || (c == '\r' && !(pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')))
            ++line_;
        appendBounded(field, c);
        ++pos_;
    }
    // Some writers leave text between the closing quote and the separator; keep it.
    readPlainField(field);
}

void DelimitedReader::readPlainField(std::string& field) {
    while (!atLineEnd() && text_[pos_] != separator_) {
        appendBounded(field, text_[pos_]);
        ++pos_;
    }
}

}  // namespace pl3::interchange
