#include "grid/ui/grid_ctrl.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace pl3 {
namespace {

constexpr int kRows = 30;  // the header row and 29 data rows
constexpr int kColumns = 6;
constexpr int kHeaderHeight = 36;
constexpr int kRowHeaderWidth = 40;
constexpr int kColumnWidth = 70;
constexpr int kRowHeight = 20;
using Log = std::vector<std::string>;

QString cellText(int row, int column) {
    return QString("%1:%2").arg(row).arg(column);
}

int countPixels(const QImage& image, const QRect& area, const std::function<bool(QColor)>& is) {
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += is(image.pixelColor(x, y));
    }
    return count;
}

bool isDark(QColor c) {
    return qGray(c.rgb()) < 128;
}
bool isRed(QColor c) {
    return c.red() > 160 && c.green() < 90 && c.blue() < 90;
}
bool isGreen(QColor c) {
    return c.green() > 160 && c.red() < 90 && c.blue() < 90;
}
bool isBlue(QColor c) {
    return c.blue() > 160 && c.red() < 90 && c.green() < 90;
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Shaped like an editor page's grid: a header row and column, more rows than fit, every cell
// with a text of its own. Shown away from the screen's origin, so that a rectangle in the
// grid's own coordinates cannot pass for a global one.
class GridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        grid.setRowCount(kRows);
        grid.setColumnCount(kColumns);
        grid.setFixedRowCount(1);
        grid.setFixedColumnCount(1);
        grid.setColumnWidth(0, kRowHeaderWidth);
        grid.setRowHeight(0, kHeaderHeight);
        for (int column = 1; column < kColumns; ++column)
            grid.setColumnWidth(column, kColumnWidth);
        for (int row = 1; row < kRows; ++row)
            grid.setRowHeight(row, kRowHeight);
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                grid.setItemText(row, column, cellText(row, column));
            }
        }
        grid.setGeometry(137, 91, 420, 300);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
        ASSERT_NE(grid.mapToGlobal(QPoint(0, 0)), QPoint(0, 0));

        QObject::connect(&grid, &CGridCtrl::focusLeaving, [this](int row, int column) {
            log.push_back("leave " + at(row, column));
        });
        QObject::connect(&grid, &CGridCtrl::focusCellChanged, [this](int row, int column) {
            log.push_back("focus " + at(row, column));
        });
        QObject::connect(&grid, &CGridCtrl::beginEdit,
                         [this](int row, int column, const QRect& rect, const QString& text) {
                             log.push_back("edit " + at(row, column) + " " + text.toStdString());
                             editRect = rect;
                         });
        QObject::connect(&grid, &CGridCtrl::clicked, [this] { log.push_back("clicked"); });
    }

    static std::string at(int row, int column) {
        return std::to_string(row) + "," + std::to_string(column);
    }
    static std::string edit(int row, int column) {
        return "edit " + at(row, column) + " " + cellText(row, column).toStdString();
    }
    // The centre of a data cell, in the viewport's coordinates.
    QPoint inCell(int row, int column) const {
        return grid.viewport()->mapFrom(&grid, grid.cellRect(row, column).center());
    }
    void click(int row, int column) {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, inCell(row, column));
    }
    QImage screen(int row, int column) { return grid.grab(grid.cellRect(row, column)).toImage(); }
    int redIn(int row, int column) {
        const QImage image = screen(row, column);
        return countPixels(image, image.rect(), isRed);
    }

    Log log;  // declared before the grid, which may still signal while going
    QRect editRect;
    CGridCtrl grid;
};

