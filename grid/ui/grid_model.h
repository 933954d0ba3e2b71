#pragma once
// The cells behind the grid's view: texts, formats, states and colours, numbered as the pages
// number them (row 0 / column 0 are the fixed header cells when there are any), and the
// focus cell, which always lies among the data cells or is none.

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <utility>
#include <vector>

#include "grid/grid_rules.h"
#include "grid/ui/grid_painting.h"

namespace pl3::grid {

inline constexpr int kFormatRole = Qt::UserRole + 1;
inline constexpr int kStateRole = Qt::UserRole + 2;

struct Cell {
    QString text;
    unsigned format = kCellFormat;
    unsigned state = 0;  // never the focused bit: that follows the focus cell
    QColor fg;           // invalid: the grid's own
    QColor bg;
};

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
        return c->state | (focus_ == CellPos{row, column} ? kStateFocused : 0u);
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

}  // namespace pl3::grid
