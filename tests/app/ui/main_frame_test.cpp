#include "app/ui/main_frame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <optional>

#include "app/commands.h"
#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "editors/ui/channel_page.h"
#include "grid/ui/grid_ctrl.h"
#include "main_frame_fixture.h"
#include "sim/radio_simulator.h"
#include "view/ui/ma_item_view.h"

namespace pl3 {
namespace {

class MainFrameTest : public test::MainFrameFixture {
  protected:
    QString text(std::string_view key) const {
        return QString::fromStdString(context->texts.text(key));
    }
};

TEST_F(MainFrameTest, TitleMenusAndStatusBarComeFromTheLanguageFile) {
    EXPECT_EQ(frame->windowTitle(), text(text_key::kWindowName));
    QList<QAction*> menus = frame->menuBar()->actions();
    ASSERT_EQ(menus.size(), 5);
    EXPECT_EQ(menus[0]->text(), text(text_key::kMenuFile));
    EXPECT_EQ(menus[1]->text(), text(text_key::kMenuEdit));
    EXPECT_EQ(menus[4]->text(), text(text_key::kMenuHelp));
    EXPECT_EQ(frame->action(command::kReadRadio)->text(), text(text_key::kMenuProgramReadData));
    EXPECT_EQ(frame->action(command::kReadRadio)->toolTip(), text("IDS_TIP_32771"));
    EXPECT_EQ(frame->statusPaneText(0), "COM1  (/dev/ttyUSB0) : " + text(text_key::kOff));
    EXPECT_EQ(frame->statusPaneText(1), text(text_key::kCompanyName));
    EXPECT_EQ(frame->statusPaneText(3), "400MHz - 470MHz");
    EXPECT_EQ(frame->statusPaneText(4), text(text_key::kFileVersion) + " ");
    EXPECT_FALSE(frame->action(command::kUnhandled)->isEnabled());
}

// The port pane names the device beside the number, also for each number a port search
// tries; a long stable name keeps both ends.
TEST_F(MainFrameTest, PortPaneShowsTheDeviceOfTheNumber) {
    const std::string stable =
        "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0-with-a-long-serial";
    platform::writeString(folder.file("setting.ini"), "ports", "71", stable);
    const QString off = text(text_key::kOff);
    struct Case {
        int port;
        QString shown;
    } cases[] = {
        {2, "COM2  (/dev/ttyUSB1) : " + off},
        {33, "COM33  (/dev/ttyS0) : " + off},
        {70, "COM70  (\u2014) : " + off},
    };
    for (const Case& c : cases) {
        frame->refreshPortPane(c.port);
        EXPECT_EQ(frame->statusPaneText(0), c.shown) << c.port;
    }
    frame->refreshPortPane(71);
    const QString shown = frame->statusPaneText(0);
    EXPECT_TRUE(shown.startsWith("COM71  (/dev/")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("serial) : " + off)) << shown.toStdString();
    EXPECT_LT(shown.size(), static_cast<qsizetype>(stable.size()));
}

TEST_F(MainFrameTest, ShortcutsOfTheAcceleratorTable) {
    struct Case {
        int command;
        const char* keys;
    } cases[] = {{command::kNew, "Ctrl+N"},
                 {command::kOpen, "Ctrl+O"},
                 {command::kSave, "Ctrl+S"},
                 {command::kReadRadio, "Ctrl+R"},
                 {command::kWriteRadio, "Ctrl+W"},
                 {command::kCommPort, "Ctrl+C"},
                 {command::kLanguage, "Ctrl+L"},
                 {command::kTestMode, "Ctrl+T"},
                 {command::kUndo, "Ctrl+Z"},
                 {command::kRedo, "Ctrl+Y"},
                 {command::kHelp, "F1"}};
    for (const Case& c : cases) {
        EXPECT_EQ(frame->action(c.command)->shortcut(), QKeySequence(QString::fromLatin1(c.keys)))
            << c.keys;
    }
}

// A shortcut reaches its command even while an edit box has the focus, which would
// otherwise keep keys such as Ctrl+N or Ctrl+C for itself.
TEST_F(MainFrameTest, ShortcutsWinOverAnEditBox) {
    auto* edit = new QLineEdit(frame->view()->page(0));
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    edit->setFocus();
    prompter.answer(false);  // decline the new-document question
    QTest::keyClick(edit, Qt::Key_N, Qt::ControlModifier);
    ASSERT_FALSE(prompter.prompts().empty());
    EXPECT_EQ(prompter.prompts().back().textKey, text_key::kWarnClear);
    EXPECT_TRUE(edit->text().isEmpty());
}

// Ctrl+Tab and Ctrl+PgDn turn to the next page, Ctrl+Shift+Tab and Ctrl+PgUp to the one
// before, round the ends, wherever the focus is; the keys follow into the page, or stay on
// the tab bar.
TEST_F(MainFrameTest, CtrlTabAndCtrlPageKeysTurnThePages) {
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    CMaItemView* view = frame->view();
    QWidget* grid = view->page(0)->findChild<CGridCtrl*>();
    QWidget* list = view->page(1)->findChild<QComboBox*>();
    QWidget* edit = view->page(2)->findChild<QLineEdit*>();
    QWidget* tabs = view->tabBar();
    struct Case {
        int from;
        QWidget* focus;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int to;
    } cases[] = {
        {0, grid, Qt::Key_Tab, Qt::ControlModifier, 1},
        {0, grid, Qt::Key_PageDown, Qt::ControlModifier, 1},  // not a page of rows
        {1, list, Qt::Key_Tab, Qt::ControlModifier, 2},
        {2, edit, Qt::Key_Tab, Qt::ControlModifier, 0},
        {2, edit, Qt::Key_PageUp, Qt::ControlModifier, 1},
        {0, tabs, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 2},
        {1, list, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier, 0},
        {0, tabs, Qt::Key_PageUp, Qt::ControlModifier, 2},
    };
    for (const Case& c : cases) {
        view->tabBar()->setCurrentIndex(c.from);
        c.focus->setFocus();
        ASSERT_TRUE(c.focus->hasFocus()) << c.from << " " << c.key;
        QTest::keyClick(c.focus, c.key, c.modifiers);
        EXPECT_EQ(view->currentPage(), c.to) << c.from << " " << c.key;
        QWidget* keys = c.focus == tabs ? tabs : view->page(c.to);
        EXPECT_TRUE(keys->hasFocus() || keys->isAncestorOf(QApplication::focusWidget()))
            << c.from << " " << c.key;
    }
}

// Alt+Down moves the current channel and the focus follows it; held Alt moves it on, the
// keys staying on the grid, also after Undo and after turning round the pages. Away from
// the channel page the channel order commands are off.
TEST_F(MainFrameTest, AltArrowsMoveTheCurrentChannelOnTheChannelPageOnly) {
    auto* page = qobject_cast<ChannelPage*>(frame->view()->page(CMaItemView::kChannelPage));
    doc->rawFields().setFrequencyText(90, Side::Receive, "440");
    doc->updateAllViews();
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    page->grid()->setFocusCell(90, 1);
    page->grid()->setFocus();
    // Keys go where the focus is, as a user's do.
    auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        if (QWidget* focused = QApplication::focusWidget())
            QTest::keyClick(focused, key, modifiers);
    };
    press(Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(doc->fields().isEmpty(90));
    EXPECT_EQ(doc->fields().frequencyText(91, Side::Receive), "440.00000");
    EXPECT_EQ(page->grid()->focusRow(), 91);
    EXPECT_EQ(page->grid()->itemText(91, 1), "440.00000");
    press(Qt::Key_Up, Qt::AltModifier);
    press(Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(doc->fields().frequencyText(89, Side::Receive), "440.00000");
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc->fields().frequencyText(90, Side::Receive), "440.00000");
    EXPECT_TRUE(page->grid()->hasFocus());
    for (int turn = 0; turn < CMaItemView::kPageCount; ++turn)
        press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(page->grid()->hasFocus());
    EXPECT_EQ(page->grid()->focusRow(), 89);

    frame->view()->tabBar()->setCurrentIndex(CMaItemView::kFunctionsPage);
    for (int command : {command::kInsertChannel, command::kMoveChannelDown, command::kSortByName})
        EXPECT_FALSE(frame->action(command)->isEnabled()) << command;
}

// Without a manual for the language, Help says which files it looked for.
TEST_F(MainFrameTest, HelpWithoutAManualSaysSo) {
    frame->action(command::kHelp)->trigger();
    ASSERT_EQ(prompter.prompts().size(), 1u);
    EXPECT_EQ(prompter.prompts()[0].textKey, text_key::kNoHelp);
    EXPECT_EQ(prompter.prompts()[0].detail,
              "\n" + folder.file("english.chm") + "\n" + folder.file("english.html"));
}

// New and a read from the radio would replace unsaved edits: both ask first, and Cancel
// keeps the edit (and reads nothing).
TEST_F(MainFrameTest, NewAndReadAskToSaveAModifiedDocumentFirst) {
    doc->rawFields().setFrequencyText(80, Side::Receive, "440");
    doc->setModifiedFlag(true);
    for (int command : {command::kNew, command::kReadRadio}) {
        prompter = test::ScriptedPrompter();
        prompter.answer(PromptAnswer::Cancel);
        frame->action(command)->trigger();
        EXPECT_EQ(prompter.textKeys(),
                  std::vector<std::string>{std::string(text_key::kAskSaveChanges)})
            << command;
        EXPECT_FALSE(doc->fields().isEmpty(80)) << command;
        EXPECT_TRUE(doc->isModified()) << command;
    }
    EXPECT_FALSE(context->port.isOpen());

    prompter.answer(PromptAnswer::No);
    prompter.answer(true);
    frame->fileNew();
    EXPECT_EQ(prompter.prompts().back().textKey, text_key::kWarnClear);
    EXPECT_TRUE(doc->fields().isEmpty(80));
    EXPECT_FALSE(doc->isModified());
}

TEST_F(MainFrameTest, OpeningAFileKeepsTheTitleAndUpdatesThePages) {
    std::string path = folder.file("b.PL-3");
    CMaItemDoc other(context->settings);
    bool skip = true;
    newDocument(other, prompter, skip);
    other.selectRange(1);
    ASSERT_TRUE(storeDocument(other, path, prompter));
    EXPECT_TRUE(frame->openFile(QString::fromStdString(path)));
    EXPECT_EQ(frame->windowTitle(), text(text_key::kWindowName));  // never the file's name
    EXPECT_EQ(frame->statusPaneText(3), "430MHz - 440MHz");
    const std::string junk = folder.write("junk.PL-3", "junk");
    EXPECT_FALSE(frame->openFile(QString::fromStdString(junk)));
    EXPECT_EQ(prompter.prompts().back().textKey, text_key::kWarnLoad);
    EXPECT_NE(prompter.prompts().back().detail.find(junk), std::string::npos);
    EXPECT_EQ(doc->pathName(), path);
}

// A start with a file that is no data file names it and keeps the new codeplug.
TEST_F(MainFrameTest, ABadFileLeavesTheNewCodeplug) {
    const Image fresh = doc->image();
    const std::string junk = folder.write("notacodeplug.PL-3", "not a codeplug");
    EXPECT_FALSE(frame->openFile(QString::fromStdString(junk)));
    ASSERT_FALSE(prompter.prompts().empty());
    EXPECT_NE(prompter.prompts().back().detail.find(junk), std::string::npos);
    EXPECT_EQ(doc->image(), fresh);
    EXPECT_TRUE(doc->pathName().empty());
    EXPECT_FALSE(doc->isModified());
}

TEST_F(MainFrameTest, SettingMenuAndCheckedMenuItems) {
    QMenu* setting = frame->menuBar()->actions()[3]->menu();
    EXPECT_TRUE(setting->actions().contains(frame->action(command::kLanguage)));
    EXPECT_EQ(frame->action(command::kLanguage)->text(), text(text_key::kMenuSettingLanguage));

    // setting.ini has no "keeptuning": the radio's tuning is kept.
    EXPECT_TRUE(frame->action(command::kKeepRadioTuning)->isChecked());
    struct Case {
        int menu;
        int command;
        // What the program goes by; nullopt when its parts disagree.
        std::optional<bool> (*stored)(const AppContext&);
    };
    const Case cases[] = {
        {2, command::kVerifyAfterWrite,
         [](const AppContext& c) -> std::optional<bool> { return c.settings.verifyAfterWrite(); }},
        {2, command::kKeepRadioTuning,
         [](const AppContext& c) -> std::optional<bool> { return c.settings.keepRadioTuning(); }},
        // The port logs the next transfers exactly while the setting is on.
        {3, command::kLogCommunication,
         [](const AppContext& c) -> std::optional<bool> {
             const bool logging = c.port.logPlace().kind == link::LogPlace::Kind::Folder;
             if (logging != c.settings.logCommunication()) return std::nullopt;
             return logging;
         }},
    };
    for (const Case& c : cases) {
        QAction* item = frame->action(c.command);
        EXPECT_TRUE(frame->menuBar()->actions()[c.menu]->menu()->actions().contains(item))
            << c.command;
        EXPECT_TRUE(item->isCheckable());
        EXPECT_EQ(item->isChecked(), c.stored(*context));
        for (bool on : {!item->isChecked(), item->isChecked()}) {
            item->trigger();
            EXPECT_EQ(item->isChecked(), on);
            EXPECT_EQ(c.stored(*context), on) << c.command;
        }
    }
}

std::vector<QString> capturedWarnings;

TEST_F(MainFrameTest, PrintSetupWarnsNothing) {
    capturedWarnings.clear();
    QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type != QtDebugMsg && type != QtInfoMsg) capturedWarnings.push_back(message);
        });
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
    });
    frame->filePrintSetup();
    qInstallMessageHandler(previous);
    for (const QString& warning : capturedWarnings)
        EXPECT_FALSE(warning.contains(QLatin1String("printer"), Qt::CaseInsensitive))
            << warning.toStdString();
}

