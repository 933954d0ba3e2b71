#include "lang/language_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_dir.h"

namespace pl3 {
namespace {

TEST(LanguageList, ListsLangFilesByDisplayName) {
    test::TempDir dir;
    dir.write("english.lang", "[Face]\ndisp=English\n");
    dir.write("chinese.lang", "[Face]\ndisp=简体中文\n");
    dir.write("nameless.lang", "[String]\nIDS_ON=on\n");
    dir.write("copy.lang", "[Face]\ndisp=English\n");
    dir.write("setting.ini", "[Face]\ndisp=not a language\n");
    std::filesystem::create_directory(dir.file("folder.lang"));

    std::vector<LanguageFile> list = languageList(dir.path());
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].title, "chinese");
    EXPECT_EQ(list[0].displayName, "简体中文");
    EXPECT_EQ(list[1].title, "copy");
    EXPECT_EQ(list[2].title, "english");
    EXPECT_EQ(list[3].displayName, "-----");
    EXPECT_EQ(list[2].path, dir.file("english.lang"));

    // The same display name twice: the first in list order wins.
    EXPECT_EQ(findByDisplayName(list, "English")->title, "copy");
    EXPECT_EQ(findByDisplayName(list, "english"), nullptr);
    EXPECT_EQ(findByDisplayName(list, "-----")->title, "nameless");
    EXPECT_EQ(findByPath(list, dir.file("ENGLISH.lang"))->title, "english");
    EXPECT_EQ(findByPath(list, dir.file("french.lang")), nullptr);
}

TEST(LanguageList, MissingFolderGivesAnEmptyList) {
    EXPECT_TRUE(languageList("/no/such/folder").empty());
    EXPECT_TRUE(languageList(std::vector<std::string>{"/no/such/folder", ""}).empty());
}

// The user's own files add languages and replace shipped ones of the same name in place.
TEST(LanguageList, UserFolderAddsAndOverrides) {
    test::TempDir shipped, user;
    shipped.write("chinese.lang", "[Face]\ndisp=简体中文\n");
    shipped.write("english.lang", "[Face]\ndisp=English\n");
    user.write("english.lang", "[Face]\ndisp=English (mine)\n");
    user.write("deutsch.lang", "[Face]\ndisp=Deutsch\n");

    std::vector<LanguageFile> list = languageList({shipped.path(), user.path()});
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].path, shipped.file("chinese.lang"));
    EXPECT_EQ(list[1].path, user.file("english.lang"));
    EXPECT_EQ(list[1].displayName, "English (mine)");
    EXPECT_EQ(list[2].path, user.file("deutsch.lang"));
}

}  // namespace
}  // namespace pl3
