#pragma once
// What a channel-list import or paste would do, shown before anything changes: the
// report lines, and Import (OK) or Cancel. Without changes to make only Cancel is offered.

#include <QDialog>
#include <string>
#include <vector>

#include "lang/text_lookup.h"

namespace pl3 {

class ImportReportDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplate = 160;
    static constexpr int kQuestionLabel = 1500;

    ImportReportDialog(const std::vector<std::string>& reportLines, bool canImport,
                       const TextLookup& texts, QWidget* parent = nullptr);
};

}  // namespace pl3
