#pragma once
// The radio, keys and scan-list page (dialog 157): power-on message and password, side
// keys, FM radio with its preset grid, and the scan lists. It only shows what
// RadioPageRules answers and forwards the user's actions to it.

#include "codeplug/document.h"
#include "editors/radio_page_rules.h"
#include "editors/ui/settings_page.h"
#include "lang/text_lookup.h"

class QComboBox;
class QLineEdit;
class QLabel;
class QListWidget;
class QPushButton;

namespace pl3 {

class CGridCtrl;

class RadioPage : public SettingsPage {
    Q_OBJECT

  public:
    // Identifiers of the captions (labels and group boxes) and of the two scan buttons;
    // the other controls use the rules'.
    static constexpr int kMessageLabel = RadioPageRules::kMessageLabel;
    static constexpr int kPasswordLabel = RadioPageRules::kPasswordLabel;
    static constexpr int kSideKey1ShortLabel = RadioPageRules::kSideKey1ShortLabel;
    static constexpr int kSideKey1LongLabel = RadioPageRules::kSideKey1LongLabel;
    static constexpr int kSideKey2ShortLabel = RadioPageRules::kSideKey2ShortLabel;
    static constexpr int kSideKey2LongLabel = RadioPageRules::kSideKey2LongLabel;
    static constexpr int kRadioModeLabel = RadioPageRules::kRadioModeLabel;
    static constexpr int kFmVfoLabel = RadioPageRules::kFmVfoLabel;
    static constexpr int kPowerOnGroup = 1327;
    static constexpr int kKeysGroup = 1328;
    static constexpr int kFmGroup = 1329;
    static constexpr int kScanGroup = 1330;
    static constexpr int kAddButton = 1331;
    static constexpr int kDeleteButton = 1332;

    // The preset grid's shape.
    static constexpr int kNumberColumnWidth = 60;
    static constexpr int kFrequencyColumnWidth = 124;
    static constexpr int kHeaderRowHeight = 28;
    static constexpr int kPresetRowHeight = 21;

    // The document and texts are the caller's and must outlive the page.
    RadioPage(CMaItemDoc& doc, const TextLookup& texts, QWidget* parent = nullptr);

    // Captions, lists, boxes, presets and scan lists from the document and the language.
    void refresh() override;

    // The page's printout section: rows of "caption : value" texts, captions as shown.
    page_rules::PrintRows printRows() const;

    // The parts of the page besides its lists and boxes: for tests.
    QLineEdit* messageBox() const { return message_; }
    QLineEdit* passwordBox() const { return password_; }
    CGridCtrl* presetGrid() const { return grid_; }
    QComboBox* presetEditor() const { return presetEditor_; }
    QListWidget* existingList() const { return existing_; }
    QListWidget* scanList() const { return scanned_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* deleteButton() const { return delete_; }

  public slots:
    // The channels changed (channel page): both scan lists anew.
    void rebuildScanLists();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void boxClicked(int id) override;

  private:
    void setUpGrid();
    void fillGrid();
    void applyEnableRule();
    void showScanLists(const RadioPageRules::ScanLists& lists);
    void updateButtons();
    void beginPresetEdit(int row, int column, const QRect& globalRect);
    void endPresetEdit();
    bool filterEdit(QLineEdit* edit, QEvent* event);
    bool filterPresetEditor(QEvent* event);

    const TextLookup& texts_;
    RadioPageRules rules_;
    QLineEdit* message_ = nullptr;
    QLineEdit* password_ = nullptr;
    CGridCtrl* grid_ = nullptr;
    QComboBox* presetEditor_ = nullptr;
    QListWidget* existing_ = nullptr;
    QListWidget* scanned_ = nullptr;
    QLabel* existingCaption_ = nullptr;
    QLabel* scannedCaption_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    // The preset cell being edited (0: none) and the item its text matched.
    int editRow_ = 0;
    int editStartIndex_ = 0;
};

}  // namespace pl3
