#include "view/ui/printout.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPrinter>
#include <algorithm>
#include <vector>

#include "grid/ui/grid_painting.h"

namespace pl3 {

namespace {

constexpr int kMeasuringFontHeight = 9;
constexpr int kPageFontHeight = 11;
constexpr int kEntryGap = 6;  // logical units between a settings entry and the next
constexpr const char* kMeasuringText = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

QFont reportFont(int pixelHeight) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixelHeight);
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace

ChannelListPrintout::ChannelListPrintout(const CMaItemDoc& doc, const TextLookup& texts)
    : plan_(printout::makePrintPlan(doc, texts, printout::currentDateLine())) {}

ChannelListPrintout::Measures ChannelListPrintout::measure(QPrinter& printer) const {
    const QFontMetrics metrics(reportFont(kMeasuringFontHeight), &printer);
    const QString sample = QString::fromLatin1(kMeasuringText);
    const int averageCharWidth =
        metrics.horizontalAdvance(sample) / static_cast<int>(sample.size());
    return {averageCharWidth, printout::logicalPage(plan_.grid.totalWidth(), averageCharWidth,
                                                    printer.width(), printer.height())};
}

bool ChannelListPrintout::print(QPrinter& printer) const {
    const int last = pageCount();
    const bool range = printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0;
    const int from = range ? std::min(printer.fromPage(), last) : 1;
    const int to = range ? std::clamp(printer.toPage(), from, last) : last;
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const Measures measures = measure(printer);
    for (int page = from; page <= to; ++page) {
        if (page > from) printer.newPage();
        paintPage(painter, measures, page);
    }
    return painter.end();
}

void ChannelListPrintout::paintPage(QPainter& painter, const Measures& measures, int page) const {
    const int margin = printout::kLeftMarginChars * measures.averageCharWidth;
    painter.save();
    // The logical page fills the printable area; x = 0 lies one left margin in.
    painter.setViewport(0, 0, painter.device()->width(), painter.device()->height());
    painter.setWindow(-margin, 0, measures.page.width, measures.page.height);
    painter.setFont(reportFont(kPageFontHeight));
    painter.setPen(Qt::black);
    printout::PageInput input = plan_.input;
    input.textWidth =
        measures.page.width -
        (printout::kLeftMarginChars + printout::kRightMarginChars) * measures.averageCharWidth;
    for (const printout::PrintItem& item : printout::composePage(input, page)) {
        painter.save();
        painter.translate(item.x, item.y);
        switch (item.kind) {
            case printout::PrintItem::Kind::Text: {
                // A text longer than its room ends in an ellipsis, clear of the next column.
                const int room = std::max(item.width - kEntryGap, 0);
                const QString text = painter.fontMetrics().elidedText(
                    QString::fromStdString(item.text), Qt::ElideRight, room);
                painter.drawText(QRect(0, 0, room, input.headingHeight),
                                 Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
                break;
            }
            case printout::PrintItem::Kind::Headings:
                paintGridRow(painter, 0);
                break;
            case printout::PrintItem::Kind::ChannelRow:
                paintGridRow(painter, item.channel);
                break;
        }
        painter.restore();
    }
    painter.restore();
}

void ChannelListPrintout::paintGridRow(QPainter& painter, int row) const {
    const printout::GridRowPrint& printed = plan_.grid.rows[static_cast<std::size_t>(row)];
    // Read-only cells in the grey the channel page shows them in.
    const QColor grey = QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
    std::vector<grid::PrintedCell> cells;
    for (const printout::GridCellPrint& cell : printed.cells) {
        cells.push_back({QString::fromStdString(cell.text), cell.format,
                         cell.dimmed ? grey : QColor(), cell.fixed});
    }
    grid::drawPrintedRow(painter, plan_.grid.columnWidths, cells, printed.height, row == 0);
}

}  // namespace pl3
