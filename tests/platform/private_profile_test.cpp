#include "platform/private_profile.h"

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace pl3::platform {
namespace {

using pl3::test::readText;
using pl3::test::TempDir;

struct ReadCase {
    const char* what;
    std::string file;
    std::string section;
    std::string key;
    std::string expected;
    int bufferLength = 256;
};

TEST(PrivateProfileRead, FindsValuesTheWayTheWindowsCallsDid) {
    const std::vector<ReadCase> cases = {
        {"case-insensitive names", "[Main]\nPort=COM1\n", "mAIN", "PORT", "COM1"},
        {"blanks trimmed", "  [ Main ]  \n  Port  =   COM1 x  \n", "Main", "Port", "COM1 x"},
        {"tabs trimmed", "[Main]\n\tPort\t=\tCOM1\t\n", "Main", "Port", "COM1"},
        {"double quotes removed", "[Main]\nName=\"  a b  \"\n", "Main", "Name", "  a b  "},
        {"single quotes removed", "[Main]\nName='x'\n", "Main", "Name", "x"},
        {"mismatched quotes kept", "[Main]\nName=\"x'\n", "Main", "Name", "\"x'"},
        {"lone quote kept", "[Main]\nName=\"\n", "Main", "Name", "\""},
        {"inner quotes kept", "[Main]\nName=a\"b\"\n", "Main", "Name", "a\"b\""},
        {"split at first '='", "[Main]\nK=a=b\n", "Main", "K", "a=b"},
        {"empty value is a value", "[Main]\nK=\n", "Main", "K", ""},
        {"comment skipped", "[Main]\n;Port=1\n  ; Port=2\nPort=3\n", "Main", "Port", "3"},
        {"commented key not found", "[Main]\n;Port=1\n", "Main", "Port", "dflt"},
        {"key before any section", "Port=1\n[Main]\n", "Main", "Port", "dflt"},
        {"missing section", "[Main]\nPort=1\n", "Other", "Port", "dflt"},
        {"missing key", "[Main]\nPort=1\n", "Main", "Baud", "dflt"},
        {"no prefix match on sections", "[Main2]\nPort=1\n", "Main", "Port", "dflt"},
        {"first of duplicate keys", "[Main]\nPort=1\nPort=2\n", "Main", "Port", "1"},
        {"duplicate section, first occurrence", "[A]\nx=1\n[B]\nx=9\n[A]\nx=3\n", "A", "x", "1"},
        {"duplicate section, later occurrence", "[A]\nx=1\n[B]\ny=9\n[A]\nz=4\n", "A", "z", "4"},
        {"key of another section", "[A]\nx=1\n[B]\ny=9\n", "A", "y", "dflt"},
        {"byte-order mark", "\xEF\xBB\xBF[Main]\nPort=1\n", "Main", "Port", "1"},
        {"CRLF line ends", "[Main]\r\nPort=COM1\r\nBaud=9600\r\n", "Main", "Port", "COM1"},
        {"no final line end", "[Main]\nPort=COM1", "Main", "Port", "COM1"},
        {"line without '=' ignored", "[Main]\nPort\nPort=2\n", "Main", "Port", "2"},
        {"'[' without ']' ignored", "[Main]\n[Broken\nPort=1\n", "Main", "Port", "1"},
        {"text after ']' ignored", "[Main] ; the main part\nPort=1\n", "Main", "Port", "1"},
        {"empty file", "", "Main", "Port", "dflt"},
    };
    TempDir dir;
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = dir.write("setting.ini", c.file);
        EXPECT_EQ(readString(path, c.section, c.key, "dflt", c.bufferLength), c.expected);
    }
}

TEST(PrivateProfileRead, CutsToTheBufferInWholeCharacters) {
    const std::vector<ReadCase> cases = {
        {"ASCII", "[M]\nK=abcdef\n", "M", "K", "abc", 4},
        {"exact fit", "[M]\nK=abc\n", "M", "K", "abc", 4},
        {"Chinese", "[M]\nK=中文字符\n", "M", "K", "中文", 3},
        {"mixed", "[M]\nK=a中b\n", "M", "K", "a中", 3},
        {"four-byte sequence", "[M]\nK=😀x\n", "M", "K", "😀", 2},
        {"invalid bytes count one each", "[M]\nK=\xFF\xFE\x41\x42\n", "M", "K", "\xFF\xFE", 3},
        {"truncated sequence", "[M]\nK=\xE4\xB8xyz\n", "M", "K", "\xE4\xB8", 3},
        {"surrogate encoding is invalid", "[M]\nK=\xED\xA0\x80z\n", "M", "K", "\xED\xA0", 3},
        {"buffer of one", "[M]\nK=abc\n", "M", "K", "", 1},
        {"buffer of zero", "[M]\nK=abc\n", "M", "K", "", 0},
        {"negative buffer", "[M]\nK=abc\n", "M", "K", "", -5},
        {"default cut too", "[M]\n", "M", "K", "中", 2},
        {"default with zero buffer", "[M]\n", "M", "K", "", 0},
    };
    TempDir dir;
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = dir.write("lang.lang", c.file);
        EXPECT_EQ(readString(path, c.section, c.key, "中文字符", c.bufferLength), c.expected);
    }
}

