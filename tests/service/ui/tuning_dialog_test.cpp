// The tuning dialog wired to its widgets, offscreen, against the simulated radio: the
// boxes step and clamp into the document, the access level decides whether they can be
// edited, and each menu command sends its frames and shows its result.

#include "service/ui/tuning_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTest>

#include "codeplug/text_keys.h"
#include "radio_document_fixture.h"
#include "scripted_prompter.h"
#include "service/ui/value_box.h"
#include "simulated_radio.h"
#include "widget_lookup.h"

namespace pl3 {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kSquelch0 = 0;
constexpr int kHighPower0 = 3;
constexpr int kBattery = 13;

// Frames the radio received after the handshake, by their first byte.
std::vector<Bytes> framesStartingWith(sim::RadioSimulator& radio, std::uint8_t command) {
    std::vector<Bytes> found;
    for (const sim::Frame& frame : radio.frames()) {
        if (frame.kind == sim::FrameKind::Command && frame.bytes.front() == command)
            found.push_back(frame.bytes);
    }
    return found;
}

class TuningDialogTest : public test::RadioDocumentFixture {
  protected:
    void prepare(const sim::Faults& faults = {}, const std::string& code = "kq2018") {
        dialog.reset();  // it talks through the context's port
        prepareRadioAndDocument(test::optionsWith(faults));
        doc->setAccessCode(code);
        dialog = std::make_unique<TuningDialog>(
            context->radio(), *doc, prompter,
            ServiceHooks{[this] {
                             ++opens;
                             if (onOpen) onOpen();
                         },
                         [this] { ++saves; }, [this] { ++transfers; }});
    }

    // Runs a menu command to its end.
    void run(int command) {
        QAction* action = dialog->command(command);
        ASSERT_NE(action, nullptr) << command;
        action->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->transferRunning(); }, 60000));
    }

    QString text(std::string_view key) const {
        return QString::fromStdString(context->texts.text(key));
    }
    std::uint8_t tuningByte(int index) const {
        return doc->image()[layout::kTestData + static_cast<std::size_t>(index)];
    }
    std::vector<std::string> messageKeys() const { return prompter.textKeys(); }

    test::ScriptedPrompter prompter;
    std::unique_ptr<TuningDialog> dialog;
    std::function<void()> onOpen;  // what the chosen file brings
    int opens = 0;
    int saves = 0;
    int transfers = 0;
};