TEST_F(GridTest, ShapeAndSizes) {
    EXPECT_EQ(grid.rowCount(), kRows);
    EXPECT_EQ(grid.columnCount(), kColumns);
    EXPECT_EQ(grid.fixedRowCount(), 1);
    EXPECT_EQ(grid.fixedColumnCount(), 1);
    EXPECT_EQ(grid.columnWidth(0), kRowHeaderWidth);
    EXPECT_EQ(grid.rowHeight(7), kRowHeight);
    EXPECT_EQ(grid.totalWidth(), kRowHeaderWidth + (kColumns - 1) * kColumnWidth);
    EXPECT_EQ(grid.fixedRowsHeight(), kHeaderHeight);
    EXPECT_EQ(grid.columnWidth(kColumns), 0);

    grid.setColumnWidth(2, 100);
    grid.setRowHeight(0, 50);
    EXPECT_EQ(grid.totalWidth(), kRowHeaderWidth + (kColumns - 2) * kColumnWidth + 100);
    EXPECT_EQ(grid.fixedRowsHeight(), 50);
    grid.setRowCount(kRows + 5);  // growing keeps the cells and sizes
    EXPECT_EQ(grid.itemText(4, 2), cellText(4, 2));
    EXPECT_EQ(grid.columnWidth(2), 100);
    grid.setFixedRowCount(0);
    EXPECT_EQ(grid.fixedRowsHeight(), 0);
    grid.setFixedRowCount(5);  // one at most
    EXPECT_EQ(grid.fixedRowCount(), 1);
    grid.setFixedColumnCount(0);  // hiding the header column and back keeps its width
    grid.setFixedColumnCount(1);
    EXPECT_EQ(grid.columnWidth(0), kRowHeaderWidth);
    EXPECT_EQ(grid.cellRect(3, 0).width(), kRowHeaderWidth);

    grid.deleteAllItems();
    EXPECT_EQ(grid.rowCount() + grid.columnCount() + grid.fixedRowCount(), 0);
    EXPECT_EQ(grid.totalWidth(), 0);
    EXPECT_EQ(grid.fixedRowsHeight(), 0);
    EXPECT_TRUE(grid.cellRect(1, 1).isEmpty());
}

TEST_F(GridTest, CellRectanglesFollowTheSizes) {
    const QRect header = grid.cellRect(0, 2);
    const QRect rowHeader = grid.cellRect(3, 0);
    const QRect data = grid.cellRect(3, 2);
    EXPECT_EQ(header.size(), QSize(kColumnWidth, kHeaderHeight));
    EXPECT_EQ(rowHeader.size(), QSize(kRowHeaderWidth, kRowHeight));
    EXPECT_EQ(data.width(), kColumnWidth - 1);  // the last pixel is the grid line's
    EXPECT_EQ(data.left(), header.left());
    EXPECT_EQ(data.top(), rowHeader.top());
    EXPECT_EQ(grid.cellRect(1, 2).top(), header.bottom() + 1);
    EXPECT_EQ(grid.cellRect(3, 1).left(), rowHeader.right() + 1);
    EXPECT_FALSE(grid.cellRect(0, 0).isEmpty());         // the corner
    EXPECT_TRUE(grid.cellRect(kRows - 1, 2).isEmpty());  // below the view
    EXPECT_TRUE(grid.cellRect(kRows, 2).isEmpty());      // no such row

    grid.setFixedRowCount(0);  // row 0 is data now, at the top of the view
    EXPECT_EQ(grid.cellRect(0, 2).top(), grid.frameWidth());
}

TEST_F(GridTest, CellsAndHeadersHoldWhatWasSet) {
    grid.setItemText(5, 3, "145.500");
    grid.setItemFgColour(5, 3, Qt::gray);
    grid.setItemBkColour(5, 3, Qt::yellow);
    grid.setItemState(5, 3, CGridCtrl::kStateReadOnly);
    EXPECT_EQ(grid.itemText(5, 3), "145.500");
    EXPECT_EQ(grid.itemFgColour(5, 3), QColor(Qt::gray));
    EXPECT_EQ(grid.itemBkColour(5, 3), QColor(Qt::yellow));
    EXPECT_EQ(grid.itemState(5, 3), CGridCtrl::kStateReadOnly);
    EXPECT_FALSE(grid.itemFgColour(5, 4).isValid());
    grid.setItemText(kRows, 1, "x");  // out of range: ignored
    EXPECT_EQ(grid.itemText(kRows, 1), "");

    const QAbstractItemModel* model = grid.model();
    grid.setItemFormat(5, 3, CGridCtrl::kCentred | CGridCtrl::kSingleLine);
    EXPECT_EQ(model->data(model->index(5, 3), Qt::TextAlignmentRole).toInt(),
              Qt::AlignHCenter | Qt::AlignTop);
    EXPECT_FALSE(model->flags(model->index(5, 3)).testFlag(Qt::ItemIsEditable));

    grid.setItemText(0, 3, "Rx Freq");
    grid.setItemText(7, 0, "7");
    EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(), "Rx Freq");
    EXPECT_EQ(model->headerData(7, Qt::Vertical).toString(), "7");

    // The focused bit follows the focus cell, which only a data cell can be.
    grid.setFocusCell(5, 3);
    EXPECT_EQ(grid.itemState(5, 3), CGridCtrl::kStateReadOnly | CGridCtrl::kStateFocused);
    grid.setItemState(4, 4, CGridCtrl::kStateFocused);
    EXPECT_EQ(grid.itemState(4, 4), 0u);
    grid.setFocusCell(4, 1);
    EXPECT_EQ(grid.itemState(5, 3), CGridCtrl::kStateReadOnly);
    grid.setFocusCell(0, 3);
    EXPECT_EQ(grid.focusRow(), -1);
    grid.setFocusCell(kRows - 1, 2);
    grid.setRowCount(10);
    EXPECT_EQ(grid.focusColumn(), -1);
    EXPECT_TRUE(log.empty());  // the page moved it: nobody to tell
}

