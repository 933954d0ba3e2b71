#pragma once
// Finding and using widgets as a user would: by their control identifier, or by a grid
// cell's place on the screen.

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "grid/ui/grid_ctrl.h"
#include "lang/ui/dialog_translation.h"

namespace pl3::test {

// The first widget of type W below root that carries identifier id.
template <class W>
W* control(QWidget* root, int id) {
    for (W* widget : root->findChildren<W*>()) {
        if (widget->property(kResourceIdProperty).toInt() == id) return widget;
    }
    return nullptr;
}

// One click on a data cell of a grid: press and release at its centre.
inline void clickCell(CGridCtrl* grid, int row, int column) {
    grid->scrollTo(grid->model()->index(row, column));
    const QRect cell = grid->cellRect(row, column);
    ASSERT_FALSE(cell.isEmpty()) << row << "," << column;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->viewport()->mapFrom(grid, cell.center()));
}

}  // namespace pl3::test
