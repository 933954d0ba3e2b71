// pl3ctl read and write: a codeplug between a file and a radio on a serial port.

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <thread>
#include <vector>

#include "codeplug/backup_store.h"
#include "codeplug/document_commands.h"
#include "codeplug/text_keys.h"
#include "editors/difference_words.h"
#include "link/job_display.h"
#include "link/log_file_check.h"
#include "link/radio_standing.h"
#include "platform/atomic_file.h"
#include "tools/pl3ctl/commands.h"
#include "tools/pl3ctl/exit_codes.h"
#include "tools/pl3ctl/stop_signals.h"

namespace pl3::cli {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(20);

struct RadioArguments {
    std::optional<std::string> port;
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
    return parsed;
}

// A port number follows "searchcom" as the program does; a device path is never searched.
// A value that is neither is named on standard error.
std::optional<link::PortPlan> portPlan(const CliContext& context, const RadioArguments& args) {
    link::PortPlan plan;
    if (!args.port) {
        plan.portNumber = context.settings.comPort();
    } else if (args.port->find('/') != std::string::npos) {
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
        : texts_(texts), terminal_(::isatty(2) == 1) {}

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

struct JobEnd {
    link::JobStatus status;
    bool stopped = false;  // by a stop signal, before the job ended by itself
    int blocksDone = 0;
};

// Runs a job to its end the way the progress dialog does, without the retry. A stop
// signal is the dialog's Cancel, except that the block under way is finished first.
// placeOf names where a verify found the radio different.
JobEnd runJob(CliContext& context, SerialPort& port, link::TransferJob& job, const Image& image,
              const link::PortPlan& plan, const link::PlaceNamer& placeOf = {}) {
    ProgressPrinter progress(context.texts);
    progress.show({link::promptKey(job.direction()), {}}, std::nullopt);
    StopSignals stopSignals;
    {
        StopSignals::ThreadsIgnore worker;
        job.start(image, plan);
    }
    for (;;) {
        std::this_thread::sleep_for(kPollInterval);
        if (StopSignals::requested()) job.stopAfterBlock();
        link::JobSnapshot snapshot = job.snapshot();
        if (StopSignals::requested() && snapshot.finished) {
            job.join();
            snapshot = job.snapshot();  // a job that ended by itself meanwhile counts as such
            if (!link::isFinal(snapshot.status)) {
                port.close();
                progress.done();
                link::tellIfLogIncomplete(port.logOutcome(), context.prompter);
                return {snapshot.status, true, snapshot.blocksDone};
            }
        }
        link::TickActions actions = link::tickActions(snapshot, job.direction());
        if (!actions.stopTimer) {
            if (actions.statusLine) progress.show(*actions.statusLine, actions.barPosition);
        } else {
            job.join();
            port.close();
            progress.done();
            const std::string logDetail = link::logFileDetail(port.logOutcome(), context.texts);
            if (actions.errorKey) {
                PromptMessage message{text_key::kError, *actions.errorKey, {}, PromptIcon::Stop};
                if (actions.tellOpenProblem)
                    message =
                        link::noRadioMessage(job.openProblem(), job.portOpened(), context.texts);
                message.detail += logDetail;
                context.prompter.showMessage(message);
            } else if (actions.statusLine) {
                const std::string place =
                    actions.mismatchAddress
                        ? link::mismatchPlace(*actions.mismatchAddress, placeOf, context.texts)
                        : std::string();
                context.report(actions.statusLine->key,
                               actions.statusLine->suffix + place + logDetail);
            } else {
                link::tellIfLogIncomplete(port.logOutcome(), context.prompter);
            }
            if (actions.settingsNotWritten)
                context.settingsWarning.tell(context.prompter, context.settings.path());
            return {snapshot.status, false, snapshot.blocksDone};
        }
    }
}

// Where a stopped or failed job left the radio, and which backups hold the codeplugs
// involved.
void reportStanding(const CliContext& context, const link::TransferJob& job, const JobEnd& end,
                    link::BackupsKept backups) {
    if (backups.taken) backups.newestRead = backup::BackupStore().latest(backup::Event::Read);
    for (const std::string& line : link::radioStanding(
             {job.direction(), end.status, end.blocksDone, end.stopped}, backups, context.texts))
        std::cerr << "pl3ctl: " << line << "\n";
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

int exitCodeOf(link::JobStatus status) {
    switch (status) {
        case link::JobStatus::ReadComplete:
        case link::JobStatus::WriteComplete:
            return kExitDone;
        case link::JobStatus::NoRadio:
            return kExitNoRadio;
        case link::JobStatus::WrongRadio:
            return kExitWrongRadio;
        case link::JobStatus::ReadFailed:
            return kExitReadFailed;
        default:
            return kExitWriteFailed;
    }
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
    link::TransferJob job(port, link::Direction::Read);
    JobEnd end = runJob(context, port, job, doc.image(), *plan);
    if (end.stopped) {
        reportStanding(context, job, end, {});
        return kExitInterrupted;
    }
    if (end.status != link::JobStatus::ReadComplete) return exitCodeOf(end.status);
    std::optional<std::string> backupPath;
    if (!parsed->noBackup) {
        backupPath =
            backup::BackupStore().save(job.workingImage(), backup::Event::Read, context.prompter,
                                       std::time(nullptr), port.lastDevicePath());
    }
    link::takeReadImage(doc, job.workingImage());
    if (storeDocument(doc, parsed->file, context.prompter)) return kExitDone;
    if (backupPath) context.report(text_key::kCliBackupOfRead, *backupPath);
    return kExitFileError;
}

// pl3ctl write --port P [--verify] [--overwrite-tuning] [--force] FILE
int runWrite(CliContext& context, const Arguments& args) {
    std::optional<RadioArguments> parsed = parseRadioArguments(args, false);
    if (!parsed) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    std::optional<link::PortPlan> plan = portPlan(context, *parsed);
    if (!plan) return kExitUsage;
    CMaItemDoc doc(context.settings);
    OpenOutcome outcome = openDocument(doc, parsed->file, context.prompter);
    if (outcome == OpenOutcome::NotADataFile || outcome == OpenOutcome::FileError)
        return kExitFileError;
    if (doc.fromIncompleteFile() && !parsed->force) {
        context.report(text_key::kCliWriteIncomplete, parsed->file);
        return kExitFileError;
    }
    SerialPort port(context.settings);
    if (!logConversation(context, port, parsed->file)) return kExitFileError;
    link::prepareImageForWrite(doc);
    std::optional<std::string> backupPath;
    if (!parsed->noBackup) {
        backupPath =
            backup::BackupStore().save(doc.image(), backup::Event::BeforeWrite, context.prompter);
    }
    link::TransferJob job(port, link::Direction::Write);
    job.setVerifyAfterWrite(parsed->verify);
    job.setKeepRadioTuning(context.settings.keepRadioTuning() && !parsed->overwriteTuning);
    JobEnd end = runJob(context, port, job, doc.image(), *plan,
                        [&](int address) { return addressPlace(doc, address, context.texts); });
    reportStanding(context, job, end, {!parsed->noBackup, backupPath, std::nullopt});
    if (end.stopped) return kExitInterrupted;
    // The file stays as it is; the user learns that the radio did not take its values.
    std::optional<TuningBlock> tuning = job.radioTuning();
    if (tuning && link::tickActions(job.snapshot(), job.direction()).takeRadioTuning) {
        switch (takeRadioTuning(doc, *tuning)) {
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
    return exitCodeOf(end.status);
}

}  // namespace pl3::cli
