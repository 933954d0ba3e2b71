// The progress dialog's part in backups, verify after write and keeping the radio's
// tuning: the check boxes and their settings, the document after a write that kept the
// radio's tuning, the backups of a read and a write, and a failing backup that must not
// stop the job.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTest>
#include <filesystem>

#include "codeplug/data_file.h"
#include "codeplug/radio_tuning.h"
#include "codeplug/text_keys.h"
#include "editors/difference_words.h"
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
        for (const fs::directory_entry& entry : fs::directory_iterator(backupFolder)) {
            if (entry.path().extension() != ".PL-3") continue;  // a read's port note
            names.push_back(entry.path().filename().string());
        }
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

TEST_F(ProgressDialogSafetyTest, WriteOptionBoxesShowAndRememberTheirSettings) {
    struct Case {
        QCheckBox* (ProgressDialog::*box)() const;
        bool byDefault;
        std::string_view textKey;
        const char* settingsKey;
        bool (SettingsFile::*setting)() const;
    } cases[] = {
        {&ProgressDialog::verifyBox, false, text_key::kVerifyAfterWrite, "verify",
         &SettingsFile::verifyAfterWrite},
        {&ProgressDialog::keepTuningBox, true, text_key::kKeepRadioTuning, "keeptuning",
         &SettingsFile::keepRadioTuning},
    };
    prepare();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settingsKey);
        auto write = dialog(Direction::Write);
        QCheckBox* box = (*write.*c.box)();
        EXPECT_FALSE(box->isHidden());
        EXPECT_EQ(box->isChecked(), c.byDefault);
        EXPECT_EQ(box->text(), text(c.textKey));
        box->setChecked(!c.byDefault);
        EXPECT_EQ((context->settings.*c.setting)(), !c.byDefault);
        EXPECT_EQ(platform::readString(context->settings.path(), "setup", c.settingsKey, "", 8),
                  c.byDefault ? "0" : "1");
        EXPECT_EQ((*dialog(Direction::Write).*c.box)()->isChecked(), !c.byDefault);
        // Neither applies to a read.
        EXPECT_TRUE((*dialog(Direction::Read).*c.box)()->isHidden());
    }
}

TEST_F(ProgressDialogSafetyTest, WriteKeepsTheRadiosTuningAndTheDocumentTakesIt) {
    const TuningBlock radioTuning = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6};
    sim::Options options;
    options.tuning = radioTuning;
    prepareRadioAndDocument(options);
    const Image before = doc->image();
    auto write = dialog(Direction::Write);
    run(*write);
    EXPECT_EQ(write->result(), 5);
    EXPECT_EQ(tuningBlockOf(radio->radio().memory()), radioTuning);
    EXPECT_EQ(tuningBlockOf(doc->image()), radioTuning);
    EXPECT_TRUE(doc->isModified());
    doc->undo();
    EXPECT_EQ(tuningBlockOf(doc->image()), tuningBlockOf(before));
}

// The first difference names the setting it belongs to as the pages name it.
TEST_F(ProgressDialogSafetyTest, VerifiedWriteReportsWhereTheRadioDiffers) {
    prepare(test::faultsWhere([](sim::Faults& f) { f.corruptStoredBlock = 0x8A; }));
    context->settings.setVerifyAfterWrite(true);
    ProgressDialog::Hooks hooks;
    hooks.placeOf = [this](int address) { return addressPlace(*doc, address, context->texts); };
    ProgressDialog write(context->radio(), *doc, prompter, Direction::Write, std::move(hooks));
    EXPECT_EQ(run(write), text(text_key::kPromptVerifyFail) + "0x08AF: DTMF side tone");
    EXPECT_TRUE(write.retryAllowed());
    EXPECT_EQ(write.result(), 0);
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
