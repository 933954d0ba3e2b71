#pragma once
// A program folder with the language files, a new document over it (range 0 =
// 400-470 MHz) made without a question, scripted questions and the English texts: the
// start of the page and page-rule tests.

#include <gtest/gtest.h>

#include "codeplug/document_commands.h"
#include "lang/text_lookup.h"
#include "scripted_prompter.h"
#include "settings_fixture.h"

namespace pl3::test {

class DocumentFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.installLanguageFiles();
        bool skip = true;
        ASSERT_TRUE(newDocument(doc, prompter, skip));
    }

    ProgramFolder folder;
    ScriptedPrompter prompter;
    CMaItemDoc doc{folder.settings()};
    TextLookup texts{folder.file("english.lang")};
};

}  // namespace pl3::test
