// pl3-cps: the desktop programming software.

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <iostream>
#include <memory>
#include <optional>

#include "app/app_context.h"
#include "app/program_info.h"
#include "app/ui/main_frame.h"
#include "app/ui/message_box_prompter.h"
#include "codeplug/document_commands.h"
#include "lang/settings_warnings.h"
#include "platform/program_folder.h"
#include "platform/system_locale.h"
#include "sim/radio_simulator.h"
#include "view/ui/report_to_pdf.h"

namespace {

bool takeFlag(int& argc, char** argv, const char* flag) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == flag) {
            for (int j = i; j < argc; ++j)
                argv[j] = argv[j + 1];
            --argc;
            return true;
        }
    }
    return false;
}

// "--print-pdf OUT": the value, or an empty string when the option is given without one.
std::optional<std::string> takeOption(int& argc, char** argv, const char* option) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) != option) continue;
        const bool hasValue = i + 1 < argc;
        std::string value = hasValue ? argv[i + 1] : std::string();
        const int taken = hasValue ? 2 : 1;
        for (int j = i; j + taken <= argc; ++j)
            argv[j] = argv[j + taken];
        argc -= taken;
        return value;
    }
    return std::nullopt;
}

// As a report's other load failures end: a program folder or file that cannot be used.
constexpr int kCannotLoad = 2;

constexpr const char* kUsage =
    "Usage:\n"
    "  pl3-cps [--program-dir DIR] [--demo-radio] [FILE.PL-3]\n"
    "  pl3-cps [--program-dir DIR] --print-pdf OUT.pdf [FILE.PL-3]\n"
    "  pl3-cps --help | --version\n"
    "\n"
    "The PL-3 radio programming software. --demo-radio answers on the stored port with a\n"
    "simulated radio for this run. --print-pdf writes the channel-list report of FILE (or\n"
    "of a new codeplug) as a PDF without opening a window or needing a display.\n"
    "\n"
    "The program folder holds setting.ini and the language files: DIR when given, else the\n"
    "folder of this executable when it holds setting.ini, else ../share/pl3 beside it.\n"
    "Settings the program changes go to $XDG_CONFIG_HOME/pl3/setting.ini (default\n"
    "~/.config/pl3/setting.ini) unless the program folder's own setting.ini can be written.\n"
    "--version prints the version and the folders in use.\n";

}  // namespace

int main(int argc, char** argv) {
    std::optional<std::string> programDir = pl3::platform::takeProgramDirOption(argc, argv);
    if (!programDir) {
        std::cerr << pl3::emptyProgramFolderMessage() << "\n";
        return kCannotLoad;
    }
    const pl3::FolderLookup lookup = pl3::folderLookupFor(std::move(*programDir));
    // Answered before Qt starts: they need neither a display nor a radio.
    if (takeFlag(argc, argv, "--help") || takeFlag(argc, argv, "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (takeFlag(argc, argv, "--version")) {
        pl3::printVersion(std::cout, "pl3-cps", lookup);
        return 0;
    }
    const bool demoRadio = takeFlag(argc, argv, "--demo-radio");
    const std::optional<std::string> pdfPath = takeOption(argc, argv, "--print-pdf");
    if (pdfPath && pdfPath->empty()) {
        std::cerr << "usage: pl3-cps [--program-dir DIR] --print-pdf OUT.pdf [FILE.PL-3]\n";
        return 1;
    }
    // A report needs no window, so it needs no display either.
    if (pdfPath && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("pl3-cps"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("pl3-cps"), QIcon(QStringLiteral(":/pl3-cps.svg"))));

    std::optional<pl3::AppPaths> paths =
        pl3::resolveAppPaths(lookup, pl3::platform::systemLocaleId());
    if (!paths && pdfPath) {
        std::cerr << pl3::missingSettingsMessage(lookup) << "\n";
        return kCannotLoad;
    }
    if (!paths) {
        QMessageBox::critical(nullptr, QString(),
                              QString::fromStdString(pl3::missingSettingsMessage(lookup)));
        return 1;
    }
    pl3::AppContext context(std::move(*paths));
    if (pdfPath) {
        // The name as the system gave it: one that is not UTF-8 would not survive a QString.
        std::optional<std::string> codeplug;
        if (argc > 1) codeplug = argv[1];
        return pl3::printReportToPdf(context.settings, context.texts, *pdfPath, codeplug);
    }

    // A simulated radio for trying the program without hardware: for this run the stored
    // port is the simulator, whatever device it names otherwise.
    std::unique_ptr<pl3::sim::RadioSimulator> radio;
    const int demoPort = context.settings.comPort();
    if (demoRadio) {
        radio = std::make_unique<pl3::sim::RadioSimulator>(pl3::sim::Options{});
        if (radio->start()) context.port.mapPortForThisRun(demoPort, radio->devicePath());
    }

    pl3::CMaItemDoc doc(context.settings);
    context.skipPrompt = true;
    pl3::MessageBoxPrompter prompter(context.texts, nullptr);
    pl3::CMainFrame frame(context, doc, prompter);
    prompter.setOwner(&frame);
    pl3::newDocument(doc, prompter, context.skipPrompt);
    QStringList arguments = application.arguments();
    // A file that cannot be opened has been named in a message; the new codeplug stays.
    if (arguments.size() > 1) frame.openFile(arguments.at(1));
    frame.show();
    pl3::warnAboutUnusableSettings(context.settings, prompter);
    return application.exec();
}
