#include "app/ui/import_report_dialog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "lang/ui/dialog_translation.h"

namespace pl3 {

ImportReportDialog::ImportReportDialog(const std::vector<std::string>& reportLines, bool canImport,
                                       const TextLookup& texts, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("导入信道列表"));
    auto* report = new QPlainTextEdit(this);
    report->setReadOnly(true);
    report->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QString text;
    for (const std::string& line : reportLines)
        text += QString::fromStdString(line) + '\n';
    report->setPlainText(text);
    auto* question = new QLabel(QStringLiteral("导入这些信道吗？"), this);
    setResourceId(question, kQuestionLabel);
    question->setVisible(canImport);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(report, 1);
    layout->addWidget(question);
    layout->addLayout(addOkCancelRow(this));
    translateDialog(this, kTemplate, texts);
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button->property(kResourceIdProperty).toInt() == kOkButtonId) {
            button->setVisible(canImport);
            button->setDefault(canImport);
        }
    }
    resize(560, 360);
}

}  // namespace pl3
