#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interchange/delimited_reader.h"
#include "interchange/delimited_writer.h"

namespace pl3::interchange {
namespace {

struct ReadRecord {
    int line;
    std::vector<std::string> fields;
    bool operator==(const ReadRecord&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ReadRecord& record) {
    out << "line " << record.line << ":";
    for (const std::string& field : record.fields)
        out << " [" << field << "]";
    return out;
}

std::vector<ReadRecord> readAll(std::string_view text, char separator = ',') {
    DelimitedReader reader(text, separator);
    Record record;
    std::vector<ReadRecord> records;
    while (reader.next(record))
        records.push_back({record.line, record.fields});
    return records;
}

TEST(DelimitedReaderTest, ReadsWhatSpreadsheetsAndOtherProgramsWrite) {
    struct Case {
        const char* what;
        std::string text;
        char separator;
        std::vector<ReadRecord> expected;
    };
    const Case cases[] = {
        {"LF", "a,b\n1,2\n", ',', {{1, {"a", "b"}}, {2, {"1", "2"}}}},
        {"CRLF, no final line end", "a,b\r\n1,2", ',', {{1, {"a", "b"}}, {2, {"1", "2"}}}},
        {"CR alone", "a\r1\r", ',', {{1, {"a"}}, {2, {"1"}}}},
        {"byte-order mark", "\xEF\xBB\xBFLocation,Name\n", ',', {{1, {"Location", "Name"}}}},
        {"empty fields kept", ",x,,\n", ',', {{1, {"", "x", "", ""}}}},
        {"comma and doubled quote inside quotes",
         "\"a,b\",\"say \"\"hi\"\"\"\n",
         ',',
         {{1, {"a,b", "say \"hi\""}}}},
        {"line breaks inside quotes count as lines",
         "\"two\nlines\",x\r\n\"a\r\nb\"\nnext\n",
         ',',
         {{1, {"two\nlines", "x"}}, {3, {"a\r\nb"}}, {5, {"next"}}}},
        {"text after the closing quote is kept", "\"ab\"cd,e\n", ',', {{1, {"abcd", "e"}}}},
        {"comment, blank and separator-only lines passed over",
         "# exported\n\nLocation\n , ,\n#,x\n1\n",
         ',',
         {{3, {"Location"}}, {6, {"1"}}}},
        {"a '#' inside a quoted line break is data", "\"a\n#b\"\n", ',', {{1, {"a\n#b"}}}},
        {"tabs", "a\tb,c\t\"d\te\"\n", '\t', {{1, {"a", "b,c", "d\te"}}}},
        {"blanks kept for the caller", " a , b \n", ',', {{1, {" a ", " b "}}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readAll(c.text, c.separator), c.expected) << c.what;
}

TEST(DelimitedReaderTest, AQuoteLeftOpenRunsToTheEndAndIsFlagged) {
    DelimitedReader reader("1,ok\n2,\"open\n3,x\n", ',');
    Record record;
    ASSERT_TRUE(reader.next(record));
    EXPECT_FALSE(record.unterminatedQuote);
    ASSERT_TRUE(reader.next(record));
    EXPECT_TRUE(record.unterminatedQuote);
    EXPECT_EQ(record.line, 2);
    EXPECT_EQ(record.fields.back(), "open\n3,x\n");
    EXPECT_FALSE(reader.next(record));
}

TEST(DelimitedReaderTest, RecordsStayWithinTheirLimits) {
    std::string longField(5000, 'x');
    std::string manyFields(3 * kMaxFieldsPerRecord, ',');
    const std::string text = "\"" + longField + "\"," + longField + "\n9" + manyFields + "9\nend\n";
    DelimitedReader reader(text, ',');
    Record record;
    ASSERT_TRUE(reader.next(record));
    ASSERT_EQ(record.fields.size(), 2u);
    EXPECT_EQ(record.fields[0], std::string(kMaxFieldBytes, 'x'));
    EXPECT_EQ(record.fields[1], std::string(kMaxFieldBytes, 'x'));
    ASSERT_TRUE(reader.next(record));
    EXPECT_EQ(record.fields.size(), kMaxFieldsPerRecord);
    ASSERT_TRUE(reader.next(record));
    EXPECT_EQ(record.fields, std::vector<std::string>{"end"});
}

TEST(DelimitedWriterTest, WhatItWritesReadsBackFieldForField) {
    const std::vector<std::string> fields = {"#first",     "plain", "",      "a,b",    "say \"hi\"",
                                             "two\nlines", "cr\r",  " lead", "trail ", "a\tb"};
    const std::vector<std::string> startsWithMark = {"\xEF\xBB\xBFx", "y"};
    for (char separator : {',', '\t'}) {
        std::string text;
        appendRecord(text, fields, separator, "\r\n");
        appendRecord(text, {"second"}, separator, "\r\n");
        std::vector<ReadRecord> records = readAll(text, separator);
        ASSERT_EQ(records.size(), 2u) << text;
        EXPECT_EQ(records[0].fields, fields) << text;
        EXPECT_EQ(records[1].fields, std::vector<std::string>{"second"});

        std::string marked;
        appendRecord(marked, startsWithMark, separator, "\n");
        std::vector<ReadRecord> markedRecords = readAll(marked, separator);
        ASSERT_EQ(markedRecords.size(), 1u);
        EXPECT_EQ(markedRecords[0].fields, startsWithMark);
    }
}

TEST(DelimitedWriterTest, QuotesOnlyWhereNeeded) {
    std::string text;
    appendRecord(text, {"1", "AB-1", "446.006250", "", "+", "a,b"}, ',', "\r\n");
    EXPECT_EQ(text, "1,AB-1,446.006250,,+,\"a,b\"\r\n");
}

}  // namespace
}  // namespace pl3::interchange
