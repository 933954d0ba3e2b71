#pragma once
// Where the rows of a channel list go, asked before the list is read: each to the channel
// its Location names (the default), or one after another from a chosen channel, for lists
// made for radios that count their memories from 0 or leave gaps.

#include <QDialog>

#include "lang/text_lookup.h"

class QRadioButton;
class QSpinBox;

namespace pl3 {

class ImportPlacementDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplate = 163;
    static constexpr int kByLocationButton = 1540;
    static constexpr int kAtChannelButton = 1541;

    explicit ImportPlacementDialog(const TextLookup& texts, QWidget* parent = nullptr);

    // 0 for "by Location", else the channel the first row goes to.
    int firstChannel() const;

    QRadioButton* atChannelButton() const { return atChannel_; }
    QSpinBox* channelBox() const { return channel_; }

  private:
    QRadioButton* atChannel_;
    QSpinBox* channel_;
};

}  // namespace pl3
