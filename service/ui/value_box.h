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

    // Also ends an edit in progress.
    void showValue(int value);
    // The user has typed in the box since it last showed a value. Only then does its text
    // say more than the document: a clamped value shown (a stored squelch 200 shown as
    // 127) must not be stored unless the user changed it.
    bool editInProgress() const { return editInProgress_; }

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

  signals:
    void stepped(int direction);

  protected:
    StepEnabled stepEnabled() const override;

  private:
    bool editInProgress_ = false;
};

}  // namespace pl3
