// Checks the two shipped language files against the keys the program looks up: every
// text key that appears as a string literal in the sources, the list sections with their
// exact item counts, the column headings, the length limits of tooltips and list items,
// and the raw file format (UTF-8, LF, no duplicate keys, no unparsable lines).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/text_keys.h"
#include "platform/private_profile.h"
#include "temp_dir.h"

namespace pl3 {
namespace {

namespace fs = std::filesystem;

// Folders whose sources may look texts up; those that do not exist are skipped.
constexpr std::string_view kSourceFolders[] = {"app",      "lang",    "codeplug",   "link",
                                               "view",     "editors", "service",    "grid",
                                               "platform", "tools",   "interchange"};

constexpr int kBufferLength = 1000;
// No value read from a file can contain a line break, so this marks a missing key.
constexpr std::string_view kMissing = "\n<missing>\n";

struct ListSection {
    std::string_view name;
    int count;
};

constexpr ListSection kListSections[] = {
    {lang_section::kTestData, 13},     {lang_section::kRadioMode, 2},
    {lang_section::kKeyData, 7},       {lang_section::kBackLamp, 3},
    {lang_section::kKeyLockMode, 4},   {lang_section::kSystemMode, 2},
    {lang_section::kTailNoiseMode, 4}, {lang_section::kLcdDisplayMode, 2},
    {lang_section::kPttId, 4},         {lang_section::kFreqStep, 5},
    {lang_section::kOffsetMode, 3},
};

struct HeadingSection {
    std::string_view name;
    std::string_view keyPrefix;  // the key format without its "%d"
    int count;
};

constexpr HeadingSection kHeadingSections[] = {
    {lang_section::kChText, "IDS_ChText", 13},
    {lang_section::kCtcDcsText, "IDS_CtcDcs", 2},
    {lang_section::kRadiogramText, "IDS_RadiogramText", 2},
};

constexpr std::size_t kMaxTooltipCharacters = 19;

std::string sourceRoot() {
    return PL3_SOURCE_DIR;
}

std::string languageFile(const std::string& name) {
    return sourceRoot() + "/resources/" + name;
}

std::string tooltipKey(int id) {
    return "IDS_TIP_" + std::to_string(id);
}

// ---------------------------------------------------------------------------------------
// Reading C++ sources.

bool isIdentifierChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Index just past a quoted literal that opens at `open` (a '"' or '\''), honouring escapes.
std::size_t skipQuoted(std::string_view source, std::size_t open) {
    char quote = source[open];
    std::size_t i = open + 1;
    while (i < source.size() && source[i] != quote && source[i] != '\n') {
        i += source[i] == '\\' ? 2 : 1;
    }
    return std::min(i + 1, source.size());
}

// The contents of every string literal in a C++ source, comments and character
// literals excluded. Escapes are kept as written; raw strings give their raw text.
std::vector<std::string> stringLiterals(std::string_view source) {
    std::vector<std::string> literals;
    std::size_t i = 0;
    const std::size_t n = source.size();
    while (i < n) {
        char c = source[i];
        if (c == '/' && i + 1 < n && source[i + 1] == '/') {
            std::size_t end = source.find('\n', i);
            i = end == std::string_view::npos ? n : end + 1;
        } else if (c == '/' && i + 1 < n && source[i + 1] == '*') {
            std::size_t end = source.find("*/", i + 2);
            i = end == std::string_view::npos ? n : end + 2;
        } else if (isDigit(c)) {
            // A number, with digit separators (1'000) and exponent signs (1e+5).
            ++i;
            while (i < n) {
                char d = source[i];
                bool exponentSign =
                    (d == '+' || d == '-') &&
                    std::string_view("eEpP").find(source[i - 1]) != std::string_view::npos;
                if (!isIdentifierChar(d) && d != '.' && d != '\'' && !exponentSign) break;
                ++i;
            }
        } else if (isIdentifierChar(c)) {
            std::size_t start = i;
            while (i < n && isIdentifierChar(source[i]))
                ++i;
            std::string_view word = source.substr(start, i - start);
            bool rawPrefix =
                word == "R" || word == "LR" || word == "uR" || word == "UR" || word == "u8R";
            if (rawPrefix && i < n && source[i] == '"') {
                std::size_t open = source.find('(', i + 1);
                if (open == std::string_view::npos) return literals;
                std::string closing = ")" + std::string(source.substr(i + 1, open - i - 1)) + "\"";
                std::size_t close = source.find(closing, open + 1);
                if (close == std::string_view::npos) return literals;
                literals.emplace_back(source.substr(open + 1, close - open - 1));
                i = close + closing.size();
            }
        } else if (c == '"') {
            std::size_t end = skipQuoted(source, i);
            std::size_t contentEnd = end > i + 1 && source[end - 1] == '"' ? end - 1 : end;
            literals.emplace_back(source.substr(i + 1, contentEnd - i - 1));
            i = end;
        } else if (c == '\'') {
            i = skipQuoted(source, i);
        } else {
            ++i;
        }
    }
    return literals;
}

// "IDS_..." or "Menu_..." made of letters, digits and underscores only.
bool isWholeTextKey(std::string_view literal) {
    if (!literal.starts_with("IDS_") && !literal.starts_with("Menu_")) return false;
    return std::all_of(literal.begin(), literal.end(), isIdentifierChar);
}

std::set<std::string> textKeysIn(std::string_view source) {
    std::set<std::string> keys;
    for (const std::string& literal : stringLiterals(source)) {
        if (isWholeTextKey(literal)) keys.insert(literal);
    }
    return keys;
}

// Every text key found in the program's sources.
std::set<std::string> scanSourceTextKeys() {
    std::set<std::string> keys;
    for (std::string_view folder : kSourceFolders) {
        fs::path dir = fs::path(sourceRoot()) / folder;
        if (!fs::is_directory(dir)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            if (!entry.is_regular_file()) continue;
            std::string extension = entry.path().extension().string();
            if (extension != ".h" && extension != ".cpp") continue;
            std::set<std::string> found = textKeysIn(test::readText(entry.path().string()));
            keys.insert(found.begin(), found.end());
        }
    }
    return keys;
}

// The keys both files must define in [String].
std::set<std::string> requiredStringKeys() {
    std::set<std::string> keys = scanSourceTextKeys();
    for (int id : text_key::kToolbarTooltipIds)
        keys.insert(tooltipKey(id));
    return keys;
}

// ---------------------------------------------------------------------------------------
// Reading language files.

std::optional<std::string> lookUp(const std::string& path, std::string_view section,
                                  std::string_view key) {
    std::string value = platform::readString(path, section, key, kMissing, kBufferLength);
    if (value == kMissing) return std::nullopt;
    return value;
}

std::size_t codePoints(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Offset of the first byte that does not start a well-formed UTF-8 sequence.
std::optional<std::size_t> firstInvalidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
        unsigned char lead = byte(i);
        std::size_t trailing = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            trailing = 0;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            trailing = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trailing = 2;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trailing = 3;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return i;
        }
        if (text.size() - i <= trailing) return i;
        for (std::size_t k = 1; k <= trailing; ++k) {
            unsigned char lo = k == 1 ? low : 0x80;
            unsigned char hi = k == 1 ? high : 0xBF;
            if (byte(i + k) < lo || byte(i + k) > hi) return i;
        }
        i += trailing + 1;
    }
    return std::nullopt;
}