TEST_F(GridTest, BeginEditOnlyForEditableVisibleCells) {
    enum How { kClick, kReturn, kKeypadEnter };
    struct Case {
        const char* name;
        bool gridEditable;
        bool readOnly;
        How how;
        int row;
        bool edits;
    } cases[] = {
        {"editable, click", true, false, kClick, 4, true},
        {"editable, Return", true, false, kReturn, 4, true},
        {"editable, keypad Enter", true, false, kKeypadEnter, 4, true},
        {"read-only, click", true, true, kClick, 4, false},
        {"read-only, Return", true, true, kReturn, 4, false},
        {"grid not editable, click", false, false, kClick, 4, false},
        {"grid not editable, Return", false, false, kReturn, 4, false},
        {"out of view, Return", true, false, kReturn, kRows - 1, false},
    };
    const int column = 2;
    for (const Case& c : cases) {
        grid.setFocusCell(-1, -1);
        grid.setEditable(c.gridEditable);
        grid.setItemState(c.row, column, c.readOnly ? CGridCtrl::kStateReadOnly : 0);
        log.clear();
        if (c.how == kClick) {
            click(c.row, column);
            EXPECT_EQ(grid.focusRow(), c.row) << c.name;  // focused all the same
        } else {
            grid.setFocusCell(c.row, column);
            QTest::keyClick(&grid, Qt::Key_Return,
                            c.how == kKeypadEnter ? Qt::KeypadModifier : Qt::NoModifier);
        }
        const bool edited = std::find(log.begin(), log.end(), edit(c.row, column)) != log.end();
        EXPECT_EQ(edited, c.edits) << c.name;
        if (edited) {
            const QRect local = grid.cellRect(c.row, column);
            EXPECT_EQ(editRect, QRect(grid.mapToGlobal(local.topLeft()), local.size())) << c.name;
            EXPECT_TRUE(editRect.contains(grid.viewport()->mapToGlobal(inCell(c.row, column))));
        }
    }
}

TEST_F(GridTest, MouseButtonsInOrder) {
    const QPoint a = inCell(4, 3);
    const QPoint b = inCell(5, 3);
    QWidget* cells = grid.viewport();
    QHeaderView* columns = grid.horizontalHeader();
    QHeaderView* rows = grid.verticalHeader();
    const QPoint columnHeader(columns->sectionViewportPosition(2) + kColumnWidth / 2,
                              kHeaderHeight / 2);
    const QPoint rowHeader(kRowHeaderWidth / 2, rows->sectionViewportPosition(5) + 5);
    struct Case {
        const char* name;
        std::function<void()> act;
        Log log;
    } cases[] = {
        {"click another cell",
         [&] { QTest::mouseClick(cells, Qt::LeftButton, {}, a); },
         {"leave 2,2", "focus 4,3", edit(4, 3), "clicked"}},
        {"released elsewhere",
         [&] {
             QTest::mousePress(cells, Qt::LeftButton, {}, a);
             QTest::mouseRelease(cells, Qt::LeftButton, {}, b);
         },
         {"leave 2,2", "focus 4,3", "clicked"}},
        {"double click",
         [&] {
             sendMouse(cells, QEvent::MouseButtonPress, a, Qt::LeftButton);
             sendMouse(cells, QEvent::MouseButtonRelease, a, Qt::NoButton);
             sendMouse(cells, QEvent::MouseButtonDblClick, a, Qt::LeftButton);
             sendMouse(cells, QEvent::MouseButtonRelease, a, Qt::NoButton);
         },
         {"leave 2,2", "focus 4,3", edit(4, 3), "clicked", edit(4, 3), "clicked"}},
        {"click the focus cell", [&] { click(2, 2); }, {edit(2, 2), "clicked"}},
        {"right button", [&] { QTest::mouseClick(cells, Qt::RightButton, {}, a); }, {}},
        {"headers",
         [&] {
             QTest::mouseClick(columns->viewport(), Qt::LeftButton, {}, columnHeader);
             QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, rowHeader);
         },
         {"clicked", "clicked"}},
    };
    for (const Case& c : cases) {
        grid.setFocusCell(2, 2);
        log.clear();
        c.act();
        EXPECT_EQ(log, c.log) << c.name;
    }
}

