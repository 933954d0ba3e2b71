#include "grid/ui/grid_painting.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>
#include <QStyleOptionHeader>
#include <algorithm>

#include "grid/ui/grid_model.h"

namespace pl3::grid {

namespace {

constexpr int kTextMargin = 3;
constexpr int kFocusFrameWidth = 2;
constexpr QRgb kPrintHeaderFill = 0xffececec;

// Shared by the screen and the printout, so both lay text out alike.
void drawCellText(QPainter& painter, const QRect& cell, const QString& text, unsigned format,
                  const QColor& colour) {
    const QRect area = cell.adjusted(kTextMargin, 0, -kTextMargin, 0);
    if (text.isEmpty() || area.width() <= 0 || area.height() <= 0) return;
    const bool singleLine = grid::textLayout(format).lines == grid::LineMode::SingleLine;
    QString shown =
        singleLine ? painter.fontMetrics().elidedText(text, Qt::ElideRight, area.width()) : text;
    painter.save();
    painter.setClipRect(cell, Qt::IntersectClip);
    if (!singleLine) {
        FittedText fitted = fitWrappedText(text, area.width(), painter.font(), painter.device());
        shown = fitted.text;
        painter.setFont(fitted.font);
    }
    painter.setPen(colour);
    painter.drawText(area, qtAlignment(format) | (singleLine ? Qt::TextSingleLine : 0), shown);
    painter.restore();
}

}  // namespace

FittedText fitWrappedText(const QString& text, int width, const QFont& font,
                          const QPaintDevice* device) {
    const QFontMetricsF metrics(font, device);
    const HeadingLines heading =
        headingLines(text.toStdString(), width, [&metrics](std::string_view line) {
            return metrics.horizontalAdvance(
                QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
        });
    QStringList lines;
    for (const std::string& line : heading.lines)
        lines.push_back(QString::fromStdString(line));
    FittedText fitted{lines.join(QLatin1Char('\n')), font};
    if (heading.scale < 1.0) {
        if (font.pixelSize() > 0) {
            fitted.font.setPixelSize(
                std::max(1, static_cast<int>(font.pixelSize() * heading.scale)));
        } else {
            fitted.font.setPointSizeF(font.pointSizeF() * heading.scale);
        }
    }
    return fitted;
}

QString HeadingView::shownText(int logicalIndex) const {
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    const QString text = model() == nullptr
                             ? QString()
                             : model()->headerData(logicalIndex, orientation()).toString();
    return fitWrappedText(text, sectionSize(logicalIndex) - 2 * margin, font(), this).text;
}

void HeadingView::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const {
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    option->text = shownText(logicalIndex);
}

int qtAlignment(unsigned format) {
    const grid::TextLayout layout = grid::textLayout(format);
    int flags = layout.horizontal == grid::HAlign::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
    flags |= layout.verticallyCentred ? Qt::AlignVCenter : Qt::AlignTop;
    if (layout.lines == grid::LineMode::Wrap) flags |= Qt::TextWordWrap;
    return flags;
}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
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
    if ((index.data(kStateRole).toUInt() & kStateFocused) != 0) {
        // Bold while the keys go to the grid; thin while they go elsewhere (the page's editor,
        // another control), so the cell the grid comes back to stays in sight.
        const bool keyboardFocus = option.widget != nullptr && option.widget->hasFocus();
        const QColor colour = selected        ? palette.color(QPalette::HighlightedText)
                              : keyboardFocus ? palette.color(QPalette::Highlight)
                                              : palette.color(QPalette::Mid);
        const int width = keyboardFocus ? kFocusFrameWidth : 1;
        QPen frame(colour);
        frame.setWidth(width);
        frame.setJoinStyle(Qt::MiterJoin);
        painter->setPen(frame);
        painter->setBrush(Qt::NoBrush);
        // Inside the cell: an outline takes the pixels to the right of and below its rectangle.
        const int before = width / 2;
        const int after = (width + 1) / 2;
        painter->drawRect(option.rect.adjusted(before, before, -after, -after));
    }
    painter->restore();
}

void drawPrintedRow(QPainter& painter, std::span<const int> widths,
                    std::span<const PrintedCell> cells, int height, bool headingRow) {
    if (height <= 0) return;
    painter.save();
    QPen border(Qt::black);
    border.setWidth(0);  // cosmetic: one device pixel at any scale
    int x = 0;
    for (std::size_t column = 0; column < cells.size() && column < widths.size(); ++column) {
        const int width = widths[column];
        if (width <= 0) continue;
        const PrintedCell& cell = cells[column];
        const QRect area(x, 0, width, height);
        painter.fillRect(area, cell.fixed ? QColor(kPrintHeaderFill) : QColor(Qt::white));
        // Inside the borders, which take the last pixel of each side.
        drawCellText(painter, area.adjusted(0, 0, -1, -1), cell.text, cell.format,
                     cell.ink.isValid() ? cell.ink : QColor(Qt::black));
        painter.setPen(border);
        painter.drawLine(area.right(), area.top(), area.right(), area.bottom());
        painter.drawLine(area.left(), area.bottom(), area.right(), area.bottom());
        x += width;
    }
    if (x > 0) {
        painter.setPen(border);
        painter.drawLine(0, 0, 0, height - 1);
        if (headingRow) painter.drawLine(0, 0, x - 1, 0);
    }
    painter.restore();
}

}  // namespace pl3::grid