std::string trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return std::string(text);
}

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Problems in the raw text of a language file named `name`: encoding, line ends, lines
// that are neither comment, section nor key, repeated sections and repeated keys.
std::vector<std::string> formatProblems(const std::string& name, std::string_view text) {
    std::vector<std::string> problems;
    if (text.starts_with("\xEF\xBB\xBF")) problems.push_back(name + ": starts with a BOM");
    if (auto bad = firstInvalidUtf8(text)) {
        problems.push_back(name + ": invalid UTF-8 at byte " + std::to_string(*bad));
    }
    std::set<std::string> sections;
    std::map<std::string, std::set<std::string>> keysBySection;
    std::string section;
    bool inSection = false;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        std::string where = name + ":" + std::to_string(lineNumber) + ": ";
        if (raw.find('\r') != std::string_view::npos) {
            problems.push_back(where + "carriage return (the file must use LF line ends)");
        }
        std::string line = trimBlanks(raw);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3) {
                problems.push_back(where + "malformed section line: " + line);
                continue;
            }
            section = lowerAscii(trimBlanks(std::string_view(line).substr(1, line.size() - 2)));
            inSection = true;
            if (!sections.insert(section).second) {
                problems.push_back(where + "section [" + section + "] appears again");
            }
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            problems.push_back(where + "line without '=': " + line);
            continue;
        }
        std::string key = lowerAscii(trimBlanks(std::string_view(line).substr(0, equals)));
        if (key.empty()) {
            problems.push_back(where + "empty key: " + line);
        } else if (!inSection) {
            problems.push_back(where + "key outside any section: " + key);
        } else if (!keysBySection[section].insert(key).second) {
            problems.push_back(where + "duplicate key " + key + " in [" + section + "]");
        }
    }
    return problems;
}

