// The auto-tuning dialog wired to its widgets, offscreen, talking to the simulated radio:
// the live-set frames each user action sends, byte for byte, and the squelch display.

#include "service/ui/auto_tuning_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>

#include "codeplug/text_keys.h"
#include "radio_document_fixture.h"
#include "service/service_job.h"
#include "simulated_radio.h"
#include "widget_lookup.h"

namespace pl3 {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes liveSet(std::uint8_t action, std::uint8_t point, std::uint8_t item, std::uint8_t value) {
    // Band 1: the test folder's range is 400 ... 470 MHz.
    return {'K', 0x08, 0xE0, 0x08, action, 1, point, item, value, 0xFF, 0xFF, 0xFF};
}

class AutoTuningDialogTest : public test::RadioDocumentFixture {
  protected:
    // A radio whose tuning byte n holds 10 * n + 5, reached through the test-data read
    // that leaves the port open, as Test 2 does.
    void prepare(sim::Options options = {}, std::uint8_t squelch0 = 5) {
        dialog.reset();  // it talks through the context's port
        prepareRadioAndDocument(std::move(options));
        Image memory = radio->radio().memory();
        for (std::size_t n = 0; n < 16; ++n)
            memory[layout::kTestData + n] = static_cast<std::uint8_t>(10 * n + 5);
        memory[layout::kTestData] = squelch0;
        radio->radio().setMemory(memory);
        service::ServiceJob read(context->port, service::ServiceTask::ReadTestData);
        read.start(doc->image(), {1, std::nullopt, false}, true);
        read.join();
        ASSERT_EQ(read.snapshot().status, service::ServiceStatus::Succeeded);
        service::applyResult(*doc, service::ServiceTask::ReadTestData, read.workingImage());
        radio->radio().clearFrames();
        dialog = std::make_unique<AutoTuningDialog>(*doc, context->texts, context->port);
        list = test::control<QListWidget>(dialog.get(), AutoTuningDialog::kItemList);
        bar = test::control<QScrollBar>(dialog.get(), AutoTuningDialog::kValueBar);
        value = test::control<QLineEdit>(dialog.get(), AutoTuningDialog::kValueField);
        squelch = test::control<QLineEdit>(dialog.get(), AutoTuningDialog::kSquelchField);
    }

    std::vector<Bytes> frames() const {
        std::vector<Bytes> all;
        for (const sim::Frame& frame : radio->radio().frames())
            all.push_back(frame.bytes);
        return all;
    }
    // Waits until the radio has received count frames.
    bool received(std::size_t count) {
        return QTest::qWaitFor([&] { return frames().size() >= count; }, 10000);
    }
    QString text(std::string_view key) const {
        return QString::fromStdString(context->texts.text(key));
    }

    std::unique_ptr<AutoTuningDialog> dialog;
    QListWidget* list = nullptr;
    QScrollBar* bar = nullptr;
    QLineEdit* value = nullptr;
    QLineEdit* squelch = nullptr;
};

TEST_F(AutoTuningDialogTest, OpeningSendsItemZeroAndShowsTheSquelch) {
    prepare();
    EXPECT_EQ(dialog->windowTitle(), "Auto Tuning");
    ASSERT_EQ(list->count(), 13);
    EXPECT_EQ(list->item(0)->text(), "Squelch 3, band low");
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 127);
    EXPECT_EQ(bar->value(), 5);
    EXPECT_EQ(value->text(), "5");
    ASSERT_TRUE(QTest::qWaitFor([&] { return squelch->text() == text(text_key::kOn); }, 10000));
    EXPECT_EQ(frames(), (std::vector<Bytes>{liveSet(1, 0, 0, 5), {'S'}}));
    EXPECT_TRUE(dialog->squelchPolling());
}

TEST_F(AutoTuningDialogTest, ALanguageFileWithMoreItemsOffersOnlyTheThirteen) {
    prepare();
    std::string items = "[TestData]\n";
    for (int n = 0; n < 16; ++n)
        items += std::to_string(n) + "=item " + std::to_string(n) + "\n";
    TextLookup texts(radio->folder().write("long.lang", items));
    dialog.reset();  // one dialog at a time on the port
    AutoTuningDialog longer(*doc, texts, context->port);
    auto* items16 = test::control<QListWidget>(&longer, AutoTuningDialog::kItemList);
    // An item past 12 would write its value beyond the tuning block.
    EXPECT_EQ(items16->count(), 13);
}

