// The access-code dialog wired to its widgets, offscreen: the code unlocks exactly when it
// is right, the manual adjust box writes its bit, Test 1 and Test 2 open their dialogs.

#include "service/ui/access_code_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/commands.h"
#include "app/ui/main_frame.h"
#include "codeplug/text_keys.h"
#include "radio_document_fixture.h"
#include "scripted_prompter.h"
#include "service/ui/auto_tuning_dialog.h"
#include "simulated_radio.h"
#include "widget_lookup.h"

namespace pl3 {
namespace {

using Bytes = std::vector<std::uint8_t>;

class AccessCodeDialogTest : public test::RadioDocumentFixture {
  protected:
    void prepare(const sim::Faults& faults = {}) {
        prepareRadioAndDocument(test::optionsWith(faults));
    }
    std::unique_ptr<AccessCodeDialog> open() {
        auto dialog = std::make_unique<AccessCodeDialog>(context->radio(), *doc, prompter,
                                                         ServiceHooks{{}, {}, [] {}});
        code = test::control<QLineEdit>(dialog.get(), AccessCodeDialog::kCodeBox);
        manualAdjust = test::control<QCheckBox>(dialog.get(), AccessCodeDialog::kManualAdjustBox);
        test1 = test::control<QPushButton>(dialog.get(), AccessCodeDialog::kTest1);
        test2 = test::control<QPushButton>(dialog.get(), AccessCodeDialog::kTest2);
        return dialog;
    }
    // The three controls the code unlocks, as "111" or "000".
    std::string unlocked() const {
        std::string state;
        for (QWidget* widget : {static_cast<QWidget*>(test1), static_cast<QWidget*>(test2),
                                static_cast<QWidget*>(manualAdjust)})
            state += widget->isEnabled() ? '1' : '0';
        return state;
    }
    // Closes the next modal dialog of type D as soon as it shows; true once it did.
    template <class D>
    std::shared_ptr<bool> closeNextModal(std::function<void(D*)> before = {}) {
        auto closed = std::make_shared<bool>(false);
        auto* timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, [timer, closed, before] {
            if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
                timer->stop();
                timer->deleteLater();
                if (before) before(dialog);
                dialog->reject();
                *closed = true;
            }
        });
        timer->start(10);
        return closed;
    }

    test::ScriptedPrompter prompter;
    QLineEdit* code = nullptr;
    QCheckBox* manualAdjust = nullptr;
    QPushButton* test1 = nullptr;
    QPushButton* test2 = nullptr;
};

TEST_F(AccessCodeDialogTest, CaptionsComeFromTheLanguageFileAndTheCodeIsHidden) {
    prepare();
    auto dialog = open();
    EXPECT_EQ(dialog->windowTitle(), "Test Mode");
    EXPECT_EQ(test::control<QLabel>(dialog.get(), AccessCodeDialog::kPrompt)->text(),
              "Please enter the password:");
    EXPECT_EQ(test1->text(), "Manual Tuning...");
    EXPECT_EQ(test::control<QPushButton>(dialog.get(), kCancelButtonId)->text(), "Cancel");
    EXPECT_EQ(code->echoMode(), QLineEdit::Password);
    EXPECT_EQ(unlocked(), "000");
}

TEST_F(AccessCodeDialogTest, TypingUnlocksExactlyWhileTheTextIsACode) {
    prepare();
    auto dialog = open();
    std::string afterEachKey;
    for (char c : std::string("kq20181")) {
        QTest::keyClick(code, c);
        afterEachKey += unlocked() == "111" ? '1' : '0';
        EXPECT_EQ(doc->accessCode(), code->text().toStdString());
    }
    EXPECT_EQ(afterEachKey, "0000010");
    code->clear();
    QTest::keyClicks(code, "kq18");
    EXPECT_EQ(unlocked(), "111");
    QTest::keyClicks(code, " ");
    EXPECT_EQ(unlocked(), "000");
}

TEST_F(AccessCodeDialogTest, AReopenedDialogIsUnlockedByTheRememberedCode) {
    prepare();
    {
        auto dialog = open();
        QTest::keyClicks(code, "kq18");
        dialog->reject();
    }
    auto dialog = open();
    EXPECT_EQ(code->text(), "kq18");
    EXPECT_EQ(unlocked(), "111");
}

TEST_F(AccessCodeDialogTest, EnterInTheCodeBoxClosesTheDialog) {
    prepare();
    auto dialog = open();
    dialog->show();
    QTest::keyClicks(code, "kq2018");
    QTest::keyClick(code, Qt::Key_Return);
    EXPECT_TRUE(dialog->isHidden());
    EXPECT_EQ(doc->accessCode(), "kq2018");
}

TEST_F(AccessCodeDialogTest, TheManualAdjustBoxWritesBitTwoOnly) {
    prepare();
    for (std::uint8_t start : {std::uint8_t{0x00}, std::uint8_t{0xFB}, std::uint8_t{0xA9}}) {
        doc->rawFields().image()[0x08A2] = start;
        doc->setModifiedFlag(false);
        doc->setAccessCode("");
        auto dialog = open();
        EXPECT_FALSE(manualAdjust->isChecked());
        QTest::keyClicks(code, "kq2018");
        manualAdjust->click();
        EXPECT_EQ(doc->image()[0x08A2], start | 0x04) << int(start);
        manualAdjust->click();
        EXPECT_EQ(doc->image()[0x08A2], start) << int(start);
        EXPECT_FALSE(doc->isModified());
    }
    doc->rawFields().image()[0x08A2] = 0x04;
    auto dialog = open();
    EXPECT_TRUE(manualAdjust->isChecked());
}

