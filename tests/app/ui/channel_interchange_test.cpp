// Channel lists in the program: File ▸ Export and Import (with the report the user
// confirms or cancels) and copy and paste of channel rows through the clipboard.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "app/commands.h"
#include "app/ui/import_report_dialog.h"
#include "editors/ui/channel_page.h"
#include "grid/ui/grid_ctrl.h"
#include "lang/ui/dialog_translation.h"
#include "main_frame_fixture.h"
#include "view/ui/ma_item_view.h"
#include "widget_lookup.h"

namespace pl3 {
namespace {

class ChannelInterchangeTest : public test::MainFrameFixture {
  protected:
    // Answers the import report once it shows; remembers what it said.
    void answerReport(bool import) {
        QTimer::singleShot(0, [this, import] {
            auto* dialog = qobject_cast<ImportReportDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            reportText = dialog->findChild<QPlainTextEdit*>()->toPlainText().toStdString();
            if (QPushButton* ok = test::control<QPushButton>(dialog, kOkButtonId))
                okOffered = ok->isVisible();
            if (import) {
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
    }

    void write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    std::string reportText;
    bool okOffered = false;
};

constexpr const char* kHeading =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\n";

TEST_F(ChannelInterchangeTest, ImportShowsTheReportAndChangesNothingWhenCancelled) {
    const std::string csv = folder.file("in.csv");
    write(csv, std::string(kHeading) +
                   "90,Base,438.500000,-,7.600000,Tone,88.5,88.5,023,NN,023,Tone->Tone,NFM,12.50,,"
                   "High,,,,,\n"
                   "91,Bad,not-a-number,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,,,,,\n");
    const Image before = doc->image();
    answerReport(false);
    frame->importChannelsFrom(csv);
    EXPECT_TRUE(okOffered);
    EXPECT_NE(reportText.find("Rows imported: 1"), std::string::npos) << reportText;
    EXPECT_NE(reportText.find("Skipped"), std::string::npos) << reportText;
    EXPECT_EQ(doc->image(), before);
    EXPECT_FALSE(doc->isModified());

    answerReport(true);
    frame->importChannelsFrom(csv);
    EXPECT_EQ(doc->fields().frequencyText(90, Side::Receive), "438.50000");
    EXPECT_TRUE(doc->isModified());
    // The channel grid shows it, and one undo takes the whole import back.
    auto* channels = qobject_cast<ChannelPage*>(frame->view()->page(0));
    EXPECT_EQ(channels->grid()->itemText(90, ChannelTable::kRxFreqColumn), "438.50000");
    frame->action(command::kUndo)->trigger();
    EXPECT_EQ(doc->image(), before);
}

TEST_F(ChannelInterchangeTest, ExportThenImportChangesNothing) {
    doc->rawFields().setFrequencyText(100, Side::Receive, "439.0");
    doc->rawFields().setFrequencyText(100, Side::Transmit, "431.4");
    doc->rawFields().setChannelFlag(100, ChannelFlag::Repeater, true);
    doc->updateAllViews();  // the channel page brings the channel's derived bits up to date
    const std::string csv = folder.file("out.csv");
    ASSERT_TRUE(frame->exportChannelsTo(csv));
    answerReport(true);
    const Image before = doc->image();
    frame->importChannelsFrom(csv);
    EXPECT_FALSE(okOffered);  // nothing to change: only Cancel
    EXPECT_EQ(doc->image(), before);
}

TEST_F(ChannelInterchangeTest, FileErrorsAreReported) {
    frame->importChannelsFrom(folder.file("missing.csv"));
    ASSERT_FALSE(prompter.prompts().empty());
    EXPECT_EQ(prompter.prompts().back().textKey, text_key::kErrorOpenFile);
    EXPECT_FALSE(frame->exportChannelsTo(folder.file("no-such-folder/out.csv")));
    EXPECT_EQ(prompter.prompts().back().textKey, text_key::kErrorSaveFile);
}

TEST_F(ChannelInterchangeTest, CopiedRowPastesOntoTheFocusRow) {
    doc->rawFields().setFrequencyText(95, Side::Receive, "436.125");
    doc->rawFields().setFrequencyText(95, Side::Transmit, "436.125");
    doc->updateAllViews();
    auto* channels = qobject_cast<ChannelPage*>(frame->view()->page(0));
    channels->grid()->setFocusCell(95, 1);
    frame->action(command::kCopy)->trigger();
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith("95\t")) << copied.toStdString();
    EXPECT_TRUE(copied.contains("436.125000"));

    channels->grid()->setFocusCell(120, 1);
    frame->action(command::kPaste)->trigger();  // a clean paste needs no confirmation
    EXPECT_EQ(doc->fields().frequencyText(120, Side::Receive), "436.12500");
    EXPECT_TRUE(doc->isModified());
}

}  // namespace
}  // namespace pl3
