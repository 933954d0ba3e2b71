#include "grid/ui/grid_ctrl.h"

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <QApplication>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QWheelEvent>
#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "grid/grid_rules.h"

namespace pl3 {

static_assert(CGridCtrl::kCentred == grid::kFormatCentred);
static_assert(CGridCtrl::kVerticallyCentred == grid::kFormatVerticallyCentred);
static_assert(CGridCtrl::kSingleLine == grid::kFormatSingleLine);
static_assert(CGridCtrl::kWordWrap == grid::kFormatWordWrap);

namespace {

using grid::CellPos;

constexpr int kDefaultColumnWidth = 64;
constexpr int kDefaultRowHeight = 22;
constexpr int kTextMargin = 3;
constexpr int kFocusFrameWidth = 2;
// Small enough for any width a page sets, large enough to stay grabbable when dragged.
constexpr int kMinimumDragSize = 4;
constexpr QRgb kPrintHeaderFill = 0xffececec;

constexpr ushort kFirstCjkCodePoint = 0x2E80;

constexpr int kFormatRole = Qt::UserRole + 1;
constexpr int kStateRole = Qt::UserRole + 2;

struct Cell {
    QString text;
    unsigned format = CGridCtrl::kCellFormat;
    unsigned state = 0;  // never the focused bit: that follows the focus cell
    QColor fg;           // invalid: the grid's own
    QColor bg;
};

// Alignment, and the wrap flag which does not clash with any alignment bit (the single-line
// flag would: it shares its value with AlignBaseline).
int qtAlignment(unsigned format) {
    const grid::TextLayout layout = grid::textLayout(format);
    int flags = layout.horizontal == grid::HAlign::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
    flags |= layout.verticallyCentred ? Qt::AlignVCenter : Qt::AlignTop;
    if (layout.lines == grid::LineMode::Wrap) flags |= Qt::TextWordWrap;
    return flags;
}

// A wrapped text whose longest word is wider than its cell would lose letters at both
// edges: it gets a smaller face (down to 60 %) instead.
QFont fittingFont(const QFont& font, const QPaintDevice* device, const QString& text, int width) {
    const QFontMetricsF metrics(font, device);
    qreal widest = 0;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        // Chinese text breaks between any two characters; only Latin words stay whole.
        bool breaksAnywhere = false;
        for (QChar c : word)
            breaksAnywhere = breaksAnywhere || c.unicode() >= kFirstCjkCodePoint;
        if (!breaksAnywhere) {
            widest = std::max(widest, metrics.horizontalAdvance(word));
            continue;
        }
        for (QChar c : word)
            widest = std::max(widest, metrics.horizontalAdvance(c));
    }
    if (widest <= width || widest <= 0) return font;
    const qreal scale = std::max(0.6, width / widest);
    QFont smaller(font);
    if (font.pixelSize() > 0) {
        smaller.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * scale)));
    } else {
        smaller.setPointSizeF(font.pointSizeF() * scale);
    }
    return smaller;
}

// Shared by the screen and the printout, so both lay text out alike.
void drawCellText(QPainter& painter, const QRect& cell, const QString& text, unsigned format,
                  const QColor& colour) {
    const QRect area = cell.adjusted(kTextMargin, 0, -kTextMargin, 0);
    if (text.isEmpty() || area.width() <= 0 || area.height() <= 0) return;
    const bool singleLine = grid::textLayout(format).lines == grid::LineMode::SingleLine;
    const QString shown =
        singleLine ? painter.fontMetrics().elidedText(text, Qt::ElideRight, area.width()) : text;
    painter.save();
    painter.setClipRect(cell, Qt::IntersectClip);
    if (!singleLine) {
        QString words = text;
        words.replace(QLatin1Char('\n'), QLatin1Char(' '));
        painter.setFont(fittingFont(painter.font(), painter.device(), words, area.width()));
    }
    painter.setPen(colour);
    painter.drawText(area, qtAlignment(format) | (singleLine ? Qt::TextSingleLine : 0), shown);
    painter.restore();
}

