#pragma once
// File ▸ Compare: the differences between the open codeplug and another file in the pages'
// words, under a heading row for each page, one row per difference with both values, and
// how many there are.

#include <QDialog>
#include <string>
#include <vector>

#include "editors/difference_words.h"
#include "lang/text_lookup.h"

class QTableWidget;

namespace pl3 {

class CompareDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplate = 161;
    static constexpr int kItemHeading = 1510;
    static constexpr int kOpenHeading = 1511;
    static constexpr int kOtherHeading = 1512;

    CompareDialog(const std::vector<WordedDifference>& differences, const std::string& otherPath,
                  const TextLookup& texts, QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }

  private:
    QTableWidget* table_;
};

}  // namespace pl3
