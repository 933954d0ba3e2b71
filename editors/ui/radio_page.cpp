#include "editors/ui/radio_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "codeplug/text_keys.h"
#include "editors/ui/page_widgets.h"
#include "grid/ui/grid_ctrl.h"
#include "lang/ui/dialog_translation.h"

namespace pl3 {

namespace {

using Rules = RadioPageRules;
using Page = RadioPage;

struct Row {
    int labelId;
    const char* caption;
    int controlId;
};

constexpr Row kKeyRows[] = {
    {Page::kSideKey1ShortLabel, "侧键1短按", Rules::kSideKey1ShortList},
    {Page::kSideKey1LongLabel, "侧键1长按", Rules::kSideKey1LongList},
    {Page::kSideKey2ShortLabel, "侧键2短按", Rules::kSideKey2ShortList},
    {Page::kSideKey2LongLabel, "侧键2长按", Rules::kSideKey2LongList},
};

// The controls the FM radio enable rule switches.
constexpr int kFmDependent[] = {Rules::kFmRadioBox, Rules::kFmMonitorBox, Rules::kRadioModeList,
                                Rules::kFmVfoList};

void fillItems(QListWidget* list, const std::vector<std::string>& items) {
    list->clear();
    for (const std::string& item : items) {
        list->addItem(QString::fromStdString(item));
    }
}

std::vector<std::string> selectedTexts(const QListWidget* list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected()) texts.push_back(list->item(i)->text().toStdString());
    }
    return texts;
}

// A typed printable character the box does not take; editing and shortcut keys pass.
bool refusedKey(const QKeyEvent* key, bool (*accepts)(char)) {
    QString typed = key->text();
    if (typed.size() != 1) return false;
    char16_t c = typed[0].unicode();
    if (c < 0x20 || c == 0x7F) return false;
    return c > 0x7F || !accepts(static_cast<char>(c));
}

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

QListWidget* scanListWidget(QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setFixedWidth(120 + 2 * list->frameWidth() + 20);
    return list;
}

}  // namespace

