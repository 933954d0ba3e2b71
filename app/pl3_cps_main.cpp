// pl3-cps: the desktop programming software.

#include <QApplication>
#include <QMessageBox>
#include <memory>

#include "app/app_context.h"
#include "app/main_frame.h"
#include "app/message_box_prompter.h"
#include "codeplug/document_commands.h"
#include "platform/program_folder.h"
#include "platform/system_locale.h"
#include "tools/pl3-radio-sim/radio_simulator.h"

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

}  // namespace

int main(int argc, char** argv) {
    std::string programFolder = pl3::platform::takeProgramFolder(argc, argv);
    const bool demoRadio = takeFlag(argc, argv, "--demo-radio");
    QApplication application(argc, argv);

    std::optional<pl3::AppPaths> paths =
        pl3::resolveAppPaths(programFolder, pl3::platform::systemLocaleId());
    if (!paths) {
        QMessageBox::critical(nullptr, QString(),
                              QString::fromUtf8(pl3::kMissingSettingsMessage.data(),
                                                pl3::kMissingSettingsMessage.size()));
        return 1;
    }
    pl3::AppContext context(std::move(*paths));

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
    if (arguments.size() > 1 && !frame.openFile(arguments.at(1))) return 1;
    frame.show();
    return application.exec();
}