TEST_F(GridTest, DraggingAColumnEdgeResizesWithoutAClick) {
    QHeaderView* header = grid.horizontalHeader();
    const auto drag = [&](int by) {
        const QPoint edge(header->sectionViewportPosition(3) - 1, kHeaderHeight / 2);
        sendMouse(header->viewport(), QEvent::MouseButtonPress, edge, Qt::LeftButton);
        sendMouse(header->viewport(), QEvent::MouseMove, edge + QPoint(by / 2, 0), Qt::LeftButton);
        sendMouse(header->viewport(), QEvent::MouseMove, edge + QPoint(by, 0), Qt::LeftButton);
        sendMouse(header->viewport(), QEvent::MouseButtonRelease, edge + QPoint(by, 0), {});
    };
    drag(20);
    EXPECT_EQ(grid.columnWidth(2), kColumnWidth + 20);
    EXPECT_TRUE(log.empty());

    // A heading dragged narrower wraps onto more lines, and the heading row grows with it.
    grid.setItemText(0, 2, QStringLiteral("Talkaround or repeater"));
    const int oneLine = header->height();
    drag(-(kColumnWidth - 10));
    EXPECT_EQ(grid.columnWidth(2), 30);
    EXPECT_GT(header->height(), oneLine);

    grid.setColumnResize(false);  // the same drag is a mere click now
    drag(20);
    EXPECT_EQ(grid.columnWidth(2), 30);
    EXPECT_EQ(log, Log{"clicked"});
}

TEST_F(GridTest, KeysMoveTheFocusAndTellThePage) {
    const int lastRow = kRows - 1;
    const int lastColumn = kColumns - 1;
    struct Case {
        grid::CellPos from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        grid::CellPos to;
    } cases[] = {
        {{3, 2}, Qt::Key_Down, {}, {4, 2}},
        {{3, 2}, Qt::Key_Up, {}, {2, 2}},
        {{3, 2}, Qt::Key_Left, {}, {3, 1}},
        {{3, 2}, Qt::Key_Right, {}, {3, 3}},
        {{1, 2}, Qt::Key_Up, {}, {1, 2}},    // not into the header row
        {{3, 1}, Qt::Key_Left, {}, {3, 1}},  // nor the row headers
        {{3, 3}, Qt::Key_Home, {}, {3, 1}},
        {{3, 2}, Qt::Key_End, {}, {3, lastColumn}},
        {{3, 3}, Qt::Key_Home, Qt::ControlModifier, {1, 1}},
        {{3, 2}, Qt::Key_End, Qt::ControlModifier, {lastRow, lastColumn}},
        {{lastRow, 2}, Qt::Key_PageDown, {}, {lastRow, 2}},  // out of view: scrolled back
        {{-1, -1}, Qt::Key_Down, {}, {1, 1}},
    };
    for (const Case& c : cases) {
        grid.setFocusCell(c.from.row, c.from.column);
        grid.scrollToTop();
        log.clear();
        QTest::keyClick(&grid, c.key, c.modifiers);
        const std::string name =
            "key " + std::to_string(c.key) + " from " + at(c.from.row, c.from.column);
        EXPECT_EQ(grid.focusRow(), c.to.row) << name;
        EXPECT_EQ(grid.focusColumn(), c.to.column) << name;
        Log expected;
        if (c.from.valid() && c.to != c.from)
            expected.push_back("leave " + at(c.from.row, c.from.column));
        if (c.to != c.from) expected.push_back("focus " + at(c.to.row, c.to.column));
        EXPECT_EQ(log, expected) << name;
        EXPECT_FALSE(grid.cellRect(c.to.row, c.to.column).isEmpty()) << name;
        // With selection on, the selection goes along.
        EXPECT_EQ(grid.selectionModel()->selectedIndexes(),
                  QModelIndexList{grid.model()->index(c.to.row, c.to.column)})
            << name;
    }

    grid.setSelectionEnabled(false);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_FALSE(grid.selectionModel()->hasSelection());
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(&grid, &letter);
    EXPECT_FALSE(letter.isAccepted());  // left to the dialog
}