class GridModel final : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(cells_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : columns_;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        return cellData(index.row(), index.column(), role);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal) {
            return fixedRows_ > 0 ? cellData(0, section, role) : QVariant();
        }
        return fixedColumns_ > 0 ? cellData(section, 0, role) : QVariant();
    }

    // Never ItemIsEditable: the page edits, not the view.
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    int fixedRows() const { return fixedRows_; }
    int fixedColumns() const { return fixedColumns_; }
    grid::DataArea dataArea() const { return {fixedRows_, rowCount(), fixedColumns_, columns_}; }
    CellPos focus() const { return focus_; }

    const Cell* cell(int row, int column) const {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columns_) return nullptr;
        return &cells_[row][column];
    }

    unsigned state(int row, int column) const {
        const Cell* c = cell(row, column);
        if (c == nullptr) return 0;
        return c->state | (focus_ == CellPos{row, column} ? CGridCtrl::kStateFocused : 0u);
    }

    void reshape(int rows, int columns, int fixedRows, int fixedColumns) {
        beginResetModel();
        columns_ = columns;
        cells_.resize(rows);
        for (std::vector<Cell>& row : cells_)
            row.resize(columns);
        fixedRows_ = fixedRows;
        fixedColumns_ = fixedColumns;
        if (!dataArea().contains(focus_)) focus_ = {};
        endResetModel();
    }

    template <typename Change>
    void changeCell(int row, int column, const QList<int>& roles, Change change) {
        if (cell(row, column) == nullptr) return;
        change(cells_[row][column]);
        const QModelIndex changed = index(row, column);
        emit dataChanged(changed, changed, roles);
        if (row < fixedRows_) emit headerDataChanged(Qt::Horizontal, column, column);
        if (column < fixedColumns_) emit headerDataChanged(Qt::Vertical, row, row);
    }

    void setFocus(CellPos to) {
        const CellPos from = std::exchange(focus_, to);
        if (from == to) return;
        for (const CellPos& changed : {from, to}) {
            if (!changed.valid()) continue;
            const QModelIndex at = index(changed.row, changed.column);
            emit dataChanged(at, at, {kStateRole});
        }
    }

  private:
    QVariant cellData(int row, int column, int role) const {
        const Cell* c = cell(row, column);
        if (c == nullptr) return {};
        switch (role) {
            case Qt::DisplayRole:
                return c->text;
            case Qt::ForegroundRole:
                return c->fg.isValid() ? QVariant(c->fg) : QVariant();
            case Qt::BackgroundRole:
                return c->bg.isValid() ? QVariant(c->bg) : QVariant();
            case Qt::TextAlignmentRole:
                // Carries the wrap flag too: the header view passes it on to the style.
                return qtAlignment(c->format);
            case kFormatRole:
                return c->format;
            case kStateRole:
                return state(row, column);
            default:
                return {};
        }
    }

    std::vector<std::vector<Cell>> cells_;  // [row][column], header row and column included
    int columns_ = 0;
    int fixedRows_ = 0;
    int fixedColumns_ = 0;
    CellPos focus_;
};

// The cell a page's editor lies over.
struct Covering {
    bool on = false;
    CellPos cell;

    bool covers(int row, int column) const { return on && cell == CellPos{row, column}; }
};

class CellDelegate final : public QStyledItemDelegate {
  public:
    CellDelegate(const Covering& covering, QObject* parent)
        : QStyledItemDelegate(parent), covering_(covering) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (covering_.covers(index.row(), index.column())) return;
        const QPalette& palette = option.palette;
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QVariant bg = index.data(Qt::BackgroundRole);
        const QVariant fg = index.data(Qt::ForegroundRole);
        const QColor fill = selected       ? palette.color(QPalette::Highlight)
                            : bg.isValid() ? bg.value<QColor>()
                                           : palette.color(QPalette::Base);
        const QColor ink = selected       ? palette.color(QPalette::HighlightedText)
                           : fg.isValid() ? fg.value<QColor>()
                                          : palette.color(QPalette::Text);

