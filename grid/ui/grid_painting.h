#pragma once
// How the grid's cells look, on screen and on paper: the text layout both share, the
// delegate that paints the view's data cells, and the printed rows.

#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QString>
#include <QStyledItemDelegate>
#include <span>

#include "grid/grid_rules.h"

class QPainter;
class QRect;

namespace pl3::grid {

// Alignment, and the wrap flag which does not clash with any alignment bit (the single-line
// flag would: it shares its value with AlignBaseline).
int qtAlignment(unsigned format);

// A wrapped cell's text as drawn in `width` pixels: broken into lines by the heading rule,
// in the face (the given one, or smaller) at which its lines fit.
struct FittedText {
    QString text;  // lines joined by "\n"
    QFont font;
};
FittedText fitWrappedText(const QString& text, int width, const QFont& font,
                          const QPaintDevice* device);

// The heading row: each heading broken into lines as a wrapped cell is, in the row's own
// face (the row grows instead, see CGridCtrl::headingHeight).
class HeadingView final : public QHeaderView {
  public:
    using QHeaderView::QHeaderView;

    // The heading of a section as it is shown, lines joined by "\n".
    QString shownText(int logicalIndex) const;

  protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
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
               const QModelIndex& index) const override;

  private:
    const Covering& covering_;
};

// One cell as it goes on paper.
struct PrintedCell {
    QString text;
    unsigned format = kCellFormat;
    QColor ink;          // invalid: black
    bool fixed = false;  // a header cell, on a grey fill
};

// Draws one row at the painter's origin (the row's top left at 0,0), every cell in its
// column's width, in the painter's font, with thin black borders; each cell draws its right
// and bottom border, so rows stack below the heading row, which also draws its top border.
void drawPrintedRow(QPainter& painter, std::span<const int> widths,
                    std::span<const PrintedCell> cells, int height, bool headingRow);

}  // namespace pl3::grid