// Keys of `required` that the file at `path` lacks in [String] or leaves empty.
std::vector<std::string> missingStringKeys(const std::string& path,
                                           const std::set<std::string>& required) {
    std::vector<std::string> missing;
    for (const std::string& key : required) {
        auto value = lookUp(path, lang_section::kString, key);
        if (!value || value->empty()) missing.push_back(key);
    }
    return missing;
}

// Problems with the list sections: wrong item counts, empty items, items over `maxLength`.
std::vector<std::string> listProblems(const std::string& path, std::size_t maxLength) {
    std::vector<std::string> problems;
    for (const ListSection& list : kListSections) {
        std::string where = path + ": [" + std::string(list.name) + "] ";
        for (int i = 0; i < list.count; ++i) {
            auto value = lookUp(path, list.name, std::to_string(i));
            if (!value || value->empty()) {
                problems.push_back(where + "item " + std::to_string(i) + " missing or empty");
            } else if (codePoints(*value) > maxLength) {
                problems.push_back(where + "item " + std::to_string(i) + " longer than " +
                                   std::to_string(maxLength) + " characters: " + *value);
            }
        }
        if (lookUp(path, list.name, std::to_string(list.count))) {
            problems.push_back(where + "has more than " + std::to_string(list.count) + " items");
        }
    }
    return problems;
}

std::vector<std::string> headingProblems(const std::string& path) {
    std::vector<std::string> problems;
    for (const HeadingSection& heading : kHeadingSections) {
        for (int i = 0; i < heading.count; ++i) {
            std::string key = std::string(heading.keyPrefix) + std::to_string(i);
            auto value = lookUp(path, heading.name, key);
            if (!value || value->empty()) {
                problems.push_back(path + ": [" + std::string(heading.name) + "] " + key +
                                   " missing or empty");
            }
        }
    }
    auto display = lookUp(path, lang_section::kFace, lang_section::kFaceDisplayName);
    if (!display || display->empty()) problems.push_back(path + ": [Face] disp missing or empty");
    return problems;
}

std::vector<std::string> tooltipProblems(const std::string& path) {
    std::vector<std::string> problems;
    for (int id : text_key::kToolbarTooltipIds) {
        auto value = lookUp(path, lang_section::kString, tooltipKey(id));
        if (value && codePoints(*value) > kMaxTooltipCharacters) {
            problems.push_back(path + ": " + tooltipKey(id) + " longer than " +
                               std::to_string(kMaxTooltipCharacters) + " characters: " + *value);
        }
    }
    return problems;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines)
        joined += "\n  " + line;
    return joined;
}

// ---------------------------------------------------------------------------------------
// The helpers themselves.

TEST(LanguageFileHelpers, SourceScanTakesWholeKeyLiteralsOnly) {
    constexpr std::string_view source = R"src(
#include "codeplug/text_keys.h"
// "IDS_IN_LINE_COMMENT"
/* "Menu_InBlockComment" */
auto a = "IDS_PLAIN";
char q = '"'; auto b = "Menu_AfterQuoteChar";
auto c = "text \"IDS_ESCAPED\" more";
auto d = R"x(IDS_RAW)x";
int n = 1'000'000; auto e = "IDS_AFTER_SEPARATORS";
auto f = "IDS_TIP_%d"; auto g = "IDS_WITH BLANK"; auto h = "xIDS_PREFIXED";
auto i = u8"Menu_Prefixed_U8";
)src";
    std::set<std::string> expected = {"IDS_PLAIN", "Menu_AfterQuoteChar", "IDS_RAW",
                                      "IDS_AFTER_SEPARATORS", "Menu_Prefixed_U8"};
    EXPECT_EQ(textKeysIn(source), expected);
}

