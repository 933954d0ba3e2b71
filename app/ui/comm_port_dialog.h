#pragma once
// The communication-port dialog: one button per port COM1 ... COM8, then the serial
// devices present further up, each labelled with its device; a port that does not open
// is greyed out and tells why. "Other device…" takes any device path, typed or chosen.
// OK stores the ticked port as "com".

#include <QDialog>
#include <optional>
#include <vector>

#include "app/comm_port_choice.h"
#include "lang/text_lookup.h"
#include "link/serial_port.h"
#include "platform/serial_device_list.h"
#include "platform/settings_file.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace pl3 {

constexpr int kCommPortDialogTemplate = 130;
constexpr int kFirstPortButtonId = 1001;  // COM1; COM8 is 1008
constexpr int kPortSearchBoxId = 1012;

class CommPortDialog : public QDialog {
    Q_OBJECT

  public:
    // Lists the devices under roots and probes the ports through port (closing it
    // first) while the dialog is built. A port that cannot be stored is told through
    // warning and prompter.
    CommPortDialog(QWidget* parent, SerialPort& port, const SettingsFile& settings,
                   const TextLookup& texts, SettingsWriteWarning& warning, Prompter& prompter,
                   const platform::DeviceRoots& roots = {});
    // Shows a choice already made.
    CommPortDialog(QWidget* parent, CommPortChoice choice, SerialPort& port,
                   const SettingsFile& settings, const TextLookup& texts,
                   SettingsWriteWarning& warning, Prompter& prompter);

    // OK: stores the ticked port when it differs from "com". A device typed under "Other
    // device…" that cannot be used keeps the dialog open and says why.
    void accept() override;

    // The port number OK stored; nullopt when "com" is unchanged (or before OK).
    std::optional<int> storedPort() const { return storedPort_; }
    // Row i's button: COM1 ... COM8 first, in the order of the choice's rows.
    QRadioButton* portButton(std::size_t row) const { return portButtons_.at(row); }
    // The advice shown when no device exists.
    QLabel* noDeviceAdvice() const { return noDeviceAdvice_; }
    QRadioButton* otherDeviceButton() const { return otherButton_; }
    QLineEdit* otherDevicePath() const { return otherPath_; }
    // Why the device typed under "Other device…" was refused; hidden until then.
    QLabel* otherDeviceReason() const { return otherRefusal_; }

  private:
    void layOut(const TextLookup& texts);
    void addOtherDeviceRow(QVBoxLayout* layout, QButtonGroup* group, const TextLookup& texts);
    void chooseOtherDevice();
    void showPortStates(const TextLookup& texts);

    SerialPort& port_;
    SettingsFile settings_;
    SettingsWriteWarning& warning_;
    Prompter& prompter_;
    CommPortChoice choice_;
    std::vector<QRadioButton*> portButtons_;
    QLabel* noDeviceAdvice_ = nullptr;
    QRadioButton* otherButton_ = nullptr;
    QLineEdit* otherPath_ = nullptr;
    QLabel* otherRefusal_ = nullptr;
    QCheckBox* searchBox_ = nullptr;
    const TextLookup& texts_;
    std::optional<int> storedPort_;
};

// Shows the dialog; true when OK changed "com" (the caller then refreshes the port pane
// of the status bar).
bool runCommPortDialog(QWidget* parent, SerialPort& port, const SettingsFile& settings,
                       const TextLookup& texts, SettingsWriteWarning& warning, Prompter& prompter);

}  // namespace pl3
