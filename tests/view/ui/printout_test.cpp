// The channel-list report as a script makes it (pl3-cps --print-pdf), read back with the
// PDF tools: pages, which channels each page holds and in what order, the settings
// sections and the date line.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "codeplug/document_commands.h"
#include "platform/private_profile.h"
#include "run_program.h"
#include "scripted_prompter.h"
#include "settings_fixture.h"

namespace pl3 {
namespace {

std::string commandOutput(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

int pdfPages(const std::string& pdf) {
    std::smatch match;
    const std::string info = commandOutput("pdfinfo '" + pdf + "' 2>&1");
    if (!std::regex_search(info, match, std::regex("Pages:\\s+(\\d+)"))) return -1;
    return std::stoi(match[1]);
}

std::string pdfPageText(const std::string& pdf, int page) {
    const std::string p = std::to_string(page);
    return commandOutput("pdftotext -layout -f " + p + " -l " + p + " '" + pdf + "' - 2>&1");
}

// Channel names as printed, in the order they appear on the page.
std::vector<int> printedChannels(const std::string& text) {
    std::vector<int> channels;
    const std::regex name("CH(\\d{3})");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), name);
         it != std::sregex_iterator(); ++it) {
        channels.push_back(std::stoi((*it)[1]));
    }
    return channels;
}

class PrintoutTest : public ::testing::Test {
  protected:
    PrintoutTest() {
        folder.installLanguageFiles();
        platform::writeString(folder.file("setting.ini"), "setup", "language", "english");
    }

    // A codeplug whose only programmed channels are these, each named "CHnnn".
    std::string codeplugWith(const std::vector<int>& channels) {
        CMaItemDoc doc(folder.settings());
        bool skip = true;
        newDocument(doc, prompter, skip);
        for (int n = 1; n <= kChannelCount; ++n)
            doc.rawFields().setFrequencyText(n, Side::Receive, "");
        for (int n : channels) {
            doc.rawFields().setFrequencyText(n, Side::Receive, "435.0");
            doc.rawFields().setFrequencyText(n, Side::Transmit, "435.0");
            char name[8];
            std::snprintf(name, sizeof name, "CH%03d", n);
            doc.rawFields().setChannelName(n, text_codes::encodeDisplayText(name));
        }
        const std::string path = folder.file("report-" + std::to_string(channels.size()) + ".PL-3");
        EXPECT_TRUE(storeDocument(doc, path, prompter));
        return path;
    }

    test::ProgramRun printPdf(const std::vector<std::string>& files, const std::string& pdf) {
        std::vector<std::string> args = {"--program-dir", folder.path(), "--print-pdf", pdf};
        args.insert(args.end(), files.begin(), files.end());
        return test::runProgram("pl3-cps", args);
    }

    std::vector<int> firstChannels(int count) {
        std::vector<int> channels;
        for (int n = 1; n <= count; ++n)
            channels.push_back(n);
        return channels;
    }

    test::ProgramFolder folder;
    test::ScriptedPrompter prompter;
};

TEST_F(PrintoutTest, PagesHoldTheirChannelsInOrder) {
    const struct {
        int programmed;
        int pages;
        std::vector<int> lastPage;  // the channels of the last page
    } cases[] = {
        {0, 1, {}},
        {20, 1, firstChannels(20)},
        {21, 2, {21}},
        {111, 5, {111}},
        {128,
         5,
         {111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127,
          128}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.programmed);
        const std::string pdf = folder.file("report.pdf");
        test::ProgramRun run = printPdf({codeplugWith(firstChannels(c.programmed))}, pdf);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        ASSERT_EQ(pdfPages(pdf), c.pages);
        EXPECT_EQ(printedChannels(pdfPageText(pdf, c.pages)), c.lastPage);
    }
}

TEST_F(PrintoutTest, EmptyChannelsTakeNoLine) {
    const std::string pdf = folder.file("gaps.pdf");
    test::ProgramRun run = printPdf({codeplugWith({3, 7, 100})}, pdf);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(pdfPages(pdf), 1);
    const std::string text = pdfPageText(pdf, 1);
    EXPECT_EQ(printedChannels(text), (std::vector<int>{3, 7, 100}));
    // The three rows follow one another directly.
    const std::regex rows("CH003[^\\n]*\\n[^\\n]*CH007[^\\n]*\\n[^\\n]*CH100");
    EXPECT_TRUE(std::regex_search(text, rows)) << text;
}

