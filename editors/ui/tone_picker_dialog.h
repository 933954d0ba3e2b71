#pragma once
// The CTC/DCS picker (template 137): three radio buttons for the tone kind, a check box
// for inverted DCS and a table of all tones. TonePickerRules decides everything; this
// dialog shows its state and forwards clicks. Escape cancels, Enter confirms, picking a
// tone or choosing Off closes the dialog as confirmed.

#include <QDialog>
#include <QString>

#include "codeplug/document.h"
#include "editors/tone_picker_rules.h"

class QCheckBox;
class QRadioButton;

namespace pl3 {

class CGridCtrl;

class TonePickerDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplate = TonePickerRules::kTemplate;
    static constexpr int kOffButton = 1198;
    static constexpr int kCtcssButton = 1199;
    static constexpr int kDcsButton = 1200;
    static constexpr int kInvertedBox = 1201;
    static constexpr int kGrid = 1202;

    // column: 3 (receive tone) or 4 (transmit tone) of the channel table.
    TonePickerDialog(CMaItemDoc& doc, const TextLookup& texts, int channel, int column,
                     const QString& cellText, QWidget* parent = nullptr);

    const TonePickerRules& rules() const { return rules_; }
    CGridCtrl* grid() const { return grid_; }
    QRadioButton* offButton() const { return off_; }
    QRadioButton* ctcssButton() const { return ctcss_; }
    QRadioButton* dcsButton() const { return dcs_; }
    QCheckBox* invertedBox() const { return inverted_; }

    void accept() override;
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void showState();
    void fillGrid();

    TonePickerRules rules_;
    QRadioButton* off_;
    QRadioButton* ctcss_;
    QRadioButton* dcs_;
    QCheckBox* inverted_;
    CGridCtrl* grid_;
};

}  // namespace pl3
