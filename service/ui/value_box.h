#pragma once
// A tuning value box: an edit box that takes only digits, with an up-down arrow pair.
// It decides nothing: the arrows report a step, Enter and leaving the box report that
// the value is to be committed, and the dialog applies the stepping rule.

#include <QAbstractSpinBox>

namespace pl3 {

class ValueBox : public QAbstractSpinBox {
    Q_OBJECT

  public:
    explicit ValueBox(QWidget* parent = nullptr);

    void showValue(int value);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

  signals:
    void stepped(int direction);

  protected:
    StepEnabled stepEnabled() const override;
};

}  // namespace pl3
