#include "app/ui/comm_port_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QVBoxLayout>

#include "lang/ui/dialog_translation.h"

namespace pl3 {

CommPortDialog::CommPortDialog(QWidget* parent, SerialPort& port, const SettingsFile& settings,
                               const TextLookup& texts, SettingsWriteWarning& warning,
                               Prompter& prompter)
    : QDialog(parent),
      port_(port),
      settings_(settings),
      warning_(warning),
      prompter_(prompter),
      choice_(probeCommPorts(port_, settings_)) {
    layOut();
    translateDialog(this, kCommPortDialogTemplate, texts);
    showPortStates();
}

void CommPortDialog::layOut() {
    setWindowTitle(QStringLiteral("通讯端口"));
    auto* layout = new QVBoxLayout(this);

    // Exclusive, so a click moves the tick; a disabled button can still hold it.
    auto* group = new QButtonGroup(this);
    for (int n = 1; n <= kPortButtonCount; ++n) {
        auto* button = new QRadioButton(QString::fromStdString(portButtonCaption(n)), this);
        setResourceId(button, kFirstPortButtonId + n - 1);
        group->addButton(button, n);
        layout->addWidget(button);
        portButtons_[n - 1] = button;
    }

    // Kept for its setting only: the port search is switched elsewhere.
    searchBox_ = new QCheckBox(QStringLiteral("自动搜索端口"), this);
    setResourceId(searchBox_, kPortSearchBoxId);
    searchBox_->setVisible(false);
    layout->addWidget(searchBox_);

    QHBoxLayout* buttons = addOkCancelRow(this);
    layout->addLayout(buttons);
}

void CommPortDialog::showPortStates() {
    for (int n = 1; n <= kPortButtonCount; ++n) {
        QRadioButton* button = portButtons_[n - 1];
        // After translation, so a translated caption keeps the device; the device as the
        // port sees it, which includes ports mapped for this run only.
        button->setText(QString::fromStdString(
            withPortDevice(button->text().toStdString(), port_.devicePathFor(n))));
        const PortButtonState& state = choice_.button(n);
        if (state.ticked) button->setChecked(true);
        button->setEnabled(state.enabled);
    }
    searchBox_->setChecked(choice_.searchTicked());
}

void CommPortDialog::accept() {
    PortTicks ticks{};
    for (int n = 1; n <= kPortButtonCount; ++n)
        ticks[n - 1] = portButtons_[n - 1]->isChecked();
    storedPort_ = storeCommPort(choice_, ticks, port_, settings_, warning_, prompter_);
    QDialog::accept();
}

bool runCommPortDialog(QWidget* parent, SerialPort& port, const SettingsFile& settings,
                       const TextLookup& texts, SettingsWriteWarning& warning, Prompter& prompter) {
    CommPortDialog dialog(parent, port, settings, texts, warning, prompter);
    dialog.exec();
    return dialog.storedPort().has_value();
}

}  // namespace pl3
