#include "view/ui/printout.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "editors/ui/channel_page.h"
#include "editors/ui/functions_page.h"
#include "editors/ui/radio_page.h"
#include "grid/ui/grid_ctrl.h"
#include "view/ui/ma_item_view.h"

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

const CGridCtrl& channelGrid(const CMaItemView& view) {
    return *qobject_cast<const ChannelPage*>(view.page(CMaItemView::kChannelPage))->grid();
}

}  // namespace

ChannelListPrintout::ChannelListPrintout(const CMaItemView& view) : view_(view) {
    auto* channels = qobject_cast<ChannelPage*>(view.page(CMaItemView::kChannelPage));
    auto* functions = qobject_cast<FunctionsPage*>(view.page(CMaItemView::kFunctionsPage));
    auto* radio = qobject_cast<RadioPage*>(view.page(CMaItemView::kRadioPage));
    const CGridCtrl& grid = *channels->grid();
    input_ = {printout::currentDateLine(),
              functions->printRows(),
              radio->printRows(),
              printout::programmedChannels(channels->table()),
              grid.fixedRowsHeight(),
              grid.rowHeight(1),
              0};  // the text width depends on the printer: measure() sets it
}

ChannelListPrintout::Measures ChannelListPrintout::measure(QPrinter& printer) const {
    const QFontMetrics metrics(reportFont(kMeasuringFontHeight), &printer);
    const QString sample = QString::fromLatin1(kMeasuringText);
    const int averageCharWidth =
        metrics.horizontalAdvance(sample) / static_cast<int>(sample.size());
    return {averageCharWidth,
            printout::logicalPage(channelGrid(view_).totalWidth(), averageCharWidth,
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
    const CGridCtrl& grid = channelGrid(view_);
    const int margin = printout::kLeftMarginChars * measures.averageCharWidth;
    painter.save();
    // The logical page fills the printable area; x = 0 lies one left margin in.
    painter.setViewport(0, 0, painter.device()->width(), painter.device()->height());
    painter.setWindow(-margin, 0, measures.page.width, measures.page.height);
    painter.setFont(reportFont(kPageFontHeight));
    painter.setPen(Qt::black);
    printout::PageInput input = input_;
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
                grid.drawFixedRows(painter);
                break;
            case printout::PrintItem::Kind::ChannelRow:
                grid.drawRow(painter, item.channel);
                break;
        }
        painter.restore();
    }
    painter.restore();
}

}  // namespace pl3
