#pragma once
// The dialog "Write to several radios": the radios present with check boxes, the write
// options, Start; then a row per radio with its own bar, mark and result, Retry for the
// radios not written, and the summary. "Keep writing radios as they are connected" makes
// it the production line. It looks at the run every 20 ms and shows what FleetRun says;
// the document only gives the image.

#include <QDialog>
#include <vector>

#include "codeplug/document.h"
#include "link/fleet_run.h"
#include "link/radio_services.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTimer;

namespace pl3 {

class Prompter;

class FleetDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplate = 164;
    static constexpr int kPollMs = 20;
    // The production line with no radio being written only waits: it looks less often.
    static constexpr int kIdlePollMs = 100;

    // present: the serial devices on this computer (platform::listSerialDevices()).
    FleetDialog(RadioServices radio, const CMaItemDoc& doc, Prompter& prompter,
                link::PlaceNamer placeOf, const std::vector<platform::PresentSerialDevice>& present,
                QWidget* parent = nullptr);
    ~FleetDialog() override;

    // Start: writes the ticked radios (or watches their ports).
    void start();
    // Stop: every write finishes the block under way; no new one starts.
    void stop();

    int rowCount() const { return static_cast<int>(rows_.size()); }
    QCheckBox* radioBox(int row) const { return rows_[row].box; }
    QPushButton* retryButton(int row) const { return rows_[row].retry; }
    int barPosition(int row) const;
    QString resultText(int row) const;
    // Where the radio stands, for a radio that failed or was stopped.
    QString standingText(int row) const;
    QString countText() const;
    QCheckBox* verifyBox() const { return verify_; }
    QCheckBox* keepTuningBox() const { return keepTuning_; }
    QCheckBox* watchBox() const { return watch_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* stopButton() const { return stop_; }
    const link::FleetRun& run() const { return run_; }

    // Esc, the close box and Close: while a radio is being written, asks whether to stop
    // after the block under way, and stays to show where each radio stands.
    void reject() override;

  private:
    struct Row {
        QCheckBox* box;
        QProgressBar* bar;
        QLabel* mark;
        QLabel* result;
        QPushButton* retry;
        int runRow = -1;  // the row of the run, -1 when the radio is not in it
    };
    void layOut(const std::vector<link::FleetChoice>& choices);
    void addRow(QGridLayout* grid, const link::FleetChoice& choice);
    // Each radio on one line, or its bar and result on a second line below its name.
    void placeRows(bool stacked);
    void poll();
    void showRow(Row& row, const link::FleetRow& shown);
    void showPhase();
    void retry(int row);
    link::FleetOptions options() const;
    // Wide and tall enough for the rows as they read now, within the screen.
    void fitToRows();

    RadioServices radio_;
    const CMaItemDoc& doc_;
    Prompter& prompter_;
    std::vector<link::FleetTarget> targets_;
    link::FleetRun run_;
    std::vector<Row> rows_;
    QTimer* timer_;
    QScrollArea* scroll_;
    QCheckBox* verify_;
    QCheckBox* keepTuning_;
    QCheckBox* watch_;
    QLabel* count_;
    QPushButton* start_;
    QPushButton* stop_;
    QPushButton* close_;
};

}  // namespace pl3