TEST_F(TuningDialogTest, CaptionsAndMenuBarComeFromTheLanguageFile) {
    prepare();
    EXPECT_EQ(dialog->windowTitle(), "Tuning");
    EXPECT_EQ(test::control<QLabel>(dialog.get(), 1408)->text(), "Low power, band low");
    EXPECT_EQ(test::control<QLabel>(dialog.get(), 1413)->text(), "Battery detection");
    QMenuBar* bar = dialog->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    QList<QAction*> top = bar->actions();
    ASSERT_EQ(top.size(), 5);
    EXPECT_EQ(top[0]->text(), text(text_key::kMenuFile));
    ASSERT_NE(top[0]->menu(), nullptr);
    QList<QAction*> file = top[0]->menu()->actions();
    ASSERT_EQ(file.size(), 2);
    // The menu shows the shortcut after the tab, and the shortcut works.
    EXPECT_EQ(file[0]->text(), text(text_key::kMenuFileOpen));
    EXPECT_EQ(file[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(file[1]->text(), text(text_key::kMenuFileSave));
    std::pair<int, std::string_view> commands[] = {
        {TuningDialog::kReadTestData, text_key::kMenuProgramReadTestData},
        {TuningDialog::kWriteTestData, text_key::kMenuProgramWriteTestData},
        {TuningDialog::kReadAll, text_key::kMenuProgramRead},
        {TuningDialog::kWriteAll, text_key::kMenuProgramCopy}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(top[i + 1], dialog->command(commands[i].first)) << i;
        EXPECT_EQ(top[i + 1]->text(), text(commands[i].second)) << i;
    }
    EXPECT_TRUE(dialog->statusText().isEmpty());
    EXPECT_FALSE(dialog->progressShown());
}

TEST_F(TuningDialogTest, OnlyFullAccessMakesTheValuesEditable) {
    struct Case {
        const char* code;
        bool editable;
    } cases[] = {{"kq2018", true}, {"kq18", false}, {"", false}, {"kq2018 ", false}};
    for (const Case& c : cases) {
        prepare({}, c.code);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(dialog->valueBox(i)->isEnabled(), c.editable) << c.code << " " << i;
        // Keys on a disabled box change nothing.
        doc->rawFields().image()[layout::kTestData + 4] = 9;
        dialog->redisplay();
        dialog->valueBox(4)->stepBy(1);
        EXPECT_EQ(tuningByte(4), c.editable ? 10 : 9) << c.code;
    }
}

TEST_F(TuningDialogTest, ArrowsWrapAroundAndStoreAtOnce) {
    prepare();
    struct Case {
        const char* what;
        int box;
        int shown;
        Qt::Key key;
        int expected;
    } cases[] = {
        {"up at 255 gives 0", kHighPower0, 255, Qt::Key_Up, 0},
        {"battery down at 1 gives 255", kBattery, 1, Qt::Key_Down, 255},
        {"squelch down at 0 gives 127", kSquelch0, 0, Qt::Key_Down, 127},
        {"up inside", 9, 100, Qt::Key_Up, 101},
    };
    for (const Case& c : cases) {
        doc->rawFields().image()[layout::kTestData + static_cast<std::size_t>(c.box)] =
            static_cast<std::uint8_t>(c.shown);
        dialog->redisplay();
        QTest::keyClick(dialog->valueBox(c.box), c.key);
        EXPECT_EQ(dialog->valueBox(c.box)->text(), QString::number(c.expected)) << c.what;
        EXPECT_EQ(tuningByte(c.box), c.expected) << c.what;
    }
    EXPECT_FALSE(doc->isModified());
}

TEST_F(TuningDialogTest, TypedValuesTakeDigitsOnlyAndClampWhenCommitted) {
    prepare();
    struct Case {
        const char* what;
        int box;
        const char* typed;
        QString shownBefore;
        int stored;
    } cases[] = {
        {"300 becomes 255", kHighPower0, "300", "300", 255},
        {"battery 0 becomes 1", kBattery, "0", "0", 1},
        {"letters are refused", 10, "1x2-", "12", 12},
        {"squelch 150 becomes 127", kSquelch0, "150", "150", 127},
    };
    for (const Case& c : cases) {
        ValueBox* box = dialog->valueBox(c.box);
        box->findChild<QLineEdit*>()->clear();
        QTest::keyClicks(box, c.typed);
        EXPECT_EQ(box->text(), c.shownBefore) << c.what;
        dialog->setResult(0);
        QTest::keyClick(box, Qt::Key_Return);  // commits, then closes the dialog with OK
        EXPECT_EQ(box->text(), QString::number(c.stored)) << c.what;
        EXPECT_EQ(tuningByte(c.box), c.stored) << c.what;
        EXPECT_EQ(dialog->result(), QDialog::Accepted) << c.what;
    }
    EXPECT_FALSE(doc->isModified());
}

// A box shows a squelch byte of 200 as 127 and a battery byte of 0 as 1. Leaving the box,
// or a transfer taking the focus from it, stores that only when the user typed in it;
// otherwise the image and the radio get the document's bytes as they are.
TEST_F(TuningDialogTest, OnlyABoxTypedInIsCommitted) {
    constexpr int kMoveFocus = 0;  // no command: the focus goes on to another box
    constexpr int kTestWrite = TuningDialog::kWriteTestData;
    constexpr int kTestRead = TuningDialog::kReadTestData;
    constexpr int kImageWrite = TuningDialog::kWriteAll;
    const sim::Faults noRadio = test::faultsWhere([](sim::Faults& f) { f.neverWake = true; });
    struct Case {
        const char* what;
        int command;
        sim::Faults faults;
        bool squelchAt200;  // else the factory default
        int typedBox;       // -1: nothing typed, the squelch box has the focus
        const char* typed;
        int squelch;  // bytes expected afterwards
        int battery;
    } cases[] = {
        {"factory defaults, test-data write", kTestWrite, {}, false, -1, "", 23, 0},
        {"whole-image write", kImageWrite, {}, true, -1, "", 200, 0},
        {"failed test-data read", kTestRead, noRadio, true, -1, "", 200, 0},
        {"leaving the box", kMoveFocus, {}, true, -1, "", 200, 0},
        {"battery typed, test-data write", kTestWrite, {}, true, kBattery, "0", 200, 1},
        {"battery typed, whole-image write", kImageWrite, {}, true, kBattery, "77", 200, 77},
        {"squelch typed, leaving the box", kMoveFocus, {}, false, kSquelch0, "200", 127, 0},
    };
    for (const Case& c : cases) {
        prompter = test::ScriptedPrompter();
        prepare(c.faults);
        if (c.squelchAt200) doc->rawFields().image()[layout::kTestData + kSquelch0] = 200;
        ASSERT_EQ(tuningByte(kBattery), 0) << "the factory default";
        dialog->redisplay();
        Image expected = doc->image();
        expected[layout::kTestData + kSquelch0] = static_cast<std::uint8_t>(c.squelch);
        expected[layout::kTestData + kBattery] = static_cast<std::uint8_t>(c.battery);
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        ValueBox* focused = dialog->valueBox(c.typedBox < 0 ? kSquelch0 : c.typedBox);
        focused->setFocus();
        if (c.typedBox >= 0) {
            focused->findChild<QLineEdit*>()->selectAll();
            QTest::keyClicks(focused, c.typed);
        }
        if (c.command == kMoveFocus) {
            dialog->valueBox(kHighPower0)->setFocus();
        } else {
            run(c.command);
        }
        EXPECT_EQ(doc->image(), expected) << c.what;
        Bytes block(expected.begin() + layout::kTestData,
                    expected.begin() + layout::kTestData + 16);
        Bytes sent = {'t', 0x08, 0xE0, 0x10};
        sent.insert(sent.end(), block.begin(), block.end());
        bool writes = c.command == kTestWrite || c.command == kImageWrite;
        EXPECT_EQ(framesStartingWith(radio->radio(), 't'),
                  writes ? std::vector<Bytes>{sent} : std::vector<Bytes>{})
            << c.what;
        if (c.command == kImageWrite) {
            EXPECT_EQ(radio->radio().memory(), expected) << c.what;
        }
    }
}

TEST_F(TuningDialogTest, ReadTestDataShowsTheRadiosValues) {
    for (const char* code : {"kq2018", "kq18"}) {
        prepare({}, code);
        Image memory = radio->radio().memory();
        for (std::size_t i = 0; i < 16; ++i)
            memory[layout::kTestData + i] = static_cast<std::uint8_t>(i + 40);
        radio->radio().setMemory(memory);
        Image before = doc->image();
        run(TuningDialog::kReadTestData);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(dialog->valueBox(i)->text(), QString::number(i + 40)) << code << i;
        }
        Image expected = before;
        std::copy_n(memory.begin() + layout::kTestData, 16, expected.begin() + layout::kTestData);
        EXPECT_EQ(doc->image(), expected) << code;
        EXPECT_EQ(dialog->statusText(), text(text_key::kPromptReadTestSucc)) << code;
        EXPECT_EQ(framesStartingWith(radio->radio(), 'R'),
                  (std::vector<Bytes>{{'R', 0x08, 0xE0, 0x10}}));
        EXPECT_FALSE(context->port.isOpen());
        EXPECT_TRUE(messageKeys().empty());
        EXPECT_FALSE(doc->isModified());
    }
}

TEST_F(TuningDialogTest, WriteTestDataSendsTheBlockAndReportsTheOutcome) {
    struct Case {
        const char* what;
        sim::Faults faults;
        QString status;  // filled below: the texts need the context
        std::vector<std::string> messages;
    } cases[] = {
        {"acknowledged", {}, {}, {}},
        {"not acknowledged",
         test::faultsWhere([](sim::Faults& f) { f.noTestDataAck = true; }),
         {},
         {std::string(text_key::kPromptWriteFail)}},
    };
    for (Case& c : cases) {
        prompter = test::ScriptedPrompter();
        prepare(c.faults, "kq18");
        doc->rawFields().image()[layout::kTestData + 13] = 77;
        run(TuningDialog::kWriteTestData);
        Bytes expected = {'t', 0x08, 0xE0, 0x10};
        expected.insert(expected.end(), doc->image().begin() + layout::kTestData,
                        doc->image().begin() + layout::kTestData + 16);
        EXPECT_EQ(framesStartingWith(radio->radio(), 't'), (std::vector<Bytes>{expected}))
            << c.what;
        EXPECT_EQ(messageKeys(), c.messages) << c.what;
        EXPECT_EQ(dialog->statusText(),
                  c.messages.empty() ? text(text_key::kPromptWriteTestSucc) : QString())
            << c.what;
        EXPECT_FALSE(context->port.isOpen()) << c.what;
    }
}

TEST_F(TuningDialogTest, ReadAllCountsToNinetyNineAndReplacesTheImage) {
    prepare();
    Image memory = radio->radio().memory();
    memory[layout::kTestData + 3] = 123;
    memory[layout::record(90)] = 0x25;
    radio->radio().setMemory(memory);
    int viewUpdates = 0;
    doc->addViewListener([&] { ++viewUpdates; });
    std::vector<int> positions;
    QProgressBar* bar = test::control<QProgressBar>(dialog.get(), TuningDialog::kProgressBar);
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) { positions.push_back(v); });
    run(TuningDialog::kReadAll);
    EXPECT_EQ(doc->image(), memory);
    EXPECT_EQ(viewUpdates, 1);
    EXPECT_EQ(dialog->valueBox(3)->text(), "123");
    EXPECT_EQ(dialog->statusText(), text(text_key::kPromptReadSucc));
    EXPECT_FALSE(dialog->progressShown());
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.back(), 99);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(framesStartingWith(radio->radio(), 'R').size(), 256u);
    EXPECT_FALSE(doc->isModified());
    EXPECT_GE(transfers, 1);
}

