#pragma once
// The editable table of the editor pages: text cells with a fixed header row and column,
// scrolling, a focus cell, and a request to edit a cell that the page answers with an
// editor of its own. The grid never edits a cell itself.
//
// Cells are numbered as the pages have always numbered them: with a fixed row, row 0 is the
// header row and data starts at row 1; with a fixed column, column 0 holds the row headers.
// The model behind the view uses the same numbers and shows row 0 / column 0 through the
// header views.

#include <QColor>
#include <QRect>
#include <QString>
#include <QTableView>
#include <memory>

#include "grid/grid_rules.h"

class QPainter;

namespace pl3 {

class CGridCtrl : public QTableView {
    Q_OBJECT

  public:
    // Bits of a cell's state word.
    static constexpr unsigned kStateFocused = grid::kStateFocused;
    static constexpr unsigned kStateReadOnly = grid::kStateReadOnly;

    // Text formats of a cell (combinable).
    enum Format : unsigned {
        kCentred = 0x01,  // horizontally
        kVerticallyCentred = 0x02,
        kSingleLine = 0x04,
        kWordWrap = 0x08,
    };
    static constexpr unsigned kHeaderFormat = grid::kHeaderFormat;
    static constexpr unsigned kCellFormat = grid::kCellFormat;

    explicit CGridCtrl(QWidget* parent = nullptr);
    ~CGridCtrl() override;

    // --- shape ---
    void setRowCount(int rows);
    void setColumnCount(int columns);
    void setFixedRowCount(int rows);        // 0 or 1
    void setFixedColumnCount(int columns);  // 0 or 1
    int rowCount() const;
    int columnCount() const;
    int fixedRowCount() const;
    int fixedColumnCount() const;
    void deleteAllItems();  // no rows, no columns, none fixed; every size forgotten
    // Column 0 of a fixed column is the row header's width, row 0 of a fixed row the header's
    // height. These hide QTableView's functions of the same names.
    void setColumnWidth(int column, int pixels);
    void setRowHeight(int row, int pixels);
    int columnWidth(int column) const;
    int rowHeight(int row) const;
    int totalWidth() const;       // all columns
    int fixedRowsHeight() const;  // the header rows

    // --- behaviour switches ---
    void setRowResize(bool allowed);         // on by default
    void setColumnResize(bool allowed);      // on by default
    void setSelectionEnabled(bool enabled);  // on by default; off still shows the focus cell
    void setEditable(bool editable);         // on by default
    // The cells of a typed column (frequencies, names) also begin their edit on a typed
    // character, which the grid then passes to the page's editor, and on F2 with the caret
    // after the text. Off by default.
    void setTypingEdits(int column, bool on);
    void setRedraw(bool on);  // off: no painting until switched on again (then at once)

    // --- focus: always a data cell or none ---
    // Moves the focus cell without notifying; anything but a data cell means none.
    void setFocusCell(int row, int column);  // (-1, -1) for none
    int focusRow() const;
    int focusColumn() const;
    void resetSelectedRange();

    // --- cells ---
    void setItemText(int row, int column, const QString& text);
    QString itemText(int row, int column) const;
    void setItemFormat(int row, int column, unsigned format);
    // The focused bit follows the focus cell; setItemState cannot set it.
    unsigned itemState(int row, int column) const;
    void setItemState(int row, int column, unsigned state);
    void setItemFgColour(int row, int column, const QColor& colour);  // invalid: the grid's own
    void setItemBkColour(int row, int column, const QColor& colour);  // invalid: the grid's own
    QColor itemFgColour(int row, int column) const;
    QColor itemBkColour(int row, int column) const;
    void redrawRow(int row);

    // The rectangle of a cell in this widget's coordinates, header cells included; empty
    // when no part of it is in view.
    QRect cellRect(int row, int column) const;

    // While on, painting leaves the last cell notified about (begin edit, focus change)
    // untouched, so an editor a page placed over the cell is not painted over.
    void setCoveredRect(bool on);

    // --- printing: draw at the painter's current origin (the row's top left at 0,0), every
    // column in its width, in the painter's font, black on white, with thin black borders;
    // each cell draws its right and bottom border, so rows stack below the header row ---
    void drawFixedRows(QPainter& painter) const;
    void drawRow(QPainter& painter, int row) const;

  signals:
    // The user asks to edit a data cell (click release on it, Enter, F2, or a character typed
    // on a typed column's cell): row, column, the cell's rectangle in global (screen)
    // coordinates and its text. Never for read-only cells, fixed cells, cells out of view,
    // or when the grid is not editable.
    void beginEdit(int row, int column, const QRect& globalRect, const QString& text);
    // The user moves the focus cell (keys, mouse): first the cell left (not sent when there
    // was none), then the new one.
    void focusLeaving(int row, int column);
    void focusCellChanged(int row, int column);
    // After every left-button release over a cell, header cells included. Hides
    // QAbstractItemView::clicked(QModelIndex).
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    struct Impl;

    void afterShapeChange();
    void applyLayout();
    // The heading row is as high as the page asked, or as its tallest wrapped heading
    // needs in the current font, whichever is more.
    int headingHeight() const;
    void fitHeadingRow();
    void syncCurrentIndex();
    // Focus moved by the user: notifies the page, scrolling the new cell into view first
    // when asked.
    void moveFocusNotifying(int row, int column, bool scrollIntoView);
    // Whether the request went out to the page.
    bool requestEdit(int row, int column);
    // Enter, F2 or a typed character on the focus cell; false when the key is no edit here.
    bool editFromKey(QKeyEvent* event);
    void setCoveredCell(int row, int column);
    void updateCell(int row, int column);
    void paintCorner();
    bool filterHeaderEvent(QObject* watched, QEvent* event);

    std::unique_ptr<Impl> impl_;
};

}  // namespace pl3
