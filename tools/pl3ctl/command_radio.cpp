// pl3ctl read and write: a codeplug between a file and a radio on a serial port.

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <thread>
#include <vector>

#include "codeplug/backup_store.h"
#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "editors/difference_words.h"
#include "link/log_file_check.h"
#include "link/radio_session.h"
#include "platform/atomic_file.h"
#include "platform/console.h"
#include "platform/serial_device_list.h"
#include "platform/stop_signals.h"
#include "tools/pl3ctl/command_fleet.h"
#include "tools/pl3ctl/commands.h"
#include "tools/pl3ctl/exit_codes.h"

namespace pl3::cli {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(20);

struct RadioArguments {
    std::optional<std::string> port;  // the last --port
    FleetRequest fleet;               // write only: several radios, the production line
    std::string file;
    bool noSearch = false;
    bool noBackup = false;
    bool verify = false;           // write only
    bool force = false;            // write only: also a codeplug from an incomplete file
    bool overwriteTuning = false;  // write only: the file's tuning values, not the radio's
};

std::optional<RadioArguments> parseRadioArguments(const Arguments& args, bool outputFile) {
    RadioArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--port" && i + 1 < args.size()) {
            parsed.port = args[++i];
            parsed.fleet.ports.push_back(*parsed.port);
        } else if (!outputFile && arg == "--all-ports") {
            parsed.fleet.allPorts = true;
        } else if (!outputFile && arg == "--watch") {
            parsed.fleet.watch = true;
        } else if (!outputFile && arg == "--json") {
            parsed.fleet.json = true;
        } else if (arg == "--no-search") {
            parsed.noSearch = true;
        } else if (arg == "--no-backup") {
            parsed.noBackup = true;
        } else if (!outputFile && arg == "--verify") {
            parsed.verify = true;
        } else if (!outputFile && arg == "--force") {
            parsed.force = true;
        } else if (!outputFile && arg == "--overwrite-tuning") {
            parsed.overwriteTuning = true;
        } else if (outputFile && arg == "-o" && i + 1 < args.size()) {
            parsed.file = args[++i];
        } else if (!outputFile && parsed.file.empty() && !arg.starts_with("-")) {
            parsed.file = arg;
        } else {
            return std::nullopt;
        }
    }
    if (parsed.file.empty()) return std::nullopt;
    parsed.fleet.verify = parsed.verify;
    parsed.fleet.backups = !parsed.noBackup;
    return parsed;
}

// A port number follows "searchcom" as the program does; a device path is never searched.
// A value that is neither is named on standard error.
std::optional<link::PortPlan> portPlan(const CliContext& context, const RadioArguments& args) {
    link::PortPlan plan;
    if (!args.port) {
        plan.portNumber = context.settings.comPort();
    } else if (platform::namesDevice(*args.port)) {
        plan.devicePath = *args.port;
        return plan;
    } else {
        int number = 0;
        auto [end, error] =
            std::from_chars(args.port->data(), args.port->data() + args.port->size(), number);
        if (error != std::errc() || end != args.port->data() + args.port->size() || number < 1 ||
            number > link::kMaxPortNumber) {
            context.report(text_key::kCliBadPort, *args.port);
            return std::nullopt;
        }
        plan.portNumber = number;
    }
    plan.search = context.settings.portSearchEnabled() && !args.noSearch;
    return plan;
}

// Shows the job's progress on standard error as one line redrawn in place, on a terminal
// only: in a file or a pipe the result lines alone say what happened.
class ProgressPrinter {
  public:
    explicit ProgressPrinter(const TextLookup& texts)
        : texts_(texts), terminal_(platform::standardErrorIsTerminal()) {}

    void show(const link::StatusLine& line, std::optional<int> barPosition) {
        if (!terminal_) return;
        std::string text = texts_.text(line.key) + line.suffix;
        if (text == last_) return;
        last_ = text;
        std::string bar;
        if (barPosition) {
            int filled = *barPosition * kBarWidth / link::kBarRange;
            bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                  std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "] ";
        }
        std::cerr << "\r\033[K" << bar << text << std::flush;
        drawn_ = true;
    }
    void done() {
        if (drawn_) std::cerr << "\n";
        drawn_ = false;
    }

  private:
    static constexpr int kBarWidth = 40;
    const TextLookup& texts_;
    bool terminal_;
    bool drawn_ = false;
    std::string last_;
};

// Runs a session to its end the way the progress dialog does, without the retry. A stop
// signal is the dialog's Cancel, except that the block under way is finished first, and
// where the radio stands is said after a stop or a failure. placeOf names where a verify
// found the radio different.
const link::SessionResult& runSession(CliContext& context, link::RadioSession& session,
                                      const Image& image, const link::SessionOptions& options,
                                      const link::PlaceNamer& placeOf = {}) {
    ProgressPrinter progress(context.texts);
    progress.show({link::promptKey(session.direction()), {}}, std::nullopt);
    platform::StopSignals stopSignals(kExitInterrupted);
    {
        platform::StopSignals::ThreadsIgnore worker;
        session.start(image, options);
    }
    link::SessionLook look;
    for (;;) {
        std::this_thread::sleep_for(kPollInterval);
        if (platform::StopSignals::requested()) session.stopAfterBlock();
        look = session.look();
        if (look.ended) break;
        if (look.actions.statusLine)
            progress.show(*look.actions.statusLine, look.actions.barPosition);
    }
    progress.done();
    const link::SessionResult& result = session.result();
    const link::TickActions& actions = look.actions;
    if (actions.errorKey) {
        context.prompter.showMessage(
            session.errorMessage(*actions.errorKey, actions.tellOpenProblem, context.texts));
    } else if (actions.statusLine) {
        const std::string place =
            actions.mismatchAddress
                ? link::mismatchPlace(*actions.mismatchAddress, placeOf, context.texts)
                : std::string();
        context.report(actions.statusLine->key, actions.statusLine->suffix + place +
                                                    link::logFileDetail(result.log, context.texts));
    } else {
        link::tellIfLogIncomplete(result.log, context.prompter);
    }
    if (actions.settingsNotWritten)
        context.settingsWarning.tell(context.prompter, context.settings.path());
    for (const std::string& line : session.standing(context.texts))
        std::cerr << "pl3ctl: " << line << "\n";
    return result;
}

