#pragma once
// The progress dialog of a read from or a write to the radio: it starts the radio
// session, looks at it every 20 ms and shows what the session says.

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "codeplug/document.h"
#include "link/job_display.h"
#include "link/radio_services.h"
#include "link/radio_session.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace pl3 {

class Prompter;

class ProgressDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplate = 132;
    static constexpr int kPollMs = 20;
    static constexpr int kMinimumWidth = 420;

    // onPortPane(n) shows port n in the status bar while the search runs; onRefresh
    // refreshes the whole status bar; onRead re-labels the program after a read.
    struct Hooks {
        std::function<void(int)> portPane;
        std::function<void()> statusBar;
        std::function<void()> afterRead;
        // The radio's version text ("%d.%d") when the job has ended.
        std::function<void(const std::string&)> radioVersion;
        // Why no radio could be reached: the port could not be opened (with its path).
        std::function<void(const std::string&)> portProblem;
        // Names the channel or setting where a verify found the radio different.
        link::PlaceNamer placeOf;
        // The transfer ended well (the dialog then closes without a message).
        std::function<void(link::TransferDone)> transferDone;
    };

    ProgressDialog(RadioServices radio, CMaItemDoc& doc, Prompter& prompter,
                   link::Direction direction, Hooks hooks, QWidget* parent = nullptr);
    ~ProgressDialog() override;

    // Starts (or, after a failure, restarts) the job.
    void startJob();
    QString statusText() const;
    int barPosition() const;
    bool retryAllowed() const;
    QPushButton* retryButton() const { return retry_; }
    QPushButton* closeButton() const { return close_; }
    // The verify-after-write check box (shown for a write only).
    QCheckBox* verifyBox() const { return verify_; }
    // The keep-the-radio's-tuning check box (shown for a write only).
    QCheckBox* keepTuningBox() const { return keepTuning_; }

    void reject() override;  // Esc, the close box and Close cancel a job or close
    void accept() override;  // Retry starts a failed job again

  private:
    void poll();
    std::string standing() const;
    void end();
    // Shows the text whole: the dialog grows to the width and height it needs.
    void showStatus(const std::string& text);
    void fitToText();

    RadioServices radio_;
    CMaItemDoc& doc_;
    Prompter& prompter_;
    link::Direction direction_;
    Hooks hooks_;
    std::unique_ptr<link::RadioSession> session_;
    QTimer* timer_;
    QProgressBar* bar_;
    QLabel* status_;
    QPushButton* retry_;
    QPushButton* close_;
    QCheckBox* verify_;
    QCheckBox* keepTuning_;
};

}  // namespace pl3
