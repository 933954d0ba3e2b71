#include "editors/ui/page_widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>

#include "lang/ui/dialog_translation.h"

namespace pl3 {

QLabel* captionLabel(int id, const char* caption, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    setResourceId(label, id);
    return label;
}

QGroupBox* captionGroup(int id, const char* caption, QWidget* parent) {
    auto* box = new QGroupBox(QString::fromUtf8(caption), parent);
    setResourceId(box, id);
    return box;
}

void addCaptionedRow(QGridLayout* grid, int row, QLabel* caption, QWidget* control) {
    caption->setBuddy(control);
    grid->addWidget(caption, row, 0);
    grid->addWidget(control, row, 1);
}

void fillList(QComboBox* list, const std::vector<std::string>& items, int selected) {
    QSignalBlocker blocker(list);
    list->clear();
    for (const std::string& item : items)
        list->addItem(QString::fromStdString(item));
    list->setCurrentIndex(selected);
}

}  // namespace pl3
