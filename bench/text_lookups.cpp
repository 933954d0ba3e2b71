// How long the work that looks texts and settings up most takes: a full refresh of the
// channel page (every cell's words come from the language file) and pl3ctl import-csv of a
// 128-row channel list. Run offscreen from the build tree:
//   QT_QPA_PLATFORM=offscreen build/default/bin/bench_text_lookups

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "codeplug/document.h"
#include "codeplug/document_commands.h"
#include "editors/ui/channel_page.h"
#include "lang/text_lookup.h"
#include "platform/app_paths.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"

namespace {

using namespace pl3;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool runProgram(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    // The program's report would only clutter the figures.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void benchPageRefresh(const AppPaths& paths) {
    CMaItemDoc doc{SettingsFile(paths.settingsPath)};
    TextLookup texts(paths.languageFilePath);
    SilentPrompter prompter;
    ChannelPage page(doc, texts, prompter);
    constexpr int kRefreshes = 20;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kRefreshes; ++i)
        page.refresh();
    std::printf("channel page refresh:      %8.2f ms each (%d refreshes)\n",
                secondsSince(start) * 1000.0 / kRefreshes, kRefreshes);
}

void benchImport(const std::string& binDir) {
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("pl3-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);
    const std::string pl3ctl = binDir + "/pl3ctl";
    const std::string source = (scratch / "source.PL-3").string();
    const std::string target = (scratch / "target.PL-3").string();
    const std::string list = (scratch / "list.csv").string();

    std::vector<std::string> setArgs{"set", source};
    // Channels 1 ... 77 come programmed; the rest get frequencies on the 12.5 kHz raster.
    for (int channel = 78; channel <= 128; ++channel) {
        char megahertz[32];
        std::snprintf(megahertz, sizeof megahertz, "%.4f", 440.0 + channel * 0.0125);
        setArgs.push_back("RxFreq[" + std::to_string(channel) + "]=" + megahertz);
    }
    if (!runProgram(pl3ctl, {"new", "-o", source}) || !runProgram(pl3ctl, setArgs) ||
        !runProgram(pl3ctl, {"export-csv", source, list})) {
        std::printf("import-csv: could not prepare the channel list with %s\n", pl3ctl.c_str());
        return;
    }
    constexpr int kImports = 5;
    double total = 0;
    for (int i = 0; i < kImports; ++i) {
        runProgram(pl3ctl, {"new", "-o", target});
        const Clock::time_point start = Clock::now();
        if (!runProgram(pl3ctl, {"import-csv", target, list}))
            std::printf("import-csv: pl3ctl failed\n");
        total += secondsSince(start);
    }
    std::printf("pl3ctl import-csv 128 rows: %7.2f ms each (%d runs)\n", total * 1000.0 / kImports,
                kImports);
    std::filesystem::remove_all(scratch);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const std::string binDir = platform::executableFolder();
    const std::optional<AppPaths> paths = resolveAppPaths(binDir, 1033);
    if (!paths) {
        std::printf("no setting.ini beside %s\n", binDir.c_str());
        return 1;
    }
    benchPageRefresh(*paths);
    benchImport(binDir);
    return 0;
}
