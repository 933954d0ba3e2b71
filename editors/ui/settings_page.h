#pragma once
// What the two settings pages share: drop-down lists and check boxes bound by their
// identifier to a setting of the page's rules, refilled from them, and a page that
// Enter and Escape never close.

#include <map>

#include "editors/setting_controls.h"
#include "editors/ui/form_page.h"

class QCheckBox;
class QComboBox;

namespace pl3 {

class SettingsPage : public FormPage {
    Q_OBJECT

  public:
    // The control with that identifier (nullptr for none): for tests and the printout.
    QComboBox* list(int id) const;
    QCheckBox* box(int id) const;

  protected:
    // controls are the page's rules; they must outlive the page and may still be
    // unconstructed here (they are only used after construction).
    SettingsPage(SettingControls& controls, QWidget* parent);

    QComboBox* addList(int id);
    QCheckBox* addBox(int id, const char* caption);
    // A box was clicked and its setting stored.
    virtual void boxClicked(int /*id*/) {}

    // Items and selections of every list, ticks of every box.
    void showLists();
    void showBoxes();

    void keyPressEvent(QKeyEvent* event) override;

  private:
    SettingControls& controls_;
    std::map<int, QComboBox*> lists_;
    std::map<int, QCheckBox*> boxes_;
};

}  // namespace pl3
