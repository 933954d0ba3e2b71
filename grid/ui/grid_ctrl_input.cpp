// The grid's answers to the mouse, the keys and the wheel, and its header and corner events.

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <QStyleOptionHeader>
#include <QWheelEvent>
#include <algorithm>
#include <optional>
#include <utility>

#include "grid/ui/grid_ctrl.h"
#include "grid/ui/grid_ctrl_impl.h"

namespace pl3 {

using grid::CellPos;

namespace {

std::optional<grid::EditKey> editKeyOf(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return grid::EditKey::Enter;
        case Qt::Key_F2:
            return grid::EditKey::F2;
        default:
            break;
    }
    if ((event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) {
        return std::nullopt;  // a shortcut, not typing
    }
    const QString text = event.text();
    if (!text.isEmpty() && text.front().isPrint()) return grid::EditKey::Character;
    return std::nullopt;
}

}  // namespace

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

bool CGridCtrl::editFromKey(QKeyEvent* event) {
    const std::optional<grid::EditKey> key = editKeyOf(*event);
    if (!key) return false;
    const CellPos focus = impl_->model->focus();
    const bool typedCell = focus.valid() && impl_->typingColumns[focus.column];
    const grid::EditStart start = grid::editStart(*key, typedCell);
    if (start == grid::EditStart::None) return false;
    // Typing on a cell scrolled out of view brings it back first, as a spreadsheet does;
    // Enter keeps its rule of editing only a cell in view.
    if (focus.valid() && *key != grid::EditKey::Enter)
        scrollTo(impl_->model->index(focus.row, focus.column));
    QWidget* focusedBefore = window()->focusWidget();
    QPointer<CGridCtrl> self(this);
    const bool began = focus.valid() && requestEdit(focus.row, focus.column);
    // Enter is taken even when nothing is edited, so a dialog's default button does not fire.
    if (!began) return *key == grid::EditKey::Enter;
    event->accept();
    if (!self) return true;
    // The page's editor took the focus, unless the cell changed at once (an on/off cell).
    QWidget* editor = window()->focusWidget();
    if (editor == nullptr || editor == focusedBefore || editor == this) return true;
    if (start == grid::EditStart::WithTyped) {
        // Through the page's own key checks, replacing the text the editor opened with.
        QApplication::sendEvent(editor, event);
        event->accept();  // not on to the grid's parent as well
    } else if (start == grid::EditStart::AtEnd) {
        if (auto* line = qobject_cast<QLineEdit*>(editor)) line->end(false);
    }
    return true;
}

void CGridCtrl::keyPressEvent(QKeyEvent* event) {
    if (editFromKey(event)) {
        event->accept();
        return;
    }
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    std::optional<grid::FocusMove> move;
    switch (event->key()) {
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

void CGridCtrl::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    // With the keyboard focus but no focus cell, a frame round the cells shows where keys go.
    if (!hasFocus() || impl_->model->focus().valid()) return;
    QPainter painter(viewport());
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.state |= QStyle::State_KeyboardFocusChange;  // also after a click on no cell
    option.rect = viewport()->rect();
    option.backgroundColor = palette().color(QPalette::Base);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

// The view's corner button draws an empty header; the corner cell has a text of its own.
void CGridCtrl::paintCorner() {
    QAbstractButton* corner = impl_->corner;
    const grid::Cell* cell = impl_->model->cell(0, 0);
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
        option.textAlignment = Qt::Alignment(grid::qtAlignment(cell->format));
        if (cell->fg.isValid()) option.palette.setColor(QPalette::ButtonText, cell->fg);
        if (cell->bg.isValid()) option.palette.setColor(QPalette::Button, cell->bg);
    }
    QPainter painter(corner);
    corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
}

}  // namespace pl3