        painter->save();
        painter->setFont(option.font);
        painter->fillRect(option.rect, fill);
        drawCellText(*painter, option.rect, index.data(Qt::DisplayRole).toString(),
                     index.data(kFormatRole).toUInt(), ink);
        if ((index.data(kStateRole).toUInt() & CGridCtrl::kStateFocused) != 0) {
            // Drawn whether or not the grid has keyboard focus: the page's editor usually has it.
            QPen frame(selected ? palette.color(QPalette::HighlightedText)
                                : palette.color(QPalette::Highlight));
            frame.setWidth(kFocusFrameWidth);
            frame.setJoinStyle(Qt::MiterJoin);
            painter->setPen(frame);
            painter->setBrush(Qt::NoBrush);
            const int inset = kFocusFrameWidth / 2;
            painter->drawRect(option.rect.adjusted(inset, inset, -inset, -inset));
        }
        painter->restore();
    }

  private:
    const Covering& covering_;
};

class EventHook final : public QObject {
  public:
    using Handler = std::function<bool(QObject*, QEvent*)>;

    EventHook(Handler handler, QObject* parent) : QObject(parent), handler_(std::move(handler)) {}

    bool eventFilter(QObject* watched, QEvent* event) override { return handler_(watched, event); }

  private:
    Handler handler_;
};

void drawPrintedRow(QPainter& painter, const GridModel& model, const std::vector<int>& widths,
                    int row, int height) {
    if (height <= 0) return;
    painter.save();
    QPen border(Qt::black);
    border.setWidth(0);  // cosmetic: one device pixel at any scale
    int x = 0;
    for (int column = 0; column < model.columnCount(); ++column) {
        const int width = widths[column];
        if (width <= 0) continue;
        const Cell& cell = *model.cell(row, column);
        const QRect area(x, 0, width, height);
        const bool header = row < model.fixedRows() || column < model.fixedColumns();
        painter.fillRect(area, header ? QColor(kPrintHeaderFill) : QColor(Qt::white));
        // Inside the borders, which take the last pixel of each side.
        drawCellText(painter, area.adjusted(0, 0, -1, -1), cell.text, cell.format,
                     cell.fg.isValid() ? cell.fg : QColor(Qt::black));
        painter.setPen(border);
        painter.drawLine(area.right(), area.top(), area.right(), area.bottom());
        painter.drawLine(area.left(), area.bottom(), area.right(), area.bottom());
        x += width;
    }
    if (x > 0) {
        painter.setPen(border);
        painter.drawLine(0, 0, 0, height - 1);
        if (row < model.fixedRows()) painter.drawLine(0, 0, x - 1, 0);
    }
    painter.restore();
}

}  // namespace

struct CGridCtrl::Impl {
    GridModel* model = nullptr;  // children of the grid
    QAbstractButton* corner = nullptr;
    EventHook* hook = nullptr;
    std::vector<QMetaObject::Connection> headerConnections;

    std::vector<int> columnWidths;
    std::vector<int> rowHeights;
    bool editable = true;
    bool selectionEnabled = true;
    bool applyingLayout = false;  // section sizes set by the grid, not dragged by the user
    bool headerDragResized = false;

    Covering covering;
    CellPos pressed;
    grid::WheelAccumulator wheel;
};

