#pragma once
// The caption a settings page shows for a control: a check box's own text, else the label
// that names the control (its buddy). Holds the pages' captions against the rules' ones.

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>
#include <string>

#include "lang/ui/dialog_translation.h"

namespace pl3::test {

inline std::string shownCaption(const QWidget* page, int controlId) {
    for (const QWidget* control : page->findChildren<QWidget*>()) {
        if (control->property(kResourceIdProperty).toInt() != controlId) continue;
        if (const auto* button = qobject_cast<const QAbstractButton*>(control))
            return button->text().toStdString();
        for (const QLabel* label : page->findChildren<QLabel*>()) {
            if (label->buddy() == control) return label->text().toStdString();
        }
    }
    return {};
}

}  // namespace pl3::test
