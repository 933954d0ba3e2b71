#include "grid/ui/grid_ctrl.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <utility>
#include <vector>

#include "grid/ui/grid_ctrl_impl.h"

namespace pl3 {

static_assert(CGridCtrl::kCentred == grid::kFormatCentred);
static_assert(CGridCtrl::kVerticallyCentred == grid::kFormatVerticallyCentred);
static_assert(CGridCtrl::kSingleLine == grid::kFormatSingleLine);
static_assert(CGridCtrl::kWordWrap == grid::kFormatWordWrap);

namespace {

using grid::CellPos;

constexpr int kDefaultColumnWidth = 64;
constexpr int kDefaultRowHeight = 22;
// Small enough for any width a page sets, large enough to stay grabbable when dragged.
constexpr int kMinimumDragSize = 4;

}  // namespace

CGridCtrl::CGridCtrl(QWidget* parent) : QTableView(parent), impl_(std::make_unique<Impl>()) {
    impl_->model = new grid::GridModel(this);
    // Before the model, so the heading row is the one that breaks headings by the rule.
    setHorizontalHeader(new grid::HeadingView(Qt::Horizontal, this));
    setModel(impl_->model);
    setItemDelegate(new grid::CellDelegate(impl_->covering, this));

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

    impl_->hook = new grid::EventHook(
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
                // A heading dragged narrower wraps onto more lines: the heading row follows.
                if (header->orientation() == Qt::Horizontal) fitHeadingRow();
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
    impl_->typingColumns.resize(columns, false);
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
    impl_->typingColumns.clear();
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
    fitHeadingRow();
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

int CGridCtrl::headingHeight() const {
    const QHeaderView* header = horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const QFontMetrics metrics(header->font());
    int needed = 0;
    for (int column = fixedColumnCount(); column < columnCount(); ++column) {
        const QString text =
            impl_->model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        if (text.isEmpty()) continue;
        const int width = impl_->columnWidths[column] - 2 * margin;
        if (width <= 0) continue;
        // Broken into lines as the heading is painted, in the row's own face.
        const QString shown = grid::fitWrappedText(text, width, header->font(), header).text;
        const QRect bounds =
            metrics.boundingRect(QRect(0, 0, width, QWIDGETSIZE_MAX), Qt::TextWordWrap, shown);
        needed = std::max(needed, bounds.height());
    }
    // Descenders of the last line and rounding at fractional scale factors need a little more.
    if (needed > 0) needed += 2 * margin + metrics.descent() / 2 + 1;
    return std::max(impl_->rowHeights[0], needed);
}

void CGridCtrl::fitHeadingRow() {
    if (rowCount() > 0 && fixedRowCount() > 0) horizontalHeader()->setFixedHeight(headingHeight());
}

void CGridCtrl::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) fitHeadingRow();
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
    if (showColumnHeaders) horizontalHeader()->setFixedHeight(headingHeight());
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

void CGridCtrl::setTypingEdits(int column, bool on) {
    if (column >= 0 && column < columnCount()) impl_->typingColumns[column] = on;
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

bool CGridCtrl::requestEdit(int row, int column) {
    const grid::Cell* cell = impl_->model->cell(row, column);
    if (cell == nullptr) return false;
    const bool dataCell = impl_->model->dataArea().contains({row, column});
    const bool readOnly = (cell->state & kStateReadOnly) != 0;
    QRect rect = cellRect(row, column);
    if (!grid::mayBeginEdit(impl_->editable, readOnly, dataCell, isVisible() && !rect.isEmpty())) {
        return false;
    }
    // A half-hidden cell comes fully into view, so the page's editor does not hang over the
    // headers or the window's edge.
    scrollTo(impl_->model->index(row, column));
    rect = cellRect(row, column);
    setCoveredCell(row, column);
    const QString text = cell->text;  // a copy: a receiver may reshape the grid
    emit beginEdit(row, column, QRect(mapToGlobal(rect.topLeft()), rect.size()), text);
    return true;
}

// --- cells ---

void CGridCtrl::setItemText(int row, int column, const QString& text) {
    impl_->model->changeCell(row, column, {Qt::DisplayRole}, [&](grid::Cell& c) { c.text = text; });
    if (row == 0 && column == 0 && impl_->corner != nullptr) impl_->corner->update();
    if (row == 0 && fixedRowCount() > 0) fitHeadingRow();
}

QString CGridCtrl::itemText(int row, int column) const {
    const grid::Cell* cell = impl_->model->cell(row, column);
    return cell != nullptr ? cell->text : QString();
}

void CGridCtrl::setItemFormat(int row, int column, unsigned format) {
    impl_->model->changeCell(row, column, {grid::kFormatRole, Qt::TextAlignmentRole},
                             [&](grid::Cell& c) { c.format = format; });
}

unsigned CGridCtrl::itemState(int row, int column) const {
    return impl_->model->state(row, column);
}

void CGridCtrl::setItemState(int row, int column, unsigned state) {
    impl_->model->changeCell(row, column, {grid::kStateRole},
                             [&](grid::Cell& c) { c.state = state & ~kStateFocused; });
}

void CGridCtrl::setItemFgColour(int row, int column, const QColor& colour) {
    impl_->model->changeCell(row, column, {Qt::ForegroundRole},
                             [&](grid::Cell& c) { c.fg = colour; });
}

void CGridCtrl::setItemBkColour(int row, int column, const QColor& colour) {
    impl_->model->changeCell(row, column, {Qt::BackgroundRole},
                             [&](grid::Cell& c) { c.bg = colour; });
}

QColor CGridCtrl::itemFgColour(int row, int column) const {
    const grid::Cell* cell = impl_->model->cell(row, column);
    return cell != nullptr ? cell->fg : QColor();
}

QColor CGridCtrl::itemBkColour(int row, int column) const {
    const grid::Cell* cell = impl_->model->cell(row, column);
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
    drawRow(painter, 0);
}

void CGridCtrl::drawRow(QPainter& painter, int row) const {
    if (row < 0 || row >= rowCount()) return;
    std::vector<grid::PrintedCell> cells;
    for (int column = 0; column < columnCount(); ++column) {
        const grid::Cell& cell = *impl_->model->cell(row, column);
        cells.push_back({cell.text, cell.format, cell.fg,
                         row < fixedRowCount() || column < fixedColumnCount()});
    }
    grid::drawPrintedRow(painter, impl_->columnWidths, cells, impl_->rowHeights[row],
                         row < fixedRowCount());
}

}  // namespace pl3