CGridCtrl::CGridCtrl(QWidget* parent) : QTableView(parent), impl_(std::make_unique<Impl>()) {
    impl_->model = new GridModel(this);
    setModel(impl_->model);
    setItemDelegate(new CellDelegate(impl_->covering, this));

    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(false);  // Tab leaves the grid, as in any dialog
    setAutoScroll(false);        // the grid scrolls itself, never under a pressed mouse
    setCornerButtonEnabled(false);
    setSelectionBehavior(SelectItems);
    setSelectionMode(ExtendedSelection);
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);

    impl_->hook = new EventHook(
        [this](QObject* watched, QEvent* event) { return filterHeaderEvent(watched, event); },
        this);
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
        header->setMinimumSectionSize(kMinimumDragSize);
        header->setTextElideMode(Qt::ElideNone);  // eliding first would defeat the word wrap
        header->setSectionResizeMode(QHeaderView::Interactive);
        header->viewport()->installEventFilter(impl_->hook);
        impl_->headerConnections.push_back(connect(
            header, &QHeaderView::sectionResized, this, [this, header](int section, int, int size) {
                if (impl_->applyingLayout) return;
                impl_->headerDragResized = true;
                std::vector<int>& sizes = header->orientation() == Qt::Horizontal
                                              ? impl_->columnWidths
                                              : impl_->rowHeights;
                if (section < static_cast<int>(sizes.size())) sizes[section] = size;
            }));
    }
    impl_->corner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (impl_->corner != nullptr) impl_->corner->installEventFilter(impl_->hook);
    applyLayout();
}

CGridCtrl::~CGridCtrl() {
    // The hook and the header connections reach into impl_, which goes before the children.
    delete impl_->hook;
    for (const QMetaObject::Connection& connection : impl_->headerConnections) {
        disconnect(connection);
    }
}

// --- shape ---

void CGridCtrl::setRowCount(int rows) {
    rows = std::max(rows, 0);
    impl_->rowHeights.resize(rows, kDefaultRowHeight);
    impl_->model->reshape(rows, columnCount(), fixedRowCount(), fixedColumnCount());
    afterShapeChange();
}

void CGridCtrl::setColumnCount(int columns) {
    columns = std::max(columns, 0);
    impl_->columnWidths.resize(columns, kDefaultColumnWidth);
    impl_->model->reshape(rowCount(), columns, fixedRowCount(), fixedColumnCount());
    afterShapeChange();
}

void CGridCtrl::setFixedRowCount(int rows) {
    impl_->model->reshape(rowCount(), columnCount(), std::clamp(rows, 0, 1), fixedColumnCount());
    afterShapeChange();
}

void CGridCtrl::setFixedColumnCount(int columns) {
    impl_->model->reshape(rowCount(), columnCount(), fixedRowCount(), std::clamp(columns, 0, 1));
    afterShapeChange();
}

int CGridCtrl::rowCount() const {
    return impl_->model->rowCount();
}
int CGridCtrl::columnCount() const {
    return impl_->model->columnCount();
}
int CGridCtrl::fixedRowCount() const {
    return impl_->model->fixedRows();
}
int CGridCtrl::fixedColumnCount() const {
    return impl_->model->fixedColumns();
}

void CGridCtrl::deleteAllItems() {
    impl_->rowHeights.clear();
    impl_->columnWidths.clear();
    impl_->model->reshape(0, 0, 0, 0);
    afterShapeChange();
}

void CGridCtrl::setColumnWidth(int column, int pixels) {
    if (column < 0 || column >= columnCount()) return;
    impl_->columnWidths[column] = std::max(pixels, 0);
    if (column < fixedColumnCount()) {
        applyLayout();
        return;
    }
    impl_->applyingLayout = true;
    QTableView::setColumnWidth(column, impl_->columnWidths[column]);
    impl_->applyingLayout = false;
}

void CGridCtrl::setRowHeight(int row, int pixels) {
    if (row < 0 || row >= rowCount()) return;
    impl_->rowHeights[row] = std::max(pixels, 0);
    if (row < fixedRowCount()) {
        applyLayout();
        return;
    }
    impl_->applyingLayout = true;
    QTableView::setRowHeight(row, impl_->rowHeights[row]);
    impl_->applyingLayout = false;
}

int CGridCtrl::columnWidth(int column) const {
    return column >= 0 && column < columnCount() ? impl_->columnWidths[column] : 0;
}