TEST_F(AccessCodeDialogTest, Test1OpensTheTuningDialogAndRereadsTheBoxAfterwards) {
    prepare();
    auto dialog = open();
    QTest::keyClicks(code, "kq18");
    // The tuning dialog loads a file whose manual adjust bit is set.
    auto closed = closeNextModal<TuningDialog>(
        [this](TuningDialog*) { doc->rawFields().setSetting(Setting::ManualTune, 1); });
    EXPECT_FALSE(manualAdjust->isChecked());
    test1->click();
    EXPECT_TRUE(*closed);
    EXPECT_TRUE(manualAdjust->isChecked());
    EXPECT_FALSE(dialog->isHidden() && dialog->result() == QDialog::Accepted);
}

TEST_F(AccessCodeDialogTest, Test2WithoutARadioReportsItAndOpensNothing) {
    struct Case {
        const char* what;
        sim::Faults faults;
        std::string_view message;
    } cases[] = {
        {"silence", test::faultsWhere([](sim::Faults& f) { f.neverWake = true; }),
         text_key::kErrorPortConn},
        {"wrong radio", test::faultsWhere([](sim::Faults& f) { f.refuseChallenge = true; }),
         text_key::kErrorType},
        {"short reply", test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 0x8E; }),
         text_key::kPromptReadFail},
    };
    for (const Case& c : cases) {
        prompter = test::ScriptedPrompter();
        prepare(c.faults);
        auto dialog = open();
        QTest::keyClicks(code, "kq2018");
        bool autoTuningShown = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (qobject_cast<AutoTuningDialog*>(QApplication::activeModalWidget())) {
                autoTuningShown = true;
                QApplication::activeModalWidget()->close();
            }
        });
        watch.start(10);
        test2->click();
        EXPECT_EQ(unlocked(), "000") << c.what;  // nothing else starts while it reads
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->readingTestData(); }, 60000));
        EXPECT_FALSE(autoTuningShown) << c.what;
        EXPECT_EQ(prompter.textKeys(), std::vector<std::string>{std::string(c.message)}) << c.what;
        EXPECT_FALSE(context->port.isOpen()) << c.what;
        EXPECT_EQ(unlocked(), "111") << c.what;
    }
}

TEST_F(AccessCodeDialogTest, Test2ReadsTheTuningDataThenTunesLive) {
    prepare();
    Image memory = radio->radio().memory();
    memory[layout::kTestData + 0] = 33;
    radio->radio().setMemory(memory);
    auto dialog = open();
    QTest::keyClicks(code, "kq18");
    auto closed = closeNextModal<AutoTuningDialog>([this](AutoTuningDialog*) {
        EXPECT_EQ(doc->image()[layout::kTestData], 33);
        EXPECT_TRUE(context->port.isOpen());
    });
    test2->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return *closed && !context->port.isOpen(); }, 60000));
    std::vector<sim::Frame> frames = radio->radio().frames();
    ASSERT_GE(frames.size(), 5u);
    EXPECT_EQ(frames[3].bytes, (Bytes{'R', 0x08, 0xE0, 0x10}));
    EXPECT_EQ(frames[4].bytes, (Bytes{'K', 0x08, 0xE0, 0x08, 1, 1, 0, 0, 33, 0xFF, 0xFF, 0xFF}));
    // Cancel: the last live set discards the tuning.
    EXPECT_EQ(frames.back().bytes,
              (Bytes{'K', 0x08, 0xE0, 0x08, 0, 1, 0, 0, 33, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(prompter.prompts().empty());
    EXPECT_FALSE(dialog->isHidden() && dialog->result() == QDialog::Accepted);
}

TEST_F(AccessCodeDialogTest, CancelStopsTheReadBeforeAutoTuning) {
    prepare(test::faultsWhere([](sim::Faults& f) { f.neverWake = true; }));
    auto dialog = open();
    QTest::keyClicks(code, "kq2018");
    test2->click();
    ASSERT_TRUE(dialog->readingTestData());
    dialog->reject();
    EXPECT_FALSE(dialog->readingTestData());
    EXPECT_EQ(dialog->result(), 0);
    EXPECT_TRUE(prompter.prompts().empty());
    EXPECT_FALSE(context->port.isOpen());
    EXPECT_EQ(unlocked(), "111");
}

TEST_F(AccessCodeDialogTest, TheTestModeCommandOpensTheDialog) {
    prepare();
    CMainFrame frame(*context, *doc, prompter);
    QAction* testMode = frame.action(command::kTestMode);
    ASSERT_TRUE(testMode->isEnabled());
    auto closed = closeNextModal<AccessCodeDialog>([](AccessCodeDialog* dialog) {
        test::control<QLineEdit>(dialog, AccessCodeDialog::kCodeBox)->setText("kq18");
    });
    testMode->trigger();
    EXPECT_TRUE(*closed);
    EXPECT_EQ(doc->accessCode(), "kq18");
    // A visit that changed nothing is no edit: no undo step, nothing to save, even though
    // the pages have written their own bytes into the image as they showed it.
    EXPECT_FALSE(doc->canUndo());
    EXPECT_FALSE(doc->isModified());
}

}  // namespace
}  // namespace pl3
