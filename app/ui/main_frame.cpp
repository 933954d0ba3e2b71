#include "app/ui/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUrl>

#include "app/commands.h"
#include "app/program_info.h"
#include "app/status_panes.h"
#include "app/ui/about_dialog.h"
#include "app/ui/comm_port_dialog.h"
#include "app/ui/compare_dialog.h"
#include "app/ui/import_report_dialog.h"
#include "codeplug/data_file.h"
#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "editors/ui/channel_page.h"
#include "interchange/channel_export.h"
#include "interchange/channel_import.h"
#include "lang/ui/language_dialog.h"
#include "link/ui/progress_dialog.h"
#include "platform/atomic_file.h"
#include "service/ui/access_code_dialog.h"
#include "view/ui/ma_item_view.h"
#include "view/ui/printout.h"

namespace pl3 {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QString fileFilter() {
    return qs(std::string(data_file::kFilter));
}

// A leading tab centres a pane's text.
void setPaneText(QLabel* pane, const std::string& text) {
    bool centred = !text.empty() && text.front() == '\t';
    pane->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    pane->setText(qs(centred ? text.substr(1) : text));
}

QIcon toolbarIcon(int command, const QStyle* style) {
    switch (command) {
        case command::kNew:
            return style->standardIcon(QStyle::SP_FileIcon);
        case command::kOpen:
            return style->standardIcon(QStyle::SP_DialogOpenButton);
        case command::kSave:
            return style->standardIcon(QStyle::SP_DialogSaveButton);
        case command::kReadRadio:
            return style->standardIcon(QStyle::SP_ArrowDown);
        case command::kWriteRadio:
            return style->standardIcon(QStyle::SP_ArrowUp);
        case command::kUndo:
            return QIcon::fromTheme("edit-undo", style->standardIcon(QStyle::SP_ArrowBack));
        case command::kRedo:
            return QIcon::fromTheme("edit-redo", style->standardIcon(QStyle::SP_ArrowForward));
        case command::kPrint:
            return QIcon::fromTheme("document-print",
                                    style->standardIcon(QStyle::SP_FileDialogDetailedView));
        case command::kHelp:
            return style->standardIcon(QStyle::SP_DialogHelpButton);
        default:
            return style->standardIcon(QStyle::SP_TitleBarContextHelpButton);
    }
}

QString recentSettingsKey(int n) {
    return QStringLiteral("Recent File List/File%1").arg(n);
}

}  // namespace

CMainFrame::CMainFrame(AppContext& context, CMaItemDoc& doc, Prompter& prompter)
    : context_(context), doc_(doc), prompter_(prompter) {
    buildMenus();
    buildToolbar();
    buildStatusBar();
    view_ = new CMaItemView(
        context_, doc_, prompter_, [this] { relabel(); }, this);
    setCentralWidget(view_);
    setAcceptDrops(true);
    setMaximumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    qApp->installEventFilter(this);
    relabel();
    refreshStatusBar();
}

CMainFrame::~CMainFrame() {
    doc_.setHistoryListener({});
    qApp->removeEventFilter(this);
    context_.port.close();
}

