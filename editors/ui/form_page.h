#pragma once
// A page of the form view's tab control: whatever it shows, it shows again from the
// document and the current language when the document changes.

#include <QWidget>

namespace pl3 {

class FormPage : public QWidget {
    Q_OBJECT

  public:
    using QWidget::QWidget;

    virtual void refresh() = 0;
};

}  // namespace pl3
