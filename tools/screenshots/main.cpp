// pl3-screenshots OUTPUT_DIR: renders the main window (each tab) and the dialogs in every
// shipped language to PNG files, offscreen, so they can be looked at without a display.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QWidget>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <iostream>
#include <string_view>

#include "app/app_context.h"
#include "app/program_info.h"
#include "app/status_panes.h"
#include "app/ui/about_dialog.h"
#include "app/ui/comm_port_dialog.h"
#include "app/ui/compare_dialog.h"
#include "app/ui/import_placement_dialog.h"
#include "app/ui/import_report_dialog.h"
#include "app/ui/main_frame.h"
#include "app/ui/message_box_prompter.h"
#include "codeplug/document_commands.h"
#include "editors/difference_words.h"
#include "editors/ui/channel_page.h"
#include "editors/ui/tone_picker_dialog.h"
#include "grid/ui/grid_ctrl.h"
#include "interchange/channel_import.h"
#include "lang/ui/language_dialog.h"
#include "link/open_problem.h"
#include "link/transfer_log.h"
#include "link/ui/progress_dialog.h"
#include "platform/private_profile.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "service/access_code.h"
#include "service/ui/access_code_dialog.h"
#include "service/ui/auto_tuning_dialog.h"
#include "service/ui/tuning_dialog.h"
#include "sim/radio_simulator.h"
#include "tools/screenshots/fleet_shots.h"
#include "view/ui/ma_item_view.h"

namespace {

bool save(QWidget& widget, const QString& path, bool fitToContents = true) {
    if (fitToContents) widget.adjustSize();
    widget.show();
    QApplication::processEvents();
    bool saved = widget.grab().save(path);
    widget.hide();
    std::cout << (saved ? "wrote " : "could not write ") << path.toStdString() << "\n";
    return saved;
}

// A window the program opens modally (a message box), grabbed once it shows, then closed.
bool saveModal(const std::function<void()>& open, const QString& path) {
    bool saved = false;
    QTimer::singleShot(0, [&saved, &path] {
        QWidget* shown = QApplication::activeModalWidget();
        if (shown == nullptr) return;
        saved = shown->grab().save(path);
        shown->close();
    });
    open();
    std::cout << (saved ? "wrote " : "could not write ") << path.toStdString() << "\n";
    return saved;
}

// The tooltip of a widget, as hovering shows it.
bool saveToolTip(QWidget& widget, const QString& path) {
    widget.window()->show();
    QToolTip::showText(widget.mapToGlobal(QPoint(4, 4)), widget.toolTip(), &widget);
    QApplication::processEvents();
    bool saved = false;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->inherits("QTipLabel") && top->isVisible()) saved = top->grab().save(path);
    }
    QToolTip::hideText();
    widget.window()->hide();
    std::cout << (saved ? "wrote " : "could not write ") << path.toStdString() << "\n";
    return saved;
}

// A list made for another radio, with names longer than the radio shows and a transmit
// tone for a talkaround channel.
std::string longNamedList() {
    std::string text = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq\n";
    for (int n : {1, 2, 16}) {
        text += std::to_string(77 + n) + ",PMR446 " + std::to_string(n) + "," +
                std::to_string(446.00625 + 0.0125 * (n - 1)) + ",,0,,\n";
    }
    text += "94,Repeater North,439.9875,-,7.6,Tone,88.5\n";
    text += "95,Repeater South,439.9625,-,7.6,Tone,88.5\n";
    text += "5,Home,446.05625,,0,Tone,67.0\n";
    return text;
}

// Keys as a user types them on the channel grid: the first opens the editor of the focus
// cell, the rest go wherever the focus then is.
void typeOnChannelGrid(pl3::CMainFrame& frame, int row, int column, const QString& keys) {
    auto* page = qobject_cast<pl3::ChannelPage*>(frame.view()->page(0));
    if (page == nullptr) return;
    page->grid()->setFocusCell(row, column);
    page->grid()->setFocus();
    for (QChar key : keys) {
        QKeyEvent press(QEvent::KeyPress, key.toUpper().unicode(), Qt::NoModifier, QString(key));
        QApplication::sendEvent(frame.focusWidget(), &press);
    }
}

