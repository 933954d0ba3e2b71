#pragma once
// The communication-port dialog: one button per port COM1 ... COM8, usable when the port
// opens; OK stores the ticked port as "com".

#include <QDialog>
#include <array>
#include <optional>

#include "app/comm_port_choice.h"
#include "lang/text_lookup.h"
#include "link/serial_port.h"
#include "platform/settings_file.h"

class QCheckBox;
class QRadioButton;

namespace pl3 {

constexpr int kCommPortDialogTemplate = 130;
constexpr int kFirstPortButtonId = 1001;  // COM1; COM8 is 1008
constexpr int kPortSearchBoxId = 1012;

class CommPortDialog : public QDialog {
    Q_OBJECT

  public:
    // Probes the ports through port (closing it first) while the dialog is built. A port
    // that cannot be stored is told through warning and prompter.
    CommPortDialog(QWidget* parent, SerialPort& port, const SettingsFile& settings,
                   const TextLookup& texts, SettingsWriteWarning& warning, Prompter& prompter);

    // OK: stores the ticked port when it differs from "com".
    void accept() override;

    // The port number OK stored; nullopt when "com" is unchanged (or before OK).
    std::optional<int> storedPort() const { return storedPort_; }

  private:
    void layOut();
    void showPortStates();

    SerialPort& port_;
    SettingsFile settings_;
    SettingsWriteWarning& warning_;
    Prompter& prompter_;
    CommPortChoice choice_;
    std::array<QRadioButton*, kPortButtonCount> portButtons_{};
    QCheckBox* searchBox_ = nullptr;
    std::optional<int> storedPort_;
};

// Shows the dialog; true when OK changed "com" (the caller then refreshes the port pane
// of the status bar).
bool runCommPortDialog(QWidget* parent, SerialPort& port, const SettingsFile& settings,
                       const TextLookup& texts, SettingsWriteWarning& warning, Prompter& prompter);

}  // namespace pl3