void CMainFrame::buildMenus() {
    auto makeAction = [this](int command) {
        auto* action = new QAction(this);
        action->setData(command);
        actions_.insert(command, action);
        // Connected first, so the command sees the edit still open in a page.
        connect(action, &QAction::triggered, this, [this] { view_->commitPendingEdit(); });
        return action;
    };
    for (std::size_t m = 0; m < command::kMenus.size(); ++m) {
        menus_[m] = menuBar()->addMenu(QString());
        for (const command::MenuItem& item : command::kMenus[m].items) {
            if (item.textKey.empty()) break;
            if (item.command == command::kSeparator) {
                menus_[m]->addSeparator();
                continue;
            }
            menus_[m]->addAction(makeAction(item.command));
        }
    }
    // Commands without a menu item still answer their shortcut.
    QAction* language = makeAction(command::kLanguage);
    addAction(language);
    for (const command::Accelerator& accelerator : command::kAccelerators) {
        QAction* action = actions_.value(accelerator.command);
        action->setShortcut(QKeySequence(qs(std::string(accelerator.keys))));
        action->setShortcutContext(Qt::WindowShortcut);
    }
    connect(actions_[command::kNew], &QAction::triggered, this, &CMainFrame::fileNew);
    connect(actions_[command::kOpen], &QAction::triggered, this, &CMainFrame::fileOpen);
    connect(actions_[command::kSave], &QAction::triggered, this, &CMainFrame::fileSave);
    connect(actions_[command::kSaveAs], &QAction::triggered, this, &CMainFrame::fileSaveAs);
    connect(actions_[command::kExit], &QAction::triggered, this, &QWidget::close);
    connect(actions_[command::kReadRadio], &QAction::triggered, this, &CMainFrame::readFromRadio);
    connect(actions_[command::kWriteRadio], &QAction::triggered, this, &CMainFrame::writeToRadio);
    connect(actions_[command::kCommPort], &QAction::triggered, this,
            &CMainFrame::communicationPort);
    connect(language, &QAction::triggered, this, &CMainFrame::chooseLanguage);
    connect(actions_[command::kHelp], &QAction::triggered, this, &CMainFrame::help);
    connect(actions_[command::kAbout], &QAction::triggered, this, &CMainFrame::about);
    connect(actions_[command::kTestMode], &QAction::triggered, this, &CMainFrame::testMode);
    connect(actions_[command::kImportCsv], &QAction::triggered, this, &CMainFrame::importChannels);
    connect(actions_[command::kExportCsv], &QAction::triggered, this, &CMainFrame::exportChannels);
    connect(actions_[command::kCompare], &QAction::triggered, this, &CMainFrame::compareWithFile);
    connect(actions_[command::kCopy], &QAction::triggered, this, &CMainFrame::copyChannels);
    connect(actions_[command::kPaste], &QAction::triggered, this, &CMainFrame::pasteChannels);
    connect(actions_[command::kUndo], &QAction::triggered, this, [this] { doc_.undo(); });
    connect(actions_[command::kRedo], &QAction::triggered, this, [this] { doc_.redo(); });
    doc_.setHistoryListener([this] { showHistoryState(); });
    showHistoryState();
    connect(actions_[command::kPrint], &QAction::triggered, this, &CMainFrame::filePrint);
    connect(actions_[command::kPrintPreview], &QAction::triggered, this,
            &CMainFrame::filePrintPreview);
    connect(actions_[command::kPrintSetup], &QAction::triggered, this, &CMainFrame::filePrintSetup);
    rebuildRecentFiles();
}

void CMainFrame::showHistoryState() {
    actions_[command::kUndo]->setEnabled(doc_.canUndo());
    actions_[command::kRedo]->setEnabled(doc_.canRedo());
}

void CMainFrame::buildToolbar() {
    QToolBar* toolbar = addToolBar(QString());
    toolbar->setObjectName(QStringLiteral("toolbar"));
    toolbar->setMovable(true);
    toolbar->setIconSize(QSize(18, 18));
    for (int command : command::kToolbar) {
        if (command == command::kSeparator) {
            toolbar->addSeparator();
            continue;
        }
        QAction* action = actions_.value(command);
        if (!action) {
            // No command handles it, so it shows disabled.
            action = new QAction(this);
            action->setData(command);
            action->setEnabled(false);
            actions_.insert(command, action);
        }
        action->setIcon(toolbarIcon(command, style()));
        toolbar->addAction(action);
    }
}

void CMainFrame::buildStatusBar() {
    statusBar()->setMinimumHeight(kStatusBarMinHeight);
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        panes_[i] = new QLabel(this);
        panes_[i]->setFixedWidth(kStatusPaneWidths[i]);
        panes_[i]->setFrameShape(QFrame::Panel);
        panes_[i]->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(panes_[i]);
    }
}

void CMainFrame::relabel() {
    const TextLookup& texts = context_.texts;
    setWindowTitle(qs(texts.text(text_key::kWindowName)));
    for (std::size_t m = 0; m < command::kMenus.size(); ++m) {
        menus_[m]->setTitle(qs(texts.text(command::kMenus[m].textKey)));
        for (const command::MenuItem& item : command::kMenus[m].items) {
            if (item.textKey.empty()) break;
            if (item.command != command::kSeparator) {
                actions_[item.command]->setText(qs(texts.text(item.textKey)));
            }
        }
    }
    for (int command : command::kToolbar) {
        if (QAction* action = actions_.value(command)) {
            action->setToolTip(qs(texts.tooltip(command)));
        }
    }
    refreshStatusBar();
}