RadioPage::RadioPage(CMaItemDoc& doc, const TextLookup& texts, QWidget* parent)
    : SettingsPage(rules_, parent), texts_(texts), rules_(doc.editTarget(), texts) {
    // Key settings, top left.
    auto* keys = captionGroup(kKeysGroup, "按键设置", this);
    auto* keyGrid = new QGridLayout(keys);
    int row = 0;
    for (const Row& r : kKeyRows) {
        addCaptionedRow(keyGrid, row, captionLabel(r.labelId, r.caption, keys),
                        addList(r.controlId));
        ++row;
    }

    // Power-on information, top right.
    auto* powerOn = captionGroup(kPowerOnGroup, "开机信息", this);
    auto* powerOnGrid = new QGridLayout(powerOn);
    message_ = new QLineEdit(powerOn);
    message_->setMaxLength(Rules::kMessageMaxLength);
    setResourceId(message_, Rules::kMessageBox);
    message_->installEventFilter(this);
    password_ = new QLineEdit(powerOn);
    password_->setMaxLength(Rules::kPasswordMaxLength);
    setResourceId(password_, Rules::kPasswordBox);
    password_->installEventFilter(this);
    addCaptionedRow(powerOnGrid, 0, captionLabel(kMessageLabel, "开机信息", powerOn), message_);
    addCaptionedRow(powerOnGrid, 1, captionLabel(kPasswordLabel, "开机密码", powerOn), password_);

    // Scan list, bottom left.
    auto* scan = captionGroup(kScanGroup, "扫描列表", this);
    auto* scanRow = new QHBoxLayout(scan);
    existing_ = scanListWidget(scan);
    scanned_ = scanListWidget(scan);
    existing_->viewport()->installEventFilter(this);
    scanned_->viewport()->installEventFilter(this);
    add_ = new QPushButton(QStringLiteral("添加 >>"), scan);
    setResourceId(add_, kAddButton);
    delete_ = new QPushButton(QStringLiteral("<< 删除"), scan);
    setResourceId(delete_, kDeleteButton);
    connect(add_, &QPushButton::clicked, this,
            [this] { showScanLists(rules_.addToScan(selectedTexts(existing_))); });
    connect(delete_, &QPushButton::clicked, this,
            [this] { showScanLists(rules_.removeFromScan(selectedTexts(scanned_))); });
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(add_);
    buttons->addWidget(delete_);
    buttons->addStretch();
    // Which list is which: the channels to choose from, and those the radio scans.
    existingCaption_ = new QLabel(scan);
    scannedCaption_ = new QLabel(scan);
    existingCaption_->setBuddy(existing_);
    scannedCaption_->setBuddy(scanned_);
    auto* existingColumn = new QVBoxLayout;
    existingColumn->addWidget(existingCaption_);
    existingColumn->addWidget(existing_);
    auto* scannedColumn = new QVBoxLayout;
    scannedColumn->addWidget(scannedCaption_);
    scannedColumn->addWidget(scanned_);
    scanRow->addLayout(existingColumn);
    scanRow->addLayout(buttons);
    scanRow->addLayout(scannedColumn);

    // FM radio settings, right.
    auto* fm = captionGroup(kFmGroup, "收音机设置", this);
    auto* fmLayout = new QVBoxLayout(fm);
    fmLayout->addWidget(addBox(Rules::kFmRadioEnableBox, "收音机功能"));
    fmLayout->addWidget(addBox(Rules::kFmRadioBox, "收音机"));
    fmLayout->addWidget(addBox(Rules::kFmMonitorBox, "收音机监听接收信号"));
    auto* fmGrid = new QGridLayout;
    addCaptionedRow(fmGrid, 0, captionLabel(kRadioModeLabel, "收音机模式", fm),
                    addList(Rules::kRadioModeList));
    addCaptionedRow(fmGrid, 1, captionLabel(kFmVfoLabel, "收音机频率", fm),
                    addList(Rules::kFmVfoList));
    fmLayout->addLayout(fmGrid);
    grid_ = new CGridCtrl(fm);
    setUpGrid();
    fmLayout->addWidget(grid_, 1);

    presetEditor_ = new QComboBox(this);
    presetEditor_->setEditable(false);
    presetEditor_->hide();
    presetEditor_->installEventFilter(this);
    connect(presetEditor_, &QComboBox::activated, this, [this] { endPresetEdit(); });
    connect(
        grid_, &CGridCtrl::beginEdit, this,
        [this](int r, int c, const QRect& rect, const QString&) { beginPresetEdit(r, c, rect); });

    auto* left = new QVBoxLayout;
    auto* top = new QHBoxLayout;
    top->addWidget(keys, 1);
    top->addWidget(powerOn, 1);
    left->addLayout(top);
    left->addWidget(scan, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addWidget(fm, 2);

    refresh();
}

page_rules::PrintRows RadioPage::printRows() const {
    return rules_.printRows();
}

void RadioPage::boxClicked(int id) {
    if (id == Rules::kFmRadioEnableBox) applyEnableRule();
}

void RadioPage::setUpGrid() {
    grid_->setRowCount(Rules::kPresetCount + 1);
    grid_->setColumnCount(2);
    grid_->setFixedRowCount(1);
    grid_->setFixedColumnCount(1);
    grid_->setColumnWidth(0, kNumberColumnWidth);
    grid_->setColumnWidth(1, kFrequencyColumnWidth);
    grid_->setRowHeight(0, kHeaderRowHeight);
    for (int r = 1; r <= Rules::kPresetCount; ++r) {
        grid_->setRowHeight(r, kPresetRowHeight);
    }
    for (int r = 0; r <= Rules::kPresetCount; ++r) {
        for (int c = 0; c < 2; ++c) {
            grid_->setItemFormat(r, c, CGridCtrl::kCellFormat);
        }
    }
}

void RadioPage::fillGrid() {
    grid_->setRedraw(false);
    for (int c = 0; c < 2; ++c) {
        grid_->setItemText(0, c, QString::fromStdString(rules_.presetHeading(c)));
    }
    for (int p = 1; p <= Rules::kPresetCount; ++p) {
        grid_->setItemText(p, 0, QString::fromStdString(Rules::presetNumberText(p)));
        grid_->setItemText(p, 1, QString::fromStdString(rules_.presetText(p)));
    }
    grid_->setRedraw(true);
}

void RadioPage::refresh() {
    translateDialog(this, Rules::kDialogId, texts_);
    existingCaption_->setText(QString::fromStdString(texts_.text(text_key::kScanChannelsCaption)));
    scannedCaption_->setText(QString::fromStdString(texts_.text(text_key::kScanMembersCaption)));
    showLists();
    password_->setText(QString::fromStdString(rules_.passwordText()));
    message_->setText(QString::fromStdString(rules_.messageText()));
    fillGrid();
    rebuildScanLists();
    applyEnableRule();
    showBoxes();
}

void RadioPage::rebuildScanLists() {
    showScanLists(rules_.rebuildScanLists());
}

void RadioPage::showScanLists(const RadioPageRules::ScanLists& lists) {
    fillItems(existing_, lists.existing);
    fillItems(scanned_, lists.scanned);
    updateButtons();
}

void RadioPage::updateButtons() {
    add_->setEnabled(rules_.addEnabled());
    delete_->setEnabled(rules_.removeEnabled());
}

void RadioPage::applyEnableRule() {
    for (int id : kFmDependent) {
        bool on = rules_.enabled(id);
        if (QComboBox* l = list(id)) l->setEnabled(on);
        if (QCheckBox* b = box(id)) b->setEnabled(on);
    }
    bool readOnly = rules_.presetsReadOnly();
    QColor grey = palette().color(QPalette::Disabled, QPalette::Text);
    for (int p = 1; p <= Rules::kPresetCount; ++p) {
        unsigned state = grid_->itemState(p, 1) & ~CGridCtrl::kStateFocused;
        state =
            readOnly ? (state | CGridCtrl::kStateReadOnly) : (state & ~CGridCtrl::kStateReadOnly);
        grid_->setItemState(p, 1, state);
        grid_->setItemFgColour(p, 1, readOnly ? grey : QColor());
        grid_->redrawRow(p);
    }
}

void RadioPage::beginPresetEdit(int row, int column, const QRect& globalRect) {
    if (column != 1 || row < 1 || row > Rules::kPresetCount) return;
    editRow_ = row;
    editStartIndex_ = rules_.presetItemIndex(row);
    fillList(presetEditor_, rules_.presetItems(), editStartIndex_);
    presetEditor_->setGeometry(QRect(mapFromGlobal(globalRect.topLeft()), globalRect.size()));
    presetEditor_->setEnabled(true);
    presetEditor_->show();
    presetEditor_->raise();
    presetEditor_->setFocus();
    grid_->setCoveredRect(true);
}

void RadioPage::endPresetEdit() {
    if (editRow_ == 0) return;
    int row = editRow_;
    editRow_ = 0;
    grid_->setCoveredRect(false);
    rules_.commitPreset(row, presetEditor_->currentIndex());
    grid_->setItemText(row, 1, QString::fromStdString(rules_.presetText(row)));
    grid_->redrawRow(row);
    presetEditor_->hide();
}

bool RadioPage::filterEdit(QLineEdit* edit, QEvent* event) {
    bool isMessage = edit == message_;
    if (event->type() == QEvent::FocusOut) {
        if (isMessage) {
            edit->setText(QString::fromStdString(rules_.commitMessage(edit->text().toStdString())));
        } else {
            rules_.commitPassword(edit->text().toStdString());
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (isMessage && (isEnter(key) || key->key() == Qt::Key_Escape)) {
        if (key->key() == Qt::Key_Escape) {
            edit->setText(QString::fromStdString(rules_.messageText()));
        }
        focusNextChild();
        return true;
    }
    return refusedKey(key, isMessage ? &Rules::acceptsMessageKey : &Rules::acceptsPasswordKey);
}

bool RadioPage::filterPresetEditor(QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        // Opening the drop-down takes the focus for a moment: that is no end of the edit.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) endPresetEdit();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        presetEditor_->setCurrentIndex(editStartIndex_);
        grid_->setFocus(Qt::OtherFocusReason);  // arrows go on from the cell
        endPresetEdit();
        return true;
    }
    if (isEnter(key)) {
        grid_->setFocus(Qt::OtherFocusReason);
        endPresetEdit();
        return true;
    }
    return false;
}

bool RadioPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == message_ || watched == password_) {
        if (filterEdit(static_cast<QLineEdit*>(watched), event)) return true;
    } else if (watched == presetEditor_) {
        if (filterPresetEditor(event)) return true;
    } else if (event->type() == QEvent::MouseButtonPress) {
        if (watched == existing_->viewport()) {
            rules_.clickedExistingList();
            updateButtons();
        } else if (watched == scanned_->viewport()) {
            rules_.clickedScanList();
            updateButtons();
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace pl3
