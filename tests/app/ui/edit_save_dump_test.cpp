// A codeplug edited in the program's pages and saved carries every edit, as the
// command-line tool shows it.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "app/commands.h"
#include "app/ui/main_frame.h"
#include "codeplug/document_commands.h"
#include "editors/functions_page_rules.h"
#include "editors/ui/channel_page.h"
#include "editors/ui/functions_page.h"
#include "editors/ui/radio_page.h"
#include "grid/ui/grid_ctrl.h"
#include "main_frame_fixture.h"
#include "run_program.h"
#include "view/ui/ma_item_view.h"
#include "widget_lookup.h"

namespace pl3 {
namespace {

using EditSaveDump = test::MainFrameFixture;

TEST_F(EditSaveDump, EditsInThePagesReachTheFile) {
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));

    auto* channels = qobject_cast<ChannelPage*>(frame->view()->page(0));
    ASSERT_NE(channels, nullptr);
    test::clickCell(channels->grid(), 90, ChannelTable::kRxFreqColumn);
    QTest::keyClicks(channels->frequencyEditor(), "433.0776");
    QTest::keyClick(channels->frequencyEditor(), Qt::Key_Return);
    test::clickCell(channels->grid(), 90, ChannelTable::kNameColumn);
    QTest::keyClicks(channels->nameEditor(), "ab-1");
    QTest::keyClick(channels->nameEditor(), Qt::Key_Return);
    test::clickCell(channels->grid(), 90,
                    ChannelTable::kBandwidthColumn + 1);  // power: high to low

    frame->view()->tabBar()->setCurrentIndex(1);
    auto* functions = qobject_cast<FunctionsPage*>(frame->view()->page(1));
    ASSERT_NE(functions, nullptr);
    QComboBox* voxDelay = functions->list(FunctionsPageRules::kVoxDelayList);
    voxDelay->setCurrentIndex(27);
    emit voxDelay->activated(27);
    EXPECT_TRUE(doc->isModified());

    std::string path = folder.file("edited.PL-3");
    ASSERT_TRUE(storeDocument(*doc, path, prompter));
    test::ProgramRun dump =
        test::runProgram("pl3ctl", {"--program-dir", folder.path(), "set", path, "RxFreq[90]",
                                    "TxFreq[90]", "ChannelName[90]", "TxPower[90]", "VoxDelay"});
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_EQ(dump.out, "433.08000\n433.08000\nAB-1\n0\n27\n");
}

// Save from the menu or its shortcut while the user is still typing: what was typed is saved.
TEST_F(EditSaveDump, SaveIncludesTheEditStillOpen) {
    const std::string path = folder.file("open-edit.PL-3");
    ASSERT_TRUE(storeDocument(*doc, path, prompter));
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));

    frame->view()->tabBar()->setCurrentIndex(2);
    auto* radio = qobject_cast<RadioPage*>(frame->view()->page(2));
    ASSERT_NE(radio, nullptr);
    radio->messageBox()->setFocus();
    radio->messageBox()->selectAll();
    QTest::keyClicks(radio->messageBox(), "HELLO");
    prompter.answer(true);  // overwrite the file
    frame->action(command::kSave)->trigger();
    test::ProgramRun shown =
        test::runProgram("pl3ctl", {"--program-dir", folder.path(), "set", path, "PowerOnMessage"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(shown.out, "HELLO\n");

    frame->view()->tabBar()->setCurrentIndex(0);
    auto* channels = qobject_cast<ChannelPage*>(frame->view()->page(0));
    test::clickCell(channels->grid(), 5, ChannelTable::kNameColumn);
    QTest::keyClicks(channels->nameEditor(), "ZZ");
    prompter.answer(true);  // overwrite the file
    frame->action(command::kSave)->trigger();
    shown =
        test::runProgram("pl3ctl", {"--program-dir", folder.path(), "set", path, "ChannelName[5]"});
    EXPECT_EQ(shown.out, "ZZ\n");
    EXPECT_FALSE(doc->isModified());
}

}  // namespace
}  // namespace pl3
