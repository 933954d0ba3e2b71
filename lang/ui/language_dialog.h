#pragma once
// The language dialog: a list of the installed languages; OK switches to the chosen one.

#include <QDialog>
#include <string>
#include <vector>

#include "lang/language_choice.h"
#include "lang/text_lookup.h"
#include "platform/settings_file.h"

class QComboBox;

namespace pl3 {

constexpr int kLanguageDialogTemplate = 131;
constexpr int kLanguageListId = 1014;
constexpr int kLanguagePromptId = 1015;

class LanguageDialog : public QDialog {
    Q_OBJECT

  public:
    // Lists the languages of languageFolders with the file texts reads from selected. A
    // language that cannot be stored is told through warning and prompter.
    LanguageDialog(QWidget* parent, const std::vector<std::string>& languageFolders,
                   TextLookup& texts, const SettingsFile& settings, SettingsWriteWarning& warning,
                   Prompter& prompter);

    // OK: stores and switches to the selected language, when one matches its text.
    void accept() override;

  private:
    void layOut();

    LanguageChoice choice_;
    TextLookup& texts_;
    SettingsFile settings_;
    SettingsWriteWarning& warning_;
    Prompter& prompter_;
    QComboBox* list_ = nullptr;
};

// Shows the dialog; true on OK (the caller then relabels the program), even when no
// file matched the selection.
bool runLanguageDialog(QWidget* parent, const std::vector<std::string>& languageFolders,
                       TextLookup& texts, const SettingsFile& settings,
                       SettingsWriteWarning& warning, Prompter& prompter);

}  // namespace pl3