int CGridCtrl::rowHeight(int row) const {
    return row >= 0 && row < rowCount() ? impl_->rowHeights[row] : 0;
}

int CGridCtrl::totalWidth() const {
    int total = 0;
    for (int width : impl_->columnWidths)
        total += width;
    return total;
}

int CGridCtrl::fixedRowsHeight() const {
    return fixedRowCount() > 0 && rowCount() > 0 ? impl_->rowHeights[0] : 0;
}

void CGridCtrl::afterShapeChange() {
    impl_->pressed = {};
    applyLayout();
    syncCurrentIndex();
}

// A model reset forgets hidden sections and section sizes, so everything is set again from
// what the pages asked for.
void CGridCtrl::applyLayout() {
    const int rows = rowCount();
    const int columns = columnCount();
    const int fixedRows = fixedRowCount();
    const int fixedColumns = fixedColumnCount();
    impl_->applyingLayout = true;
    if (rows > 0) setRowHidden(0, fixedRows > 0);
    if (columns > 0) setColumnHidden(0, fixedColumns > 0);
    for (int row = fixedRows; row < rows; ++row) {
        if (verticalHeader()->sectionSize(row) != impl_->rowHeights[row]) {
            QTableView::setRowHeight(row, impl_->rowHeights[row]);
        }
    }
    for (int column = fixedColumns; column < columns; ++column) {
        if (horizontalHeader()->sectionSize(column) != impl_->columnWidths[column]) {
            QTableView::setColumnWidth(column, impl_->columnWidths[column]);
        }
    }
    const bool showColumnHeaders = fixedRows > 0 && rows > 0;
    const bool showRowHeaders = fixedColumns > 0 && columns > 0;
    if (showColumnHeaders) horizontalHeader()->setFixedHeight(impl_->rowHeights[0]);
    if (showRowHeaders) verticalHeader()->setFixedWidth(impl_->columnWidths[0]);
    horizontalHeader()->setVisible(showColumnHeaders);
    verticalHeader()->setVisible(showRowHeaders);
    impl_->applyingLayout = false;
    updateGeometries();
    viewport()->update();
}

// --- behaviour switches ---

void CGridCtrl::setRowResize(bool allowed) {
    verticalHeader()->setSectionResizeMode(allowed ? QHeaderView::Interactive : QHeaderView::Fixed);
}

void CGridCtrl::setColumnResize(bool allowed) {
    horizontalHeader()->setSectionResizeMode(allowed ? QHeaderView::Interactive
                                                     : QHeaderView::Fixed);
}

void CGridCtrl::setSelectionEnabled(bool enabled) {
    impl_->selectionEnabled = enabled;
    if (!enabled) clearSelection();
    setSelectionMode(enabled ? ExtendedSelection : NoSelection);
}

void CGridCtrl::setEditable(bool editable) {
    impl_->editable = editable;
}

void CGridCtrl::setRedraw(bool on) {
    if (on == updatesEnabled()) return;
    setUpdatesEnabled(on);  // switching on schedules an update of the grid and its children
    if (on && isVisible()) repaint();
}

// --- focus ---

void CGridCtrl::setFocusCell(int row, int column) {
    const CellPos cell{row, column};
    impl_->model->setFocus(impl_->model->dataArea().contains(cell) ? cell : CellPos{});
    syncCurrentIndex();
}

int CGridCtrl::focusRow() const {
    return impl_->model->focus().row;
}
int CGridCtrl::focusColumn() const {
    return impl_->model->focus().column;
}

void CGridCtrl::resetSelectedRange() {
    clearSelection();
}

// Keeps the view's current index on the focus cell, for accessibility and for range
// selection starting from it.
void CGridCtrl::syncCurrentIndex() {
    const CellPos focus = impl_->model->focus();
    const QModelIndex index =
        focus.valid() ? impl_->model->index(focus.row, focus.column) : QModelIndex();
    if (selectionModel() != nullptr && selectionModel()->currentIndex() != index) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
}

