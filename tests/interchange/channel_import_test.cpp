#include "interchange/channel_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "codeplug/text_keys.h"
#include "codeplug_fixture.h"
#include "editors/channel_table.h"
#include "interchange/channel_export.h"
#include "interchange/channel_values.h"

namespace pl3::interchange {
namespace {

using namespace std::string_literals;
using test::ChannelSetup;
using test::kHeading;
using test::lines;

class ChannelImportTest : public test::CodeplugTest {
  protected:
    // Plans and applies text; the plan stays for the checks.
    const ImportReport& import(const std::string& text, Format format = Format::Csv,
                               ImportOptions options = {}) {
        plan = planImport(doc, text, format, options);
        EXPECT_TRUE(applyImport(doc, plan));
        return plan.report;
    }
    const ImportReport& importRows(std::initializer_list<std::string_view> rows) {
        std::string text = std::string(kHeading) + "\n";
        for (std::string_view row : rows)
            text += std::string(row) + "\n";
        return import(text);
    }
    std::string rx(int n) { return doc.fields().frequencyText(n, Side::Receive); }
    std::string tx(int n) { return doc.fields().frequencyText(n, Side::Transmit); }
    bool flag(int n, ChannelFlag f) { return doc.fields().channelFlag(n, f); }

    static std::vector<std::string_view> keys(const ImportReport& report) {
        std::vector<std::string_view> out;
        for (const ImportNote& note : report.notes)
            out.push_back(note.textKey);
        return out;
    }

    // A codeplug with every kind of channel the layout can describe.
    void programVariety() {
        doc.rawFields().setToneCode(1, Side::Receive, test::toneCode("88.5"));
        doc.rawFields().setChannelName(1, text_codes::encodeDisplayText("PMR1"));
        doc.rawFields().setChannelFlag(1, ChannelFlag::TxPower, true);
        doc.rawFields().setScanMember(0, false);
        doc.rawFields().setToneCode(9, Side::Receive, test::toneCode("D023I"));
        doc.rawFields().setChannelFlag(9, ChannelFlag::TxInhibit, false);
        program(78, {"439.9875", "430.5875", true, "off", "88.5", "RPT1"});
        program(79, {"446.1", "446.1", true, "71.9", "67.0", " A-B"});
        program(80, {"433.5", "433.5", false, "off", "off", "#*+_"});
        program(81, {"440", "445", true, "D754I", "D023N"});
        program(82, {"441", "441", true, "D025N", "123.0"});
        program(83, {"442.00625", "442.00625", true, "off", "D026I"});
        program(100, {"450.00625", "450.00625", false, "254.1", "off", "Z9"});
        program(128, {"469.99375", "400", true, "D051N", "off"});
        doc.rawFields().setChannelFlag(128, ChannelFlag::Bandwidth, false);
        doc.rawFields().setChannelFlag(128, ChannelFlag::TxPower, false);
        doc.rawFields().setChannelFlag(80, ChannelFlag::TxInhibit, false);
        doc.rawFields().setScanMember(99, false);
    }