TEST(LanguageFileHelpers, FormatCheckFindsBrokenLines) {
    std::string text =
        "; comment\n"
        "[String]\n"
        "IDS_A=one\n"
        "ids_a=again\n"
        "no equals sign here\n"
        "[string]\n"
        "IDS_B=two\r\n"
        "[Open\n"
        "bad=\xE4\xB8\n";
    std::vector<std::string> problems = formatProblems("x.lang", text);
    auto mentions = [&](std::string_view needle) {
        return std::any_of(problems.begin(), problems.end(), [&](const std::string& p) {
            return p.find(needle) != std::string::npos;
        });
    };
    EXPECT_TRUE(mentions("x.lang:4: duplicate key ids_a")) << joinLines(problems);
    EXPECT_TRUE(mentions("x.lang:5: line without '='")) << joinLines(problems);
    EXPECT_TRUE(mentions("x.lang:6: section [string] appears again")) << joinLines(problems);
    EXPECT_TRUE(mentions("x.lang:7: carriage return")) << joinLines(problems);
    EXPECT_TRUE(mentions("x.lang:8: malformed section line")) << joinLines(problems);
    EXPECT_TRUE(mentions("invalid UTF-8")) << joinLines(problems);
    EXPECT_EQ(problems.size(), 6u) << joinLines(problems);

    EXPECT_TRUE(formatProblems("ok.lang", "; c\n[A]\nk=\xE4\xB8\xAD\n[B]\nk=v\n").empty());
    EXPECT_FALSE(formatProblems("bom.lang", "\xEF\xBB\xBF[A]\nk=v\n").empty());
}

TEST(LanguageFileHelpers, FileChecksReportFaults) {
    test::TempDir dir;
    std::string path = dir.write("broken.lang",
                                 "[Face]\n"
                                 "[String]\n"
                                 "IDS_TIP_57600=A tooltip that is far too long\n"
                                 "IDS_EMPTY=\n"
                                 "[RadioMode]\n"
                                 "0=First\n"
                                 "1=Two\n"
                                 "2=Three\n"
                                 "[BackLamp]\n"
                                 "0=Off\n"
                                 "2=Always on\n");
    EXPECT_EQ(missingStringKeys(path, {"IDS_EMPTY", "IDS_ABSENT", "IDS_TIP_57600"}),
              (std::vector<std::string>{"IDS_ABSENT", "IDS_EMPTY"}));
    EXPECT_EQ(tooltipProblems(path).size(), 1u);

    std::string lists = joinLines(listProblems(path, 29));
    EXPECT_NE(lists.find("[RadioMode] has more than 2 items"), std::string::npos) << lists;
    EXPECT_NE(lists.find("[BackLamp] item 1 missing"), std::string::npos) << lists;
    EXPECT_NE(lists.find("[TestData] item 0 missing"), std::string::npos) << lists;
    std::string shortLists = joinLines(listProblems(path, 3));
    EXPECT_NE(shortLists.find("[RadioMode] item 0 longer than 3"), std::string::npos) << shortLists;
    EXPECT_EQ(shortLists.find("[RadioMode] item 1 longer"), std::string::npos) << shortLists;

    std::string headings = joinLines(headingProblems(path));
    EXPECT_NE(headings.find("IDS_ChText12 missing"), std::string::npos) << headings;
    EXPECT_NE(headings.find("[Face] disp missing"), std::string::npos) << headings;
}

// ---------------------------------------------------------------------------------------
// The shipped files.

TEST(LanguageFiles, SourceScanFindsTheKnownKeys) {
    std::set<std::string> keys = scanSourceTextKeys();
    EXPECT_GT(keys.size(), 50u);
    for (std::string_view known :
         {text_key::kWindowName, text_key::kConfirmFreq, text_key::kCliBadValue,
          text_key::kMenuFile, text_key::kMenuAppAbout, text_key::kMenuProgramWriteTestData}) {
        EXPECT_TRUE(keys.contains(std::string(known))) << known;
    }
    EXPECT_FALSE(keys.contains(std::string(text_key::kTooltipFormat)));
}

struct LanguageFile {
    std::string name;
    std::size_t maxListItemLength;
};

void PrintTo(const LanguageFile& file, std::ostream* out) {
    *out << file.name;
}

class ShippedLanguageFile : public ::testing::TestWithParam<LanguageFile> {
  protected:
    std::string path() const { return languageFile(GetParam().name); }
    std::optional<std::string> string(std::string_view key) const {
        return lookUp(path(), lang_section::kString, key);
    }
};

TEST_P(ShippedLanguageFile, DefinesEveryStringKey) {
    std::set<std::string> required = requiredStringKeys();
    ASSERT_GT(required.size(), 50u);
    for (const std::string& key : missingStringKeys(path(), required)) {
        ADD_FAILURE() << GetParam().name << ": [String] " << key << " is missing or empty";
    }
}

