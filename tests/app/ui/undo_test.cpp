// Edit ▸ Undo and Redo in the program: every kind of page edit is one step, the
// modified flag follows the saved state, and a new document starts a fresh history.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/commands.h"
#include "editors/ui/channel_page.h"
#include "editors/ui/functions_page.h"
#include "editors/ui/radio_page.h"
#include "grid/ui/grid_ctrl.h"
#include "main_frame_fixture.h"
#include "view/ui/ma_item_view.h"
#include "widget_lookup.h"

namespace pl3 {
namespace {

class UndoTest : public test::MainFrameFixture {
  protected:
    UndoTest() {
        frame->show();
        frame->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }

    void trigger(int command) { frame->action(command)->trigger(); }
};

TEST_F(UndoTest, EachKindOfEditIsOneStepBackAndForth) {
    std::vector<Image> states{doc->image()};
    EXPECT_FALSE(frame->action(command::kUndo)->isEnabled());

    // A frequency typed into the grid.
    auto* channels = qobject_cast<ChannelPage*>(frame->view()->page(0));
    test::clickCell(channels->grid(), 90, ChannelTable::kRxFreqColumn);
    QTest::keyClicks(channels->frequencyEditor(), "433.5");
    QTest::keyClick(channels->frequencyEditor(), Qt::Key_Return);
    states.push_back(doc->image());
    // An on/off cell.
    test::clickCell(channels->grid(), 90, ChannelTable::kBandwidthColumn + 1);
    states.push_back(doc->image());
    // A list on the functions page.
    frame->view()->tabBar()->setCurrentIndex(1);
    auto* functions = qobject_cast<FunctionsPage*>(frame->view()->page(1));
    QComboBox* voxDelay = functions->list(FunctionsPageRules::kVoxDelayList);
    voxDelay->setCurrentIndex(3);
    emit voxDelay->activated(3);
    states.push_back(doc->image());
    // A channel added to the scan list.
    frame->view()->tabBar()->setCurrentIndex(2);
    auto* radio = qobject_cast<RadioPage*>(frame->view()->page(2));
    radio->existingList()->item(0)->setSelected(true);
    radio->addButton()->setEnabled(true);
    radio->addButton()->click();
    states.push_back(doc->image());

    for (std::size_t i = 1; i < states.size(); ++i)
        ASSERT_NE(states[i], states[i - 1]) << "edit " << i << " changed nothing";
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(frame->action(command::kUndo)->isEnabled());
        trigger(command::kUndo);
        EXPECT_EQ(doc->image(), states[i - 1]) << "undo to " << i - 1;
    }
    EXPECT_FALSE(doc->isModified());  // back at the state of the new document
    EXPECT_FALSE(frame->action(command::kUndo)->isEnabled());
    // The pages show the undone image.
    EXPECT_EQ(channels->grid()->itemText(90, ChannelTable::kRxFreqColumn),
              QString::fromStdString(doc->fields().frequencyText(90, Side::Receive)));

    for (std::size_t i = 1; i < states.size(); ++i) {
        trigger(command::kRedo);
        EXPECT_EQ(doc->image(), states[i]) << "redo to " << i;
    }
    EXPECT_TRUE(doc->isModified());
    EXPECT_FALSE(frame->action(command::kRedo)->isEnabled());
}

TEST_F(UndoTest, UndoPastASaveMakesTheDocumentModifiedAgain) {
    auto* functions = qobject_cast<FunctionsPage*>(frame->view()->page(1));
    QComboBox* voxDelay = functions->list(FunctionsPageRules::kVoxDelayList);
    emit voxDelay->activated(4);
    ASSERT_TRUE(storeDocument(*doc, folder.file("saved.PL-3"), prompter));
    emit voxDelay->activated(5);
    trigger(command::kUndo);
    EXPECT_FALSE(doc->isModified());  // the image is the saved one
    trigger(command::kUndo);
    EXPECT_TRUE(doc->isModified());
    trigger(command::kRedo);
    EXPECT_FALSE(doc->isModified());
}

TEST_F(UndoTest, ANewDocumentStartsAFreshHistory) {
    auto* functions = qobject_cast<FunctionsPage*>(frame->view()->page(1));
    emit functions->list(FunctionsPageRules::kVoxDelayList)->activated(4);
    ASSERT_TRUE(frame->action(command::kUndo)->isEnabled());
    prompter.answer(PromptAnswer::No);  // do not save the changes
    prompter.answer(true);              // clear the codeplug
    frame->fileNew();
    EXPECT_FALSE(frame->action(command::kUndo)->isEnabled());
    EXPECT_FALSE(doc->canUndo());
}

// Service mode writes tuning values (and may replace the image) without edit steps of
// its own: when it closes, what changed is one step and the document is modified.
TEST_F(UndoTest, ServiceModeChangesBecomeOneStep) {
    const Image before = doc->image();
    QTimer::singleShot(0, [this] {
        doc->rawFields().setTuningValue(0, (doc->fields().tuningValue(0) + 1) % 256);
        doc->rawFields().setTuningValue(1, (doc->fields().tuningValue(1) + 1) % 256);
        if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
    });
    trigger(command::kTestMode);
    EXPECT_NE(doc->image(), before);
    EXPECT_TRUE(doc->isModified());
    trigger(command::kUndo);
    EXPECT_EQ(doc->image(), before);
}

}  // namespace
}  // namespace pl3
