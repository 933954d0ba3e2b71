#pragma once
// The main window: menus, toolbar, shortcuts, the five-pane status bar, the file and
// radio commands, and the view with the editor pages.

#include <QHash>
#include <QMainWindow>
#include <array>
#include <memory>

#include "app/app_context.h"
#include "app/commands.h"
#include "codeplug/document.h"
#include "editors/channel_order.h"
#include "interchange/channel_import.h"
#include "platform/prompter.h"

class QAction;
class QLabel;
class QMenu;
class QPrinter;

namespace pl3 {

class CMaItemView;
class ChannelPage;
class CompareDialog;

class CMainFrame : public QMainWindow {
    Q_OBJECT

  public:
    static constexpr int kWidth = 900;
    static constexpr int kHeight = 650;

    // Questions and messages go through prompter (message boxes owned by this window in
    // the program, a script in tests).
    CMainFrame(AppContext& context, CMaItemDoc& doc, Prompter& prompter);
    ~CMainFrame() override;

    // A file opened as by File Open (command line, recent files, a dropped file).
    bool openFile(const QString& path);

    // Texts of the current language into title, menus, tooltips and status bar.
    void relabel();
    void refreshStatusBar();
    void refreshPortPane(int portNumber);
    // One line over the panes (why a port did not open, what a transfer did), cut to the
    // bar's width with the whole text as its tooltip, until the next command or edit.
    void showStatusLine(const std::string& text);
    void clearStatusLine();

    QAction* action(int command) const { return actions_.value(command); }
    CMaItemView* view() const { return view_; }
    QString statusPaneText(int pane) const;

    // The command handlers, public so that tests can drive them.
    void fileNew();
    void fileOpen();
    bool fileSave();
    bool fileSaveAs();
    void importChannels();
    void exportChannels();
    // The same without the file and placement dialogs.
    void importChannelsFrom(const std::string& path, interchange::ImportOptions options = {});
    bool exportChannelsTo(const std::string& path);
    void compareWithFile();
    // The compare view of the open codeplug against a file; none when it cannot be loaded
    // (the user has been told why).
    std::unique_ptr<CompareDialog> compareDialogFor(const std::string& path);
    void copyChannels();
    void pasteChannels();
    void reorderChannels(ChannelOrderCommand command);
    void filePrint();
    void filePrintPreview();
    void filePrintSetup();
    void readFromRadio();
    void writeToRadio();
    void writeToSeveralRadios();
    void communicationPort();
    void chooseLanguage();
    void help();
    void about();
    void testMode();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    // A checked menu item that shows and stores one on/off key of setting.ini.
    void bindSettingItem(int command, bool (SettingsFile::*read)() const,
                         bool (SettingsFile::*store)(bool) const);
    // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp turn the pages, round the ends.
    void buildPageKeys();
    void turnPage(int step);
    void rebuildRecentFiles();
    void rememberRecentFile(const QString& path);
    std::optional<std::string> chooseSavePath();
    void runTransfer(int direction);
    // Writing leaves behind an incomplete file's missing part: true once the user agrees.
    bool mayWriteDocument();
    // The menu items that show settings a dialog's check boxes may have changed.
    void showWriteOptions();
    void elideStatusLine();
    void showHistoryState();
    // The channel order commands: their handlers, their page-only shortcuts, the channel
    // table's context menu, and enabled only while the channel page is shown.
    void connectChannelOrderCommands();
    ChannelPage& channelPage() const;
    // Shows the report (always, or only when the rules changed or refused something)
    // and puts the channels in when the user agrees.
    void confirmAndImport(const interchange::ImportPlan& plan, bool alwaysAsk);
    QPrinter& printer();

    AppContext& context_;
    CMaItemDoc& doc_;
    Prompter& prompter_;
    CMaItemView* view_ = nullptr;
    std::unique_ptr<QPrinter> printer_;  // its settings last for the run
    QHash<int, QAction*> actions_;
    std::array<QMenu*, command::kMenus.size()> menus_{};
    QList<QAction*> recentActions_;  // the recent files, between the print commands and Exit
    std::array<QLabel*, 5> panes_{};
    QString statusLine_;  // whole, as the tooltip gives it
};

}  // namespace pl3