TEST_F(PrintoutTest, FirstPageHasTheDateLineAndBothSettingsSections) {
    const std::string pdf = folder.file("sections.pdf");
    test::ProgramRun run = printPdf({codeplugWith(firstChannels(60))}, pdf);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(pdfPages(pdf), 3);
    const std::string first = pdfPageText(pdf, 1);
    const std::regex date("\\d{4}-\\d{2}-\\d{2} [A-Z][a-z]+day \\d{2}:\\d{2}");
    EXPECT_TRUE(std::regex_search(first, date)) << first;
    for (const char* entry : {"Squelch level : ", "Key tone : ", "TX begin code : ",
                              "Power-on message : ", "Side key 2 long : "}) {
        EXPECT_NE(first.find(entry), std::string::npos) << entry;
    }
    const std::string second = pdfPageText(pdf, 2);
    EXPECT_TRUE(std::regex_search(second, date));
    EXPECT_EQ(second.find("Squelch level"), std::string::npos);
    const std::vector<int> fifty = firstChannels(50);
    EXPECT_EQ(printedChannels(second), std::vector<int>(fifty.begin() + 20, fifty.end()));
}

TEST_F(PrintoutTest, ChineseReportCarriesChineseCaptions) {
    platform::writeString(folder.file("setting.ini"), "setup", "language", "chinese");
    const std::string pdf = folder.file("chinese.pdf");
    test::ProgramRun run = printPdf({codeplugWith({5})}, pdf);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string text = pdfPageText(pdf, 1);
    EXPECT_NE(text.find("静噪"), std::string::npos) << text;
    EXPECT_EQ(printedChannels(text), std::vector<int>{5});
}

TEST_F(PrintoutTest, WithoutAFileTheNewCodeplugIsPrinted) {
    const std::string pdf = folder.file("new.pdf");
    test::ProgramRun run = printPdf({}, pdf);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_GE(pdfPages(pdf), 1);
}

TEST_F(PrintoutTest, NamesThatAreNotUtf8WorkAsInPl3ctl) {
    const std::string codeplug = folder.file("codeplug-\xFF.PL-3");
    ASSERT_EQ(std::rename(codeplugWith({4}).c_str(), codeplug.c_str()), 0);
    const std::string pdf = folder.file("report-\xFE.pdf");
    test::ProgramRun run = printPdf({codeplug}, pdf);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(printedChannels(pdfPageText(pdf, 1)), std::vector<int>{4});
}

TEST_F(PrintoutTest, FailuresSayWhyAndExitNonZero) {
    const std::string notData = folder.file("not-a-codeplug.PL-3");
    std::FILE* f = std::fopen(notData.c_str(), "w");
    std::fputs("hello", f);
    std::fclose(f);
    // A FIFO at the output would block the report until someone reads it.
    const std::string fifo = folder.file("fifo.pdf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::vector<std::string> files;
        std::string pdf;
        std::string says;  // besides the program's name
    } cases[] = {
        {{folder.file("missing.PL-3")}, folder.file("a.pdf"), "No such file or directory"},
        {{notData}, folder.file("b.pdf"), ""},
        {{codeplugWith({1})}, folder.file("no-such-dir/c.pdf"), "No such file or directory"},
        {{codeplugWith({1})}, fifo, "not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pdf);
        test::ProgramRun run = printPdf(c.files, c.pdf);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.err.find("pl3-cps: "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("Not Found"), std::string::npos) << run.err;
    }
    struct stat info {};
    ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    // The option without its output file.
    EXPECT_EQ(test::runProgram("pl3-cps", {"--program-dir", folder.path(), "--print-pdf"}).exitCode,
              1);
    // No setting.ini where the program folder is said to be.
    test::TempDir empty;
    EXPECT_EQ(test::runProgram("pl3-cps", {"--program-dir", empty.path(), "--print-pdf", "d.pdf"})
                  .exitCode,
              2);
}

}  // namespace
}  // namespace pl3
