#include "service/ui/value_box.h"

#include <QLineEdit>

namespace pl3 {

ValueBox::ValueBox(QWidget* parent) : QAbstractSpinBox(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The arrows wrap round, so both are always usable.
    setWrapping(true);
    // Not the edit's modified flag: the spin box clears that itself when Enter is pressed.
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { editInProgress_ = true; });
}

void ValueBox::showValue(int value) {
    lineEdit()->setText(QString::number(value));
    editInProgress_ = false;
}

void ValueBox::stepBy(int steps) {
    // Page keys and the wheel step like one arrow click.
    if (steps != 0) emit stepped(steps > 0 ? 1 : -1);
}

QValidator::State ValueBox::validate(QString& input, int&) const {
    for (QChar c : input) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return QValidator::Invalid;
    }
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled ValueBox::stepEnabled() const {
    return isEnabled() ? (StepUpEnabled | StepDownEnabled) : StepNone;
}

}  // namespace pl3
