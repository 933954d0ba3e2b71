// File ▸ Compare in the program: the open codeplug against a file, field by field.

#include <gtest/gtest.h>

#include <QTableWidget>

#include "app/compare_dialog.h"
#include "app/main_frame.h"
#include "codeplug/document_commands.h"
#include "platform/private_profile.h"
#include "scripted_prompter.h"
#include "settings_fixture.h"

namespace pl3 {
namespace {

class CompareTest : public ::testing::Test {
  protected:
    CompareTest() {
        folder.installLanguageFiles();
        platform::writeString(folder.file("setting.ini"), "setup", "language", "english");
        context = std::make_unique<AppContext>(*resolveAppPaths(folder.path(), 1033));
        doc = std::make_unique<CMaItemDoc>(context->settings);
        frame = std::make_unique<CMainFrame>(*context, *doc, prompter);
        bool skip = true;
        newDocument(*doc, prompter, skip);
    }

    test::ProgramFolder folder;
    test::ScriptedPrompter prompter;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<CMaItemDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(CompareTest, ListsEachDifferenceWithBothValues) {
    const std::string path = folder.file("other.PL-3");
    ASSERT_TRUE(storeDocument(*doc, path, prompter));
    doc->setFrequencyText(80, Side::Receive, "433.075");
    doc->markEdited();

    std::unique_ptr<CompareDialog> dialog = frame->compareDialogFor(path);
    ASSERT_NE(dialog, nullptr);
    QTableWidget* table = dialog->table();
    ASSERT_GE(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 0)->text(), "RxFreq[80]");
    EXPECT_EQ(table->item(0, 1)->text(), "433.07500");  // the open codeplug
    EXPECT_EQ(table->item(0, 2)->text(), "");           // the file
    EXPECT_TRUE(table->horizontalHeaderItem(2)->text().endsWith("other.PL-3"));
}

TEST_F(CompareTest, AFileThatCannotBeLoadedIsReported) {
    EXPECT_EQ(frame->compareDialogFor(folder.file("missing.PL-3")), nullptr);
    ASSERT_FALSE(prompter.prompts().empty());
    EXPECT_EQ(prompter.prompts().back().textKey, text_key::kErrorOpenFile);
}

}  // namespace
}  // namespace pl3