void CMainFrame::refreshStatusBar() {
    std::array<std::string, 5> texts =
        statusPaneTexts({context_.settings.comPort(), context_.port.isOpen(), doc_.lowerLimit(),
                         doc_.upperLimit(), context_.radioVersion},
                        context_.texts);
    for (std::size_t i = 0; i < panes_.size(); ++i)
        setPaneText(panes_[i], texts[i]);
}

void CMainFrame::refreshPortPane(int portNumber) {
    setPaneText(panes_[0], portPaneText(portNumber, context_.port.isOpen(), context_.texts));
}

QString CMainFrame::statusPaneText(int pane) const {
    return panes_[static_cast<std::size_t>(pane)]->text();
}

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
    const ChannelListPrintout printout(*view_);
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
    const ChannelListPrintout printout(*view_);
    QPrintPreviewDialog dialog(&printer(), this);
    if (auto* preview = dialog.findChild<QPrintPreviewWidget*>()) {
        preview->setViewMode(QPrintPreviewWidget::SinglePageView);
    }
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [&printout](QPrinter* target) { printout.print(*target); });
    dialog.exec();
}

void CMainFrame::filePrintSetup() {
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
}

ChannelPage& CMainFrame::channelPage() const {
    return *qobject_cast<ChannelPage*>(view_->page(CMaItemView::kChannelPage));
}

