#include "editors/ui/channel_page.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "editors/ui/tone_picker_dialog.h"
#include "grid/ui/grid_ctrl.h"
#include "lang/ui/dialog_translation.h"

namespace pl3 {

namespace {

using Table = ChannelTable;

struct Caption {
    int id;
    const char* text;
};
// Built-in captions; the language file's "Resource" texts replace them at every refresh.
constexpr Caption kCaptions[] = {{ChannelPage::kAddButton, "增加信道"},
                                 {ChannelPage::kDeleteButton, "删除信道"},
                                 {ChannelPage::kClearButton, "清除信道"},
                                 {ChannelPage::kRangeLabel, "频率范围"}};

bool isFrequencyColumn(int column) {
    return column == Table::kRxFreqColumn || column == Table::kTxFreqColumn;
}

bool isToneColumn(int column) {
    return column == Table::kRxToneColumn || column == Table::kTxToneColumn;
}

bool isFlagColumn(int column) {
    return column >= Table::kFirstFlagColumn && column <= Table::kLastFlagColumn;
}

}  // namespace

QFont channelGridFont() {
    QFont font;
    const QStringList families = QFontDatabase::families();
    for (const QString& family :
         {QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("WenQuanYi Zen Hei")}) {
        if (families.contains(family)) {
            font.setFamily(family);
            break;
        }
    }
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    return font;
}

ChannelPage::ChannelPage(CMaItemDoc& doc, const TextLookup& texts, Prompter& prompter,
                         QWidget* parent)
    : FormPage(parent),
      doc_(doc),
      texts_(texts),
      table_(doc, texts, prompter),
      add_(new QPushButton(this)),
      delete_(new QPushButton(this)),
      clear_(new QPushButton(this)),
      rangeLabel_(new QLabel(this)),
      rangeList_(new QComboBox(this)),
      grid_(new CGridCtrl(this)),
      frequencyEditor_(new QLineEdit(this)),
      nameEditor_(new QLineEdit(this)) {
    setProperty(kTemplateNumberProperty, kTemplate);
    setResourceId(add_, kAddButton);
    setResourceId(delete_, kDeleteButton);
    setResourceId(clear_, kClearButton);
    setResourceId(rangeLabel_, kRangeLabel);
    setResourceId(rangeList_, kRangeList);
    setResourceId(grid_, kGrid);
    setResourceId(frequencyEditor_, kFrequencyEditor);
    setResourceId(nameEditor_, kNameEditor);
    rangeList_->setEditable(false);

    frequencyEditor_->setMaxLength(Table::kFrequencyEditorMaxChars);
    nameEditor_->setMaxLength(Table::kNameEditorMaxChars);
    for (QLineEdit* editor : {frequencyEditor_, nameEditor_}) {
        editor->hide();
        editor->setEnabled(false);
        editor->setContextMenuPolicy(Qt::NoContextMenu);  // no pasting past the key filter
        editor->installEventFilter(this);
    }

    auto* top = new QHBoxLayout;
    top->addWidget(add_);
    top->addWidget(delete_);
    top->addWidget(clear_);
    top->addSpacing(24);
    top->addWidget(rangeLabel_);
    top->addWidget(rangeList_);
    top->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grid_, 1);

    setUpGrid();

    connect(grid_, &CGridCtrl::beginEdit, this, &ChannelPage::onBeginEdit);
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_, &QWidget::customContextMenuRequested, this, &ChannelPage::showContextMenu);
    connect(add_, &QPushButton::clicked, this, [this] { onButton(&Table::addChannel); });
    connect(delete_, &QPushButton::clicked, this, [this] { onButton(&Table::deleteChannel); });
    connect(clear_, &QPushButton::clicked, this, [this] { onButton(&Table::clearChannel); });
    connect(rangeList_, &QComboBox::activated, this, [this](int index) {
        const int shown = table_.changeRange(index);
        showAll();
        showRangeList();
        const QSignalBlocker block(rangeList_);
        rangeList_->setCurrentIndex(shown);
    });

    refresh();
}

ChannelPage::~ChannelPage() = default;