TEST_F(TuningDialogTest, AFailedReadAllLeavesTheDocumentAsItWas) {
    prepare(test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 100; }));
    Image before = doc->image();
    Image memory = radio->radio().memory();
    memory[0x10] = 0x5A;  // a block that arrives before the failure
    radio->radio().setMemory(memory);
    run(TuningDialog::kReadAll);
    EXPECT_EQ(doc->image(), before);
    EXPECT_EQ(messageKeys(), std::vector<std::string>{std::string(text_key::kPromptReadFail)});
    EXPECT_EQ(prompter.prompts().front().captionKey, text_key::kError);
    EXPECT_EQ(prompter.prompts().front().icon, PromptIcon::Stop);
    EXPECT_TRUE(dialog->statusText().isEmpty());
    EXPECT_FALSE(dialog->progressShown());
    EXPECT_FALSE(context->port.isOpen());
}

TEST_F(TuningDialogTest, WriteAllSendsEveryFrameButReportsAMissingAcknowledgement) {
    prepare(test::faultsWhere([](sim::Faults& f) { f.noAckAtBlock = 5; }));
    run(TuningDialog::kWriteAll);
    std::vector<Bytes> writes = framesStartingWith(radio->radio(), 'w');
    ASSERT_EQ(writes.size(), 256u);
    for (std::size_t k = 0; k < writes.size(); ++k) {
        Bytes expected = {'w', static_cast<std::uint8_t>(k >> 4),
                          static_cast<std::uint8_t>((k * 16) & 0xFF), 0x10};
        expected.insert(expected.end(), doc->image().begin() + static_cast<std::ptrdiff_t>(k * 16),
                        doc->image().begin() + static_cast<std::ptrdiff_t>(k * 16 + 16));
        ASSERT_EQ(writes[k], expected) << k;
    }
    EXPECT_EQ(framesStartingWith(radio->radio(), 't').size(), 1u);
    EXPECT_EQ(messageKeys(), std::vector<std::string>{std::string(text_key::kPromptWriteFail)});
    EXPECT_NE(dialog->statusText(), text(text_key::kPromptWriteSucc));
}

