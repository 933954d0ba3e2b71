#pragma once
// The auto-tuning dialog (template 158): the technician picks an item and moves the scroll
// bar; the value goes to the radio live, and for the squelch items the radio's squelch
// state is polled and shown. The port comes open from the test-data read and is closed
// when the dialog ends.

#include <QDialog>
#include <memory>

#include "codeplug/document.h"
#include "lang/text_lookup.h"
#include "link/serial_port.h"
#include "service/auto_tuning_session.h"
#include "service/live_tuning_link.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QScrollBar;
class QTimer;

namespace pl3 {

class AutoTuningDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplate = 158;
    static constexpr int kItemList = 1139;
    static constexpr int kValueBar = 1140;
    static constexpr int kValueField = 1141;
    static constexpr int kValueCaption = 1416;
    static constexpr int kSquelchCaption = 1068;
    static constexpr int kSquelchField = 1069;
    static constexpr int kWatchMs = 20;

    // Sends the opening live set at once.
    AutoTuningDialog(CMaItemDoc& doc, const TextLookup& texts, SerialPort& port,
                     QWidget* parent = nullptr);
    ~AutoTuningDialog() override;

    // OK keeps the tuning in the radio, Cancel discards it; the dialog closes once the
    // closing live set has gone out.
    void accept() override;
    void reject() override;

    bool squelchPolling() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void layOut();
    void select(int row);
    void scrollAction(int action);
    void endScroll();
    void showPosition();
    void applyPollTimer(service::PollTimer timer);
    void watchLink();
    void finish(bool keep);

    const TextLookup& texts_;
    std::unique_ptr<service::LiveTuningLink> link_;
    service::AutoTuningSession session_;
    QListWidget* list_ = nullptr;
    QScrollBar* bar_ = nullptr;
    QLineEdit* value_ = nullptr;
    QLabel* squelchCaption_ = nullptr;
    QLineEdit* squelch_ = nullptr;
    QTimer* pollTimer_ = nullptr;
    QTimer* watchTimer_ = nullptr;
    int shownAnswers_ = 0;
    // The poll restarts once the radio has answered this many squelch queries; 0: none
    // pending.
    int restartPollAtAnswer_ = 0;
    bool closing_ = false;
    int closingResult_ = 0;
};

}  // namespace pl3