TEST_F(GridTest, PagesAreTheRowsInView) {
    const int rowsInView = grid.viewport()->height() / kRowHeight;
    grid.setFocusCell(1, 2);
    QTest::keyClick(&grid, Qt::Key_PageDown);
    EXPECT_EQ(grid.focusRow(), 1 + rowsInView);
    QTest::keyClick(&grid, Qt::Key_PageUp);
    EXPECT_EQ(grid.focusRow(), 1);
}

TEST_F(GridTest, WheelScrollsByRows) {
    const int savedLines = QApplication::wheelScrollLines();
    const auto turn = [this](int delta, int lines) {
        QApplication::setWheelScrollLines(lines);
        const QPoint at = grid.viewport()->rect().center();
        QWheelEvent wheel(at, grid.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid.viewport(), &wheel);
        return grid.rowAt(0);  // the top row in view
    };
    EXPECT_EQ(turn(-120, 3), 4);
    EXPECT_EQ(turn(-120, 3), 7);
    EXPECT_EQ(turn(120, 3), 4);
    EXPECT_EQ(turn(-60, 1), 4);
    EXPECT_EQ(turn(-60, 1), 5);
    QApplication::setWheelScrollLines(savedLines);
}

class PaintCounter : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

TEST_F(GridTest, RedrawOffThenOnKeepsEveryText) {
    PaintCounter counter;
    grid.viewport()->installEventFilter(&counter);
    QApplication::processEvents();
    counter.paints = 0;

    grid.setRedraw(false);
    for (int row = 1; row < kRows; ++row) {
        for (int column = 1; column < kColumns; ++column)
            grid.setItemText(row, column, "x");
    }
    grid.setItemFgColour(2, 2, Qt::red);
    grid.redrawRow(2);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    grid.setRedraw(true);
    EXPECT_GT(counter.paints, 0);  // at once, not at the next turn of the event loop
    for (int row = 1; row < kRows; ++row)
        EXPECT_EQ(grid.itemText(row, kColumns - 1), "x");
    EXPECT_GT(redIn(2, 2), 0);
}

TEST_F(GridTest, CellsPaintTheirTextsAndColours) {
    grid.setItemFgColour(3, 2, Qt::red);
    grid.setItemBkColour(3, 3, Qt::blue);
    grid.setItemFgColour(3, 4, Qt::red);
    grid.setItemState(3, 4, CGridCtrl::kStateReadOnly);  // looks no different
    const QImage blue = screen(3, 3);
    const QImage plain = screen(3, 5);
    EXPECT_GT(redIn(3, 2), 0);
    EXPECT_GT(redIn(3, 4), 0);
    EXPECT_GT(countPixels(blue, blue.rect(), isBlue), blue.width() * blue.height() / 2);
    EXPECT_EQ(redIn(3, 5), 0);
    EXPECT_GT(countPixels(plain, plain.rect(), isDark), 0);

    // Headers too, the corner included; a header text too wide for one line wraps.
    grid.setItemText(0, 2, "Receive Frequency");
    grid.setItemFormat(0, 2, CGridCtrl::kHeaderFormat);
    for (int row : {0, 6})
        grid.setItemFgColour(row, 0, Qt::red);
    grid.setItemFgColour(0, 2, Qt::red);
    QApplication::processEvents();
    const QImage header = screen(0, 2);
    const int half = header.height() / 2;
    EXPECT_GT(countPixels(header, QRect(0, 0, header.width(), half), isRed), 0);
    EXPECT_GT(countPixels(header, QRect(0, half, header.width(), half), isRed), 0);
    EXPECT_GT(redIn(0, 0), 0);
    EXPECT_GT(redIn(6, 0), 0);
    EXPECT_EQ(redIn(5, 0), 0);
}

TEST_F(GridTest, CoveredCellIsLeftToThePagesEditor) {
    grid.setSelectionEnabled(false);  // a selected cell would show the highlight colours
    grid.setItemFgColour(4, 2, Qt::red);
    grid.setItemFgColour(4, 3, Qt::red);
    click(4, 2);
    grid.setCoveredRect(true);
    EXPECT_EQ(redIn(4, 2), 0);
    EXPECT_GT(redIn(4, 3), 0);

    QTest::keyClick(&grid, Qt::Key_Right);  // the cover goes with the focus
    EXPECT_GT(redIn(4, 2), 0);
    EXPECT_EQ(redIn(4, 3), 0);

    grid.setCoveredRect(false);
    EXPECT_GT(redIn(4, 3), 0);
}

