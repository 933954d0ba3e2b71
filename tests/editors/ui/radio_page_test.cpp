#include "editors/ui/radio_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "document_fixture.h"
#include "grid/ui/grid_ctrl.h"
#include "page_captions.h"

namespace pl3 {
namespace {

using Rules = RadioPageRules;

class RadioPageTest : public test::DocumentFixture {
  protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        doc.setModifiedFlag(false);
        page = std::make_unique<RadioPage>(doc, texts);
    }
    std::uint8_t at(std::size_t offset) const { return doc.image()[offset]; }
    void showPage() {
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    }

    std::unique_ptr<RadioPage> page;
};

// The printout lists each control under the caption the page shows, with the shown value.
TEST_F(RadioPageTest, PrintRowsUseTheShownCaptionsAndValues) {
    page_rules::PrintRows rows = page->printRows();
    ASSERT_EQ(rows.size(), 4U);
    EXPECT_EQ(rows[1][1], "Power-on message : " + page->messageBox()->text().toStdString());
    QCheckBox* enabled = page->box(Rules::kFmRadioEnableBox);
    EXPECT_EQ(rows[3][1],
              enabled->text().toStdString() + " : " + (enabled->isChecked() ? "Yes" : "No"));
    for (const auto& row : rows) {
        for (const std::string& entry : row)
            EXPECT_NE(entry.rfind(" : ", 0), 0U) << entry;
    }
}

// The printout takes its captions from the rules, which must say what the page shows: the
// language file's captions, or the built-in ones where it has none.
TEST_F(RadioPageTest, PrintedCaptionsAreTheShownOnes) {
    const TextLookup bare(folder.write("bare.lang", "[Resource]\n"));
    const RadioPage builtIn(doc, bare);
    for (const auto& [shown, texts] :
         {std::pair<const QWidget*, const TextLookup*>{page.get(), &texts}, {&builtIn, &bare}}) {
        const Rules rules(doc.editTarget(), *texts);
        EXPECT_EQ(rules.printRows(),
                  rules.printRows([&](int id) { return test::shownCaption(shown, id); }));
    }
}

TEST_F(RadioPageTest, PresetGridShape) {
    CGridCtrl* grid = page->presetGrid();
    EXPECT_EQ(grid->rowCount(), 26);
    EXPECT_EQ(grid->columnCount(), 2);
    EXPECT_EQ(grid->columnWidth(0), 60);
    EXPECT_EQ(grid->columnWidth(1), 124);
    EXPECT_EQ(grid->rowHeight(0), 28);
    EXPECT_EQ(grid->rowHeight(1), 21);
    EXPECT_EQ(grid->itemText(0, 0), "Preset");
    EXPECT_EQ(grid->itemText(25, 0), "25");
    EXPECT_FALSE(page->presetEditor()->isVisible());
}

TEST_F(RadioPageTest, PickingAPresetStoresIt) {
    doc.rawFields().image()[0x08A2] |= 0x10;  // FM radio enabled
    page->refresh();
    showPage();
    CGridCtrl* grid = page->presetGrid();
    QRect cell = grid->cellRect(3, 1);
    emit grid->beginEdit(3, 1, QRect(grid->mapToGlobal(cell.topLeft()), cell.size()),
                         grid->itemText(3, 1));
    QComboBox* editor = page->presetEditor();
    ASSERT_TRUE(editor->isVisible());
    ASSERT_EQ(editor->count(), 212);
    editor->setCurrentIndex(1);
    emit editor->activated(1);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(at(0x0883), 0x00);
    EXPECT_EQ(grid->itemText(3, 1), "87.0");
    EXPECT_TRUE(doc.isModified());
}

TEST_F(RadioPageTest, TickingFmEnabledUnlocksTheFmControls) {
    doc.rawFields().image()[0x08A2] &= static_cast<std::uint8_t>(~0x10);
    page->refresh();
    EXPECT_FALSE(page->list(Rules::kFmVfoList)->isEnabled());
    EXPECT_TRUE(page->presetGrid()->itemState(5, 1) & CGridCtrl::kStateReadOnly);
    page->box(Rules::kFmRadioEnableBox)->click();
    EXPECT_EQ(at(0x08A2) & 0x10, 0x10);
    EXPECT_TRUE(page->list(Rules::kFmVfoList)->isEnabled());
    EXPECT_TRUE(page->box(Rules::kFmMonitorBox)->isEnabled());
    EXPECT_FALSE(page->presetGrid()->itemState(5, 1) & CGridCtrl::kStateReadOnly);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(RadioPageTest, AddingAScanChannelSetsItsBit) {
    for (int c = 1; c <= kChannelCount; ++c) {
        doc.rawFields().setScanMember(c - 1, false);
    }
    page->rebuildScanLists();
    QListWidget* existing = page->existingList();
    ASSERT_GE(existing->count(), 7);
    EXPECT_FALSE(page->addButton()->isEnabled());
    showPage();
    QRect item = existing->visualItemRect(existing->item(2));
    QTest::mouseClick(existing->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_TRUE(page->addButton()->isEnabled());
    EXPECT_FALSE(page->deleteButton()->isEnabled());
    ASSERT_EQ(existing->selectedItems().size(), 1);
    EXPECT_EQ(existing->selectedItems()[0]->text(), "Ch 3");
    page->addButton()->click();
    EXPECT_EQ(at(0x0850), 0x04);
    ASSERT_EQ(page->scanList()->count(), 1);
    EXPECT_EQ(page->scanList()->item(0)->text(), "Ch 3");
}

TEST_F(RadioPageTest, LeavingTheMessageBoxStoresAndShowsIt) {
    showPage();
    QLineEdit* message = page->messageBox();
    message->setFocus();
    message->clear();
    QTest::keyClicks(message, "ab#c");  // # can only be pasted
    QTest::keyClick(message, Qt::Key_Return);
    EXPECT_FALSE(message->hasFocus());
    EXPECT_EQ(message->text(), "ABC");
    EXPECT_EQ(at(0x0A00), 12);
    EXPECT_EQ(at(0x0A02), 14);
    EXPECT_EQ(at(0x0A03), 0xFF);
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(page->isVisible());
}

}  // namespace
}  // namespace pl3