TEST_F(MainFrameTest, ALanguageChangeRelabelsMenusAndTabs) {
    context->texts.setLanguageFilePath(folder.file("chinese.lang"));
    doc->updateAllViews();
    EXPECT_EQ(frame->action(command::kOpen)->text(), text(text_key::kMenuFileOpen));
    EXPECT_EQ(frame->menuBar()->actions()[2]->text(), text(text_key::kMenuProgram));
    QTabBar* tabs = frame->view()->tabBar();
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(2), "     " + text(text_key::kFunction2) + "     ");
    EXPECT_EQ(frame->statusPaneText(1), text(text_key::kCompanyName));
}

// A read that ended well says so in one line over the panes, with the port and its device;
// a long line is cut to the bar, whole in its tooltip; the next edit or command clears it.
TEST_F(MainFrameTest, TheStatusLineSaysWhatWasDoneUntilTheNextCommand) {
    sim::RadioSimulator radio(sim::Options{});
    ASSERT_TRUE(radio.start());
    context->port.mapPortForThisRun(1, radio.devicePath());
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    QStatusBar* bar = frame->statusBar();
    frame->action(command::kReadRadio)->trigger();
    EXPECT_TRUE(bar->currentMessage().startsWith(
        "Read from the radio on COM1 (" + QString::fromStdString(radio.devicePath()) + ") at "))
        << bar->currentMessage().toStdString();
    doc->rawFields().setFrequencyText(90, Side::Receive, "440");
    doc->markEdited();
    EXPECT_TRUE(bar->currentMessage().isEmpty());
    const QString reason =
        QString("The serial port /dev/serial/by-id/usb-0123 is in use. ").repeated(6);
    frame->showStatusLine(reason.toStdString());
    EXPECT_TRUE(bar->currentMessage().endsWith(QChar(0x2026)))
        << bar->currentMessage().toStdString();
    EXPECT_EQ(bar->toolTip(), reason);
    frame->action(command::kCopy)->trigger();
    EXPECT_TRUE(bar->currentMessage().isEmpty());
}

TEST_F(MainFrameTest, WindowSizeRules) {
    EXPECT_EQ(frame->size(), QSize(CMainFrame::kWidth, CMainFrame::kHeight));
    EXPECT_EQ(frame->maximumSize(), QSize(CMainFrame::kWidth, CMainFrame::kHeight));
}

}  // namespace
}  // namespace pl3
