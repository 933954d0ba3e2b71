#include "app/ui/comm_port_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ui/qt_text.h"
#include "codeplug/text_keys.h"
#include "lang/line_breaks.h"
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
      choice_(std::move(choice)),
      texts_(texts) {
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

    addOtherDeviceRow(layout, group, texts);

    noDeviceAdvice_ = new QLabel(qs(texts.text(text_key::kPortNoneFound)), this);
    noDeviceAdvice_->setWordWrap(true);
    // Wide enough for the advice to read as a paragraph, not a column.
    constexpr int kAdviceWidthInCharacters = 60;
    const int adviceWidth = fontMetrics().averageCharWidth() * kAdviceWidthInCharacters;
    noDeviceAdvice_->setMinimumWidth(adviceWidth);
    // Tall enough at that width: a window's minimum size leaves wrapped lines out of
    // account, and on a small screen the dialog would open cutting the advice off.
    noDeviceAdvice_->setMinimumHeight(noDeviceAdvice_->heightForWidth(adviceWidth));
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

void CommPortDialog::addOtherDeviceRow(QVBoxLayout* layout, QButtonGroup* group,
                                       const TextLookup& texts) {
    layout->addSpacing(layout->spacing() * 2);
    otherButton_ = new QRadioButton(qs(texts.text(text_key::kPortOtherDevice)), this);
    group->addButton(otherButton_);
    otherPath_ = new QLineEdit(this);
    otherPath_->setPlaceholderText(QStringLiteral("/dev/serial/by-id/…"));
    auto* browse = new QPushButton(qs(texts.text(text_key::kPortBrowse)), this);
    auto* row = new QHBoxLayout;
    row->addWidget(otherButton_);
    row->addWidget(otherPath_, 1);
    row->addWidget(browse);
    layout->addLayout(row);
    otherRefusal_ = new QLabel(this);
    otherRefusal_->setWordWrap(true);
    otherRefusal_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    otherRefusal_->setVisible(false);
    layout->addWidget(otherRefusal_);

    // Typing a path means this device.
    connect(otherPath_, &QLineEdit::textEdited, this, [this] {
        otherButton_->setChecked(true);
        otherRefusal_->setVisible(false);
    });
    connect(browse, &QPushButton::clicked, this, [this] { chooseOtherDevice(); });
}

void CommPortDialog::chooseOtherDevice() {
    QFileDialog chooser(this, qs(texts_.text(text_key::kPortChooseDevice)), QStringLiteral("/dev"));
    chooser.setFileMode(QFileDialog::ExistingFile);
    // Device nodes count as system files, which the chooser hides unless asked; the
    // desktop's own chooser would not show them at all.
    chooser.setFilter(QDir::AllDirs | QDir::Files | QDir::System | QDir::NoDot);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    otherPath_->setText(chooser.selectedFiles().constFirst());
    otherButton_->setChecked(true);
    otherRefusal_->setVisible(false);
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
        // In lines of a readable length, rather than one line across the screen.
        constexpr int kTipColumns = 60;
        auto tip = [](const std::string& text) { return qs(wrapText(text, kTipColumns)); };
        if (row.problem) {
            button->setToolTip(tip(link::describeOpenProblem(*row.problem, texts)));
        } else if (!row.entry.mapped) {
            button->setToolTip(tip(withTexts(texts.text(text_key::kPortNewNumber),
                                             {std::to_string(row.entry.portNumber)})));
        }
    }
    searchBox_->setChecked(choice_.searchTicked());
}

void CommPortDialog::accept() {
    if (otherButton_->isChecked()) {
        const OtherDevice device = checkOtherDevice(otherPath_->text().toStdString(), port_);
        if (!device.entry) {
            otherRefusal_->setText(qs(otherDeviceRefusal(device, texts_)));
            otherRefusal_->setVisible(true);
            // Grown by hand: the window's minimum size leaves wrapped lines out of account.
            layout()->activate();
            resize(width(), std::max(height(), layout()->totalHeightForWidth(width())));
            otherPath_->setFocus();
            return;
        }
        storedPort_ = storeOtherDevice(choice_, device, port_, settings_, warning_, prompter_);
        QDialog::accept();
        return;
    }
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
