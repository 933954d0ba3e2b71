#include "app/ui/compare_dialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <optional>

#include "codeplug/text_keys.h"
#include "lang/ui/dialog_translation.h"

namespace pl3 {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// The caption the language file gives an identifier, else the built-in one.
QString caption(const TextLookup& texts, int id, const char* builtIn) {
    const std::optional<std::string> text = texts.resourceCaption(id);
    return text ? qs(*text) : QString::fromUtf8(builtIn);
}

// A page's heading across the three columns, set apart from the differences below it.
void addHeadingRow(QTableWidget& table, const QString& heading) {
    const int row = table.rowCount();
    table.insertRow(row);
    auto* item = new QTableWidgetItem(heading);
    QFont font = item->font();
    font.setBold(true);
    item->setFont(font);
    item->setFlags(Qt::ItemIsEnabled);
    item->setBackground(table.palette().alternateBase());
    table.setItem(row, 0, item);
    table.setSpan(row, 0, 1, table.columnCount());
}

void addDifferenceRow(QTableWidget& table, const WordedDifference& difference) {
    const int row = table.rowCount();
    table.insertRow(row);
    table.setItem(row, 0, new QTableWidgetItem(qs(difference.item)));
    table.setItem(row, 1, new QTableWidgetItem(qs(difference.before)));
    table.setItem(row, 2, new QTableWidgetItem(qs(difference.after)));
}

}  // namespace

CompareDialog::CompareDialog(const std::vector<WordedDifference>& differences,
                             const std::string& otherPath, const TextLookup& texts, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(0, 3, this)) {
    setWindowTitle(QStringLiteral("比较"));
    table_->setHorizontalHeaderLabels(
        {caption(texts, kItemHeading, "项目"), caption(texts, kOpenHeading, "当前数据"),
         caption(texts, kOtherHeading, "比较文件") + QStringLiteral(": ") +
             QFileInfo(qs(otherPath)).fileName()});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    std::optional<ComparePage> page;
    for (const WordedDifference& difference : differences) {
        if (difference.page != page) {
            page = difference.page;
            addHeadingRow(*table_, qs(pageHeading(*page, texts)));
        }
        addDifferenceRow(*table_, difference);
    }
    // No cell is current until the user picks one: a heading row would otherwise show the focus.
    table_->setCurrentCell(-1, -1);

    std::string summary = texts.text(text_key::kDiffSame);
    if (!differences.empty()) {
        summary = withNumbers(texts.text(text_key::kDiffCount),
                              {static_cast<long long>(differences.size())});
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    setResourceId(buttons->button(QDialogButtonBox::Ok), kOkButtonId);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(qs(summary), this));
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    translateDialog(this, kTemplate, texts);
    resize(620, 420);
}

}  // namespace pl3