TEST_F(AutoTuningDialogTest, ASquelchStoredAbove127IsOfferedAs127) {
    prepare({}, 0xC8);
    EXPECT_EQ(value->text(), "127");
    ASSERT_TRUE(received(1));
    EXPECT_EQ(frames().front(), liveSet(1, 0, 0, 127));
}

TEST_F(AutoTuningDialogTest, SelectingAPowerItemSendsItsValueAndStopsThePoll) {
    prepare();
    ASSERT_TRUE(received(2));
    list->setCurrentRow(5);
    ASSERT_TRUE(received(3));
    EXPECT_EQ(frames()[2], liveSet(1, 2, 5, 55));
    EXPECT_FALSE(dialog->squelchPolling());
    EXPECT_TRUE(squelch->isHidden());
    EXPECT_TRUE(test::control<QLabel>(dialog.get(), AutoTuningDialog::kSquelchCaption)->isHidden());
    EXPECT_EQ(bar->maximum(), 255);
    EXPECT_EQ(value->text(), "55");

    list->setCurrentRow(1);
    // The poll period starts over only once the squelch query has gone out and been
    // answered, not while the live set and the query still wait for their pauses.
    EXPECT_FALSE(dialog->squelchPolling());
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->squelchPolling(); }, 10000));
    ASSERT_GE(frames().size(), 5u);
    EXPECT_EQ(frames()[3], liveSet(1, 2, 1, 15));
    EXPECT_EQ(frames()[4], Bytes{'S'});
    EXPECT_FALSE(squelch->isHidden());
    EXPECT_EQ(bar->maximum(), 127);
}

TEST_F(AutoTuningDialogTest, DraggingTheThumbSendsNothingUntilTheDragEnds) {
    prepare();
    ASSERT_TRUE(received(2));
    bar->setSliderDown(true);
    bar->setSliderPosition(40);
    bar->setSliderPosition(60);
    EXPECT_EQ(value->text(), "60");
    QTest::qWait(400);  // room for a frame that should not come
    EXPECT_EQ(frames().size(), 2u);
    EXPECT_EQ(doc->image()[layout::kTestData], 5);
    bar->setSliderDown(false);
    ASSERT_TRUE(received(4));
    EXPECT_EQ(frames()[2], liveSet(1, 0, 0, 60));
    EXPECT_EQ(frames()[3], Bytes{'S'});
    EXPECT_EQ(doc->image()[layout::kTestData], 60);
    EXPECT_FALSE(doc->isModified());
}

TEST_F(AutoTuningDialogTest, ArrowsWrapAndTheReleaseSendsTheValue) {
    prepare({}, 127);
    ASSERT_TRUE(received(2));
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(value->text(), "0");
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(bar->value(), 126);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);  // page steps change nothing
    EXPECT_EQ(bar->value(), 126);
    EXPECT_EQ(frames().size(), 2u);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(2, bar->height() / 2));
    ASSERT_TRUE(received(3));
    EXPECT_EQ(frames()[2], liveSet(1, 0, 0, 126));
    EXPECT_EQ(doc->image()[layout::kTestData], 126);
}

TEST_F(AutoTuningDialogTest, OkKeepsAndCancelDiscardsThenThePortCloses) {
    struct Case {
        bool ok;
        std::uint8_t action;
        int result;
    } cases[] = {{true, 2, QDialog::Accepted}, {false, 0, QDialog::Rejected}};
    for (const Case& c : cases) {
        prepare();
        ASSERT_TRUE(received(2));
        list->setCurrentRow(9);
        ASSERT_TRUE(received(3));
        int finishedWith = -1;
        QObject::connect(dialog.get(), &QDialog::finished,
                         [&](int result) { finishedWith = result; });
        if (c.ok) {
            dialog->accept();
        } else {
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return finishedWith != -1; }, 10000));
        EXPECT_EQ(finishedWith, c.result) << c.ok;
        EXPECT_FALSE(context->port.isOpen()) << c.ok;
        EXPECT_EQ(frames().back(), liveSet(c.action, 1, 9, 95)) << c.ok;
        EXPECT_EQ(frames().size(), 4u) << c.ok;
    }
}

TEST_F(AutoTuningDialogTest, ARadioThatStopsAnsweringShowsOffAndStillGetsTheFrames) {
    sim::Options silent;
    silent.faults.silentLiveTuning = true;
    prepare(silent);
    ASSERT_TRUE(QTest::qWaitFor([&] { return squelch->text() == text(text_key::kOff); }, 10000));
    list->setCurrentRow(12);
    ASSERT_TRUE(received(3));
    EXPECT_EQ(frames()[2], liveSet(1, 4, 12, 125));
}

}  // namespace
}  // namespace pl3
