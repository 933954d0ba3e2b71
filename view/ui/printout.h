#pragma once
// The channel-list report on a printer, a preview or a PDF: the pages the printout plan
// composes, drawn onto the printer's printable area with the report's fonts and the
// channel grid's way of drawing its heading and rows.

#include "view/printout_plan.h"

class QPainter;
class QPrinter;

namespace pl3 {

class ChannelListPrintout {
  public:
    // The page count and what the pages hold are fixed now, from the codeplug as it is.
    ChannelListPrintout(const CMaItemDoc& doc, const TextLookup& texts);

    int pageCount() const {
        return printout::pageCount(static_cast<int>(plan_.input.programmed.size()));
    }

    // The printer's page range (all pages when it names none), one printed page each.
    // False when the printer cannot be drawn on (a PDF path that cannot be written, ...).
    bool print(QPrinter& printer) const;

  private:
    struct Measures {
        int averageCharWidth;
        printout::LogicalPage page;
    };
    Measures measure(QPrinter& printer) const;
    void paintPage(QPainter& painter, const Measures& measures, int page) const;

    void paintGridRow(QPainter& painter, int row) const;

    printout::PrintPlan plan_;
};

}  // namespace pl3
