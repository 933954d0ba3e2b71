// File ▸ Compare in the program: the open codeplug against a file, field by field.

#include <gtest/gtest.h>

#include <QTableWidget>

#include "app/ui/compare_dialog.h"
#include "main_frame_fixture.h"

namespace pl3 {
namespace {

class CompareTest : public test::MainFrameFixture {};

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
