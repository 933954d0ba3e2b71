#include "app/ui/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>  // complete for the printer the window owns
#include <QScreen>
#include <QSizeGrip>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUrl>

#include "app/commands.h"
#include "app/status_panes.h"
#include "app/ui/qt_text.h"
#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "view/ui/ma_item_view.h"

namespace pl3 {

namespace {

// A leading tab centres a pane's text.
void setPaneText(QLabel* pane, const std::string& text) {
    bool centred = !text.empty() && text.front() == '\t';
    pane->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    pane->setText(qs(centred ? text.substr(1) : text));
}

// A long device name (a /dev/serial/by-id/... one) keeps its distinctive end; the whole
// text shows as the tooltip.
void setPortPaneText(QLabel* pane, const std::string& text) {
    setPaneText(pane, text);
    const QString full = pane->text();
    const int room = kPortPaneMaxWidth - 2 * pane->frameWidth() - 2 * pane->margin();
    const QString shown = pane->fontMetrics().elidedText(full, Qt::ElideMiddle, room);
    pane->setText(shown);
    pane->setToolTip(shown == full ? QString() : full);
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

}  // namespace

CMainFrame::CMainFrame(AppContext& context, CMaItemDoc& doc, Prompter& prompter)
    : context_(context), doc_(doc), prompter_(prompter) {
    buildMenus();
    buildToolbar();
    buildStatusBar();
    view_ = new CMaItemView(
        context_.texts, doc_, prompter_, [this] { relabel(); }, this);
    setCentralWidget(view_);
    buildPageKeys();
    connectChannelOrderCommands();
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
        connect(action, &QAction::triggered, this, [this] {
            view_->commitPendingEdit();
            clearStatusLine();
        });
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
    QAction* language = actions_.value(command::kLanguage);
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
    connect(actions_[command::kWriteSeveralRadios], &QAction::triggered, this,
            &CMainFrame::writeToSeveralRadios);
    bindSettingItem(command::kVerifyAfterWrite, &SettingsFile::verifyAfterWrite,
                    &SettingsFile::setVerifyAfterWrite);
    bindSettingItem(command::kKeepRadioTuning, &SettingsFile::keepRadioTuning,
                    &SettingsFile::setKeepRadioTuning);
    bindSettingItem(command::kLogCommunication, &SettingsFile::logCommunication,
                    &SettingsFile::setLogCommunication);
    connect(actions_[command::kLogCommunication], &QAction::toggled, this,
            [this](bool on) { context_.logTransfers(on); });
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

void CMainFrame::bindSettingItem(int command, bool (SettingsFile::*read)() const,
                                 bool (SettingsFile::*store)(bool) const) {
    QAction* item = actions_[command];
    item->setCheckable(true);
    item->setChecked((context_.settings.*read)());
    connect(item, &QAction::toggled, this, [this, store](bool on) {
        context_.settingsWarning.check((context_.settings.*store)(on), prompter_,
                                       context_.settings.path());
    });
}

void CMainFrame::showHistoryState() {
    clearStatusLine();  // an edit makes what it said old
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
    }
    QLabel* portPane = panes_.front();
    portPane->setMinimumWidth(kStatusPaneWidths.front());
    portPane->setMaximumWidth(kPortPaneMaxWidth);
    QLabel* versionPane = panes_.back();
    versionPane->setMinimumWidth(kVersionPaneMinWidth);
    versionPane->setMaximumWidth(QWIDGETSIZE_MAX);
    for (QLabel* pane : panes_)
        statusBar()->addWidget(pane, pane == versionPane ? 1 : 0);
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
    const int comPort = context_.settings.comPort();
    std::array<std::string, 5> texts =
        statusPaneTexts({comPort, context_.port.devicePathFor(comPort), context_.port.isOpen(),
                         doc_.lowerLimit(), doc_.upperLimit(), context_.radioVersion},
                        context_.texts);
    setPortPaneText(panes_[0], texts[0]);
    for (std::size_t i = 1; i < panes_.size(); ++i)
        setPaneText(panes_[i], texts[i]);
}

void CMainFrame::refreshPortPane(int portNumber) {
    setPortPaneText(panes_[0], portPaneText(portNumber, context_.port.devicePathFor(portNumber),
                                            context_.port.isOpen(), context_.texts));
}

void CMainFrame::showStatusLine(const std::string& text) {
    statusLine_ = qs(text);
    elideStatusLine();
}

void CMainFrame::clearStatusLine() {
    if (statusLine_.isEmpty()) return;
    statusLine_.clear();
    statusBar()->clearMessage();
    statusBar()->setToolTip(QString());
}

void CMainFrame::elideStatusLine() {
    if (statusLine_.isEmpty()) return;
    // The status bar draws its message from 6 pixels in to 12 short of its end or its grip.
    constexpr int kMessageMargins = 18;
    int room = statusBar()->width() - kMessageMargins;
    if (auto* grip = statusBar()->findChild<QSizeGrip*>(); grip != nullptr && grip->isVisible())
        room -= grip->width();
    const QString shown = statusBar()->fontMetrics().elidedText(statusLine_, Qt::ElideRight, room);
    statusBar()->showMessage(shown);
    statusBar()->setToolTip(shown == statusLine_ ? QString() : statusLine_);
}

QString CMainFrame::statusPaneText(int pane) const {
    return panes_[static_cast<std::size_t>(pane)]->text();
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
    if (watched == statusBar() && event->type() == QEvent::Resize) elideStatusLine();
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