TEST_F(TuningDialogTest, WriteAllEndsWithTheSuccessText) {
    prepare();
    doc->rawFields().image()[layout::record(100)] = 0x33;
    run(TuningDialog::kWriteAll);
    EXPECT_EQ(radio->radio().memory(), doc->image());
    EXPECT_EQ(dialog->statusText(), text(text_key::kPromptWriteSucc));
    EXPECT_TRUE(messageKeys().empty());
}

TEST_F(TuningDialogTest, ConnectionFailuresAreReportedAndChangeNothing) {
    struct Case {
        const char* what;
        sim::Faults faults;
        std::string_view message;
    } cases[] = {
        {"no radio", test::faultsWhere([](sim::Faults& f) { f.neverWake = true; }),
         text_key::kErrorPortConn},
        {"wrong radio", test::faultsWhere([](sim::Faults& f) { f.wrongIdentificationByte = 1; }),
         text_key::kErrorType},
        {"short reply", test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 0x8E; }),
         text_key::kPromptReadFail},
    };
    for (const Case& c : cases) {
        prompter = test::ScriptedPrompter();
        prepare(c.faults);
        doc->rawFields().image()[layout::kTestData + 6] = 66;
        dialog->redisplay();
        Image before = doc->image();
        run(TuningDialog::kReadTestData);
        EXPECT_EQ(messageKeys(), std::vector<std::string>{std::string(c.message)}) << c.what;
        EXPECT_EQ(doc->image(), before) << c.what;
        EXPECT_EQ(dialog->valueBox(6)->text(), "66") << c.what;
        EXPECT_FALSE(context->port.isOpen()) << c.what;
    }
}