TEST_P(ShippedLanguageFile, HasEveryListWithItsItemCount) {
    std::vector<std::string> problems = listProblems(path(), GetParam().maxListItemLength);
    EXPECT_TRUE(problems.empty()) << joinLines(problems);
}

TEST_P(ShippedLanguageFile, HasEveryHeading) {
    std::vector<std::string> problems = headingProblems(path());
    EXPECT_TRUE(problems.empty()) << joinLines(problems);
}

TEST_P(ShippedLanguageFile, TooltipsFitTheToolbar) {
    std::vector<std::string> problems = tooltipProblems(path());
    EXPECT_TRUE(problems.empty()) << joinLines(problems);
}

TEST_P(ShippedLanguageFile, IsWellFormed) {
    std::string text = test::readText(path());
    ASSERT_FALSE(text.empty()) << path();
    std::vector<std::string> problems = formatProblems(GetParam().name, text);
    EXPECT_TRUE(problems.empty()) << joinLines(problems);
}

TEST_P(ShippedLanguageFile, TextsFollowedByAPathEndWithANewLine) {
    for (std::string_view key : {text_key::kWarnSave, text_key::kWarnIncomplete,
                                 text_key::kErrorOpenFile, text_key::kErrorSaveFile}) {
        auto value = string(key);
        ASSERT_TRUE(value) << GetParam().name << ": " << key;
        EXPECT_TRUE(value->ends_with("\\n")) << GetParam().name << ": " << key << "=" << *value;
    }
}

TEST_P(ShippedLanguageFile, CommandLinePrefixesEndWithASeparator) {
    for (std::string_view key : {text_key::kCliUnknownField, text_key::kCliBadValue}) {
        auto value = string(key);
        ASSERT_TRUE(value) << GetParam().name << ": " << key;
        // An ASCII colon needs the blank (kept by quoting the value); a full-width one not.
        EXPECT_TRUE(value->ends_with(": ") || value->ends_with("\xEF\xBC\x9A"))
            << GetParam().name << ": " << key << "=[" << *value << "]";
    }
}

TEST_P(ShippedLanguageFile, MenuCommandsKeepTheirShortcuts) {
    const std::pair<std::string_view, std::string_view> shortcuts[] = {
        {text_key::kMenuFileNew, "\\tCtrl+N"},
        {text_key::kMenuFileOpen, "\\tCtrl+O"},
        {text_key::kMenuFileSave, "\\tCtrl+S"},
        {text_key::kMenuFilePrint, "\\tCtrl+P"},
        {text_key::kMenuProgramReadData, "\\tCtrl+R"},
        {text_key::kMenuProgramWriteData, "\\tCtrl+W"},
        {text_key::kMenuProgramTestMode, "\\tCtrl+T"},
        {text_key::kMenuSettingPort, "\\tCtrl+C"},
        {text_key::kMenuSettingLanguage, "\\tCtrl+L"},
    };
    for (const auto& [key, shortcut] : shortcuts) {
        auto value = string(key);
        ASSERT_TRUE(value) << GetParam().name << ": " << key;
        EXPECT_TRUE(value->ends_with(shortcut)) << GetParam().name << ": " << key << "=" << *value;
    }
}

TEST_P(ShippedLanguageFile, StepsAndShiftsAreInTheirOrder) {
    const std::string_view steps[] = {"5", "6.25", "10", "12.5", "25"};
    for (int i = 0; i < 5; ++i) {
        auto value = lookUp(path(), lang_section::kFreqStep, std::to_string(i));
        ASSERT_TRUE(value) << GetParam().name << ": [FreqStep] " << i;
        std::size_t numberLength = value->find_first_not_of("0123456789.");
        EXPECT_EQ(value->substr(0, numberLength), steps[i])
            << GetParam().name << ": [FreqStep] " << i << "=" << *value;
    }
    auto plus = lookUp(path(), lang_section::kOffsetMode, "1");
    auto minus = lookUp(path(), lang_section::kOffsetMode, "2");
    ASSERT_TRUE(plus && minus) << GetParam().name;
    EXPECT_NE(plus->find('+'), std::string::npos) << GetParam().name << ": " << *plus;
    EXPECT_NE(minus->find('-'), std::string::npos) << GetParam().name << ": " << *minus;
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedLanguageFile,
                         ::testing::Values(LanguageFile{"english.lang", 29},
                                           LanguageFile{"chinese.lang", 9}),
                         [](const ::testing::TestParamInfo<LanguageFile>& info) {
                             return info.param.name.substr(0, info.param.name.find('.'));
                         });

}  // namespace
}  // namespace pl3
