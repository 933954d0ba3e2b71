// pl3ctl: the command-line tool over the codeplug core.

#include <iostream>
#include <optional>
#include <string>

#include "app/program_info.h"
#include "codeplug/field_registry.h"
#include "platform/console.h"
#include "platform/program_folder.h"
#include "tools/pl3ctl/commands.h"
#include "tools/pl3ctl/exit_codes.h"

namespace pl3::cli {

void printUsage(std::ostream& out) {
    out << "Usage:\n"
           "  pl3ctl [--program-dir DIR] new [--range N] -o FILE\n"
           "  pl3ctl [--program-dir DIR] dump [--json] FILE\n"
           "  pl3ctl [--program-dir DIR] set [--raw] FILE FIELD[=VALUE] ...\n"
           "  pl3ctl [--program-dir DIR] [--log LOG] read  [--port P] [--no-search] [--no-backup]\n"
           "                                   -o FILE\n"
           "  pl3ctl [--program-dir DIR] [--log LOG] write [--port P] [--no-search] [--no-backup]\n"
           "                                   [--verify] [--overwrite-tuning] [--force] FILE\n"
           "  pl3ctl [--program-dir DIR] write (--port P ... | --all-ports) [--watch] [--json]\n"
           "                                   [--verify] [--overwrite-tuning] [--force] FILE\n"
           "  pl3ctl [--program-dir DIR] diff [--words] A.PL-3 B.PL-3\n"
           "  pl3ctl [--program-dir DIR] export-csv FILE OUT.csv\n"
           "  pl3ctl [--program-dir DIR] import-csv [--first-channel N] FILE IN.csv\n"
           "  pl3ctl set --help            list the fields and their values\n"
           "  pl3ctl --version             the version and the folders in use\n"
           "\n"
           "new    writes a new codeplug with the factory defaults (frequency range N of\n"
           "       setting.ini, 0 when not given).\n"
           "dump   shows every field of a codeplug file; --json prints the fields by name.\n"
           "set    writes fields (FIELD=VALUE) and prints them (FIELD alone); indexed fields\n"
           "       take their index in brackets: RxFreq[80]=433.0776 ChannelName[80]=ab-1.\n"
           "       A channel column changes as on the channel page (a new channel transmits\n"
           "       where it receives, an empty receive frequency empties the channel, fixed\n"
           "       channels keep their frequencies); --raw sets each field alone.\n"
           "read   reads the radio into FILE; write writes FILE to the radio. P is a port number\n"
           "       (default: \"com\" of setting.ini; searched when \"searchcom\" allows and\n"
           "       --no-search is not given) or a device path (never searched). Both keep a\n"
           "       backup of the image read or about to be written (unless --no-backup) in\n"
           "       $XDG_DATA_HOME/pl3/backups (default ~/.local/share/pl3/backups), kept for 90\n"
           "       days. --verify reads the radio back after the write and fails when it differs.\n"
           "       A write keeps the radio's own tuning values (0x08E0 ... 0x08EF) in place\n"
           "       of the file's, as \"keeptuning\" of setting.ini says (default 1);\n"
           "       --overwrite-tuning writes the file's values this once.\n"
           "       --force writes a codeplug loaded from an incomplete file (refused otherwise).\n"
           "       Ctrl+C (or SIGTERM, SIGHUP) stops after the block under way, says where the\n"
           "       radio stands and exits with 130; a second one within 2 s ends at once.\n"
           "       Several --port options, or --all-ports (every serial device present and\n"
           "       every [ports] entry of setting.ini whose device exists), write FILE to all\n"
           "       those radios at once, each keeping its own tuning values and backup; a\n"
           "       device named twice is written once, nothing is searched. A line per radio\n"
           "       as it ends (port and device, result, blocks, verified, tuning, backup) and a\n"
           "       summary go to standard output, or one JSON document with --json. --watch\n"
           "       is the production line: each port (and with --all-ports each new device)\n"
           "       is asked about once a second whether a radio is there, a radio is written\n"
           "       as soon as it answers, and not again until it has been taken away (silent\n"
           "       for two seconds); Ctrl+C ends it after the writes under way. Exit status 0\n"
           "       when every radio was written, 7 when some were and others not, the single\n"
           "       radio's status when all failed the same way.\n"
           "       --log LOG writes every frame sent and received to LOG, one line each:\n"
           "       \"+000123.456 TX 52 00 00 10\" (milliseconds since the start, TX sent, RX\n"
           "       received, \"--\" an event such as a time-out), for a report of a problem.\n"
           "       LOG is never FILE or another file the command uses, a folder, a device or a\n"
           "       FIFO, nor an existing file other than an empty one or an earlier log (exit\n"
           "       status 2 before the radio is looked for); only its owner may read it.\n"
           "diff   lists the differences between two codeplug files field by field (bytes no\n"
           "       field interprets as address ranges); exit status 0 equal, 1 different.\n"
           "       --words gives them as the program's pages show them, page by page, in the\n"
           "       language of setting.ini: \"Channel 1 · Busy Lock: On → Off\".\n"
           "export-csv writes every programmed channel of FILE to OUT.csv, one row each, in\n"
           "       the common channel-list layout (Location,Name,Frequency,Duplex,...).\n"
           "import-csv reads the channels of IN.csv into FILE by the channel page's rules,\n"
           "       reports each row imported, adjusted or skipped on standard error, and\n"
           "       saves FILE when anything changed. OUT.csv or IN.csv \"-\" is standard output\n"
           "       or standard input. --first-channel N puts the rows into channels N, N+1, ...\n"
           "       in file order, ignoring Location (lists made for radios that count from 0\n"
           "       or leave gaps); rows past channel 128 are skipped. A Power in watts (4.0W,\n"
           "       0.5 W) is High from 2 W, Low below.\n"
           "\n"
           "The program folder holds setting.ini and the language files: DIR when given, else\n"
           "the folder of this executable when it holds setting.ini, else ../share/pl3 beside\n"
           "it. Settings the programs change go to $XDG_CONFIG_HOME/pl3/setting.ini (default\n"
           "~/.config/pl3/setting.ini) unless the program folder's own setting.ini can be\n"
           "written; *.lang files in $XDG_DATA_HOME/pl3 add or replace languages.\n"
           "Exit status: 0 done, 1 usage, 2 file error, 3 no radio, 4 wrong radio,\n"
           "5 read failed, 6 write failed, 7 some of several radios failed, 130 stopped by a\n"
           "signal; diff: 1 the files differ.\n";
}

void printSetHelp(std::ostream& out) {
    out << "Fields of pl3ctl set (FIELD or FIELD[index]=VALUE):\n";
    for (const FieldInfo& info : fieldTable()) {
        std::string name(info.name);
        if (info.indexed())
            name +=
                "[" + std::to_string(info.indexMin) + ".." + std::to_string(info.indexMax) + "]";
        out << "  " << name << std::string(name.size() < 28 ? 28 - name.size() : 1, ' ')
            << info.valueHelp << "\n";
    }
}

namespace {

bool wantsHelp(const Arguments& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") return true;
    }
    return false;
}

// Removes "--log FILE" wherever it stands; nullopt when FILE is missing.
std::optional<std::string> takeLogOption(Arguments& args) {
    std::string file;
    for (auto at = args.begin(); at != args.end();) {
        if (*at != "--log") {
            ++at;
            continue;
        }
        if (at + 1 == args.end() || at[1].empty()) return std::nullopt;
        file = at[1];
        at = args.erase(at, at + 2);
    }
    return file;
}

int run(int argc, char** argv) {
    std::optional<std::string> programDir = platform::takeProgramDirOption(argc, argv);
    if (!programDir) {
        std::cerr << emptyProgramFolderMessage() << "\n";
        return kExitFileError;
    }
    const FolderLookup lookup = folderLookupFor(std::move(*programDir));
    Arguments args(argv + 1, argv + argc);
    std::optional<std::string> logFile = takeLogOption(args);
    if (args.empty() || !logFile) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        printUsage(std::cout);
        return kExitDone;
    }
    if (command == "--version") {
        printVersion(std::cout, "pl3ctl", lookup);
        return kExitDone;
    }
    if (wantsHelp(args)) {
        command == "set" ? printSetHelp(std::cout) : printUsage(std::cout);
        return kExitDone;
    }
    using Runner = int (*)(CliContext&, const Arguments&);
    Runner runner = command == "new"          ? &runNew
                    : command == "dump"       ? &runDump
                    : command == "set"        ? &runSet
                    : command == "read"       ? &runRead
                    : command == "write"      ? &runWrite
                    : command == "diff"       ? &runDiff
                    : command == "export-csv" ? &runExportCsv
                    : command == "import-csv" ? &runImportCsv
                                              : nullptr;
    if (!runner) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    std::optional<AppPaths> paths = startUp(lookup);
    if (!paths) return kExitFileError;
    CliContext context(std::move(*paths));
    context.logFile = *logFile;
    warnAboutUnusableSettings(context.settings, context.prompter);
    return runner(context, args);
}

}  // namespace

}  // namespace pl3::cli

int main(int argc, char** argv) {
    pl3::platform::prepareCommandLine(argc, argv);
    return pl3::cli::run(argc, argv);
}
