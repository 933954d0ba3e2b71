#include "tools/screenshots/fleet_shots.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <memory>
#include <vector>

#include "editors/difference_words.h"
#include "link/ui/fleet_dialog.h"
#include "platform/private_profile.h"
#include "sim/radio_simulator.h"

namespace {

using Phase = pl3::link::FleetRun::Phase;

// Three cables: a radio written at once, a slower one, one that stops acknowledging.
std::vector<std::unique_ptr<pl3::sim::RadioSimulator>> threeRadios() {
    std::vector<std::unique_ptr<pl3::sim::RadioSimulator>> radios;
    for (int n = 0; n < 3; ++n) {
        pl3::sim::Options options;
        if (n == 1) options.faults.extraDelayMs = 15;
        if (n == 2) options.faults.noAckAtBlock = 120;
        radios.push_back(std::make_unique<pl3::sim::RadioSimulator>(options));
    }
    return radios;
}

bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

}  // namespace

bool saveFleetDialog(pl3::AppContext& context, pl3::CMaItemDoc& doc, pl3::Prompter& prompter,
                     QWidget* parent, const WidgetSaver& save, const QString& prefix) {
    const std::string settingsPath = context.settings.path();
    // Only the three cables: no device of this machine joins in.
    pl3::platform::writeString(settingsPath, "ports", "defaults", "0");
    std::vector<std::unique_ptr<pl3::sim::RadioSimulator>> radios = threeRadios();
    std::vector<pl3::platform::PresentSerialDevice> present;
    const char* adapters[] = {"FT232R USB UART", "CP2102 USB to UART Bridge Controller",
                              "USB Radio Cable"};
    bool ok = true;
    for (std::size_t n = 0; n < radios.size(); ++n) {
        ok &= radios[n]->start();
        ok &= context.settings.setPortDevice(static_cast<int>(n) + 1, radios[n]->devicePath());
        present.push_back({radios[n]->devicePath(), adapters[n], {}});
    }
    const bool verify = context.settings.verifyAfterWrite();
    context.settings.setVerifyAfterWrite(true);
    if (ok) {
        pl3::FleetDialog dialog(
            context.radio(), doc, prompter,
            [&](int address) { return pl3::addressPlace(doc, address, context.texts); }, present,
            parent);
        dialog.show();
        dialog.start();
        // Running: the first radio written, the second under way, the third failed.
        ok &= waitFor([&] {
            return dialog.run().row(2).mark == pl3::link::RowMark::Failed &&
                   dialog.barPosition(1) > pl3::link::kBarRange / 3;
        });
        ok &= save(dialog, prefix + QStringLiteral("dialog-164-fleet-running.png"));
        ok &= waitFor([&] { return dialog.run().phase() == Phase::Ended; });
        ok &= save(dialog, prefix + QStringLiteral("dialog-164-fleet-finished.png"));
        // The production line: each radio written as it answers, and the running count.
        dialog.watchBox()->setChecked(true);
        dialog.start();
        ok &= waitFor([&] {
            return dialog.run().row(0).mark == pl3::link::RowMark::Written &&
                   dialog.run().row(2).mark == pl3::link::RowMark::Failed;
        });
        ok &= save(dialog, prefix + QStringLiteral("dialog-164-fleet-production-line.png"));
        dialog.stop();
        ok &= waitFor([&] { return dialog.run().phase() == Phase::Ended; });
    }
    context.settings.setVerifyAfterWrite(verify);
    for (int n = 1; n <= 3; ++n)
        context.settings.setPortDevice(n, "/dev/ttyUSB" + std::to_string(n - 1));
    pl3::platform::writeString(settingsPath, "ports", "defaults", "1");
    return ok;
}