void ChannelPage::setUpGrid() {
    grid_->setRowCount(Table::kRowCount);
    grid_->setColumnCount(Table::kColumnCount);
    grid_->setFixedRowCount(1);
    grid_->setFixedColumnCount(1);
    grid_->resetSelectedRange();
    grid_->setSelectionEnabled(false);
    grid_->setRowResize(false);
    grid_->setColumnResize(false);
    for (int c = 0; c < Table::kColumnCount; ++c)
        grid_->setColumnWidth(c, Table::kColumnWidths[static_cast<std::size_t>(c)]);
    grid_->setRowHeight(0, Table::kHeaderRowHeight);
    for (int r = 1; r < Table::kRowCount; ++r)
        grid_->setRowHeight(r, Table::kRowHeight);
    grid_->setFont(channelGridFont());
    for (int c : {Table::kRxFreqColumn, Table::kTxFreqColumn, Table::kNameColumn})
        grid_->setTypingEdits(c, true);
}

void ChannelPage::refresh() {
    abandonEdit();  // the image under an open editor may be another one now
    table_.Rebuild();
    showRangeList();
    showAll();
    for (const Caption& caption : kCaptions) {
        for (QWidget* child : findChildren<QWidget*>()) {
            if (child->property(kResourceIdProperty).toInt() != caption.id) continue;
            if (auto* button = qobject_cast<QPushButton*>(child)) button->setText(caption.text);
            if (auto* label = qobject_cast<QLabel*>(child)) label->setText(caption.text);
        }
    }
    translateDialog(this, kTemplate, texts_);
}

std::vector<int> ChannelPage::channelsToCopy() const {
    const int row = grid_->focusRow();
    if (row >= 1 && row <= kChannelCount) return {row};
    std::vector<int> all;
    for (int n = 1; n <= kChannelCount; ++n)
        all.push_back(n);
    return all;
}

int ChannelPage::pasteTarget() const {
    const int row = grid_->focusRow();
    return row >= 1 && row <= kChannelCount ? row : 1;
}

void ChannelPage::showRangeList() {
    const QSignalBlocker block(rangeList_);
    rangeList_->clear();
    for (const std::string& name : table_.rangeNames())
        rangeList_->addItem(QString::fromStdString(name));
    rangeList_->setCurrentIndex(table_.selectedRange());
}

void ChannelPage::showRow(int row) {
    if (row < 0 || row >= Table::kRowCount) return;
    const QColor grey = palette().color(QPalette::Disabled, QPalette::Text);
    for (int c = 0; c < Table::kColumnCount; ++c) {
        const Table::Cell& cell = table_.cell(row, c);
        grid_->setItemText(row, c, QString::fromStdString(cell.text));
        grid_->setItemFormat(row, c, row == 0 ? CGridCtrl::kHeaderFormat : CGridCtrl::kCellFormat);
        if (row == 0 || c == Table::kNumberColumn) continue;
        grid_->setItemState(row, c, cell.readOnly ? CGridCtrl::kStateReadOnly : 0U);
        grid_->setItemFgColour(row, c, cell.readOnly ? grey : QColor());
    }
    grid_->redrawRow(row);
}

void ChannelPage::showAll() {
    grid_->setRedraw(false);
    for (int r = 0; r < Table::kRowCount; ++r)
        showRow(r);
    grid_->setRedraw(true);
}

void ChannelPage::onBeginEdit(int row, int column, const QRect& globalRect, const QString& text) {
    if (isFrequencyColumn(column)) {
        openEditor(frequencyEditor_, row, column, globalRect, text);
    } else if (column == Table::kNameColumn) {
        openEditor(nameEditor_, row, column, globalRect, text);
    } else if (isFlagColumn(column)) {
        table_.toggle(row, column);
        showRow(row);
    } else if (isToneColumn(column)) {
        openTonePicker(row, column, text);
    }
}