    ImportPlan plan;
};

TEST_F(ChannelImportTest, FileToListToFileKeepsEverythingTheListCarries) {
    programVariety();
    const std::string exported = exportCsv(doc);

    CMaItemDoc other{folder.settings()};
    ASSERT_TRUE(makeNew(other));
    ImportPlan imported = planImport(other, exported, Format::Csv);
    EXPECT_EQ(imported.report.rowsImported, 85);
    EXPECT_EQ(imported.report.rowsSkipped, 0);
    EXPECT_TRUE(imported.report.notes.empty()) << imported.report.notes.front().textKey;
    ASSERT_TRUE(applyImport(other, imported));

    for (int n = 1; n <= kChannelCount; ++n) {
        ASSERT_EQ(other.fields().isEmpty(n), doc.fields().isEmpty(n)) << n;
        if (!doc.fields().isEmpty(n)) {
            EXPECT_EQ(readChannel(other.fields(), n), readChannel(doc.fields(), n)) << n;
        }
    }
    EXPECT_EQ(exportCsv(other), exported);
    EXPECT_EQ(other.fields().shiftDir(78), 2);
    EXPECT_EQ(other.fields().shiftDir(81), 1);
    EXPECT_EQ(text_codes::decodeDisplayText(other.fields().channelName(79)), " A-B");
}

TEST_F(ChannelImportTest, ImportingTheDocumentsOwnListChangesNothing) {
    programVariety();
    // The page brings every row's derived bits up to date when it shows the document.
    TextLookup noTexts("");
    ChannelTable page(doc, noTexts, prompter);
    ImportPlan again = planImport(doc, exportCsv(doc), Format::Csv);
    EXPECT_EQ(again.report.rowsImported, 85);
    EXPECT_FALSE(again.changesDocument());
}

TEST_F(ChannelImportTest, DuplexAndOffsetSetTheTransmitSide) {
    struct Case {
        const char* duplex;
        const char* offset;
        const char* tx;
        bool repeater;
        bool txAllowed;
        int shiftDir;
    };
    const Case cases[] = {
        {"", "0.000000", "440.50000", false, true, 0},
        {"", "5.000000", "440.50000", false, true, 0},  // simplex ignores the filler offset
        {"+", "5.000000", "445.50000", true, true, 1},
        {"-", "10.000000", "430.50000", true, true, 2},
        {"+", "", "440.50000", false, true, 0},  // no offset: none
        {"split", "445.7", "445.70000", true, true, 1},
        {"SPLIT", "430.0125", "430.01250", true, true, 2},
        {"off", "0.000000", "440.50000", false, false, 0},
        {"off", "5.000000", "440.50000", false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.duplex) + " " + c.offset);
        const ImportReport& report =
            importRows({"80,,440.500000," + std::string(c.duplex) + "," + c.offset});
        EXPECT_EQ(report.rowsImported, 1);
        EXPECT_TRUE(report.notes.empty());
        EXPECT_EQ(rx(80), "440.50000");
        EXPECT_EQ(tx(80), c.tx);
        EXPECT_EQ(flag(80, ChannelFlag::Repeater), c.repeater);
        EXPECT_EQ(flag(80, ChannelFlag::TxInhibit), c.txAllowed);
        EXPECT_EQ(doc.fields().shiftDir(80), c.shiftDir);
        // Each case starts from the empty channel again.
        doc.rawFields().setFrequencyText(80, Side::Receive, "");
    }
}

TEST_F(ChannelImportTest, RowsWithUnusableDuplexOrOffsetAreSkipped) {
    const ImportReport& report = importRows({
        "80,,440.5,split,",
        "81,,440.5,+,abc",
        "82,,440.5,dup,5",
        "83,,440.5,-,-5",
    });
    EXPECT_EQ(report.rowsImported, 0);
    EXPECT_EQ(report.rowsSkipped, 4);
    EXPECT_EQ(keys(report),
              (std::vector<std::string_view>{text_key::kCsvSkipOffset, text_key::kCsvSkipOffset,
                                             text_key::kCsvSkipDuplex, text_key::kCsvSkipOffset}));
    EXPECT_EQ(report.notes[2].detail, "dup");
    EXPECT_EQ(report.notes[2].row, 4);
    for (int n : {80, 81, 82, 83})
        EXPECT_TRUE(doc.fields().isEmpty(n));
    EXPECT_FALSE(plan.changesDocument());
}

TEST_F(ChannelImportTest, ToneModesSetBothTonesAndTheRepeaterSetting) {
    struct Case {
        std::string_view toneColumns;  // Tone ... CrossMode
        const char* rxTone;
        const char* txTone;
        bool repeater;  // a transmit tone of its own needs it
    };
    const Case cases[] = {
        {",88.5,88.5,023,NN,023,Tone->Tone", "off", "off", false},
        {"Tone,88.5,88.5,023,NN,023,Tone->Tone", "off", "88.5", true},
        {"TSQL,100.0,100.0,023,NN,023,Tone->Tone", "100.0", "100.0", false},
        {"DTCS,88.5,88.5,754,NN,754,Tone->Tone", "D754N", "D754N", false},
        {"DTCS,88.5,88.5,023,RN,023,Tone->Tone", "D023N", "D023I", true},
        {"Cross,67.0,71.9,023,NN,023,Tone->Tone", "71.9", "67.0", true},
        {"Cross,88.5,88.5,065,NN,023,DTCS->", "off", "D065N", true},
        {"Cross,88.5,88.5,023,NR,071,->DTCS", "D071I", "off", true},
        {"Cross,123.0,88.5,023,NN,072,Tone->DTCS", "D072N", "123.0", true},
        {"Cross,88.5,131.8,073,RN,023,DTCS->Tone", "131.8", "D073I", true},
        {"Cross,88.5,85.4,023,NN,023,->Tone", "85.4", "off", true},
        {"Cross,88.5,88.5,114,NR,115,DTCS->DTCS", "D115I", "D114N", true},
        {"Cross,203.5,88.5,023,NN,023,Tone->", "off", "203.5", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.toneColumns);
        const ImportReport& report =
            importRows({"90,,445.5,,0," + std::string(c.toneColumns) + ",FM,5.00,,High"});
        EXPECT_EQ(report.rowsImported, 1);
        EXPECT_TRUE(report.notes.empty());
        EXPECT_EQ(doc.fields().toneCode(90, Side::Receive), test::toneCode(c.rxTone));
        EXPECT_EQ(readChannel(doc.fields(), 90).txTone, test::toneCode(c.txTone));
        EXPECT_EQ(flag(90, ChannelFlag::Repeater), c.repeater);
        EXPECT_EQ(tx(90), "445.50000");
        doc.rawFields().setFrequencyText(90, Side::Receive, "");
    }
}

TEST_F(ChannelImportTest, UnsupportedTonesAreImportedOffAndReported) {
    const ImportReport& report =
        importRows({"90,,445.5,,0,Cross,69.4,88.5,023,NN,023,Tone->Tone", "91,,445.5,,0,TSQL-R,,"});
    EXPECT_EQ(report.rowsImported, 2);
    EXPECT_EQ(report.rowsAdjusted, 2);
    EXPECT_EQ(keys(report), (std::vector<std::string_view>{text_key::kCsvToneUnsupported,
                                                           text_key::kCsvToneMode}));
    EXPECT_EQ(doc.fields().toneCode(90, Side::Receive), test::toneCode("88.5"));
    EXPECT_EQ(readChannel(doc.fields(), 90).txTone, tone::kOff);
    EXPECT_EQ(doc.fields().toneCode(91, Side::Receive), tone::kOff);
}

TEST_F(ChannelImportTest, FixedChannelsKeepTheirFrequencyBandwidthAndTalkaround) {
    const std::string before = doc.fields().frequencyText(5, Side::Receive);
    const ImportReport& report =
        importRows({"5,Home,433.5,+,5,Tone,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,S,High"});
    EXPECT_EQ(report.rowsImported, 1);
    EXPECT_EQ(report.rowsAdjusted, 1);
    EXPECT_EQ(keys(report), (std::vector<std::string_view>{
                                text_key::kCsvFixedRx, text_key::kCsvFixedTalkaround,
                                text_key::kCsvTalkaroundTone, text_key::kCsvFixedBandwidth}));
    EXPECT_EQ(report.notes[0].detail, "433.5 -> 446.056250");
    EXPECT_EQ(report.notes[2].detail, "88.5");  // the transmit tone talkaround leaves out
    EXPECT_EQ(rx(5), before);
    EXPECT_EQ(tx(5), before);
    EXPECT_FALSE(flag(5, ChannelFlag::Repeater));
    EXPECT_FALSE(flag(5, ChannelFlag::Bandwidth));
    // What a fixed channel may change, it takes.
    EXPECT_TRUE(flag(5, ChannelFlag::TxPower));
    EXPECT_FALSE(doc.fields().scanMember(4));
    EXPECT_EQ(text_codes::decodeDisplayText(doc.fields().channelName(5)), "HOME");
}

TEST_F(ChannelImportTest, AFixedChannelThatIsNotProgrammedCannotBeImported) {
    doc.rawFields().setFrequencyText(20, Side::Receive, "");
    const ImportReport& report = importRows({"20,,433.55"});
    EXPECT_EQ(report.rowsSkipped, 1);
    EXPECT_EQ(keys(report), std::vector<std::string_view>{text_key::kCsvSkipFixedEmpty});
    EXPECT_TRUE(doc.fields().isEmpty(20));
}

TEST_F(ChannelImportTest, FrequenciesGoThroughTheRangeClampAndChannelRounding) {
    struct Case {
        const char* frequency;
        const char* stored;
        std::string_view noteKey;
        const char* detail;
    };
    const Case cases[] = {
        {"446.006250", "446.00625", {}, ""},
        {"433.0776", "433.08000", text_key::kCsvRounded, "433.0776 -> 433.080000"},
        {"480", "470.00000", text_key::kCsvClamped, "480 -> 470.000000"},
        {"145.5", "400.00000", text_key::kCsvClamped, "145.5 -> 400.000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frequency);
        const ImportReport& report = importRows({"100,,"s + c.frequency + ",,0"});
        EXPECT_EQ(rx(100), c.stored);
        EXPECT_EQ(tx(100), c.stored);
        if (c.noteKey.empty()) {
            EXPECT_TRUE(report.notes.empty());
        } else {
            ASSERT_EQ(report.notes.size(), 1u);
            EXPECT_EQ(report.notes[0].textKey, c.noteKey);
            EXPECT_EQ(report.notes[0].detail, c.detail);
            EXPECT_EQ(report.rowsAdjusted, 1);
        }
    }
    // A shift that leaves the range is clamped on its own.
    const ImportReport& report = importRows({"101,,465,+,10"});
    EXPECT_EQ(tx(101), "470.00000");
    ASSERT_EQ(report.notes.size(), 1u);
    EXPECT_EQ(report.notes[0].detail, "475.000000 -> 470.000000");
}

// A list's names are shortened together, into channels 90, 91, ...: names that differ keep
// differing, and the report tells a name cut to length from one that lost characters.
TEST_F(ChannelImportTest, NamesAreShortenedToTheDisplayAlphabetAndStayApart) {
    const std::string_view dropped = text_key::kCsvName;
    const std::string_view cut = text_key::kCsvNameShortened;
    struct Case {
        std::vector<std::string> written;
        std::vector<std::string> stored;
        std::vector<std::string_view> notes;
    };
    const Case cases[] = {
        {{"ab-1"}, {"AB-1"}, {}},
        {{"Repeater"}, {"REPEAT"}, {cut}},
        {{"Caf\xC3\xA9 1"}, {"CAF 1"}, {dropped}},
        {{"A.B"}, {"AB"}, {dropped}},
        {{""}, {""}, {}},
        // The number stays, after as much of the name as the longest number leaves room for.
        {{"PMR446 1", "PMR446 9", "PMR446 16"}, {"PMR 1", "PMR 9", "PMR 16"}, {cut, cut, cut}},
        {{"Channel1", "Channel2"}, {"CHANN1", "CHANN2"}, {cut, cut}},
        {{"PMR1-00", "PMR2-00"}, {"PMR100", "PMR200"}, {cut, cut}},  // the dash gives way
        // Names that would still meet, or meet a name that fits, are numbered.
        {{"Repeater North", "Repeater South"}, {"REPEA1", "REPEA2"}, {cut, cut}},
        {{"Marina", "Marina Bay"}, {"MARINA", "MARIN1"}, {cut}},
        {{"Freq 446006", "Freq 446019"}, {"FREQ1", "FREQ2"}, {cut, cut}},  // no channel number
        {{"Lighthouse", "Lighthouse"}, {"LIGHTH", "LIGHTH"}, {cut, cut}},  // one name twice
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written.front());
        std::string text = std::string(kHeading) + "\n";
        for (std::size_t i = 0; i < c.written.size(); ++i)
            text += std::to_string(90 + i) + ",\"" + c.written[i] + "\",440\n";
        const ImportReport& report = import(text);
        std::vector<std::string> stored;
        for (std::size_t i = 0; i < c.written.size(); ++i)
            stored.push_back(text_codes::decodeDisplayText(doc.fields().channelName(90 + int(i))));
        EXPECT_EQ(stored, c.stored);
        EXPECT_EQ(keys(report), c.notes);
    }
    EXPECT_EQ(plan.report.notes.back().detail, "Lighthouse -> LIGHTH");
}

TEST_F(ChannelImportTest, ModePowerAndSkipColumns) {
    struct Case {
        const char* modeSkipPower;  // the Mode, TStep, Skip and Power cells
        bool wide;
        bool high;
        bool scanned;
        std::vector<std::string_view> keys;
        bool watts = false;
    };
    const Case cases[] = {
        {"NFM,,S,Low", false, false, false, {}},
        {"fm,,,HIGH", true, true, true, {}},
        {"AM,,P,5.0 V", true, true, true, {text_key::kCsvMode, text_key::kCsvPower}},
        {"FM,,,4.0W", true, true, true, {}, true},
        {"FM,,,5w", true, true, true, {}, true},
        {"FM,,,2 W", true, true, true, {}, true},
        {"FM,,,0.5W", true, false, true, {}, true},
        {"FM,,,1.99W", true, false, true, {}, true},
        {"FM,,,W", true, false, true, {text_key::kCsvPower}},
        {"FM,,,-1W", true, true, true, {text_key::kCsvPower}},
        {"FM,,,2kW", true, false, true, {text_key::kCsvPower}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.modeSkipPower);
        // Each setting starts opposite to what the row asks, or as expected when the row
        // asks for something unknown and the channel must keep it.
        auto keeps = [&](std::string_view key) {
            return std::find(c.keys.begin(), c.keys.end(), key) != c.keys.end();
        };
        program(92, {"440", "440", false});
        doc.rawFields().setChannelFlag(92, ChannelFlag::Bandwidth,
                                       keeps(text_key::kCsvMode) == c.wide);
        doc.rawFields().setChannelFlag(92, ChannelFlag::TxPower,
                                       keeps(text_key::kCsvPower) == c.high);
        doc.rawFields().setScanMember(91, !c.scanned);

        const ImportReport& report = importRows({"92,,440,,0,,,,,,,,"s + c.modeSkipPower});
        EXPECT_EQ(report.rowsImported, 1);
        EXPECT_EQ(flag(92, ChannelFlag::Bandwidth), c.wide);
        EXPECT_EQ(flag(92, ChannelFlag::TxPower), c.high);
        EXPECT_EQ(doc.fields().scanMember(91), c.scanned);
        EXPECT_EQ(keys(report), c.keys);
        EXPECT_EQ(report.powerInWatts, c.watts);
    }
}

TEST_F(ChannelImportTest, TolerantReading) {
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"fewer columns", lines({"Location,Frequency,Name", "90,445.5,pass"})},
        {"other order, case and blanks in the heading",
         lines({" frequency ,NAME,location,Tone,cToneFreq", "445.5,pass,90,TSQL,94.8"})},
        {"older heading",
         lines({"Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
                "DtcsPolarity,Mode,TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL",
                "90,pass,445.500000,,0.000000,TSQL,88.5,94.8,023,NN,FM,5.00,,,,,"})},
        {"byte-order mark, CRLF, comments, quoted commas",
         "\xEF\xBB\xBF# from a spreadsheet\r\n" + std::string(kHeading) +
             "\r\n\r\n#90,skip me\r\n\"90\",\"pa,ss\",\"445.5\",,,TSQL,,94.8\r\n"},
        {"quoted line break inside a comment",
         lines({std::string(kHeading),
                "90,pass,445.5,,0,TSQL,88.5,94.8,023,NN,023,Tone->Tone,FM,5.00,,High,\"two",
                "lines, \"\"quoted\"\"\",,,,"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        doc.rawFields().setFrequencyText(90, Side::Receive, "");
        const ImportReport& report = import(c.text);
        EXPECT_EQ(report.rowsImported, 1);
        EXPECT_EQ(report.rowsSkipped, 0);
        EXPECT_EQ(rx(90), "445.50000");
        EXPECT_EQ(tx(90), "445.50000");
        EXPECT_EQ(text_codes::decodeDisplayText(doc.fields().channelName(90)).substr(0, 2), "PA");
    }
    EXPECT_EQ(doc.fields().toneCode(90, Side::Receive), test::toneCode("94.8"));
}

TEST_F(ChannelImportTest, AColumnTheFileLacksLeavesTheChannelsField) {
    program(90, {"440", "445", true, "88.5", "D023N", "KEEP"});
    doc.rawFields().setChannelFlag(90, ChannelFlag::BusyLock, false);
    doc.rawFields().setChannelFlag(90, ChannelFlag::Bandwidth, false);
    doc.rawFields().setScanMember(89, false);
    program(91, {"441", "", true});

    import(lines({"Location,Frequency", "90,441", "91,442"}));
    EXPECT_EQ(rx(90), "441.00000");
    EXPECT_EQ(tx(90), "445.00000");  // the channel page's rule: the shift stays
    EXPECT_EQ(doc.fields().toneCode(90, Side::Receive), test::toneCode("88.5"));
    EXPECT_EQ(doc.fields().toneCode(90, Side::Transmit), test::toneCode("D023N"));
    EXPECT_EQ(text_codes::decodeDisplayText(doc.fields().channelName(90)), "KEEP");
    EXPECT_FALSE(flag(90, ChannelFlag::BusyLock));
    EXPECT_FALSE(flag(90, ChannelFlag::Bandwidth));
    EXPECT_FALSE(doc.fields().scanMember(89));
    EXPECT_EQ(rx(91), "442.00000");
    EXPECT_EQ(tx(91), "");  // still no transmit frequency
}

TEST_F(ChannelImportTest, ANewChannelStartsFromTheResetStateAndAnOldOneKeepsItsOptions) {
    // Leftovers of an earlier channel in the empty record of 95.
    doc.rawFields().image()[layout::record(95) + layout::kRecFlags] = 0x00;
    program(96, {"440", "440", true});  // repeater on one frequency
    doc.rawFields().setChannelFlag(96, ChannelFlag::PttIdOn, false);
    importRows({"95,,440,,0", "96,,441,,0"});
    EXPECT_EQ(doc.image()[layout::record(95) + layout::kRecFlags], kResetChannelFlags);
    EXPECT_TRUE(flag(96, ChannelFlag::Repeater));
    EXPECT_FALSE(flag(96, ChannelFlag::PttIdOn));
    EXPECT_EQ(tx(96), "441.00000");
}

TEST_F(ChannelImportTest, RowsThatCannotBeImportedAreReportedWithTheirLine) {
    const ImportReport& report = import(lines({
        "# channels",
        std::string(kHeading),
        "0,,440",
        "129,,440",
        "x,,440",
        "90,,",
        "90,,4x0",
        "90,first,440",
        "90,second,441",
        "91,,442",
    }));
    EXPECT_EQ(report.rowsImported, 2);
    EXPECT_EQ(report.rowsSkipped, 6);
    EXPECT_EQ(keys(report), (std::vector<std::string_view>{
                                text_key::kCsvSkipLocation, text_key::kCsvSkipLocation,
                                text_key::kCsvSkipLocation, text_key::kCsvSkipFrequency,
                                text_key::kCsvSkipFrequency, text_key::kCsvSkipDuplicate}));
    std::vector<int> rows;
    for (const ImportNote& note : report.notes)
        rows.push_back(note.row);
    EXPECT_EQ(rows, (std::vector<int>{3, 4, 5, 6, 7, 9}));
    EXPECT_EQ(report.notes[5].detail, "90 (8)");
    EXPECT_EQ(text_codes::decodeDisplayText(doc.fields().channelName(90)), "FIRST");
    EXPECT_EQ(rx(91), "442.00000");
}

TEST_F(ChannelImportTest, APlanChangesNothingUntilItIsApplied) {
    program(90, {"440", "440", false});
    doc.startHistory(true);  // as the file was opened
    const Image original = doc.image();
    ImportPlan pending = planImport(doc, lines({std::string(kHeading), "90,new,441"}), Format::Csv);
    EXPECT_EQ(doc.image(), original);
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(doc.canUndo());
    EXPECT_TRUE(pending.changesDocument());
    EXPECT_EQ(pending.before, original);

    int viewUpdates = 0;
    doc.addViewListener([&] { ++viewUpdates; });
    ASSERT_TRUE(applyImport(doc, pending));
    EXPECT_EQ(rx(90), "441.00000");
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(viewUpdates, 1);
    // One undo takes the whole import back.
    ASSERT_TRUE(doc.canUndo());
    doc.undo();
    EXPECT_EQ(doc.image(), original);
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(doc.canUndo());
}

TEST_F(ChannelImportTest, AStalePlanIsRefused) {
    ImportPlan pending = planImport(doc, lines({std::string(kHeading), "90,,441"}), Format::Csv);
    doc.rawFields().setFrequencyText(91, Side::Receive, "442");
    const Image edited = doc.image();
    EXPECT_FALSE(applyImport(doc, pending));
    EXPECT_EQ(doc.image(), edited);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(ChannelImportTest, TextWithoutAHeadingIsNoChannelList) {
    for (const std::string& text :
         {std::string(), lines({"90,,441"}), lines({"Location,Name", "90,x"}),
          std::string("\x01\x02\xFF")}) {
        ImportPlan rejected = planImport(doc, text, Format::Csv);
        EXPECT_TRUE(rejected.report.rejected);
        EXPECT_EQ(keys(rejected.report), std::vector<std::string_view>{text_key::kCsvNotAList});
        EXPECT_FALSE(rejected.changesDocument());
    }
}

TEST_F(ChannelImportTest, PastedRowsReadWithoutAHeadingAndCanGoToAnotherChannel) {
    program(80, {"440.5", "445.5", true, "off", "88.5", "COPY"});
    program(81, {"441", "441", false});
    std::string rows = exportChannels(doc, {80, 81}, Format::Tsv, HeadingLine::Without);

    const ImportReport& moved = import(rows, Format::Tsv, {.firstChannel = 127});
    EXPECT_EQ(moved.rowsImported, 2);
    EXPECT_EQ(readChannel(doc.fields(), 127), readChannel(doc.fields(), 80));
    EXPECT_EQ(readChannel(doc.fields(), 128), readChannel(doc.fields(), 81));

    const ImportReport& pastEnd = import(rows, Format::Tsv, {.firstChannel = 128});
    EXPECT_EQ(pastEnd.rowsImported, 1);
    EXPECT_EQ(keys(pastEnd), std::vector<std::string_view>{text_key::kCsvSkipPastLastChannel});
    EXPECT_EQ(pastEnd.notes[0].detail, "129");

    std::string withHeading = exportChannels(doc, {80}, Format::Tsv, HeadingLine::With);
    doc.rawFields().setFrequencyText(80, Side::Receive, "");
    const ImportReport& inPlace = import(withHeading, Format::Tsv);
    EXPECT_EQ(inPlace.rowsImported, 1);
    EXPECT_EQ(readChannel(doc.fields(), 80), readChannel(doc.fields(), 127));
}

TEST_F(ChannelImportTest, AListCountedFromZeroFillsTheEditableChannelsInFileOrder) {
    // 8 base channels, each followed by 15 tone sub-channels; Location 0 ... 127.
    const std::string list =
        test::readText(PL3_SOURCE_DIR "/tests/data/tone_subchannels_from_0.csv");
    const Image before = doc.image();
    const ImportReport& report = import(list, Format::Csv, {.firstChannel = 78});
    EXPECT_EQ(report.rowsImported, 51);
    EXPECT_EQ(report.rowsAdjusted, 51);  // every name is one character too long
    EXPECT_EQ(report.rowsSkipped, 77);
    EXPECT_TRUE(report.powerInWatts);

    struct Expected {
        int channel;
        const char* rx;
        const char* name;
        const char* tone;
    };
    const Expected expected[] = {
        // Cut to six characters, the names stay apart: PMR1-00 ... PMR4-02.
        {78, "446.00625", "PMR100", "off"},  {79, "446.00625", "PMR101", "67.0"},
        {88, "446.00625", "PMR110", "94.8"}, {93, "446.00625", "PMR115", "110.9"},
        {94, "446.01875", "PMR200", "off"},  {110, "446.03125", "PMR300", "off"},
        {126, "446.04375", "PMR400", "off"}, {128, "446.04375", "PMR402", "71.9"},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.channel);
        const ChannelValues channel = readChannel(doc.fields(), e.channel);
        EXPECT_EQ(rx(e.channel), e.rx);
        EXPECT_EQ(channel.name, e.name);
        EXPECT_EQ(channel.rxTone, test::toneCode(e.tone));
        EXPECT_EQ(channel.txTone, test::toneCode(e.tone));
        EXPECT_EQ(channel.tx, channel.rx);
    }
    for (int n = 78; n <= kChannelCount; ++n) {
        ASSERT_FALSE(doc.fields().isEmpty(n)) << n;
        EXPECT_TRUE(flag(n, ChannelFlag::TxPower)) << n;
        EXPECT_FALSE(flag(n, ChannelFlag::Bandwidth)) << n;
    }
    EXPECT_TRUE(
        std::equal(before.begin(), before.begin() + layout::record(78), doc.image().begin()));

    std::vector<const ImportNote*> pastEnd;
    for (const ImportNote& note : report.notes) {
        if (note.textKey == text_key::kCsvSkipPastLastChannel) pastEnd.push_back(&note);
    }
    ASSERT_EQ(pastEnd.size(), 77u);
    // Line 53 holds Location 51, the 52nd row.
    EXPECT_EQ(pastEnd.front()->row, 53);
    EXPECT_EQ(pastEnd.front()->detail, "129");
    EXPECT_EQ(pastEnd.back()->row, 129);
    EXPECT_EQ(pastEnd.back()->detail, "205");

    folder.installLanguageFiles();
    const std::vector<std::string> described =
        describeImport(report, TextLookup(folder.file("english.lang")));
    EXPECT_EQ(described[1], "Power in watts: 2 W and more → High, less → Low.");
    EXPECT_EQ(described.back(),
              "Row 129: Skipped: no channel is left for this row after channel "
              "128; it would go to channel 205");
}

TEST_F(ChannelImportTest, TheReportReadsInTheUsersLanguage) {
    folder.installLanguageFiles();
    const ImportReport& report = importRows({"90,,480", "0,,440"});
    std::vector<std::string> english =
        describeImport(report, TextLookup(folder.file("english.lang")));
    ASSERT_EQ(english.size(), 3u);
    EXPECT_EQ(english[0], "Rows imported: 1 (of these adjusted: 1). Rows skipped: 1.");
    EXPECT_EQ(
        english[1],
        "Row 2: Frequency outside the frequency range, set to the range limit: 480 -> 470.000000");
    EXPECT_EQ(english[2], "Row 3: Skipped: the location is not a channel number from 1 to 128: 0");
    std::vector<std::string> chinese =
        describeImport(report, TextLookup(folder.file("chinese.lang")));
    EXPECT_EQ(chinese[0], "已导入 1 行（其中经过调整的 1 行），跳过 1 行。");
    EXPECT_TRUE(chinese[2].starts_with("第 3 行：")) << chinese[2];
}

}  // namespace
}  // namespace pl3::interchange
