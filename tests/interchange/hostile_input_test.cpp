// Text from outside may be anything. Whatever it is, the import ends with a report the
// user can read, never changes channels it was not asked to, and stays bounded.

#include <gtest/gtest.h>

#include <random>

#include "codeplug/text_keys.h"
#include "codeplug_fixture.h"
#include "interchange/channel_import.h"

namespace pl3::interchange {
namespace {

constexpr std::size_t kTenMegabytes = 10 * 1024 * 1024;

std::string randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(byte(random));
    return bytes;
}

bool isReadable(const std::string& detail) {
    for (char c : detail) {
        if (static_cast<unsigned char>(c) < 0x20) return false;
    }
    return detail.size() <= 4 * 40 + 3;
}

class HostileInputTest : public test::CodeplugTest {
  protected:
    void expectReadableReport(const ImportReport& report) {
        EXPECT_LE(report.notes.size(), kMaxNotes);
        for (const ImportNote& note : report.notes)
            EXPECT_TRUE(isReadable(note.detail)) << note.detail;
    }
};

TEST_F(HostileInputTest, TenMegabytesOfBinaryJunkIsNoChannelList) {
    ImportPlan plan = planImport(doc, randomBytes(kTenMegabytes, 1), Format::Csv);
    EXPECT_TRUE(plan.report.rejected);
    ASSERT_EQ(plan.report.notes.size(), 1u);
    EXPECT_EQ(plan.report.notes[0].textKey, text_key::kCsvNotAList);
    EXPECT_FALSE(plan.changesDocument());
}

TEST_F(HostileInputTest, BinaryJunkUnderAHeadingIsSkippedRowByRow) {
    std::string text = std::string(test::kHeading) + "\n" + randomBytes(kTenMegabytes, 2);
    ImportPlan plan = planImport(doc, text, Format::Csv);
    const ImportReport& report = plan.report;
    EXPECT_FALSE(report.rejected);
    EXPECT_GT(report.rowsSkipped, 1000);
    EXPECT_LE(report.rowsImported, kChannelCount);
    EXPECT_EQ(report.notes.size(), kMaxNotes);
    EXPECT_GT(report.notesLeftOut, 0u);
    expectReadableReport(report);
    folder.installLanguageFiles();
    std::vector<std::string> lines =
        describeImport(report, TextLookup(folder.file("english.lang")));
    EXPECT_EQ(lines.size(), kMaxNotes + 2);
}

TEST_F(HostileInputTest, AHundredThousandRowsAreCountedExactly) {
    // Locations cycle through 1 ... 150: the first row for each channel counts, every
    // later one is a duplicate, and 129 ... 150 are no channels.
    std::string text = "Location,Frequency\n";
    constexpr int kRows = 100'000;
    for (int i = 0; i < kRows; ++i)
        text += std::to_string(i % 150 + 1) + ",440.0\n";
    ImportPlan plan = planImport(doc, text, Format::Csv);
    const ImportReport& report = plan.report;
    EXPECT_EQ(report.rowsImported, kChannelCount);
    EXPECT_EQ(report.rowsSkipped, kRows - kChannelCount);
    // The 77 fixed channels keep their frequency and say so.
    EXPECT_EQ(report.rowsAdjusted, 77);
    EXPECT_EQ(report.notes.size() + report.notesLeftOut,
              static_cast<std::size_t>(77 + kRows - kChannelCount));
    EXPECT_EQ(report.notes.front().textKey, text_key::kCsvFixedRx);
    // The notes kept: 77 fixed channels (lines 2 ... 78), 22 numbers past 128 (lines
    // 130 ... 151), then duplicates up to line 252.
    EXPECT_EQ(report.notes.back().textKey, text_key::kCsvSkipDuplicate);
    EXPECT_EQ(report.notes.back().row, 252);
    ASSERT_TRUE(applyImport(doc, plan));
    EXPECT_EQ(doc.fields().frequencyText(128, Side::Receive), "440.00000");
}

TEST_F(HostileInputTest, FiveThousandCharacterFieldsGiveShortNotes) {
    const std::string digits(5000, '4');
    const std::string letters(5000, 'a');
    ImportPlan plan =
        planImport(doc,
                   test::lines({test::kHeading, digits + ",,440", "90,," + digits,
                                "91," + letters + ",440,,0,,,,,,,,FM,,,High," + letters}),
                   Format::Csv);
    const ImportReport& report = plan.report;
    EXPECT_EQ(report.rowsSkipped, 2);
    EXPECT_EQ(report.rowsImported, 1);
    ASSERT_EQ(report.notes.size(), 3u);
    EXPECT_EQ(report.notes[0].textKey, text_key::kCsvSkipLocation);
    EXPECT_EQ(report.notes[1].textKey, text_key::kCsvSkipFrequency);
    EXPECT_EQ(report.notes[2].textKey, text_key::kCsvNameShortened);
    EXPECT_EQ(report.notes[0].detail, std::string(40, '4') + "...");
    expectReadableReport(report);
    ASSERT_TRUE(applyImport(doc, plan));
    EXPECT_EQ(text_codes::decodeDisplayText(doc.fields().channelName(91)), "AAAAAA");
}

TEST_F(HostileInputTest, ControlCharactersAndBrokenUtf8AreShownAsQuestionMarks) {
    std::string row = std::string("0\x01\x1B[2J", 6) + ",,440";
    row[1] = '\0';
    ImportPlan plan = planImport(
        doc, test::lines({test::kHeading, row, "90,,440,\xE4\xB8\xAD\xFF"}), Format::Csv);
    ASSERT_EQ(plan.report.notes.size(), 2u);
    EXPECT_EQ(plan.report.notes[0].detail, "0??[2J");
    EXPECT_EQ(plan.report.notes[1].textKey, text_key::kCsvSkipDuplex);
    EXPECT_EQ(plan.report.notes[1].detail, "\xE4\xB8\xAD?");
}

TEST_F(HostileInputTest, AQuoteLeftOpenSkipsTheRestAsOneRow) {
    ImportPlan plan = planImport(
        doc, test::lines({test::kHeading, "90,,440", "91,\"open,441", "92,,442"}), Format::Csv);
    EXPECT_EQ(plan.report.rowsImported, 1);
    EXPECT_EQ(plan.report.rowsSkipped, 1);
    ASSERT_EQ(plan.report.notes.size(), 1u);
    EXPECT_EQ(plan.report.notes[0].textKey, text_key::kCsvSkipQuote);
    EXPECT_EQ(plan.report.notes[0].row, 3);
}

TEST_F(HostileInputTest, TextBeyondTheLimitIsRefusedUnread) {
    std::string text = std::string(test::kHeading) + "\n";
    text.resize(kMaxImportBytes + 1, '\n');
    ImportPlan plan = planImport(doc, text, Format::Csv);
    EXPECT_TRUE(plan.report.rejected);
    ASSERT_EQ(plan.report.notes.size(), 1u);
    EXPECT_EQ(plan.report.notes[0].textKey, text_key::kCsvTooLarge);
}

}  // namespace
}  // namespace pl3::interchange
