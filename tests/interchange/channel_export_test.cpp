#include "interchange/channel_export.h"

#include <gtest/gtest.h>

#include "codeplug_fixture.h"
#include "interchange/tone_columns.h"

namespace pl3::interchange {
namespace {

using test::ChannelSetup;

class ChannelExportTest : public test::CodeplugTest {
  protected:
    std::string row(int n) {
        std::string text = exportChannels(doc, {n}, Format::Csv, HeadingLine::Without);
        EXPECT_TRUE(text.ends_with("\r\n")) << text;
        return text.substr(0, text.size() - 2);
    }
    // Duplex and Offset of a row.
    std::string shift(int n) {
        std::vector<std::string> fields = rowFields(n, readChannel(doc.fields(), n));
        return fields[indexOf(Column::Duplex)] + "/" + fields[indexOf(Column::Offset)];
    }
};

TEST_F(ChannelExportTest, TheFileIsTheHeadingAndOneRowPerProgrammedChannel) {
    program(100, {"450.5", "450.5", false});
    std::string text = exportCsv(doc);
    EXPECT_TRUE(text.starts_with(std::string(test::kHeading) + "\r\n"));
    std::vector<std::string> locations;
    for (std::size_t at = text.find("\r\n"); at + 2 < text.size(); at = text.find("\r\n", at + 2))
        locations.push_back(text.substr(at + 2, text.find(',', at + 2) - at - 2));
    ASSERT_EQ(locations.size(), 78u);
    EXPECT_EQ(locations.front(), "1");
    EXPECT_EQ(locations[76], "77");
    EXPECT_EQ(locations.back(), "100");
}

TEST_F(ChannelExportTest, RowsUseTheLayoutsFormats) {
    // A factory channel: narrow, low power, talkaround, in the (erased) scan list.
    EXPECT_EQ(row(1),
              "1,,446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,6.25,,Low,,,,,");
    EXPECT_EQ(row(9),
              "9,,433.075000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,5.00,,Low,,,,,");

    program(78, {"439.9875", "430.5875", true, "off", "88.5", "rpt-1"});
    doc.rawFields().setChannelFlag(78, ChannelFlag::Bandwidth, true);
    doc.rawFields().setChannelFlag(78, ChannelFlag::TxPower, true);
    doc.rawFields().setScanMember(77, false);
    EXPECT_EQ(
        row(78),
        "78,RPT-1,439.987500,-,9.400000,Tone,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,S,High,,,,,");

    program(128, {"470", "470", false, "D023I", "67.0", "#*+_ 9"});
    EXPECT_EQ(
        row(128),
        "128,#*+_ 9,470.000000,,0.000000,DTCS,88.5,88.5,023,RR,023,Tone->Tone,FM,5.00,,High,,,,,");
}

TEST_F(ChannelExportTest, DuplexFollowsWhereTheChannelTransmits) {
    struct Case {
        const char* what;
        ChannelSetup setup;
        bool txAllowed;
        const char* shift;
    };
    const Case cases[] = {
        {"repeater on its receive frequency", {"446.1", "446.1", true}, true, "/0.000000"},
        {"repeater above", {"440.5", "445.5", true}, true, "+/5.000000"},
        {"repeater below", {"440.5", "430.89375", true}, true, "-/9.606250"},
        {"talkaround transmits on receive", {"440.5", "445.5", false}, true, "/0.000000"},
        {"transmit inhibited", {"440.5", "445.5", true}, false, "off/0.000000"},
        {"no transmit frequency", {"440.5", "", true}, true, "off/0.000000"},
    };
    for (const Case& c : cases) {
        program(80, c.setup);
        doc.rawFields().setChannelFlag(80, ChannelFlag::TxInhibit, c.txAllowed);
        EXPECT_EQ(shift(80), c.shift) << c.what;
    }
}

TEST_F(ChannelExportTest, TalkaroundTransmitsWithItsReceiveTone) {
    // The record's transmit tone is hidden by talkaround; the radio uses the receive side.
    program(80, {"440.5", "440.5", false, "100.0", "D023N"});
    EXPECT_EQ(
        toneColumnsOf(readChannel(doc.fields(), 80).txTone, readChannel(doc.fields(), 80).rxTone)
            .tone,
        "TSQL");
    doc.rawFields().setChannelFlag(80, ChannelFlag::Repeater, true);
    EXPECT_EQ(readChannel(doc.fields(), 80).txTone, test::toneCode("D023N"));
}

TEST_F(ChannelExportTest, ClipboardRowsAreTabSeparatedAndLeaveOutEmptyChannels) {
    program(80, {"440.5", "440.5", false, "off", "off", "a,b"});
    std::string text = exportChannels(doc, {90, 80, 2}, Format::Tsv, HeadingLine::With);
    std::vector<std::string> rows;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        rows.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_EQ(rows.size(), 3u) << text;
    EXPECT_EQ(rows[0].substr(0, 14), "Location\tName\t");
    EXPECT_TRUE(rows[1].starts_with("80\tA\t440.500000\t")) << rows[1];
    EXPECT_TRUE(rows[2].starts_with("2\t\t446.018750\t")) << rows[2];
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

}  // namespace
}  // namespace pl3::interchange