void CGridCtrl::moveFocusNotifying(int row, int column, bool scrollIntoView) {
    const CellPos from = impl_->model->focus();
    const CellPos to{row, column};
    if (from == to) return;
    QPointer<CGridCtrl> self(this);
    if (from.valid()) emit focusLeaving(from.row, from.column);
    // The page may have reshaped the grid, or closed the window, while saving the old cell.
    if (!self || !impl_->model->dataArea().contains(to)) return;
    setFocusCell(to.row, to.column);
    if (scrollIntoView) scrollTo(impl_->model->index(to.row, to.column));
    setCoveredCell(to.row, to.column);
    emit focusCellChanged(to.row, to.column);
}

void CGridCtrl::requestEdit(int row, int column) {
    const Cell* cell = impl_->model->cell(row, column);
    if (cell == nullptr) return;
    const bool dataCell = impl_->model->dataArea().contains({row, column});
    const bool readOnly = (cell->state & kStateReadOnly) != 0;
    QRect rect = cellRect(row, column);
    if (!grid::mayBeginEdit(impl_->editable, readOnly, dataCell, isVisible() && !rect.isEmpty())) {
        return;
    }
    // A half-hidden cell comes fully into view, so the page's editor does not hang over the
    // headers or the window's edge.
    scrollTo(impl_->model->index(row, column));
    rect = cellRect(row, column);
    setCoveredCell(row, column);
    const QString text = cell->text;  // a copy: a receiver may reshape the grid
    emit beginEdit(row, column, QRect(mapToGlobal(rect.topLeft()), rect.size()), text);
}

// --- cells ---

void CGridCtrl::setItemText(int row, int column, const QString& text) {
    impl_->model->changeCell(row, column, {Qt::DisplayRole}, [&](Cell& c) { c.text = text; });
    if (row == 0 && column == 0 && impl_->corner != nullptr) impl_->corner->update();
}

QString CGridCtrl::itemText(int row, int column) const {
    const Cell* cell = impl_->model->cell(row, column);
    return cell != nullptr ? cell->text : QString();
}

void CGridCtrl::setItemFormat(int row, int column, unsigned format) {
    impl_->model->changeCell(row, column, {kFormatRole, Qt::TextAlignmentRole},
                             [&](Cell& c) { c.format = format; });
}

unsigned CGridCtrl::itemState(int row, int column) const {
    return impl_->model->state(row, column);
}

void CGridCtrl::setItemState(int row, int column, unsigned state) {
    impl_->model->changeCell(row, column, {kStateRole},
                             [&](Cell& c) { c.state = state & ~kStateFocused; });
}

void CGridCtrl::setItemFgColour(int row, int column, const QColor& colour) {
    impl_->model->changeCell(row, column, {Qt::ForegroundRole}, [&](Cell& c) { c.fg = colour; });
}

void CGridCtrl::setItemBkColour(int row, int column, const QColor& colour) {
    impl_->model->changeCell(row, column, {Qt::BackgroundRole}, [&](Cell& c) { c.bg = colour; });
}

QColor CGridCtrl::itemFgColour(int row, int column) const {
    const Cell* cell = impl_->model->cell(row, column);
    return cell != nullptr ? cell->fg : QColor();
}

QColor CGridCtrl::itemBkColour(int row, int column) const {
    const Cell* cell = impl_->model->cell(row, column);
    return cell != nullptr ? cell->bg : QColor();
}

void CGridCtrl::redrawRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    if (row < fixedRowCount()) {
        horizontalHeader()->viewport()->update();
        if (impl_->corner != nullptr) impl_->corner->update();
        return;
    }
    const int top = rowViewportPosition(row);
    const int height = QTableView::rowHeight(row);
    viewport()->update(QRect(0, top, viewport()->width(), height));
    if (fixedColumnCount() > 0) {
        QWidget* headerArea = verticalHeader()->viewport();
        headerArea->update(QRect(0, top, headerArea->width(), height));
    }
}