void ChannelPage::openEditor(QLineEdit* editor, int row, int column, const QRect& globalRect,
                             const QString& text) {
    commitEdit();
    grid_->setCoveredRect(true);
    edit_ = Edit{editor, row, column, text};
    editor->setGeometry(QRect(mapFromGlobal(globalRect.topLeft()), globalRect.size()));
    editor->setText(text);
    editor->setEnabled(true);
    editor->show();
    editor->raise();
    editor->selectAll();
    editor->setFocus(Qt::OtherFocusReason);
}

void ChannelPage::commitEdit() {
    if (!edit_) return;
    const Edit edit = *edit_;
    edit_.reset();  // hiding the editor loses its focus again
    grid_->setCoveredRect(false);
    const std::string text = edit.editor->text().toStdString();
    if (edit.editor == frequencyEditor_) {
        table_.commitFrequency(edit.row, edit.column, text);
    } else {
        table_.commitName(edit.row, text);
    }
    edit.editor->hide();
    edit.editor->setEnabled(false);
    showRow(edit.row);
}

void ChannelPage::abandonEdit() {
    if (!edit_) return;
    QLineEdit* editor = edit_->editor;
    edit_.reset();
    grid_->setCoveredRect(false);
    editor->hide();
    editor->setEnabled(false);
}

void ChannelPage::openTonePicker(int row, int column, const QString& text) {
    auto* picker = new TonePickerDialog(doc_, texts_, row, column, text, this);
    picker->setAttribute(Qt::WA_DeleteOnClose);
    connect(picker, &QDialog::finished, this, [this] { refresh(); });
    picker->open();
}

void ChannelPage::onButton(bool (ChannelTable::*action)(int)) {
    commitEdit();
    if ((table_.*action)(grid_->focusRow())) showAll();
}

void ChannelPage::reorder(ChannelOrderCommand command) {
    commitEdit();
    const int row = grid_->focusRow();
    const std::optional<int> current = table_.reorder(command, row);
    if (!current) return;
    showAll();
    if (*current == row) return;
    const int column = grid_->focusColumn();
    grid_->setFocusCell(*current, column);
    grid_->scrollTo(grid_->model()->index(*current, column));
}

void ChannelPage::showContextMenu(const QPoint& position) {
    if (contextActions_.isEmpty()) return;
    const QModelIndex index = grid_->indexAt(position);
    if (index.isValid() && index.row() >= 1 && index.column() >= 1) {
        commitEdit();
        grid_->setFocusCell(index.row(), index.column());
    }
    QMenu::exec(contextActions_, grid_->viewport()->mapToGlobal(position), nullptr, grid_);
}

bool ChannelPage::eventFilter(QObject* watched, QEvent* event) {
    auto* editor = qobject_cast<QLineEdit*>(watched);
    if (editor == nullptr || (editor != frequencyEditor_ && editor != nameEditor_)) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusOut) {
        if (edit_ && edit_->editor == editor) commitEdit();
    } else if (event->type() == QEvent::KeyPress) {
        return filterKey(editor, static_cast<QKeyEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

bool ChannelPage::filterKey(QLineEdit* editor, QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            if (edit_ && edit_->editor == editor) editor->setText(edit_->openingText);
            grid_->setFocus(Qt::OtherFocusReason);  // arrows and typing go on from the cell
            commitEdit();  // in case the focus move did not reach the editor
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            grid_->setFocus(Qt::OtherFocusReason);
            commitEdit();
            return true;
        default:
            break;
    }
    if (event->matches(QKeySequence::Paste)) return true;
    const QString typed = event->text();
    if (typed.isEmpty() || !typed.at(0).isPrint()) return false;  // backspace, arrows, ...
    // What the key replaces (the selection) does not count against it.
    QString current = editor->text();
    if (editor->hasSelectedText())
        current.remove(editor->selectionStart(), editor->selectedText().size());
    std::string rest = current.toStdString();
    for (QChar ch : typed) {
        if (ch.unicode() > 0x7F) return true;
        const char c = static_cast<char>(ch.unicode());
        const bool accepted = editor == frequencyEditor_ ? Table::acceptsFrequencyKey(c, rest)
                                                         : Table::acceptsNameKey(c);
        if (!accepted) return true;
        rest += c;
    }
    return false;
}

}  // namespace pl3