// The window with one of its menu bar's menus open below its title: the menu is a window
// of its own, so it is painted onto the window's picture.
bool saveWithMenu(QMainWindow& window, int menuIndex, const QString& path) {
    window.show();
    QApplication::processEvents();
    QAction* title = window.menuBar()->actions().at(menuIndex);
    QMenu* menu = title->menu();
    menu->adjustSize();
    menu->ensurePolished();
    QPixmap picture = window.grab();
    const QPoint below =
        window.menuBar()->mapTo(&window, window.menuBar()->actionGeometry(title).bottomLeft());
    QPainter painter(&picture);
    painter.drawPixmap(below, menu->grab());
    painter.end();
    window.hide();
    const bool saved = picture.save(path);
    std::cout << (saved ? "wrote " : "could not write ") << path.toStdString() << "\n";
    return saved;
}

// A transfer with a radio that misbehaves, at its own size when the job has stopped: the
// failure with Retry and Close, and where a verify found the radio different.
bool saveFailedTransfer(pl3::AppContext& context, pl3::CMaItemDoc& doc, pl3::Prompter& prompter,
                        QWidget* parent, pl3::link::Direction direction,
                        const pl3::sim::Faults& faults, const QString& path) {
    pl3::sim::Options options;
    options.faults = faults;
    pl3::sim::RadioSimulator radio(options);
    bool ok = true;
    if (radio.start() && context.settings.setPortDevice(1, radio.devicePath())) {
        pl3::ProgressDialog::Hooks hooks;
        hooks.placeOf = [&](int address) { return pl3::addressPlace(doc, address, context.texts); };
        pl3::ProgressDialog failed(context.radio(), doc, prompter, direction, std::move(hooks),
                                   parent);
        failed.show();
        failed.startJob();
        QElapsedTimer waited;
        waited.start();
        while (!failed.retryAllowed() && waited.elapsed() < 20000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        ok = save(failed, path, false);
    }
    context.settings.setPortDevice(1, "/dev/ttyUSB0");
    return ok;
}

// The port dialog on a made-up machine: an FTDI cable that opens, a second adapter
// another program holds, a CDC cable, a UART only root may open and the FTDI cable's
// stable name; or a machine with no serial device at all.
pl3::CommPortChoice madeUpPorts(bool devicesPresent) {
    using pl3::platform::SerialOpenError;
    std::vector<pl3::PortEntry> entries;
    for (int n = 1; n <= pl3::kPortButtonCount; ++n)
        entries.push_back({n, "/dev/ttyUSB" + std::to_string(n - 1), {}, true});
    if (devicesPresent) {
        entries[0].description = "FT232R USB UART";
        entries[1].description = "CP2102 USB to UART Bridge Controller";
        entries.push_back({17, "/dev/ttyACM0", "USB Radio Cable", true});
        entries.push_back({33, "/dev/ttyS0", {}, true});
        entries.push_back({65, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
                           "FT232R USB UART", false});
    }
    auto probe = [devicesPresent](const pl3::PortEntry& entry) {
        auto failed = [&entry](SerialOpenError error, int number, std::string group = {}) {
            return std::optional(
                pl3::link::PortOpenProblem{{error, number, std::move(group)}, *entry.devicePath});
        };
        if (!devicesPresent) return failed(SerialOpenError::NoSuchDevice, ENOENT);
        switch (entry.portNumber) {
            case 1:
            case 17:
            case 65:
                return std::optional<pl3::link::PortOpenProblem>();
            case 2:
                return failed(SerialOpenError::Busy, EBUSY);
            case 33:
                return failed(SerialOpenError::PermissionDenied, EACCES, "root");
        }
        return failed(SerialOpenError::NoSuchDevice, ENOENT);
    };
    return pl3::CommPortChoice(1, 1, entries, probe);
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string programFolder = pl3::platform::takeProgramDirOption(argc, argv).value_or("");
    if (programFolder.empty()) programFolder = pl3::platform::executableFolder();
    QApplication application(argc, argv);
    // An option it does not know (--help) is not taken for a folder to fill.
    if (argc != 2 || argv[1][0] == '-') {
        std::cerr << "usage: pl3-screenshots [--program-dir DIR] OUTPUT_DIR\n";
        return argc == 2 && std::string_view(argv[1]) == "--help" ? 0 : 1;
    }
    QDir output(QString::fromLocal8Bit(argv[1]));
    output.mkpath(QStringLiteral("."));
    // A copy of the installation data: the About dialog follows the stored language, which
    // the run changes, and the user's setting.ini stays as it is.
    QTemporaryDir scratch;
    for (const char* name :
         {"setting.ini", "english.lang", "chinese.lang", "english.html", "chinese.html"}) {
        QFile::copy(QString::fromStdString(programFolder + "/" + name),
                    scratch.filePath(QString::fromLatin1(name)));
    }
    programFolder = scratch.path().toStdString();
    // Conversation logs made by the run stay in the scratch folder too.
    ::setenv("XDG_STATE_HOME", scratch.filePath(QStringLiteral("state")).toLocal8Bit().constData(),
             1);
    // So do the backups of its transfers.
    ::setenv("XDG_DATA_HOME", scratch.filePath(QStringLiteral("data")).toLocal8Bit().constData(),
             1);
    std::optional<pl3::AppPaths> paths = pl3::resolveAppPaths(programFolder, 1033);
    if (!paths) {
        std::cerr << pl3::kMissingSettingsMessage << "\n";
        return 2;
    }
    bool ok = true;
    for (const char* language : {"english", "chinese"}) {
        pl3::AppContext context(*paths);
        context.texts.setLanguageFilePath(programFolder + "/" + language + ".lang");
        pl3::CMaItemDoc doc(context.settings);
        pl3::SilentPrompter prompter;
        pl3::CMainFrame frame(context, doc, prompter);
        bool skip = true;
        pl3::newDocument(doc, prompter, skip);
        QString prefix = output.filePath(QString::fromLatin1(language) + QStringLiteral("-"));
        for (int tab = 0; tab < pl3::CMaItemView::kPageCount; ++tab) {
            frame.view()->tabBar()->setCurrentIndex(tab);
            ok &= save(frame, prefix + QStringLiteral("main-tab%1.png").arg(tab + 1), false);
        }
        pl3::CommPortDialog port(&frame, context.port, context.settings, context.texts,
                                 context.settingsWarning, prompter);
        ok &= save(port, prefix + QStringLiteral("dialog-130-port.png"));
        for (bool devicesPresent : {true, false}) {
            pl3::CommPortDialog madeUp(&frame, madeUpPorts(devicesPresent), context.port,
                                       context.settings, context.texts, context.settingsWarning,
                                       prompter);
            ok &= save(madeUp,
                       prefix + (devicesPresent ? QStringLiteral("dialog-130-port-devices.png")
                                                : QStringLiteral("dialog-130-port-none.png")));
            if (devicesPresent) {
                // A greyed port tells why, in lines of a readable width.
                ok &= saveToolTip(*madeUp.portButton(1),
                                  prefix + QStringLiteral("dialog-130-port-busy-tooltip.png"));
                ok &= saveToolTip(*madeUp.portButton(9),
                                  prefix + QStringLiteral("dialog-130-port-root-tooltip.png"));
                // "Other device…" with a device that is not there: OK says why and stays.
                madeUp.otherDevicePath()->setText(
                    QStringLiteral("/dev/serial/by-id/usb-Prolific_PL2303-if00-port0"));
                madeUp.otherDeviceButton()->setChecked(true);
                madeUp.accept();
                ok &= save(madeUp, prefix + QStringLiteral("dialog-130-port-other-refused.png"),
                           false);
            }
        }
        pl3::LanguageDialog languages(&frame, {programFolder}, context.texts, context.settings,
                                      context.settingsWarning, prompter);
        ok &= save(languages, prefix + QStringLiteral("dialog-131-language.png"));
        pl3::ImportPlacementDialog placement(context.texts, &frame);
        placement.atChannelButton()->setChecked(true);  // the spin box shows enabled
        ok &= save(placement, prefix + QStringLiteral("dialog-163-import-placement.png"));
        doc.rawFields().setToneCode(1, pl3::Side::Receive, 9);     // 88.5 Hz: the CTCSS table
        doc.rawFields().setToneCode(1, pl3::Side::Transmit, 170);  // D065I: the DCS table, inverted
        pl3::TonePickerDialog ctcss(doc, context.texts, 1, 3, QStringLiteral("88.5"), &frame);
        ok &= save(ctcss, prefix + QStringLiteral("dialog-137-tone-ctcss.png"));
        pl3::TonePickerDialog dcs(doc, context.texts, 1, 4, QStringLiteral("D065I"), &frame);
        ok &= save(dcs, prefix + QStringLiteral("dialog-137-tone-dcs.png"));
        context.settings.setLanguageName(language);
        // An edit enables Undo; the compare view lists it, page by page, against the file saved
        // before.
        const std::string before = scratch.filePath(QStringLiteral("before.PL-3")).toStdString();
        pl3::storeDocument(doc, before, prompter);
        doc.rawFields().setFrequencyText(80, pl3::Side::Receive, "433.075");
        doc.rawFields().setFrequencyText(80, pl3::Side::Transmit, "433.075");
        doc.rawFields().setSetting(pl3::Setting::BackLamp, 2);
        doc.rawFields().setChannelFlag(3, pl3::ChannelFlag::BusyLock,
                                       !doc.fields().channelFlag(3, pl3::ChannelFlag::BusyLock));
        doc.rawFields().setSetting(pl3::Setting::SideKey1Short, 2);
        doc.markEdited();
        doc.updateAllViews();
        frame.view()->tabBar()->setCurrentIndex(0);
        ok &= save(frame, prefix + QStringLiteral("main-after-edit.png"), false);
        // The channel order commands of the Edit menu, for the channel under the focus.
        auto* channels =
            qobject_cast<pl3::ChannelPage*>(frame.view()->page(pl3::CMaItemView::kChannelPage));
        channels->grid()->setFocusCell(80, 1);
        channels->grid()->scrollTo(channels->grid()->model()->index(80, 1));
        ok &= saveWithMenu(frame, 1, prefix + QStringLiteral("main-edit-menu-channel-order.png"));
        if (std::unique_ptr<pl3::CompareDialog> compare = frame.compareDialogFor(before))
            ok &= save(*compare, prefix + QStringLiteral("dialog-161-compare.png"), false);
        ok &= save(*pl3::makeAboutDialog(&frame, context, prompter),
                   prefix + QStringLiteral("dialog-100-159-about.png"));
        // Help where nothing can show the manual: the message names the file.
        pl3::MessageBoxPrompter boxes(context.texts, &frame);
        ok &= saveModal(
            [&] {
                pl3::openManual(
                    pl3::helpFileCandidates(context.paths, context.texts.languageFilePath()),
                    [](const std::string&) { return false; }, boxes);
            },
            prefix + QStringLiteral("message-help-no-viewer.png"));
        // An import of names longer than the radio shows: the report says what each became.
        // Only planned: the document stays as it is.
        {
            const pl3::interchange::ImportPlan plan =
                pl3::interchange::planImport(doc, longNamedList(), pl3::interchange::Format::Csv);
            pl3::ImportReportDialog report(
                pl3::interchange::describeImport(plan.report, context.texts),
                plan.changesDocument(), context.texts, &frame);
            ok &=
                save(report, prefix + QStringLiteral("dialog-160-import-report-names.png"), false);
        }
        // Logging on, after one logged transfer: the About box names its log.
        context.logTransfers(true);
        constexpr std::time_t kLoggedAt = 1796679312;  // 2026-12-07 21:35:12 UTC
        pl3::link::openTransferLog(context.port.logPlace(), kLoggedAt);
        ok &= save(*pl3::makeAboutDialog(&frame, context, prompter),
                   prefix + QStringLiteral("dialog-100-159-about-log.png"));
        context.logTransfers(false);
        pl3::ProgressDialog progress(context.radio(), doc, prompter, pl3::link::Direction::Read, {},
                                     &frame);
        ok &= save(progress, prefix + QStringLiteral("dialog-132-progress.png"), false);
        // A write offers verify and keeping the radio's tuning values.
        pl3::ProgressDialog writing(context.radio(), doc, prompter, pl3::link::Direction::Write, {},
                                    &frame);
        ok &= save(writing, prefix + QStringLiteral("dialog-132-progress-write.png"), false);
        // A read the radio broke off at block 3, with its log named; a verified write the
        // radio stored wrongly at the end of the DTMF settings.
        context.logTransfers(true);
        pl3::sim::Faults breaksOff;
        breaksOff.shortReplyAtBlock = 3;
        ok &= saveFailedTransfer(context, doc, prompter, &frame, pl3::link::Direction::Read,
                                 breaksOff,
                                 prefix + QStringLiteral("dialog-132-progress-failed.png"));
        context.logTransfers(false);
        context.settings.setVerifyAfterWrite(true);
        pl3::sim::Faults storesWrongly;
        storesWrongly.corruptStoredBlock = 0x8A;
        ok &= saveFailedTransfer(context, doc, prompter, &frame, pl3::link::Direction::Write,
                                 storesWrongly,
                                 prefix + QStringLiteral("dialog-132-progress-verify-failed.png"));
        context.settings.setVerifyAfterWrite(false);
        // Program ▸ Write to several radios…: three cables, one radio failing midway.
        ok &= saveWithMenu(frame, 2, prefix + QStringLiteral("main-program-menu.png"));
        ok &= saveFleetDialog(
            context, doc, prompter, &frame,
            [](QWidget& dialog, const QString& path) { return save(dialog, path, false); }, prefix);
        // The line over the status panes: a transfer that ended well, and a long reason
        // the port did not open, cut to the bar. The bar hides the panes it shows.
        frame.show();
        frame.showStatusLine(pl3::transferDoneLine(
            {pl3::link::TransferDone::WrittenAndVerified, 1, "/dev/ttyUSB0", 10, 9},
            context.texts));
        ok &= save(frame, prefix + QStringLiteral("main-status-done.png"), false);
        frame.show();
        frame.showStatusLine(pl3::link::describeOpenProblem(
            {{pl3::platform::SerialOpenError::PermissionDenied, EACCES, "dialout"},
             "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"},
            context.texts));
        ok &= save(frame, prefix + QStringLiteral("main-status-port-problem.png"), false);
        frame.clearStatusLine();
        // Unlocked by a code remembered earlier in the run; no radio answers the tuning.
        doc.setAccessCode(std::string(pl3::service::kFullAccessCode));
        pl3::AccessCodeDialog access(context.radio(), doc, prompter, {}, &frame);
        ok &= save(access, prefix + QStringLiteral("dialog-156-access-code.png"));
        pl3::TuningDialog tuning(context.radio(), doc, prompter, {}, &frame);
        ok &= save(tuning, prefix + QStringLiteral("dialog-134-tuning.png"));
        pl3::AutoTuningDialog autoTuning(doc, context.texts, context.port, &frame);
        ok &= save(autoTuning, prefix + QStringLiteral("dialog-158-auto-tuning.png"));
        // Last, as hiding the window commits the open edit.
        frame.view()->tabBar()->setCurrentIndex(0);
        frame.show();
        typeOnChannelGrid(frame, 3, pl3::ChannelTable::kNameColumn, QStringLiteral("CALL"));
        ok &= save(frame, prefix + QStringLiteral("main-grid-typing.png"), false);
    }
    return ok ? 0 : 1;
}
