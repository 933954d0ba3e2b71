// The dialog that writes several radios at once, against a radio that takes the codeplug and
// one that stops acknowledging midway.

#include "link/ui/fleet_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include "codeplug/text_keys.h"
#include "radio_document_fixture.h"
#include "scripted_prompter.h"
#include "simulated_radio.h"

namespace pl3 {
namespace {

using Phase = link::FleetRun::Phase;

class FleetDialogTest : public test::RadioDocumentFixture {
  protected:
    QString text(std::string_view key) const {
        return QString::fromStdString(context->texts.text(key));
    }
    void waitForEnd(const FleetDialog& dialog) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.run().phase() == Phase::Ended; }, 60000));
    }

    test::ScriptedPrompter prompter;
};

TEST_F(FleetDialogTest, WritesEachRadioOnItsOwnAndOffersRetryForTheFailedOne) {
    prepareRadioAndDocument();
    test::SimulatedRadio failing(
        test::optionsWith(test::faultsWhere([](sim::Faults& f) { f.noAckAtBlock = 50; })));
    radio->mapPort(2, failing.devicePath());
    context->settings.setVerifyAfterWrite(true);
    const Image before = doc->image();

    FleetDialog dialog(context->radio(), *doc, prompter, {}, {});
    ASSERT_EQ(dialog.rowCount(), 2);
    EXPECT_EQ(dialog.radioBox(0)->text(),
              QString::fromStdString("COM1  (" + radio->devicePath() + ")"));
    EXPECT_EQ(dialog.radioBox(1)->text(),
              QString::fromStdString("COM2  (" + failing.devicePath() + ")"));
    EXPECT_TRUE(dialog.verifyBox()->isChecked());
    dialog.startButton()->click();
    waitForEnd(dialog);

    EXPECT_EQ(dialog.resultText(0), text(text_key::kFleetWrittenVerified));
    EXPECT_EQ(dialog.resultText(1), text(text_key::kFleetWriteFailed));
    EXPECT_TRUE(dialog.standingText(0).isEmpty());
    EXPECT_TRUE(dialog.standingText(1).startsWith(QString::fromStdString(
        withNumbers(context->texts.text(text_key::kWriteFailedAfterBlock), {50, 256}))));
    EXPECT_EQ(dialog.barPosition(0), link::kBarRange);
    EXPECT_TRUE(dialog.retryButton(0)->isHidden());
    EXPECT_FALSE(dialog.retryButton(1)->isHidden());
    EXPECT_EQ(dialog.countText(), "2 radios: 1 written and verified, 1 failed");

    // Retry writes the failed radio again, and only that one.
    dialog.retryButton(1)->click();
    waitForEnd(dialog);
    EXPECT_EQ(failing.radio().sessions(), 2);
    EXPECT_EQ(radio->radio().sessions(), 1);
    EXPECT_EQ(dialog.countText(), "2 radios: 1 written and verified, 1 failed");

    // The document gave the image and is as it was.
    EXPECT_EQ(doc->image(), before);
    EXPECT_FALSE(doc->isModified());
    EXPECT_TRUE(prompter.prompts().empty());
    dialog.reject();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace pl3
