#include "app/ui/comm_port_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QVBoxLayout>

#include "app/ui/qt_text.h"
#include "codeplug/text_keys.h"
#include "lang/ui/dialog_translation.h"

namespace pl3 {

CommPortDialog::CommPortDialog(QWidget* parent, SerialPort& port, const SettingsFile& settings,
                               const TextLookup& texts, SettingsWriteWarning& warning,
                               Prompter& prompter, const platform::DeviceRoots& roots)
    : CommPortDialog(parent,
                     probeCommPorts(port, settings, platform::listSerialDevices(roots), roots),
                     port, settings, texts, warning, prompter) {}

CommPortDialog::CommPortDialog(QWidget* parent, CommPortChoice choice, SerialPort& port,
                               const SettingsFile& settings, const TextLookup& texts,
                               SettingsWriteWarning& warning, Prompter& prompter)
    : QDialog(parent),
      port_(port),
      settings_(settings),
      warning_(warning),
      prompter_(prompter),
      choice_(std::move(choice)) {
    layOut(texts);
    translateDialog(this, kCommPortDialogTemplate, texts);
    showPortStates(texts);
}

void CommPortDialog::layOut(const TextLookup& texts) {
    setWindowTitle(QStringLiteral("通讯端口"));
    auto* layout = new QVBoxLayout(this);

    // Exclusive, so a click moves the tick; a disabled button can still hold it.
    auto* group = new QButtonGroup(this);
    const std::vector<PortRow>& rows = choice_.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int n = rows[i].entry.portNumber;
        if (i == kPortButtonCount) {
            layout->addSpacing(layout->spacing() * 2);
            layout->addWidget(new QLabel(qs(texts.text(text_key::kPortOtherDevices)), this));
        }
        auto* button = new QRadioButton(qs(portButtonCaption(n)), this);
        // The numbered buttons of the template; the devices past them have no caption
        // to translate.
        if (i < kPortButtonCount) setResourceId(button, kFirstPortButtonId + n - 1);
        group->addButton(button);
        layout->addWidget(button);
        portButtons_.push_back(button);
    }

    noDeviceAdvice_ = new QLabel(qs(texts.text(text_key::kPortNoneFound)), this);
    noDeviceAdvice_->setWordWrap(true);
    // Wide enough for the advice to read as a paragraph, not a column.
    constexpr int kAdviceWidthInCharacters = 60;
    noDeviceAdvice_->setMinimumWidth(fontMetrics().averageCharWidth() * kAdviceWidthInCharacters);
    noDeviceAdvice_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    noDeviceAdvice_->setVisible(choice_.noDevice());
    layout->addWidget(noDeviceAdvice_);

    // Kept for its setting only: the port search is switched elsewhere.
    searchBox_ = new QCheckBox(QStringLiteral("自动搜索端口"), this);
    setResourceId(searchBox_, kPortSearchBoxId);
    searchBox_->setVisible(false);
    layout->addWidget(searchBox_);

    QHBoxLayout* buttons = addOkCancelRow(this);
    layout->addLayout(buttons);
}

void CommPortDialog::showPortStates(const TextLookup& texts) {
    const std::vector<PortRow>& rows = choice_.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QRadioButton* button = portButtons_[i];
        const PortRow& row = rows[i];
        // After translation, so a translated caption keeps the device.
        button->setText(qs(portEntryLabel(button->text().toStdString(), row.entry)));
        if (row.ticked) button->setChecked(true);
        button->setEnabled(row.enabled());
        if (row.problem) {
            button->setToolTip(qs(link::describeOpenProblem(*row.problem, texts)));
        } else if (!row.entry.mapped) {
            button->setToolTip(qs(withTexts(texts.text(text_key::kPortNewNumber),
                                            {std::to_string(row.entry.portNumber)})));
        }
    }
    searchBox_->setChecked(choice_.searchTicked());
}

void CommPortDialog::accept() {
    PortTicks ticks;
    for (QRadioButton* button : portButtons_)
        ticks.push_back(button->isChecked());
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
