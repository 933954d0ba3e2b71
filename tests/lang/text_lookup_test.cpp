#include "lang/text_lookup.h"

#include <gtest/gtest.h>

#include "lang/line_breaks.h"
#include "temp_dir.h"

namespace pl3 {
namespace {

constexpr const char* kLanguage =
    "[Face]\ndisp=Test\n"
    "[String]\n"
    "IDS_TWO_LINES=first\\nsecond\n"
    "IDS_TABBED=&Open\\tCtrl+O\n"
    "IDS_PLAIN=plain text\n"
    "IDS_TIP_57600=0123456789abcdefghijklmnopqrstuvwxy\n"
    "IDS_TIP_32771=读取数据读取数据读取数据读取数据读取数据读取数据\n"
    "IDS_BACKSLASH=a\\\\b\\x\n"
    "[Resource]\n130=Communication port\n1=OK\n"
    "[BackLamp]\n0=Off\n1=Auto\n2=On\n4=Never reached\n"
    "[Gap]\n0=first\n1=\n2=third\n"
    "[ChText]\nIDS_ChText0=CH\nIDS_ChText3=Decode\\nCTC\n";

class TextLookupTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    TextLookup texts{dir.write("test.lang", kLanguage)};
};

TEST_F(TextLookupTest, TextsWithEscapes) {
    struct Case {
        const char* key;
        const char* text;
    } cases[] = {
        {"IDS_TWO_LINES", "first\nsecond"},
        {"IDS_TABBED", "&Open\tCtrl+O"},
        {"IDS_PLAIN", "plain text"},
        {"ids_plain", "plain text"},  // keys match without regard to case
        {"IDS_MISSING", "Not Found"},
        {"IDS_BACKSLASH", "a\\\\b\\x"},  // only \n and \t are escapes
    };
    for (const Case& c : cases)
        EXPECT_EQ(texts.text(c.key), c.text) << c.key;
    EXPECT_EQ(texts.text("IDS_PLAIN", " /tmp/a.PL-3"), "plain text /tmp/a.PL-3");
}

TEST_F(TextLookupTest, MissingOrUnreadableFileHasNoKeys) {
    for (const std::string& path : {dir.file("missing.lang"), dir.path()}) {
        TextLookup missing(path);
        EXPECT_EQ(missing.text("IDS_PLAIN"), "Not Found");
        EXPECT_TRUE(missing.listItems("BackLamp").empty());
        EXPECT_EQ(missing.resourceCaption(130), std::nullopt);
    }
}

TEST_F(TextLookupTest, ListsEndAtTheFirstMissingOrEmptyKey) {
    EXPECT_EQ(texts.listItems("BackLamp"), (std::vector<std::string>{"Off", "Auto", "On"}));
    EXPECT_EQ(texts.listItems("Gap"), (std::vector<std::string>{"first"}));
    EXPECT_TRUE(texts.listItems("NoSuchSection").empty());
}

TEST_F(TextLookupTest, CaptionsAndHeadings) {
    EXPECT_EQ(texts.resourceCaption(130), "Communication port");
    EXPECT_EQ(texts.resourceCaption(1), "OK");
    EXPECT_EQ(texts.resourceCaption(131), std::nullopt);
    EXPECT_EQ(texts.heading("ChText", "IDS_ChText%d", 0), "CH");
    EXPECT_EQ(texts.heading("ChText", "IDS_ChText%d", 3), "Decode\nCTC");
    EXPECT_EQ(texts.heading("ChText", "IDS_ChText%d", 4), std::nullopt);
}

TEST_F(TextLookupTest, TooltipsAreCutTo19Characters) {
    EXPECT_EQ(texts.tooltip(57600), "0123456789abcdefghi");
    EXPECT_EQ(texts.tooltip(32771), "读取数据读取数据读取数据读取数据读取数");
    EXPECT_EQ(texts.tooltip(0), "");
    EXPECT_EQ(texts.tooltip(57601), "Not Found");
}

TEST_F(TextLookupTest, LanguageChangeTakesEffectAtTheNextLookup) {
    EXPECT_EQ(texts.text("IDS_PLAIN"), "plain text");
    dir.write("other.lang", "[String]\nIDS_PLAIN=anderer Text\n");
    texts.setLanguageFilePath(dir.file("other.lang"));
    EXPECT_EQ(texts.text("IDS_PLAIN"), "anderer Text");
    dir.write("other.lang", "[String]\nIDS_PLAIN=edited\n");
    EXPECT_EQ(texts.text("IDS_PLAIN"), "edited");  // nothing is cached
}

TEST(TextLookupHelpers, FormatKeyAndCodePoints) {
    EXPECT_EQ(formatKey("IDS_TIP_%d", 57600), "IDS_TIP_57600");
    EXPECT_EQ(formatKey("IDS_ChText%d", 12), "IDS_ChText12");
    EXPECT_EQ(formatKey("plain", 1), "plain");
    EXPECT_EQ(firstCodePoints("héllo", 2), "hé");
    EXPECT_EQ(firstCodePoints("ab", 5), "ab");
    EXPECT_EQ(expandEscapes("a\\"), "a\\");
}

// Long texts (tooltips) in lines of a readable length, in both languages.
TEST(TextLookupHelpers, WrapTextBreaksBetweenWordsOrChineseCharacters) {
    struct Case {
        std::string_view text;
        int columns;
        std::string_view wrapped;
    } cases[] = {
        {"The serial port is in use by another program.", 20,
         "The serial port is\nin use by another\nprogram."},
        {"串口正被其他程序占用。请关闭该程序后重试。", 20,
         "串口正被其他程序占\n用。请关闭该程序后重\n试。"},  // no line starts with 。
        {"/dev/serial/by-id/usb-cable is missing", 10, "/dev/serial/by-id/usb-cable\nis missing"},
        {"Keep\nthis line", 40, "Keep\nthis line"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wrapText(c.text, c.columns), c.wrapped) << c.text;
}

}  // namespace
}  // namespace pl3