TEST(PrivateProfileRead, UnreadableFilesGiveTheDefault) {
    TempDir dir;
    EXPECT_EQ(readString(dir.file("missing.ini"), "Main", "Port", "COM9", 64), "COM9");
    EXPECT_EQ(readString(dir.path(), "Main", "Port", "COM9", 64), "COM9");
    EXPECT_EQ(readInt(dir.file("missing.ini"), "Main", "Port", 42), 42);

    // Valid content at the start, but too large as a whole: treated as unreadable.
    std::string huge = dir.write("huge.ini", "[Main]\nPort=1\n");
    std::filesystem::resize_file(huge, 17u * 1024 * 1024);
    EXPECT_EQ(readString(huge, "Main", "Port", "COM9", 64), "COM9");
}

TEST(PrivateProfileRead, SeesChangesMadeBetweenCalls) {
    TempDir dir;
    std::string path = dir.write("setting.ini", "[Main]\nPort=COM1\n");
    EXPECT_EQ(readString(path, "Main", "Port", "", 64), "COM1");
    dir.write("setting.ini", "[Main]\nPort=COM2\n");
    EXPECT_EQ(readString(path, "Main", "Port", "", 64), "COM2");
    // Replaced twice within one tick of the file clock, the freed inode possibly reused:
    // the same size and times must not pass for the same content.
    ASSERT_TRUE(writeString(path, "Main", "Port", "COM3"));
    EXPECT_EQ(readString(path, "Main", "Port", "", 64), "COM3");
    ASSERT_TRUE(writeString(path, "Main", "Port", "COM4"));
    EXPECT_EQ(readInt(path, "Main", "Port", 0), 0);
    EXPECT_EQ(readString(path, "Main", "Port", "", 64), "COM4");
}

TEST(PrivateProfileReadInt, TakesLeadingDigitsAndSaturates) {
    struct Case {
        std::string value;
        int expected;
    };
    const std::vector<Case> cases = {
        {"12abc", 12},
        {"  -7  ", -7},
        {"+3", 3},
        {"007", 7},
        {"0x10", 0},
        {"\"42\"", 42},
        {"abc", -1},
        {"", -1},
        {"-", -1},
        {"- 5", -1},
        {"+-5", -1},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"99999999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"-99999999999999999999999", INT_MIN},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE("value: " + c.value);
        std::string path = dir.write("setting.ini", "[Main]\nN=" + c.value + "\n");
        EXPECT_EQ(readInt(path, "main", "n", -1), c.expected);
    }
    std::string path = dir.write("setting.ini", "[Main]\nN=5\n");
    EXPECT_EQ(readInt(path, "Main", "Other", -1), -1);
}

