#include <gtest/gtest.h>

#include "codeplug_fixture.h"
#include "lang/text_lookup.h"
#include "platform/private_profile.h"
#include "run_program.h"
#include "settings_fixture.h"

namespace pl3 {
namespace {

using test::ProgramRun;

class Pl3ctlCsvTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.installLanguageFiles();
        platform::writeString(folder.file("setting.ini"), "setup", "language", "english");
        ProgramRun made = run({"new", "-o", codeplug});
        ASSERT_EQ(made.exitCode, 0) << made.err;
    }
    ProgramRun run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--program-dir", folder.path()});
        return test::runProgram("pl3ctl", args);
    }
    std::string english(const std::string& key) {
        return TextLookup(folder.file("english.lang")).text(key);
    }
    std::string field(const std::string& name) {
        ProgramRun got = run({"set", codeplug, name});
        EXPECT_EQ(got.exitCode, 0) << got.err;
        return got.out.substr(0, got.out.find('\n'));
    }

    test::ProgramFolder folder;
    std::string codeplug = folder.file("radio.PL-3");
};

TEST_F(Pl3ctlCsvTest, ExportWritesTheHeadingAndEveryProgrammedChannel) {
    ASSERT_EQ(run({"set", codeplug, "RxFreq[90]=445.5", "ChannelName[90]=far"}).exitCode, 0);
    std::string out = folder.file("out.csv");
    ProgramRun exported = run({"export-csv", codeplug, out});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    std::string text = test::readText(out);
    EXPECT_TRUE(text.starts_with(std::string(test::kHeading) + "\r\n"));
    EXPECT_NE(text.find("\r\n1,,446.006250,"), std::string::npos);
    EXPECT_NE(text.find("\r\n90,FAR,445.500000,"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + 78);
}

TEST_F(Pl3ctlCsvTest, ImportReportsEachRowAndSavesTheCodeplug) {
    std::string in = folder.write(
        "in.csv",
        test::lines({test::kHeading, "90,home,445.5,+,5,TSQL,,100.0", "0,,440", "91,,480"}));
    ProgramRun imported = run({"import-csv", codeplug, in});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_NE(
        imported.err.find("pl3ctl: Rows imported: 2 (of these adjusted: 1). Rows skipped: 1."),
        std::string::npos)
        << imported.err;
    EXPECT_NE(imported.err.find("pl3ctl: Row 3: " + english("IDS_CSV_SKIP_LOCATION") + "0"),
              std::string::npos)
        << imported.err;
    EXPECT_NE(imported.err.find("Row 4: " + english("IDS_CSV_CLAMPED") + "480 -> 470.000000"),
              std::string::npos);
    EXPECT_EQ(field("RxFreq[90]"), "445.50000");
    EXPECT_EQ(field("TxFreq[90]"), "450.50000");
    EXPECT_EQ(field("RxTone[90]"), "100.0");
    EXPECT_EQ(field("ChannelName[90]"), "HOME");
    EXPECT_EQ(field("RxFreq[91]"), "470.00000");
}

TEST_F(Pl3ctlCsvTest, ExportThenImportIntoAnotherCodeplugCarriesTheChannels) {
    ASSERT_EQ(run({"set", codeplug, "RxFreq[100]=440.5", "Repeater[100]=1", "TxFreq[100]=445.5",
                   "TxTone[100]=D023N", "TxPower[1]=1"})
                  .exitCode,
              0);
    std::string out = folder.file("out.csv");
    ASSERT_EQ(run({"export-csv", codeplug, out}).exitCode, 0);
    std::string other = folder.file("other.PL-3");
    ASSERT_EQ(run({"new", "-o", other}).exitCode, 0);
    ProgramRun imported = run({"import-csv", other, out});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    std::string again = folder.file("again.csv");
    ASSERT_EQ(run({"export-csv", other, again}).exitCode, 0);
    EXPECT_EQ(test::readText(again), test::readText(out));
    EXPECT_NE(test::readText(out).find("\r\n100,,440.500000,+,5.000000,Cross,"), std::string::npos);

    // "-" is standard output for the export and standard input for the import.
    ProgramRun toStdout = run({"export-csv", codeplug, "-"});
    ASSERT_EQ(toStdout.exitCode, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out, test::readText(out));
    std::string fromStdin = folder.file("stdin.PL-3");
    ASSERT_EQ(run({"new", "-o", fromStdin}).exitCode, 0);
    test::StartedProgram importing(
        "pl3ctl", {"--program-dir", folder.path(), "import-csv", fromStdin, "-"}, out);
    ProgramRun piped = importing.wait();
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_EQ(test::readBytes(fromStdin), test::readBytes(other));
}

TEST_F(Pl3ctlCsvTest, AFailedImportLeavesTheCodeplugFileAsItWas) {
    const std::vector<std::uint8_t> before = test::readBytes(codeplug);
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"no channel list",
         "\x7F"
         "ELF\x02\x01\x01"},
        {"every row skipped", test::lines({test::kHeading, "0,,440", "90,,x"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramRun imported = run({"import-csv", codeplug, folder.write("bad.csv", c.text)});
        EXPECT_EQ(imported.exitCode, 2) << imported.err;
        EXPECT_NE(imported.err.find("pl3ctl: "), std::string::npos);
        EXPECT_EQ(test::readBytes(codeplug), before);
    }
    ProgramRun headingOnly =
        run({"import-csv", codeplug, folder.write("empty.csv", test::lines({test::kHeading}))});
    EXPECT_EQ(headingOnly.exitCode, 0) << headingOnly.err;
    EXPECT_EQ(test::readBytes(codeplug), before);
}

TEST_F(Pl3ctlCsvTest, UsageAndFileErrorsHaveTheirExitStatus) {
    std::string csv = folder.write("in.csv", test::lines({test::kHeading, "90,,440"}));
    struct Case {
        std::vector<std::string> args;
        int exitCode;
    };
    const Case cases[] = {
        {{"export-csv", codeplug}, 1},
        {{"import-csv", codeplug, csv, "extra"}, 1},
        {{"import-csv", "--first-channel", "129", codeplug, csv}, 1},
        {{"import-csv", "--first-channel", "78", codeplug, csv}, 0},
        {{"export-csv", folder.file("missing.PL-3"), folder.file("x.csv")}, 2},
        {{"import-csv", folder.file("missing.PL-3"), csv}, 2},
        {{"import-csv", codeplug, folder.file("missing.csv")}, 2},
        {{"import-csv", codeplug, folder.path()}, 2},
        {{"export-csv", codeplug, folder.path()}, 2},
        {{"export-csv", codeplug, folder.file("no/such/dir.csv")}, 2},
    };
    for (const Case& c : cases) {
        ProgramRun result = run(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args[0] << " " << c.args.back() << "\n"
                                               << result.err;
    }
    // The row for channel 90 went to the first channel asked for.
    EXPECT_EQ(field("RxFreq[78]"), "440.00000");
    EXPECT_EQ(field("RxFreq[90]"), "");
}

}  // namespace
}  // namespace pl3
