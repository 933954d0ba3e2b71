#include "app/ui/import_placement_dialog.h"

#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "codeplug/image_layout.h"
#include "lang/ui/dialog_translation.h"

namespace pl3 {

ImportPlacementDialog::ImportPlacementDialog(const TextLookup& texts, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("导入信道的位置"));
    auto* byLocation = new QRadioButton(QStringLiteral("按 Location"), this);
    setResourceId(byLocation, kByLocationButton);
    byLocation->setChecked(true);
    atChannel_ = new QRadioButton(QStringLiteral("从此信道起放置："), this);
    setResourceId(atChannel_, kAtChannelButton);
    // Only the channels that take any frequency: the fixed ones would refuse most rows.
    channel_ = new QSpinBox(this);
    channel_->setRange(kFirstEditableChannel, kChannelCount);
    channel_->setEnabled(false);
    connect(atChannel_, &QRadioButton::toggled, channel_, &QSpinBox::setEnabled);

    auto* atChannelRow = new QHBoxLayout;
    atChannelRow->addWidget(atChannel_);
    atChannelRow->addWidget(channel_);
    atChannelRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(byLocation);
    layout->addLayout(atChannelRow);
    layout->addLayout(addOkCancelRow(this));
    translateDialog(this, kTemplate, texts);
}

int ImportPlacementDialog::firstChannel() const {
    return atChannel_->isChecked() ? channel_->value() : 0;
}

}  // namespace pl3
