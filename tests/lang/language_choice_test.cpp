#include "lang/language_choice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "scripted_prompter.h"
#include "settings_fixture.h"
#include "temp_dir.h"

namespace pl3 {
namespace {

std::string upperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// A program folder with two files called "English", one without a display name and a
// Chinese one; in list (file-name) order: chinese, copy, english, nameless.
class LanguageChoiceTest : public ::testing::Test {
  protected:
    LanguageChoiceTest() {
        folder_.write("english.lang", "[Face]\ndisp=English\n");
        folder_.write("copy.lang", "[Face]\ndisp=English\n");
        folder_.write("chinese.lang", "[Face]\ndisp=简体中文\n");
        folder_.write("nameless.lang", "[String]\nIDS_ON=on\n");
    }

    test::ProgramFolder folder_{"[setup]\ncom=1\nlanguage=english\n"};
    SettingsWriteWarning warning_;
    test::ScriptedPrompter prompter_;
};

TEST_F(LanguageChoiceTest, ListsDisplayNamesInFileOrder) {
    LanguageChoice choice = languageChoiceFor({folder_.path()}, TextLookup(""));
    EXPECT_EQ(choice.displayNames(),
              (std::vector<std::string>{"简体中文", "English", "English", "-----"}));
    ASSERT_EQ(choice.entries().size(), 4u);
    EXPECT_EQ(choice.entries()[3].title, "nameless");
}

TEST_F(LanguageChoiceTest, PreselectsTheCurrentFileIgnoringCase) {
    struct Case {
        const char* name;
        std::string currentPath;
        int index;
    };
    const Case cases[] = {
        {"exact path", folder_.file("english.lang"), 2},
        {"path in other case", upperCase(folder_.file("english.lang")), 2},
        {"first of the same display name", folder_.file("copy.lang"), 1},
        {"file without display name", folder_.file("nameless.lang"), 3},
        {"file name only", "english.lang", -1},
        {"file of another folder", "/elsewhere/english.lang", -1},
        {"no file", "", -1},
    };
    for (const Case& c : cases) {
        LanguageChoice choice = languageChoiceFor({folder_.path()}, TextLookup(c.currentPath));
        EXPECT_EQ(choice.initialIndex(), c.index) << c.name;
    }
}

TEST_F(LanguageChoiceTest, CommitPicksTheFirstEntryWithExactlyThatText) {
    struct Case {
        const char* selectedText;
        std::optional<std::string> title;
    };
    const Case cases[] = {
        {"English", "copy"},  // two files show "English": the first in the list wins
        {"简体中文", "chinese"},    {"-----", "nameless"},
        {"english", std::nullopt},                       // display names compare case-sensitively
        {"English ", std::nullopt}, {"", std::nullopt},  // nothing selected
    };
    LanguageChoice choice = languageChoiceFor({folder_.path()}, TextLookup(""));
    for (const Case& c : cases) {
        std::optional<LanguageSelection> selection = choice.commit(c.selectedText);
        ASSERT_EQ(selection.has_value(), c.title.has_value()) << c.selectedText;
        if (!selection) continue;
        EXPECT_EQ(selection->title, *c.title) << c.selectedText;
        EXPECT_EQ(selection->path, folder_.file(*c.title + ".lang")) << c.selectedText;
    }
}

TEST_F(LanguageChoiceTest, ApplyStoresTheTitleAndSwitchesTheLookup) {
    TextLookup texts(folder_.file("english.lang"));
    LanguageChoice choice = languageChoiceFor({folder_.path()}, texts);

    std::optional<LanguageSelection> selection =
        applyLanguageChoice(choice, "简体中文", texts, folder_.settings(), warning_, prompter_);

    ASSERT_TRUE(selection.has_value());
    EXPECT_EQ(folder_.settings().languageName(), "chinese");
    EXPECT_EQ(texts.languageFilePath(), folder_.file("chinese.lang"));
    EXPECT_TRUE(prompter_.prompts().empty());
    // Other settings survive the write.
    EXPECT_EQ(folder_.settings().comPort(), 1);
}

TEST_F(LanguageChoiceTest, ApplyOfTheFileWithoutDisplayNameStoresItsTitle) {
    TextLookup texts(folder_.file("english.lang"));
    LanguageChoice choice = languageChoiceFor({folder_.path()}, texts);

    ASSERT_TRUE(applyLanguageChoice(choice, "-----", texts, folder_.settings(), warning_, prompter_)
                    .has_value());
    EXPECT_EQ(folder_.settings().languageName(), "nameless");
    EXPECT_EQ(texts.languageFilePath(), folder_.file("nameless.lang"));
}

TEST_F(LanguageChoiceTest, ApplyOfAnUnknownTextChangesNothing) {
    const std::string settingsBefore = test::readText(folder_.file("setting.ini"));
    TextLookup texts(folder_.file("english.lang"));
    LanguageChoice choice = languageChoiceFor({folder_.path()}, texts);

    for (const char* text : {"english", "", "Deutsch"}) {
        EXPECT_FALSE(
            applyLanguageChoice(choice, text, texts, folder_.settings(), warning_, prompter_)
                .has_value())
            << text;
    }
    EXPECT_EQ(test::readText(folder_.file("setting.ini")), settingsBefore);
    EXPECT_EQ(texts.languageFilePath(), folder_.file("english.lang"));
}

TEST(LanguageChoice, EmptyFolderOffersNothing) {
    test::TempDir dir;
    LanguageChoice choice = languageChoiceFor({dir.path()}, TextLookup(dir.file("english.lang")));
    EXPECT_TRUE(choice.displayNames().empty());
    EXPECT_EQ(choice.initialIndex(), -1);
    EXPECT_FALSE(choice.commit("-----").has_value());
}

}  // namespace
}  // namespace pl3