// --- printing ---

class GridPrintTest : public GridTest {
  protected:
    void SetUp() override {
        GridTest::SetUp();
        for (int column = 0; column < kColumns; ++column) {
            grid.setItemText(0, column, column == 3 ? "Power" : "");
            grid.setItemText(2, column, column == 0 ? "2" : column == 4 ? "High" : "");
        }
        paper.fill(Qt::white);
    }
    // The inside of a cell printed at `origin`, clear of its borders.
    QRect inside(int column, int height, QPoint origin = {}) const {
        int left = origin.x();
        for (int c = 0; c < column; ++c)
            left += grid.columnWidth(c);
        return QRect(left + 2, origin.y() + 2, grid.columnWidth(column) - 4, height - 4);
    }
    int dark(const QRect& area) const { return countPixels(paper, area, isDark); }

    QImage paper{600, 200, QImage::Format_RGB32};
};

TEST_F(GridPrintTest, HeaderRowAtThePaintersOrigin) {
    const QPoint origin(10, 50);
    {
        QPainter painter(&paper);
        painter.translate(origin);
        grid.drawFixedRows(painter);
    }
    EXPECT_GT(dark(QRect(origin, QSize(600, kHeaderHeight))), 0);
    EXPECT_EQ(dark(QRect(0, 0, 600, origin.y())), 0);
    EXPECT_EQ(dark(QRect(0, 0, origin.x(), 200)), 0);
    EXPECT_EQ(dark(QRect(0, origin.y() + kHeaderHeight, 600, 200)), 0);
    EXPECT_EQ(dark(QRect(origin.x() + grid.totalWidth(), 0, 600, 200)), 0);
    EXPECT_GT(dark(inside(3, kHeaderHeight, origin)), 0);
    EXPECT_EQ(dark(inside(2, kHeaderHeight, origin)), 0);
    EXPECT_EQ(dark(inside(4, kHeaderHeight, origin)), 0);
    // Borders: the left edge, each cell's right edge, the bottom.
    const int middle = origin.y() + kHeaderHeight / 2;
    EXPECT_TRUE(isDark(paper.pixelColor(origin.x(), middle)));
    EXPECT_TRUE(isDark(paper.pixelColor(inside(3, kHeaderHeight, origin).left() - 3, middle)));
    EXPECT_TRUE(isDark(paper.pixelColor(origin.x() + 5, origin.y() + kHeaderHeight - 1)));
}

TEST_F(GridPrintTest, DataRowWithItsRowHeaderInPaperColours) {
    QPalette palette = grid.palette();  // screen colours stay off the paper
    palette.setColor(QPalette::Text, Qt::green);
    palette.setColor(QPalette::Base, Qt::green);
    grid.setPalette(palette);
    grid.setItemBkColour(2, 4, Qt::blue);
    grid.setItemText(2, 1, "Low");
    grid.setItemFgColour(2, 1, Qt::red);  // but an explicit text colour prints
    {
        QPainter painter(&paper);
        painter.fillRect(QRect(0, 0, grid.totalWidth(), kRowHeight), Qt::blue);  // painted over
        grid.drawRow(painter, 2);
    }
    EXPECT_GT(dark(inside(0, kRowHeight)), 0);
    EXPECT_GT(dark(inside(4, kRowHeight)), 0);
    EXPECT_EQ(dark(inside(2, kRowHeight)), 0);
    EXPECT_EQ(dark(QRect(0, kRowHeight, 600, 200)), 0);
    EXPECT_GT(countPixels(paper, inside(1, kRowHeight), isRed), 0);
    EXPECT_EQ(countPixels(paper, paper.rect(), isGreen), 0);
    EXPECT_EQ(countPixels(paper, paper.rect(), isBlue), 0);
}

TEST_F(GridPrintTest, NothingToPrintWithoutAHeaderRowOrTheRow) {
    grid.setFixedRowCount(0);
    {
        QPainter painter(&paper);
        grid.drawFixedRows(painter);
        grid.drawRow(painter, kRows);
    }
    EXPECT_EQ(dark(paper.rect()), 0);
}

}  // namespace
}  // namespace pl3