void CGridCtrl::updateCell(int row, int column) {
    if (impl_->model->dataArea().contains({row, column})) {
        viewport()->update(visualRect(impl_->model->index(row, column)));
    }
}

QRect CGridCtrl::cellRect(int row, int column) const {
    if (impl_->model->cell(row, column) == nullptr) return {};
    const bool headerRow = row < fixedRowCount();
    const bool headerColumn = column < fixedColumnCount();

    if (headerRow && headerColumn) {
        const QAbstractButton* corner = impl_->corner;
        if (corner == nullptr || horizontalHeader()->isHidden() || verticalHeader()->isHidden()) {
            return {};
        }
        return corner->geometry();
    }

    // Places a rectangle of `area` in the grid, if any part of it is in view there.
    const auto inView = [this](const QWidget* area, const QRect& rect) -> QRect {
        if (!rect.intersects(area->rect())) return {};
        return rect.translated(area->mapTo(this, QPoint(0, 0)));
    };
    if (headerRow) {
        const QHeaderView* header = horizontalHeader();
        if (header->isHidden()) return {};
        return inView(header->viewport(),
                      QRect(header->sectionViewportPosition(column), 0, header->sectionSize(column),
                            header->viewport()->height()));
    }
    if (headerColumn) {
        const QHeaderView* header = verticalHeader();
        if (header->isHidden()) return {};
        return inView(header->viewport(),
                      QRect(0, header->sectionViewportPosition(row), header->viewport()->width(),
                            header->sectionSize(row)));
    }
    return inView(viewport(), visualRect(impl_->model->index(row, column)));
}

void CGridCtrl::setCoveredRect(bool on) {
    if (impl_->covering.on == on) return;
    impl_->covering.on = on;
    updateCell(impl_->covering.cell.row, impl_->covering.cell.column);
}

void CGridCtrl::setCoveredCell(int row, int column) {
    const CellPos old = std::exchange(impl_->covering.cell, CellPos{row, column});
    if (!impl_->covering.on || old == impl_->covering.cell) return;
    updateCell(old.row, old.column);
    updateCell(row, column);
}

// --- printing ---

void CGridCtrl::drawFixedRows(QPainter& painter) const {
    if (fixedRowCount() == 0 || rowCount() == 0) return;
    drawPrintedRow(painter, *impl_->model, impl_->columnWidths, 0, impl_->rowHeights[0]);
}

void CGridCtrl::drawRow(QPainter& painter, int row) const {
    if (row < 0 || row >= rowCount()) return;
    drawPrintedRow(painter, *impl_->model, impl_->columnWidths, row, impl_->rowHeights[row]);
}

// --- events ---

void CGridCtrl::mousePressEvent(QMouseEvent* event) {
    impl_->pressed = {};
    if (event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        const CellPos cell{index.row(), index.column()};
        if (index.isValid() && impl_->model->dataArea().contains(cell)) {
            QPointer<CGridCtrl> self(this);
            // No scrolling here: the release must find the same cell under the mouse.
            moveFocusNotifying(cell.row, cell.column, false);
            if (!self) return;
            if (impl_->model->focus() == cell) impl_->pressed = cell;
        }
    }
    if (impl_->selectionEnabled) {
        QTableView::mousePressEvent(event);
    } else {
        event->accept();
    }
}

// The second press of a double click arrives as a double click; it is a press all the same.
void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (impl_->selectionEnabled) QTableView::mouseMoveEvent(event);
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
    const CellPos pressed = std::exchange(impl_->pressed, CellPos{});
    QPointer<CGridCtrl> self(this);
    if (impl_->selectionEnabled) QTableView::mouseReleaseEvent(event);
    if (!self || event->button() != Qt::LeftButton) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) return;
    if (pressed.valid() && pressed == CellPos{index.row(), index.column()}) {
        requestEdit(pressed.row, pressed.column);
    }
    if (self) emit clicked();
}