// Read: the file the image will be saved to can be written, found before the radio is.
bool checkOutput(CliContext& context, const std::string& path) {
    platform::FileError error;
    std::string folder;
    if (platform::canWriteFile(path, &error, &folder)) return true;
    if (error.notRegularFile || error.errorNumber == EISDIR) {
        context.prompter.showMessage(saveFailure(path, error));
    } else {
        context.report(text_key::kCliOutputFolder, folder + " (" + error.describe() + ")");
    }
    return false;
}

// --log FILE: the conversation goes to FILE. Before the radio is looked for, FILE is
// refused when it is one of the command's own files (the codeplug, the settings, the
// language file), no regular file, something else than an earlier log, or not writable.
bool logConversation(CliContext& context, SerialPort& port, const std::string& codeplugFile) {
    if (context.logFile.empty()) return true;
    std::vector<std::string> inUse = {codeplugFile, context.paths.settingsPath,
                                      context.paths.languageFilePath};
    if (!context.paths.userSettingsPath.empty()) inUse.push_back(context.paths.userSettingsPath);
    std::optional<link::LogFileProblem> problem = link::logFileProblem(context.logFile, inUse);
    if (!problem) {
        port.setLogPlace(link::LogPlace::file(context.logFile));
        return true;
    }
    std::string detail = context.logFile;
    if (problem->errorNumber != 0)
        detail += " (" + std::string(std::strerror(problem->errorNumber)) + ")";
    context.report(link::refusalKey(problem->refusal), detail);
    return false;
}

}  // namespace

// pl3ctl read --port P -o FILE
int runRead(CliContext& context, const Arguments& args) {
    std::optional<RadioArguments> parsed = parseRadioArguments(args, true);
    if (!parsed) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    std::optional<link::PortPlan> plan = portPlan(context, *parsed);
    if (!plan) return kExitUsage;
    if (!checkOutput(context, parsed->file)) return kExitFileError;
    CMaItemDoc doc(context.settings);
    bool skipPrompt = true;
    newDocument(doc, context.prompter, skipPrompt);
    SerialPort port(context.settings);
    if (!logConversation(context, port, parsed->file)) return kExitFileError;
    backup::BackupStore backups;
    link::RadioSession session(port, link::Direction::Read, backups, context.prompter);
    const link::SessionResult& result =
        runSession(context, session, doc.image(), {.plan = *plan, .backups = !parsed->noBackup});
    if (result.stopped) return kExitInterrupted;
    if (result.status != link::JobStatus::ReadComplete) return exitCodeOf(result.status);
    link::takeReadImage(doc, session.image());
    if (storeDocument(doc, parsed->file, context.prompter)) return kExitDone;
    if (result.readBackup) context.report(text_key::kCliBackupOfRead, *result.readBackup);
    return kExitFileError;
}

// pl3ctl write --port P [--verify] [--overwrite-tuning] [--force] FILE
int runWrite(CliContext& context, const Arguments& args) {
    std::optional<RadioArguments> parsed = parseRadioArguments(args, false);
    if (!parsed) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    const bool fleet = isFleetRequest(parsed->fleet);
    std::optional<link::PortPlan> plan;
    if (!fleet && !(plan = portPlan(context, *parsed))) return kExitUsage;
    CMaItemDoc doc(context.settings);
    OpenOutcome outcome = openDocument(doc, parsed->file, context.prompter);
    if (outcome == OpenOutcome::NotADataFile || outcome == OpenOutcome::FileError)
        return kExitFileError;
    if (doc.fromIncompleteFile() && !parsed->force) {
        context.report(text_key::kCliWriteIncomplete, parsed->file);
        return kExitFileError;
    }
    if (fleet) {
        parsed->fleet.keepTuning = context.settings.keepRadioTuning() && !parsed->overwriteTuning;
        return runFleetWrite(context, parsed->fleet, doc);
    }
    SerialPort port(context.settings);
    if (!logConversation(context, port, parsed->file)) return kExitFileError;
    backup::BackupStore backups;
    link::RadioSession session(port, link::Direction::Write, backups, context.prompter);
    const link::SessionResult& result =
        runSession(context, session, doc.image(),
                   {.plan = *plan,
                    .verify = parsed->verify,
                    .keepTuning = context.settings.keepRadioTuning() && !parsed->overwriteTuning,
                    .backups = !parsed->noBackup},
                   [&](int address) { return addressPlace(doc, address, context.texts); });
    if (result.stopped) return kExitInterrupted;
    // The file stays as it is; the user learns that the radio did not take its values.
    if (result.radioTuning) {
        switch (takeRadioTuning(doc, *result.radioTuning)) {
            case TuningTaken::Taken:
                context.report(text_key::kCliTuningKept, parsed->file);
                break;
            case TuningTaken::RadioHoldsNone:
                context.report(text_key::kCliRadioHoldsNoTuning);
                break;
            case TuningTaken::Same:
                break;
        }
    }
    return exitCodeOf(result.status);
}

}  // namespace pl3::cli
