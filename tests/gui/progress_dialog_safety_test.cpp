// The progress dialog's part in backups and verify after write: the check box and its
// setting, the backups of a read and a write, and a failing backup that must not stop
// the job.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTest>
#include <filesystem>

#include "codeplug/data_file.h"
#include "codeplug/text_keys.h"
#include "link/ui/progress_dialog.h"
#include "patterned_image.h"
#include "platform/private_profile.h"
#include "radio_document_fixture.h"
#include "scoped_environment.h"
#include "scripted_prompter.h"
#include "simulated_radio.h"

namespace pl3 {
namespace {

namespace fs = std::filesystem;
using link::Direction;

class ProgressDialogSafetyTest : public test::RadioDocumentFixture {
  protected:
    void prepare(const sim::Faults& faults = {}) {
        prepareRadioAndDocument(test::optionsWith(faults));
    }
    std::unique_ptr<ProgressDialog> dialog(Direction direction) {
        return std::make_unique<ProgressDialog>(context->radio(), *doc, prompter, direction,
                                                ProgressDialog::Hooks{});
    }
    // Runs the dialog's job until the dialog ends or the job has stopped with a failure.
    QString run(ProgressDialog& dialog) {
        dialog.startJob();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return dialog.result() != 0 || dialog.retryAllowed(); }, 60000));
        return dialog.statusText();
    }
    std::vector<std::string> backupNames() const {
        std::vector<std::string> names;
        if (!fs::exists(backupFolder)) return names;
        for (const fs::directory_entry& entry : fs::directory_iterator(backupFolder))
            names.push_back(entry.path().filename().string());
        return names;
    }
    QString text(std::string_view key) const {
        return QString::fromStdString(context->texts.text(key));
    }

    test::TempDir dataHome;
    test::ScopedEnvironment xdg{"XDG_DATA_HOME", dataHome.path()};
    std::string backupFolder = dataHome.path() + "/pl3/backups";
    test::ScriptedPrompter prompter;
};

TEST_F(ProgressDialogSafetyTest, VerifyBoxShowsAndRemembersTheSetting) {
    prepare();
    auto write = dialog(Direction::Write);
    EXPECT_FALSE(write->verifyBox()->isHidden());
    EXPECT_FALSE(write->verifyBox()->isChecked());  // off by default
    EXPECT_EQ(write->verifyBox()->text(), text(text_key::kVerifyAfterWrite));
    write->verifyBox()->setChecked(true);
    EXPECT_TRUE(context->settings.verifyAfterWrite());
    EXPECT_EQ(platform::readString(context->settings.path(), "setup", "verify", "", 8), "1");
    EXPECT_TRUE(dialog(Direction::Write)->verifyBox()->isChecked());
    // A read has nothing to verify.
    EXPECT_TRUE(dialog(Direction::Read)->verifyBox()->isHidden());
}

TEST_F(ProgressDialogSafetyTest, VerifiedWriteReportsWhereTheRadioDiffers) {
    prepare(test::faultsWhere([](sim::Faults& f) { f.corruptStoredBlock = 37; }));
    context->settings.setVerifyAfterWrite(true);
    auto write = dialog(Direction::Write);
    EXPECT_EQ(run(*write), text(text_key::kPromptVerifyFail) + "0x025F");
    EXPECT_TRUE(write->retryAllowed());
    EXPECT_EQ(write->result(), 0);
}

TEST_F(ProgressDialogSafetyTest, ReadAndWriteLeaveBackups) {
    prepare();
    radio->radio().setMemory(test::patternedImage(3, 1));
    auto read = dialog(Direction::Read);
    run(*read);
    EXPECT_EQ(read->result(), 5);
    std::vector<std::string> names = backupNames();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].ends_with("_read.PL-3"));
    Header header{};
    Image image{};
    data_file::read(backupFolder + "/" + names[0], header, image);
    EXPECT_EQ(image, test::patternedImage(3, 1));

    auto write = dialog(Direction::Write);
    run(*write);
    EXPECT_EQ(write->result(), 5);
    EXPECT_EQ(backupNames().size(), 2u);
    EXPECT_TRUE(prompter.prompts().empty());
}

TEST_F(ProgressDialogSafetyTest, FailingBackupWarnsOnceAndTheReadStillCompletes) {
    std::string blocker = dataHome.write("not-a-folder", "x");
    test::ScopedEnvironment broken("XDG_DATA_HOME", blocker);
    prepare();
    radio->radio().setMemory(test::patternedImage(3, 1));
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto read = dialog(Direction::Read);
        run(*read);
        EXPECT_EQ(read->result(), 5);
    }
    EXPECT_EQ(doc->image()[0x0900], test::patternedImage(3, 1)[0x0900]);
    ASSERT_EQ(prompter.prompts().size(), 1u);
    EXPECT_EQ(prompter.prompts()[0].textKey, text_key::kWarnBackup);
}

}  // namespace
}  // namespace pl3