void CGridCtrl::keyPressEvent(QKeyEvent* event) {
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    std::optional<grid::FocusMove> move;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            // Taken even when nothing is edited, so a dialog's default button does not fire.
            const CellPos focus = impl_->model->focus();
            if (focus.valid()) requestEdit(focus.row, focus.column);
            event->accept();
            return;
        }
        case Qt::Key_Up:
            move = grid::FocusMove::Up;
            break;
        case Qt::Key_Down:
            move = grid::FocusMove::Down;
            break;
        case Qt::Key_Left:
            move = grid::FocusMove::Left;
            break;
        case Qt::Key_Right:
            move = grid::FocusMove::Right;
            break;
        case Qt::Key_PageUp:
            move = grid::FocusMove::PageUp;
            break;
        case Qt::Key_PageDown:
            move = grid::FocusMove::PageDown;
            break;
        case Qt::Key_Home:
            move = control ? grid::FocusMove::First : grid::FocusMove::RowStart;
            break;
        case Qt::Key_End:
            move = control ? grid::FocusMove::Last : grid::FocusMove::RowEnd;
            break;
        default:
            event->ignore();
            return;
    }
    const int topRow = std::max(rowAt(0), fixedRowCount());
    const int page = grid::rowsPerPage(impl_->rowHeights, topRow, viewport()->height());
    const CellPos to =
        grid::moveFocus(impl_->model->focus(), *move, impl_->model->dataArea(), page);
    event->accept();
    if (!to.valid()) return;
    QPointer<CGridCtrl> self(this);
    moveFocusNotifying(to.row, to.column, true);
    if (!self || impl_->model->focus() != to) return;
    // Also when the focus stays: a key brings a focus cell scrolled away back.
    const QModelIndex index = impl_->model->index(to.row, to.column);
    scrollTo(index);
    if (impl_->selectionEnabled) {
        selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    }
}

void CGridCtrl::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        QTableView::wheelEvent(event);  // sideways: let the view scroll horizontally
        return;
    }
    // Scrolling per item, so the scroll bar counts rows.
    const int rows = impl_->wheel.add(delta, QApplication::wheelScrollLines());
    verticalScrollBar()->setValue(verticalScrollBar()->value() - rows);
    event->accept();
}

bool CGridCtrl::filterHeaderEvent(QObject* watched, QEvent* event) {
    if (watched == impl_->corner) {
        if (event->type() != QEvent::Paint) return false;
        paintCorner();
        return true;
    }
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) return false;
    if (event->type() == QEvent::MouseButtonPress) {
        impl_->headerDragResized = false;
    } else if (event->type() == QEvent::MouseButtonRelease && !impl_->headerDragResized) {
        const QHeaderView* header =
            watched == horizontalHeader()->viewport() ? horizontalHeader() : verticalHeader();
        if (header->logicalIndexAt(mouse->position().toPoint()) >= 0) emit clicked();
    }
    return false;
}

// The view's corner button draws an empty header; the corner cell has a text of its own.
void CGridCtrl::paintCorner() {
    QAbstractButton* corner = impl_->corner;
    const Cell* cell = impl_->model->cell(0, 0);
    QStyleOptionHeader option;
    option.initFrom(corner);
    option.rect = corner->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    // The button is disabled so that it does not select everything; its text is not.
    option.state |= QStyle::State_Raised | QStyle::State_Enabled;
    option.state &= ~QStyle::State_HasFocus;
    option.palette.setCurrentColorGroup(isActiveWindow() ? QPalette::Active : QPalette::Inactive);
    if (cell != nullptr) {
        option.text = cell->text;
        option.textAlignment = Qt::Alignment(qtAlignment(cell->format));
        if (cell->fg.isValid()) option.palette.setColor(QPalette::ButtonText, cell->fg);
        if (cell->bg.isValid()) option.palette.setColor(QPalette::Button, cell->bg);
    }
    QPainter painter(corner);
    corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
}

}  // namespace pl3
