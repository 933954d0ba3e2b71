// File ▸ Compare in the program: the open codeplug against a file, in the pages' words.

#include <gtest/gtest.h>

#include <QTableWidget>

#include "app/ui/compare_dialog.h"
#include "main_frame_fixture.h"

namespace pl3 {
namespace {

class CompareTest : public test::MainFrameFixture {};

TEST_F(CompareTest, ListsEachDifferenceInWordsUnderItsPage) {
    const std::string path = folder.file("other.PL-3");
    ASSERT_TRUE(storeDocument(*doc, path, prompter));
    doc->rawFields().setFrequencyText(80, Side::Receive, "433.075");
    doc->rawFields().setSetting(Setting::BackLamp, 2);
    doc->markEdited();

    std::unique_ptr<CompareDialog> dialog = frame->compareDialogFor(path);
    ASSERT_NE(dialog, nullptr);
    QTableWidget* table = dialog->table();
    auto row = [&](int r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << (table->item(r, c) ? table->item(r, c)->text() : QString());
        return cells;
    };
    // The open codeplug, then the file; a heading row spans the columns above its page.
    const QList<QStringList> expected = {
        {"Channels", "", ""},
        {"Channel 80 · RX Freq", "433.07500", "(empty)"},
        {"Optional Functions", "", ""},
        {"Backlight", "Always on", "Automatic"},
    };
    ASSERT_EQ(table->rowCount(), expected.size());
    for (int r = 0; r < table->rowCount(); ++r)
        EXPECT_EQ(row(r), expected[r]) << r;
    EXPECT_EQ(table->columnSpan(0, 0), 3);
    EXPECT_TRUE(table->horizontalHeaderItem(2)->text().endsWith("other.PL-3"));
}

TEST_F(CompareTest, AFileThatCannotBeLoadedIsReported) {
    EXPECT_EQ(frame->compareDialogFor(folder.file("missing.PL-3")), nullptr);
    ASSERT_FALSE(prompter.prompts().empty());
    EXPECT_EQ(prompter.prompts().back().textKey, text_key::kErrorOpenFile);
}

}  // namespace
}  // namespace pl3
