#pragma once
// The channel page (template 150): three buttons, the frequency-range list and the
// channel grid with its two in-place editors. ChannelTable decides everything; this
// widget turns the user's clicks and keys into its calls and shows what it says.

#include <QList>
#include <QString>
#include <optional>
#include <vector>

#include "editors/channel_table.h"
#include "editors/ui/form_page.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pl3 {

class CGridCtrl;

class ChannelPage : public FormPage {
    Q_OBJECT

  public:
    static constexpr int kTemplate = 150;
    static constexpr int kAddButton = 1153;
    static constexpr int kDeleteButton = 1152;
    static constexpr int kClearButton = 1146;
    static constexpr int kRangeLabel = 1025;
    static constexpr int kRangeList = 1026;
    static constexpr int kGrid = 1017;
    static constexpr int kFrequencyEditor = 1022;
    static constexpr int kNameEditor = 1024;

    ChannelPage(CMaItemDoc& doc, const TextLookup& texts, Prompter& prompter,
                QWidget* parent = nullptr);
    ~ChannelPage() override;

    // The document changed: rebuild the table and show all of it in the current language.
    void refresh() override;

    // Copy and paste of channel rows: the channels a copy takes (the focus row, or every
    // channel when no cell has the focus) and the first channel a paste fills.
    std::vector<int> channelsToCopy() const;
    int pasteTarget() const;

    // A channel order command on the current channel; the focus follows the channel.
    void reorder(ChannelOrderCommand command);
    // The commands the table's context menu offers; a right click first makes the cell
    // under the mouse the current one.
    void setContextActions(QList<QAction*> actions) { contextActions_ = std::move(actions); }

    ChannelTable& table() { return table_; }
    CGridCtrl* grid() const { return grid_; }
    QComboBox* rangeList() const { return rangeList_; }
    QLineEdit* frequencyEditor() const { return frequencyEditor_; }
    QLineEdit* nameEditor() const { return nameEditor_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* clearButton() const { return clear_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Edit {
        QLineEdit* editor;
        int row;
        int column;
        QString openingText;
    };

    void setUpGrid();
    void showRangeList();
    void showRow(int row);
    void showAll();
    void onBeginEdit(int row, int column, const QRect& globalRect, const QString& text);
    void openEditor(QLineEdit* editor, int row, int column, const QRect& globalRect,
                    const QString& text);
    void commitEdit();
    void abandonEdit();
    void openTonePicker(int row, int column, const QString& text);
    void onButton(bool (ChannelTable::*action)(int));
    void showContextMenu(const QPoint& position);
    bool filterKey(QLineEdit* editor, QKeyEvent* event);

    CMaItemDoc& doc_;
    const TextLookup& texts_;
    ChannelTable table_;
    QPushButton* add_;
    QPushButton* delete_;
    QPushButton* clear_;
    QLabel* rangeLabel_;
    QComboBox* rangeList_;
    CGridCtrl* grid_;
    QLineEdit* frequencyEditor_;
    QLineEdit* nameEditor_;
    std::optional<Edit> edit_;
    QList<QAction*> contextActions_;
};

// The grid's font: SimSun when installed, else a CJK-capable face, else the default;
// 12 pixels, normal weight.
QFont channelGridFont();

}  // namespace pl3
