#pragma once
// A main window over a new codeplug in English, with scripted questions: the start of
// every test that drives the program through its frame.

#include <gtest/gtest.h>

#include <memory>

#include "app/ui/main_frame.h"
#include "codeplug/document_commands.h"
#include "platform/private_profile.h"
#include "scripted_prompter.h"
#include "settings_fixture.h"

namespace pl3::test {

class MainFrameFixture : public ::testing::Test {
  protected:
    MainFrameFixture() {
        folder.installLanguageFiles();
        platform::writeString(folder.file("setting.ini"), "setup", "language", "english");
        context = std::make_unique<AppContext>(*resolveAppPaths(folder.path(), 1033));
        doc = std::make_unique<CMaItemDoc>(context->settings);
        frame = std::make_unique<CMainFrame>(*context, *doc, prompter);
        bool skip = true;
        newDocument(*doc, prompter, skip);
    }

    ProgramFolder folder;
    ScriptedPrompter prompter;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<CMaItemDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

}  // namespace pl3::test