void CMainFrame::exportChannels() {
    const QFileInfo codeplug(qs(doc_.pathName()));
    const QString suggested = doc_.pathName().empty() ? QString()
                                                      : codeplug.absolutePath() + '/' +
                                                            codeplug.completeBaseName() + ".csv";
    QFileDialog dialog(this, QString(), suggested, qs(context_.texts.text(text_key::kCsvFilter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    exportChannelsTo(dialog.selectedFiles().first().toStdString());
}

bool CMainFrame::exportChannelsTo(const std::string& path) {
    const std::string text = interchange::exportCsv(doc_);
    platform::FileError error;
    platform::WriteNotes notes;
    if (!platform::writeFileAtomically(path, {text.begin(), text.end()}, &error, &notes)) {
        prompter_.showMessage(saveFailure(path, error));
        return false;
    }
    tellSharedNames(path, notes, prompter_);
    return true;
}

void CMainFrame::importChannels() {
    const QString chosen = QFileDialog::getOpenFileName(
        this, QString(), QString(), qs(context_.texts.text(text_key::kCsvFilter)));
    if (!chosen.isEmpty()) importChannelsFrom(chosen.toStdString());
}

void CMainFrame::importChannelsFrom(const std::string& path) {
    platform::FileError error;
    // One byte more than an import takes, so that a larger file is reported as such.
    std::optional<std::vector<std::uint8_t>> bytes =
        platform::readFileHead(path, interchange::kMaxImportBytes + 1, &error);
    if (!bytes) {
        prompter_.showMessage({text_key::kError, text_key::kErrorOpenFile,
                               path + "\n" + error.describe(), PromptIcon::Stop});
        return;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    confirmAndImport(interchange::planImport(doc_, text, interchange::Format::Csv), true);
}

void CMainFrame::compareWithFile() {
    const QString chosen = QFileDialog::getOpenFileName(this, QString(), QString(), fileFilter());
    if (chosen.isEmpty()) return;
    if (std::unique_ptr<CompareDialog> dialog = compareDialogFor(chosen.toStdString()))
        dialog->exec();
}

std::unique_ptr<CompareDialog> CMainFrame::compareDialogFor(const std::string& path) {
    CMaItemDoc other(context_.settings);
    const OpenOutcome outcome = openDocument(other, path, prompter_);
    if (outcome == OpenOutcome::NotADataFile || outcome == OpenOutcome::FileError) return nullptr;
    return std::make_unique<CompareDialog>(diffCodeplugs(doc_, other), path, context_.texts, this);
}

void CMainFrame::copyChannels() {
    const std::string rows =
        interchange::exportChannels(doc_, channelPage().channelsToCopy(), interchange::Format::Tsv,
                                    interchange::HeadingLine::Without);
    QApplication::clipboard()->setText(qs(rows));
}

void CMainFrame::pasteChannels() {
    const std::string text = QApplication::clipboard()->text().toStdString();
    if (text.empty()) return;
    interchange::ImportOptions options;
    options.firstChannel = channelPage().pasteTarget();
    // A clean paste goes straight in; one the rules had to change or refuse is shown first.
    confirmAndImport(interchange::planImport(doc_, text, interchange::Format::Tsv, options), false);
}

void CMainFrame::confirmAndImport(const interchange::ImportPlan& plan, bool alwaysAsk) {
    const bool clean = plan.report.notes.empty() && plan.report.notesLeftOut == 0;
    if (alwaysAsk || !clean || !plan.changesDocument()) {
        ImportReportDialog dialog(interchange::describeImport(plan.report, context_.texts),
                                  plan.changesDocument(), context_.texts, this);
        if (dialog.exec() != QDialog::Accepted || !plan.changesDocument()) return;
    }
    interchange::applyImport(doc_, plan);
}

void CMainFrame::runTransfer(int direction) {
    ProgressDialog::Hooks hooks{[this](int port) { refreshPortPane(port); },
                                [this] { refreshStatusBar(); }, [this] { relabel(); }};
    ProgressDialog dialog(context_, doc_, prompter_, static_cast<link::Direction>(direction),
                          std::move(hooks), this);
    dialog.startJob();
    dialog.exec();
}

void CMainFrame::readFromRadio() {
    runTransfer(static_cast<int>(link::Direction::Read));
}
void CMainFrame::writeToRadio() {
    // The part the file lacked is erased in the image: written, it would blank the radio.
    if (doc_.fromIncompleteFile() &&
        !prompter_.askOkCancel({text_key::kPrompt, text_key::kAskWriteIncomplete, doc_.pathName(),
                                PromptIcon::Exclamation}))
        return;
    runTransfer(static_cast<int>(link::Direction::Write));
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
    const std::vector<std::string> candidates =
        helpFileCandidates(context_.paths, context_.texts.languageFilePath());
    std::string looked;
    for (const std::string& candidate : candidates) {
        if (QFileInfo(qs(candidate)).isFile()) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(qs(candidate)));
            return;
        }
        looked += "\n" + candidate;
    }
    prompter_.showMessage({text_key::kPrompt, text_key::kNoHelp, looked, PromptIcon::Information});
}

void CMainFrame::about() {
    showAboutDialog(this, context_);
}

void CMainFrame::testMode() {
    const Image before = doc_.image();
    runServiceMode(context_, doc_, prompter_,
                   {[this] { fileOpen(); }, [this] { fileSave(); }, [this] { refreshStatusBar(); }},
                   this);
    // Tuning values and images read in service mode are changes like any other: one undo
    // step, and a question before they could be lost. A visit that changed nothing is no
    // edit, whatever else the image holds that no step has recorded (the channel page
    // sets shift directions as it shows the channels).
    if (doc_.image() != before && doc_.hasUnrecordedChanges()) doc_.markEdited();
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

void CMainFrame::closeEvent(QCloseEvent* event) {
    view_->commitPendingEdit();
    if (!saveModified(doc_, prompter_, [this] { return chooseSavePath(); })) {
        event->ignore();
        return;
    }
    context_.port.close();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            openFile(url.toLocalFile());
            break;
        }
    }
}

// The program's shortcuts win over the keys an edit box would keep for itself (Ctrl+C
// is the communication port here, not copy), wherever the focus is in this window.
bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            auto* key = static_cast<QKeyEvent*>(event);
            QKeySequence pressed(key->keyCombination());
            for (const command::Accelerator& accelerator : command::kAccelerators) {
                if (pressed == QKeySequence(qs(std::string(accelerator.keys)))) {
                    event->ignore();
                    return true;
                }
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace pl3
