#include "editors/ui/settings_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>

#include "editors/ui/page_widgets.h"
#include "lang/ui/dialog_translation.h"

namespace pl3 {

SettingsPage::SettingsPage(SettingControls& controls, QWidget* parent)
    : FormPage(parent), controls_(controls) {}

QComboBox* SettingsPage::addList(int id) {
    auto* list = new QComboBox(this);
    list->setEditable(false);
    setResourceId(list, id);
    lists_[id] = list;
    connect(list, &QComboBox::activated, this,
            [this, id](int index) { controls_.select(id, index); });
    return list;
}

QCheckBox* SettingsPage::addBox(int id, const char* caption) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), this);
    setResourceId(box, id);
    boxes_[id] = box;
    connect(box, &QCheckBox::clicked, this, [this, id](bool on) {
        controls_.setChecked(id, on);
        boxClicked(id);
    });
    return box;
}

QComboBox* SettingsPage::list(int id) const {
    auto it = lists_.find(id);
    return it == lists_.end() ? nullptr : it->second;
}

QCheckBox* SettingsPage::box(int id) const {
    auto it = boxes_.find(id);
    return it == boxes_.end() ? nullptr : it->second;
}

void SettingsPage::showLists() {
    for (auto& [id, list] : lists_) {
        fillList(list, controls_.items(id), controls_.selectedIndex(id));
    }
}

void SettingsPage::showBoxes() {
    for (auto& [id, box] : boxes_) {
        box->setChecked(controls_.checked(id));
    }
}

void SettingsPage::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape never close or hide the page.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace pl3
