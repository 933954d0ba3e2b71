#include "service/access_code.h"

#include <gtest/gtest.h>

#include "codeplug/document_commands.h"
#include "platform/prompter.h"

namespace pl3::service {
namespace {

TEST(AccessCode, OnlyTheWholeExactCodeGivesAccess) {
    struct Case {
        const char* code;
        AccessLevel level;
    } cases[] = {
        {"kq2018", AccessLevel::Full},  {"kq18", AccessLevel::Partial},
        {"", AccessLevel::None},        {"kq201", AccessLevel::None},
        {"kq20188", AccessLevel::None}, {"kq2", AccessLevel::None},
        {"KQ2018", AccessLevel::None},  {"Kq18", AccessLevel::None},
        {" kq2018", AccessLevel::None}, {"kq2018 ", AccessLevel::None},
        {"kq18\t", AccessLevel::None},  {"xkq18", AccessLevel::None},
        {"q2018", AccessLevel::None},   {"kq180", AccessLevel::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(accessLevelOf(c.code), c.level) << '"' << c.code << '"';
}

TEST(AccessCode, TheRememberedCodeOutlivesNewDocuments) {
    CMaItemDoc doc{SettingsFile(std::string())};
    ASSERT_TRUE(enterAccessCode(doc, "kq18"));
    SilentPrompter prompter;
    bool skip = true;
    ASSERT_TRUE(newDocument(doc, prompter, skip));
    doc.clearContents();
    EXPECT_EQ(accessLevelOf(doc.accessCode()), AccessLevel::Partial);
}

}  // namespace
}  // namespace pl3::service
