#pragma once
// The tuning dialog (template 134): the sixteen tuning values in two columns of value
// boxes, a menu bar of its own for the file and radio commands, and a status line with a
// progress bar for the transfers. With less than full access the values are shown only.

#include <QDialog>
#include <array>
#include <functional>

#include "codeplug/document.h"
#include "link/radio_services.h"
#include "service/service_job.h"
#include "service/tuning_values.h"

class QAction;
class QLabel;
class QProgressBar;
class QPushButton;

namespace pl3 {

class Prompter;
class ServiceJobRunner;
class ValueBox;

// What the service dialogs borrow from the main window.
struct ServiceHooks {
    std::function<void()> openFile;       // the file chooser and load of File Open
    std::function<void()> saveFile;       // File Save, with its confirmation
    std::function<void()> afterTransfer;  // port and range in the status bar may have changed
};

class TuningDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplate = 134;
    static constexpr int kStatusLine = 1157;
    static constexpr int kProgressBar = 1156;
    // Command identifiers of the menu bar.
    static constexpr int kReadTestData = 1137;
    static constexpr int kWriteTestData = 1138;
    static constexpr int kOpenFile = 1142;
    static constexpr int kSaveFile = 1143;
    static constexpr int kReadAll = 1144;
    static constexpr int kWriteAll = 1145;

    TuningDialog(RadioServices radio, CMaItemDoc& doc, Prompter& prompter, ServiceHooks hooks,
                 QWidget* parent = nullptr);
    ~TuningDialog() override;

    // The sixteen values from the document into their boxes.
    void redisplay();

    QAction* command(int id) const;
    ValueBox* valueBox(int index) const { return boxes_[static_cast<std::size_t>(index)]; }
    QString statusText() const;
    bool progressShown() const;
    int progressPosition() const;
    bool transferRunning() const;

    // Escape and the close box cancel a running transfer; otherwise they close the dialog.
    void reject() override;
    void done(int result) override;

  protected:
    // Enter, also in a value box, commits the value and closes the dialog with OK.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void layOut();
    void buildMenuBar();
    void runCommand(int id);
    void step(int index, int direction);
    // Leaving a box, Enter or Escape, or a command: a value typed into the box is clamped
    // and stored; a box nobody typed in keeps the document's byte as it is.
    void commitTyped(int index);
    void commitFocusedBox();
    void startTransfer(service::ServiceTask task);
    void showProgress(service::ServiceTask task, const service::ServiceSnapshot& snapshot);
    void endTransfer(service::ServiceTask task, const service::ServiceSnapshot& end,
                     const Image& working);
    void setTransferRunning(bool running);

    RadioServices radio_;
    CMaItemDoc& doc_;
    Prompter& prompter_;
    ServiceHooks hooks_;
    bool editable_;
    std::array<ValueBox*, service::kTuningBoxes.size()> boxes_{};
    QList<QAction*> commands_;
    QLabel* status_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
    ServiceJobRunner* runner_ = nullptr;
};

}  // namespace pl3
