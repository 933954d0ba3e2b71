#include "app/ui/compare_dialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

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

}  // namespace

CompareDialog::CompareDialog(const std::vector<DiffEntry>& entries, const std::string& otherPath,
                             const TextLookup& texts, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(static_cast<int>(entries.size()), 3, this)) {
    setWindowTitle(QStringLiteral("比较"));
    table_->setHorizontalHeaderLabels(
        {caption(texts, kItemHeading, "项目"), caption(texts, kOpenHeading, "当前数据"),
         caption(texts, kOtherHeading, "比较文件") + QStringLiteral(": ") +
             QFileInfo(qs(otherPath)).fileName()});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
        const DiffEntry& entry = entries[static_cast<std::size_t>(row)];
        table_->setItem(row, 0, new QTableWidgetItem(qs(entry.label())));
        table_->setItem(row, 1, new QTableWidgetItem(qs(entry.before)));
        table_->setItem(row, 2, new QTableWidgetItem(qs(entry.after)));
    }

    std::string summary = texts.text(text_key::kDiffSame);
    if (!entries.empty()) {
        summary =
            withNumbers(texts.text(text_key::kDiffCount), {static_cast<long long>(entries.size())});
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