TEST_F(TuningDialogTest, EscapeCancelsARunningTransferAndKeepsTheDialog) {
    prepare(test::faultsWhere([](sim::Faults& f) { f.extraDelayMs = 20; }));
    Image before = doc->image();
    dialog->command(TuningDialog::kReadAll)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->progressPosition() > 0; }, 60000));
    for (QAction* action : dialog->findChildren<QAction*>()) {
        if (action->data().toInt() == TuningDialog::kWriteAll) {
            EXPECT_FALSE(action->isEnabled());
        }
    }
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->transferRunning(); }, 5000));
    EXPECT_EQ(dialog->result(), 0);
    EXPECT_EQ(dialog->statusText(), text(text_key::kPromptCancelled));
    EXPECT_FALSE(dialog->progressShown());
    EXPECT_EQ(doc->image(), before);
    EXPECT_FALSE(context->port.isOpen());
    EXPECT_TRUE(messageKeys().empty());
    EXPECT_TRUE(dialog->command(TuningDialog::kWriteAll)->isEnabled());
}

TEST_F(TuningDialogTest, AStoppedWholeImageWriteSaysHowFarItGot) {
    prepare(test::faultsWhere([](sim::Faults& f) { f.extraDelayMs = 20; }));
    dialog->command(TuningDialog::kWriteAll)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->progressPosition() > 0; }, 60000));
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->transferRunning(); }, 5000));
    // The block on the line when the write stopped may or may not have been taken.
    const std::size_t received = framesStartingWith(radio->radio(), 'w').size();
    ASSERT_GT(received, 0u);
    ASSERT_LT(received, 256u);
    auto stoppedAfter = [this](std::size_t blocks) {
        QString line = text(text_key::kServiceWriteStopped);
        line.replace(line.indexOf(QStringLiteral("%d")), 2, QString::number(blocks));
        line.replace(line.indexOf(QStringLiteral("%d")), 2, QStringLiteral("256"));
        return line;
    };
    const QString status = dialog->statusText();
    EXPECT_TRUE(status == stoppedAfter(received) || status == stoppedAfter(received - 1))
        << status.toStdString() << " / " << received;
    EXPECT_TRUE(framesStartingWith(radio->radio(), 't').empty());
    EXPECT_FALSE(dialog->progressShown());
    EXPECT_FALSE(context->port.isOpen());
    EXPECT_TRUE(messageKeys().empty());
}

TEST_F(TuningDialogTest, OpenAndSaveUseTheMainWindowsCommands) {
    prepare({}, "kq18");
    dialog->command(TuningDialog::kSaveFile)->trigger();
    EXPECT_EQ(saves, 1);
    onOpen = [this] { doc->rawFields().image()[layout::kTestData + 14] = 201; };
    dialog->command(TuningDialog::kOpenFile)->trigger();
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(dialog->valueBox(14)->text(), "201");
}

}  // namespace
}  // namespace pl3
