// The main window's file commands: new, open, save, print, and the recent-files list.

#include "app/ui/main_frame.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSettings>
#include <cstdio>
#include <optional>

#include "app/ui/qt_text.h"
#include "codeplug/data_file.h"
#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "view/ui/printout.h"

namespace pl3 {

namespace {

QString fileFilter() {
    return qs(std::string(data_file::kFilter));
}

// Without a native printer the page setup works on the PDF printer Qt falls back to, as
// the print dialog does; Qt still warns that the dialog "cannot be used", which is not so.
class QuietNonNativePrinterWarning {
  public:
    QuietNonNativePrinterWarning() { previous_ = qInstallMessageHandler(&filter); }
    ~QuietNonNativePrinterWarning() { qInstallMessageHandler(previous_); }
    QuietNonNativePrinterWarning(const QuietNonNativePrinterWarning&) = delete;
    QuietNonNativePrinterWarning& operator=(const QuietNonNativePrinterWarning&) = delete;

  private:
    static void filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (type == QtWarningMsg && message.contains(QLatin1String("non-native printers"))) return;
        if (previous_ != nullptr) {
            previous_(type, context, message);
        } else {
            std::fputs(qPrintable(qFormatLogMessage(type, context, message) + u'\n'), stderr);
        }
    }
    static inline QtMessageHandler previous_ = nullptr;
};

QString recentSettingsKey(int n) {
    return QStringLiteral("Recent File List/File%1").arg(n);
}

}  // namespace

std::optional<std::string> CMainFrame::chooseSavePath() {
    QFileDialog dialog(this, QString(), QFileInfo(qs(doc_.pathName())).absolutePath(),
                       fileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("PL-3"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

void CMainFrame::fileNew() {
    if (!saveModified(doc_, prompter_, [this] { return chooseSavePath(); })) return;
    newDocument(doc_, prompter_, context_.skipPrompt);
}

void CMainFrame::fileOpen() {
    QString path = QFileDialog::getOpenFileName(this, QString(), QString(), fileFilter());
    if (!path.isEmpty()) openFile(path);
}

bool CMainFrame::openFile(const QString& path) {
    if (!saveModified(doc_, prompter_, [this] { return chooseSavePath(); })) return false;
    OpenOutcome outcome = openDocument(doc_, path.toStdString(), prompter_);
    if (outcome == OpenOutcome::NotADataFile || outcome == OpenOutcome::FileError) return false;
    rememberRecentFile(path);
    return true;
}

bool CMainFrame::fileSave() {
    bool saved = saveCommand(doc_, prompter_, [this] { return chooseSavePath(); });
    if (saved) rememberRecentFile(qs(doc_.pathName()));
    return saved;
}

bool CMainFrame::fileSaveAs() {
    std::optional<std::string> path = chooseSavePath();
    if (!path || !storeDocument(doc_, *path, prompter_)) return false;
    rememberRecentFile(qs(*path));
    return true;
}

QPrinter& CMainFrame::printer() {
    // Made on first use: asking the print system for its printers can take a moment.
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void CMainFrame::filePrint() {
    const ChannelListPrintout printout(doc_, context_.texts);
    QPrinter& target = printer();
    QPrintDialog dialog(&target, this);
    dialog.setMinMax(1, printout.pageCount());
    dialog.setFromTo(1, printout.pageCount());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!printout.print(target)) {
        prompter_.showMessage({{}, text_key::kErrorPrint, {}, PromptIcon::Stop});
    }
}

void CMainFrame::filePrintPreview() {
    const ChannelListPrintout printout(doc_, context_.texts);
    QPrintPreviewDialog dialog(&printer(), this);
    if (auto* preview = dialog.findChild<QPrintPreviewWidget*>()) {
        preview->setViewMode(QPrintPreviewWidget::SinglePageView);
    }
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [&printout](QPrinter* target) { printout.print(*target); });
    dialog.exec();
}

void CMainFrame::filePrintSetup() {
    std::optional<QuietNonNativePrinterWarning> quiet;
    if (printer().outputFormat() != QPrinter::NativeFormat) quiet.emplace();
    QPageSetupDialog dialog(&printer(), this);
    quiet.reset();
    dialog.exec();
}

void CMainFrame::rebuildRecentFiles() {
    QMenu* file = menus_[0];
    for (QAction* action : recentActions_) {
        file->removeAction(action);
        delete action;
    }
    recentActions_.clear();
    QSettings recent(qs(std::string(command::kRecentFilesKey)), QStringLiteral("pl3-cps"));
    QAction* before = actions_.value(command::kExit);
    for (int n = 1; n <= command::kRecentFileCount; ++n) {
        QString path = recent.value(recentSettingsKey(n)).toString();
        if (path.isEmpty()) continue;
        auto* action =
            new QAction(QStringLiteral("&%1 %2").arg(n).arg(QFileInfo(path).fileName()), this);
        action->setToolTip(path);
        connect(action, &QAction::triggered, this, [this, path] { openFile(path); });
        file->insertAction(before, action);
        recentActions_.append(action);
    }
    if (!recentActions_.isEmpty()) recentActions_.append(file->insertSeparator(before));
}

void CMainFrame::rememberRecentFile(const QString& path) {
    if (path.isEmpty()) return;
    QSettings recent(qs(std::string(command::kRecentFilesKey)), QStringLiteral("pl3-cps"));
    QStringList paths{QFileInfo(path).absoluteFilePath()};
    for (int n = 1; n <= command::kRecentFileCount; ++n) {
        QString known = recent.value(recentSettingsKey(n)).toString();
        if (!known.isEmpty() && !paths.contains(known)) paths.append(known);
    }
    for (int n = 1; n <= command::kRecentFileCount; ++n) {
        recent.setValue(recentSettingsKey(n), n <= paths.size() ? paths[n - 1] : QString());
    }
    rebuildRecentFiles();
}

}  // namespace pl3