struct WriteCase {
    const char* what;
    std::string before;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

TEST(PrivateProfileWrite, ChangesOnlyTheLineConcerned) {
    const std::vector<WriteCase> cases = {
        {"replace in place", "; settings\n[Main]\nPort=COM1\nUnknown = x \n\n[Other]\nA=1\n",
         "Main", "Port", "COM3", "; settings\n[Main]\nPort=COM3\nUnknown = x \n\n[Other]\nA=1\n"},
        {"key keeps its spelling and indentation", "[MAIN]\n  PoRt = 1 ; old\n", "main", "port",
         "2", "[MAIN]\n  PoRt=2\n"},
        {"only the first duplicate key", "[A]\nx=1\nx=2\n", "A", "x", "5", "[A]\nx=5\nx=2\n"},
        {"key found in a later occurrence", "[A]\nx=1\n[B]\n[A]\ny=2\n", "A", "y", "3",
         "[A]\nx=1\n[B]\n[A]\ny=3\n"},
        {"missing key at end of its section", "[Main]\nA=1\n\n[Other]\nB=2\n", "Main", "C", "3",
         "[Main]\nA=1\nC=3\n\n[Other]\nB=2\n"},
        {"missing key into first occurrence", "[A]\nx=1\n[B]\n[A]\ny=2\n", "A", "z", "9",
         "[A]\nx=1\nz=9\n[B]\n[A]\ny=2\n"},
        {"missing key after trailing comment", "[A]\nx=1\n; end\n\n\n[B]\n", "A", "y", "2",
         "[A]\nx=1\n; end\ny=2\n\n\n[B]\n"},
        {"missing key in empty section", "[A]\n[B]\n", "a", "x", "1", "[A]\nx=1\n[B]\n"},
        {"missing key, no final line end", "[Main]\nA=1", "Main", "B", "2", "[Main]\nA=1\nB=2\n"},
        {"key before any section untouched", "x=1\n[A]\n", "A", "x", "2", "x=1\n[A]\nx=2\n"},
        {"missing section", "[Main]\nA=1\n", "New", "K", "v", "[Main]\nA=1\n\n[New]\nK=v\n"},
        {"missing section after blank line", "[Main]\nA=1\n\n", "New", "K", "v",
         "[Main]\nA=1\n\n[New]\nK=v\n"},
        {"missing section, no final line end", "[Main]\nA=1", "New", "K", "v",
         "[Main]\nA=1\n\n[New]\nK=v\n"},
        {"empty file", "", "S", "K", "v", "[S]\nK=v\n"},
        {"CRLF replace", "[Main]\r\nA=1\r\nB=2\r\n", "Main", "A", "7", "[Main]\r\nA=7\r\nB=2\r\n"},
        {"CRLF new key", "[Main]\r\nA=1\r\n", "Main", "B", "2", "[Main]\r\nA=1\r\nB=2\r\n"},
        {"CRLF new section", "[Main]\r\nA=1\r\n", "New", "K", "v",
         "[Main]\r\nA=1\r\n\r\n[New]\r\nK=v\r\n"},
        {"mixed line ends kept", "[Main]\nA=1\r\nB=2\n", "Main", "B", "3", "[Main]\nA=1\r\nB=3\n"},
        {"BOM kept", "\xEF\xBB\xBF[Main]\nA=1\n", "Main", "A", "2", "\xEF\xBB\xBF[Main]\nA=2\n"},
        {"BOM-only file", "\xEF\xBB\xBF", "S", "K", "v", "\xEF\xBB\xBF[S]\nK=v\n"},
        {"value with outer blanks quoted", "[M]\n", "M", "K", "  a ", "[M]\nK=\"  a \"\n"},
        {"quoted value quoted again", "[M]\n", "M", "K", "'q'", "[M]\nK=\"'q'\"\n"},
    };
    TempDir dir;
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = dir.write("setting.ini", c.before);
        ASSERT_TRUE(writeString(path, c.section, c.key, c.value));
        EXPECT_EQ(readText(path), c.after);
    }
}

TEST(PrivateProfileWrite, ValuesReadBackUnchanged) {
    const std::vector<std::string> values = {
        "",     "a",   "  padded  ",     "\"quoted\"", "'single'",    "\"",
        "中文", "a=b", ";not a comment", "[x]",        "tab\tinside",
    };
    TempDir dir;
    std::string path = dir.file("setting.ini");
    for (const std::string& value : values) {
        SCOPED_TRACE("value: " + value);
        ASSERT_TRUE(writeString(path, "Main", "Key", value));
        EXPECT_EQ(readString(path, "Main", "Key", "dflt", 1024), value);
    }
}

TEST(PrivateProfileWrite, CreatesAMissingFile) {
    TempDir dir;
    std::string path = dir.file("new.ini");
    ASSERT_TRUE(writeString(path, "Main", "Port", "COM1"));
    EXPECT_EQ(readText(path), "[Main]\nPort=COM1\n");
    ASSERT_TRUE(writeString(path, "Main", "Baud", "9600"));
    EXPECT_EQ(readText(path), "[Main]\nPort=COM1\nBaud=9600\n");
}

TEST(PrivateProfileWrite, FailsCleanlyWhenTheFileCannotBeWritten) {
    TempDir dir;
    std::string intoMissingFolder = dir.file("missing/setting.ini");
    EXPECT_FALSE(writeString(intoMissingFolder, "Main", "Port", "COM1"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));

    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_FALSE(writeString(dir.file("folder"), "Main", "Port", "COM1"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder")));
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("folder")));

    // A file that is too large to read is not replaced by a fresh one.
    std::string huge = dir.write("huge.ini", "[Main]\n");
    std::filesystem::resize_file(huge, 17u * 1024 * 1024);
    EXPECT_FALSE(writeString(huge, "Main", "Port", "COM1"));
    EXPECT_EQ(std::filesystem::file_size(huge), 17u * 1024 * 1024);
}

TEST(PrivateProfileWrite, RefusesWhatCannotBeReadBack) {
    const std::vector<WriteCase> cases = {
        {"empty key", "", "Main", "", "v", ""},
        {"'=' in key", "", "Main", "a=b", "v", ""},
        {"key looks like a comment", "", "Main", ";k", "v", ""},
        {"key looks like a section", "", "Main", "[k", "v", ""},
        {"']' in section", "", "Ma]in", "k", "v", ""},
        {"line break in value", "", "Main", "k", "a\nb", ""},
        {"carriage return in value", "", "Main", "k", "a\rb", ""},
        {"line break in section", "", "Ma\nin", "k", "v", ""},
    };
    TempDir dir;
    const std::string original = "; keep me\n[Main]\nk=1\n";
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = dir.write("setting.ini", original);
        EXPECT_FALSE(writeString(path, c.section, c.key, c.value));
        EXPECT_EQ(readText(path), original);
    }
}

}  // namespace
}  // namespace pl3::platform
