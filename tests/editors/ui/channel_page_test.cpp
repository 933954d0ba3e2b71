#include "editors/ui/channel_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "document_fixture.h"
#include "editors/ui/tone_picker_dialog.h"
#include "grid/ui/grid_ctrl.h"
#include "widget_lookup.h"

namespace pl3 {
namespace {

constexpr int kChannel = 80;

class ChannelPageTest : public test::DocumentFixture {
  protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        doc.rawFields().setFrequencyText(kChannel, Side::Receive, "440");
        doc.rawFields().setFrequencyText(kChannel, Side::Transmit, "440");
        doc.setModifiedFlag(false);
        page = std::make_unique<ChannelPage>(doc, texts, prompter);
        page->resize(900, 600);
        page->show();
        page->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    }

    QString cellText(int row, int column) const { return page->grid()->itemText(row, column); }

    std::unique_ptr<ChannelPage> page;
};

TEST_F(ChannelPageTest, ShowsTheTableAndTheRanges) {
    EXPECT_EQ(page->grid()->rowCount(), ChannelTable::kRowCount);
    EXPECT_EQ(page->grid()->columnCount(), ChannelTable::kColumnCount);
    EXPECT_EQ(cellText(kChannel, 1), "440.00000");
    EXPECT_EQ(page->rangeList()->count(), 3);
    EXPECT_EQ(page->grid()->itemState(1, 1) & CGridCtrl::kStateReadOnly,
              CGridCtrl::kStateReadOnly);  // a fixed channel's receive frequency
    EXPECT_EQ(page->grid()->itemState(kChannel, 1) & CGridCtrl::kStateReadOnly, 0U);
}

TEST_F(ChannelPageTest, EditAFrequencyAndANameInTheGrid) {
    const int empty = 90;
    test::clickCell(page->grid(), empty, ChannelTable::kRxFreqColumn);
    QLineEdit* frequency = page->frequencyEditor();
    ASSERT_TRUE(frequency->isVisible());
    EXPECT_EQ(frequency->maxLength(), 9);
    QTest::keyClicks(frequency, "446.1x2");  // the letter is refused
    QTest::keyClick(frequency, Qt::Key_Return);
    EXPECT_FALSE(frequency->isVisible());
    EXPECT_EQ(doc.fields().frequencyText(empty, Side::Receive), "446.12000");
    EXPECT_EQ(doc.fields().frequencyText(empty, Side::Transmit), "446.12000");
    EXPECT_EQ(cellText(empty, ChannelTable::kRxFreqColumn), "446.12000");
    EXPECT_TRUE(doc.isModified());

    test::clickCell(page->grid(), empty, ChannelTable::kNameColumn);
    QLineEdit* name = page->nameEditor();
    ASSERT_TRUE(name->isVisible());
    QTest::keyClicks(name, "ab-12*");
    QTest::keyClick(name, Qt::Key_Enter);
    EXPECT_FALSE(name->isVisible());
    EXPECT_EQ(cellText(empty, ChannelTable::kNameColumn), "AB-12*");
}

TEST_F(ChannelPageTest, EscapeKeepsTheOpeningText) {
    test::clickCell(page->grid(), kChannel, ChannelTable::kRxFreqColumn);
    QTest::keyClicks(page->frequencyEditor(), "450");
    QTest::keyClick(page->frequencyEditor(), Qt::Key_Escape);
    EXPECT_FALSE(page->frequencyEditor()->isVisible());
    EXPECT_EQ(doc.fields().frequencyText(kChannel, Side::Receive), "440.00000");
    EXPECT_FALSE(doc.isModified());
}

// The keyboard alone: a typed digit opens the editor with it, Enter stores the frequency
// and hands the keys back to the grid on the same cell; F2 opens the text as it stands and
// Escape leaves it so. Keys go where the focus is, as a user's do.
TEST_F(ChannelPageTest, TypingOnACellEditsItAndTheGridKeepsTheKeys) {
    const int empty = 90;
    const auto type = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
    CGridCtrl* grid = page->grid();
    QLineEdit* frequency = page->frequencyEditor();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    grid->setFocusCell(empty, ChannelTable::kRxFreqColumn);  // scrolled out of view
    grid->setFocus();

    type(Qt::Key_4);
    ASSERT_TRUE(frequency->hasFocus());
    EXPECT_EQ(frequency->text(), "4");
    EXPECT_EQ(frequency->cursorPosition(), 1);
    QTest::keyClicks(QApplication::focusWidget(), "46.5");
    type(Qt::Key_Return);
    EXPECT_EQ(doc.fields().frequencyText(empty, Side::Receive), "446.50000");
    EXPECT_EQ(cellText(empty, ChannelTable::kRxFreqColumn), "446.50000");
    EXPECT_TRUE(grid->hasFocus());
    EXPECT_EQ(grid->focusRow(), empty);
    EXPECT_EQ(grid->focusColumn(), ChannelTable::kRxFreqColumn);

    type(Qt::Key_F2);
    ASSERT_TRUE(frequency->hasFocus());
    EXPECT_EQ(frequency->text(), "446.50000");
    EXPECT_FALSE(frequency->hasSelectedText());
    EXPECT_EQ(frequency->cursorPosition(), frequency->text().size());
    type(Qt::Key_Backspace);
    type(Qt::Key_Escape);
    EXPECT_EQ(doc.fields().frequencyText(empty, Side::Receive), "446.50000");
    EXPECT_TRUE(grid->hasFocus());
    EXPECT_EQ(grid->focusRow(), empty);
    EXPECT_EQ(grid->focusColumn(), ChannelTable::kRxFreqColumn);
}

TEST_F(ChannelPageTest, AClickTogglesAnOnOffCell) {
    const bool before = doc.fields().channelFlag(kChannel, ChannelFlag::EndTone);
    const QString shown = cellText(kChannel, 7);
    test::clickCell(page->grid(), kChannel, 7);
    EXPECT_EQ(doc.fields().channelFlag(kChannel, ChannelFlag::EndTone), !before);
    EXPECT_NE(cellText(kChannel, 7), shown);
}

TEST_F(ChannelPageTest, PickAToneInThePicker) {
    test::clickCell(page->grid(), kChannel, ChannelTable::kRxToneColumn);
    auto* picker = page->findChild<TonePickerDialog*>();
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(picker));
    EXPECT_TRUE(picker->offButton()->isChecked());
    QTest::mouseClick(picker->ctcssButton(), Qt::LeftButton);
    ASSERT_TRUE(picker->grid()->isVisible());
    test::clickCell(picker->grid(), 3, 5);  // the pair numbered 23
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(doc.fields().toneIndexByte(kChannel, Side::Receive), 22);
    EXPECT_EQ(doc.fields().toneField(kChannel, Side::Receive).kind, tone::kKindCtcss);
    EXPECT_EQ(cellText(kChannel, ChannelTable::kRxToneColumn),
              QString::fromStdString(std::string(tone::ctcssTable()[22])));
    EXPECT_TRUE(doc.isModified());
}

}  // namespace
}  // namespace pl3
