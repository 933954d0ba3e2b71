// The main window's radio and setting commands: read, write, write to several radios, port,
// language, help, about and the service mode.

#include "app/ui/main_frame.h"

#include <QTime>

#include "app/program_info.h"
#include "app/status_panes.h"
#include "app/ui/about_dialog.h"
#include "app/ui/comm_port_dialog.h"
#include "app/ui/desktop_opener.h"
#include "app/ui/qt_text.h"
#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "editors/difference_words.h"
#include "lang/ui/language_dialog.h"
#include "link/ui/fleet_dialog.h"
#include "link/ui/progress_dialog.h"
#include "platform/serial_device_list.h"
#include "service/ui/access_code_dialog.h"

namespace pl3 {

void CMainFrame::runTransfer(int direction) {
    std::optional<link::TransferDone> done;
    ProgressDialog::Hooks hooks{
        [this](int port) { refreshPortPane(port); },
        [this] { refreshStatusBar(); },
        [this] { relabel(); },
        [this](const std::string& version) { context_.radioVersion = version; },
        [this](const std::string& problem) { showStatusLine(problem); },
        [this](int address) { return addressPlace(doc_, address, context_.texts); },
        [&done](link::TransferDone what) { done = what; }};
    ProgressDialog dialog(context_.radio(), doc_, prompter_,
                          static_cast<link::Direction>(direction), std::move(hooks), this);
    dialog.startJob();
    dialog.exec();
    if (done) {
        const QTime now = QTime::currentTime();
        showStatusLine(transferDoneLine({*done, context_.port.lastPortNumber(),
                                         context_.port.lastDevicePath(), now.hour(), now.minute()},
                                        context_.texts));
    }
    showWriteOptions();
}

void CMainFrame::showWriteOptions() {
    actions_[command::kVerifyAfterWrite]->setChecked(context_.settings.verifyAfterWrite());
    actions_[command::kKeepRadioTuning]->setChecked(context_.settings.keepRadioTuning());
}

void CMainFrame::readFromRadio() {
    // The image read replaces the document's, and no undo brings unsaved edits back.
    if (!saveModified(doc_, prompter_, [this] { return chooseSavePath(); })) return;
    runTransfer(static_cast<int>(link::Direction::Read));
}

bool CMainFrame::mayWriteDocument() {
    // The part the file lacked is erased in the image: written, it would blank the radio.
    return !doc_.fromIncompleteFile() ||
           prompter_.askOkCancel({text_key::kPrompt, text_key::kAskWriteIncomplete, doc_.pathName(),
                                  PromptIcon::Exclamation});
}

void CMainFrame::writeToRadio() {
    if (!mayWriteDocument()) return;
    runTransfer(static_cast<int>(link::Direction::Write));
}

void CMainFrame::writeToSeveralRadios() {
    if (!mayWriteDocument()) return;
    FleetDialog dialog(
        context_.radio(), doc_, prompter_,
        [this](int address) { return addressPlace(doc_, address, context_.texts); },
        platform::listSerialDevices(), this);
    dialog.exec();
    showWriteOptions();
}

void CMainFrame::communicationPort() {
    runCommPortDialog(this, context_.port, context_.settings, context_.texts,
                      context_.settingsWarning, prompter_);
    refreshPortPane(context_.settings.comPort());
}

void CMainFrame::chooseLanguage() {
    if (runLanguageDialog(this, context_.paths.languageFolders(), context_.texts, context_.settings,
                          context_.settingsWarning, prompter_)) {
        relabel();
        doc_.updateAllViews();
    }
}

void CMainFrame::help() {
    openManual(helpFileCandidates(context_.paths, context_.texts.languageFilePath()),
               openWithDesktop, prompter_);
}

void CMainFrame::about() {
    showAboutDialog(this, context_, prompter_);
}

void CMainFrame::testMode() {
    const Image before = doc_.image();
    runServiceMode(context_.radio(), doc_, prompter_,
                   {[this] { fileOpen(); }, [this] { fileSave(); }, [this] { refreshStatusBar(); }},
                   this);
    // Tuning values and images read in service mode are changes like any other: one undo
    // step, and a question before they could be lost. A visit that changed nothing is no
    // edit, whatever else the image holds that no step has recorded (the channel page
    // sets shift directions as it shows the channels).
    if (doc_.image() != before && doc_.hasUnrecordedChanges()) doc_.markEdited();
}

}  // namespace pl3
