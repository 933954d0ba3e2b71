#include "lang/ui/language_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QVBoxLayout>

#include "lang/ui/dialog_translation.h"

namespace pl3 {

LanguageDialog::LanguageDialog(QWidget* parent, const std::vector<std::string>& languageFolders,
                               TextLookup& texts, const SettingsFile& settings,
                               SettingsWriteWarning& warning, Prompter& prompter)
    : QDialog(parent),
      choice_(languageChoiceFor(languageFolders, texts)),
      texts_(texts),
      settings_(settings),
      warning_(warning),
      prompter_(prompter) {
    layOut();
    translateDialog(this, kLanguageDialogTemplate, texts_);
    for (const std::string& name : choice_.displayNames())
        list_->addItem(QString::fromStdString(name));
    list_->setCurrentIndex(choice_.initialIndex());
}

void LanguageDialog::layOut() {
    setWindowTitle(QStringLiteral("语言"));

    auto* label = new QLabel(QStringLiteral("请选择语言:"), this);
    setResourceId(label, kLanguagePromptId);
    list_ = new QComboBox(this);
    setResourceId(list_, kLanguageListId);
    label->setBuddy(list_);

    QHBoxLayout* buttons = addOkCancelRow(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_);
    layout->addLayout(buttons);
}

void LanguageDialog::accept() {
    applyLanguageChoice(choice_, list_->currentText().toStdString(), texts_, settings_, warning_,
                        prompter_);
    QDialog::accept();
}

bool runLanguageDialog(QWidget* parent, const std::vector<std::string>& languageFolders,
                       TextLookup& texts, const SettingsFile& settings,
                       SettingsWriteWarning& warning, Prompter& prompter) {
    LanguageDialog dialog(parent, languageFolders, texts, settings, warning, prompter);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace pl3
