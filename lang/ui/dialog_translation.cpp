#include "lang/ui/dialog_translation.h"

#include <QAbstractButton>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <optional>
#include <string>

#include "lang/text_lookup.h"

namespace pl3 {

namespace {

void setCaption(QWidget* widget, const QString& caption) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(caption);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(caption);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(caption);
    }
}

}  // namespace

void setResourceId(QWidget* widget, int id) {
    widget->setProperty(kResourceIdProperty, id);
}

void translateDialog(QWidget* dialog, int templateNumber, const TextLookup& texts) {
    dialog->setProperty(kTemplateNumberProperty, templateNumber);
    if (std::optional<std::string> title = texts.resourceCaption(templateNumber)) {
        dialog->setWindowTitle(QString::fromStdString(*title));
    }
    // findChildren walks depth first in creation order.
    const QList<QWidget*> children = dialog->findChildren<QWidget*>();
    for (QWidget* child : children) {
        QVariant id = child->property(kResourceIdProperty);
        bool isInt = false;
        int value = id.toInt(&isInt);
        if (!id.isValid() || !isInt) continue;
        if (std::optional<std::string> caption = texts.resourceCaption(value)) {
            setCaption(child, QString::fromStdString(*caption));
        }
    }
}

QHBoxLayout* addOkCancelRow(QDialog* dialog) {
    auto* ok = new QPushButton(QStringLiteral("确定"), dialog);
    setResourceId(ok, kOkButtonId);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), dialog);
    setResourceId(cancel, kCancelButtonId);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

}  // namespace pl3
