// pl3ctl write to several radios at once (--port A --port B, --all-ports) and the
// production line (--watch): a line per radio as it ends, a summary, --json.

#include "tools/pl3ctl/command_fleet.h"

#include <chrono>
#include <iostream>
#include <sstream>
#include <thread>

#include "codeplug/text_keys.h"
#include "editors/difference_words.h"
#include "link/fleet_report.h"
#include "link/fleet_watch.h"
#include "platform/console.h"
#include "platform/serial_device_list.h"
#include "platform/stop_signals.h"
#include "tools/pl3ctl/exit_codes.h"
#include "tools/pl3ctl/json_writer.h"

namespace pl3::cli {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(20);
// The production line with nothing being written looks less often: it only waits.
constexpr auto kIdlePollInterval = std::chrono::milliseconds(100);
// The production line looks for new devices this often.
constexpr auto kDeviceScanInterval = std::chrono::seconds(1);

int exitCodeOf(link::RadioEnd end, link::JobStatus status) {
    switch (end) {
        case link::RadioEnd::Written:
        case link::RadioEnd::WrittenAndVerified:
        case link::RadioEnd::Running:
            return kExitDone;
        case link::RadioEnd::Stopped:
            return kExitInterrupted;
        case link::RadioEnd::Failed:
            break;
    }
    return cli::exitCodeOf(status);
}

// One radio that has ended, as printed and as counted.
struct RadioRecord {
    std::string label;
    std::string device;
    link::RadioEnd end;
    link::SessionResult result;
    std::string resultText;
    std::string line;
};

class FleetPrinter {
  public:
    FleetPrinter(CliContext& context, const FleetRequest& request, link::PlaceNamer placeOf)
        : context_(context),
          request_(request),
          placeOf_(std::move(placeOf)),
          terminal_(platform::standardErrorIsTerminal()) {}

    // A radio ended: its line (standard output), and where the radio stands when it was
    // not written (standard error).
    template <class Fleet>
    void ended(const Fleet& fleet, std::size_t i) {
        clearProgress();
        const link::SessionResult& result = fleet.session(i).result();
        RadioRecord record{
            fleet.target(i).label,
            result.devicePath,
            fleet.end(i),
            result,
            link::radioResult(fleet.end(i), result, placeOf_, context_.texts),
            link::radioLine(fleet.target(i).label, fleet.end(i), result, placeOf_, context_.texts)};
        if (!request_.json) std::cout << record.line << std::endl;
        if (record.end != link::RadioEnd::Written &&
            record.end != link::RadioEnd::WrittenAndVerified) {
            for (const std::string& line : fleet.session(i).standing(context_.texts))
                std::cerr << "pl3ctl: " << record.label << ": " << line << "\n";
        }
        records_.push_back(std::move(record));
    }

    // The radios under way, redrawn in place on a terminal.
    template <class Fleet>
    void progress(const Fleet& fleet, std::size_t count) {
        if (!terminal_) return;
        std::string text;
        for (std::size_t i = 0; i < count; ++i) {
            const link::SessionLook& look = fleet.lastLook(i);
            if (look.ended || look.job.status == link::JobStatus::Connecting) continue;
            text += (text.empty() ? "" : "  ") + fleet.target(i).label + " " +
                    std::to_string(look.job.progress) + "%";
        }
        if (text == shown_) return;
        shown_ = text;
        std::cerr << "\r\033[K" << text << std::flush;
    }

    int finish(const link::FleetCount& count) {
        clearProgress();
        const std::string summary = link::fleetSummary(count, context_.texts);
        if (request_.json) {
            printJson(count, summary);
        } else {
            std::cout << summary << std::endl;
        }
        return exitStatus();
    }

  private:
    void clearProgress() {
        if (!terminal_ || shown_.empty()) return;
        std::cerr << "\r\033[K" << std::flush;
        shown_.clear();
    }

    // 0 when every radio was written; the single radio's status when all failed the same
    // way; else 7.
    int exitStatus() const {
        int shared = kExitDone;
        bool first = true;
        bool someWritten = false;
        bool same = true;
        for (const RadioRecord& record : records_) {
            const int code = exitCodeOf(record.end, record.result.status);
            someWritten = someWritten || code == kExitDone;
            same = same && (first || code == shared);
            shared = first ? code : shared;
            first = false;
        }
        if (records_.empty() || (same && !someWritten) || (same && shared == kExitDone))
            return shared;
        return kExitSomeFailed;
    }

    void printJson(const link::FleetCount& count, const std::string& summary) const {
        JsonWriter json(std::cout);
        json.beginObject();
        json.beginArray("radios");
        for (const RadioRecord& record : records_) {
            const bool written = record.end == link::RadioEnd::Written ||
                                 record.end == link::RadioEnd::WrittenAndVerified;
            json.beginObject();
            json.string("port", record.label);
            json.string("device", record.device);
            json.string("result", written                                 ? "written"
                                  : record.end == link::RadioEnd::Stopped ? "stopped"
                                                                          : "failed");
            json.string("text", record.resultText);
            json.number("exit", exitCodeOf(record.end, record.result.status));
            json.number("blocks", record.result.blocksDone);
            json.value("verified", record.result.verified ? "true" : "false", true);
            json.value("tuningKept", record.result.radioTuning ? "true" : "false", true);
            json.string("backup", record.result.writeBackup.value_or(""));
            json.endObject();
        }
        json.endArray();
        json.beginObject("summary");
        json.number("radios", count.radios);
        json.number("writtenAndVerified", count.verified);
        json.number("written", count.written);
        json.number("failed", count.failed);
        json.number("stopped", count.stopped);
        json.string("text", summary);
        json.endObject();
        json.endObject();
        std::cout.flush();
    }

    CliContext& context_;
    const FleetRequest& request_;
    link::PlaceNamer placeOf_;
    bool terminal_;
    std::string shown_;
    std::vector<RadioRecord> records_;
};

// The ports named with --port, or every port there is; nullopt after a message.
std::optional<std::vector<link::FleetTarget>> targetsOf(CliContext& context,
                                                        const FleetRequest& request) {
    const SerialPort port(context.settings);
    std::vector<link::FleetTarget> targets;
    std::vector<std::string> names = request.ports;
    if (names.empty() && !request.allPorts)
        names.push_back(std::to_string(context.settings.comPort()));
    for (const std::string& name : names) {
        std::optional<link::FleetTarget> target = link::namedTarget(port, name);
        if (!target) {
            context.report(text_key::kCliBadPort, name);
            return std::nullopt;
        }
        targets.push_back(*target);
    }
    if (request.allPorts) {
        for (link::FleetTarget& target : link::everyTarget(port, platform::listSerialDevices()))
            targets.push_back(std::move(target));
    }
    return link::withoutRepeats(std::move(targets));
}

int writeAtOnce(CliContext& context, const FleetRequest& request,
                std::vector<link::FleetTarget> targets, const Image& image, FleetPrinter& printer) {
    backup::BackupStore backups;
    link::FleetWrite fleet(context.settings, backups, context.prompter, std::move(targets),
                           {request.verify, request.keepTuning, request.backups});
    platform::StopSignals stopSignals(kExitInterrupted);
    {
        platform::StopSignals::ThreadsIgnore workers;
        fleet.start(image);
    }
    std::vector<bool> told(fleet.size(), false);
    for (;;) {
        std::this_thread::sleep_for(kPollInterval);
        if (platform::StopSignals::requested()) fleet.stopAfterBlock();
        const bool allEnded = fleet.look();
        for (std::size_t i = 0; i < fleet.size(); ++i) {
            if (told[i] || !fleet.lastLook(i).ended) continue;
            told[i] = true;
            printer.ended(fleet, i);
        }
        if (allEnded) break;
        printer.progress(fleet, fleet.size());
    }
    return printer.finish(fleet.count());
}

int watchPorts(CliContext& context, const FleetRequest& request,
               const std::vector<link::FleetTarget>& targets, const Image& image,
               FleetPrinter& printer) {
    backup::BackupStore backups;
    link::FleetWatch watch(context.settings, backups, context.prompter, image,
                           {request.verify, request.keepTuning, request.backups});
    platform::StopSignals stopSignals(kExitInterrupted);
    auto addPorts = [&](const std::vector<link::FleetTarget>& found) {
        platform::StopSignals::ThreadsIgnore workers;
        for (const link::FleetTarget& target : found)
            watch.watch(target);
    };
    addPorts(targets);
    std::cerr << "pl3ctl: "
              << withNumbers(context.texts.text(text_key::kFleetWatching),
                             {static_cast<long long>(watch.ports())})
              << std::endl;
    const SerialPort port(context.settings);
    auto nextScan = std::chrono::steady_clock::now() + kDeviceScanInterval;
    int reported = 0;
    for (;;) {
        std::this_thread::sleep_for(watch.writing() ? kPollInterval : kIdlePollInterval);
        if (platform::StopSignals::requested()) watch.stop();
        {
            platform::StopSignals::ThreadsIgnore workers;
            watch.look([&](std::size_t slot) { printer.ended(watch, slot); });
        }
        if (platform::StopSignals::requested() && !watch.writing()) break;
        if (request.allPorts && std::chrono::steady_clock::now() >= nextScan) {
            addPorts(link::everyTarget(port, platform::listSerialDevices()));
            nextScan = std::chrono::steady_clock::now() + kDeviceScanInterval;
        }
        // The running count, after each radio.
        if (watch.count().radios != reported) {
            reported = watch.count().radios;
            std::cerr << "pl3ctl: " << link::fleetSummary(watch.count(), context.texts)
                      << std::endl;
        }
        printer.progress(watch, watch.ports());
    }
    return printer.finish(watch.count());
}

}  // namespace

bool isFleetRequest(const FleetRequest& request) {
    return request.ports.size() > 1 || request.allPorts || request.watch || request.json;
}

int runFleetWrite(CliContext& context, const FleetRequest& request, CMaItemDoc& doc) {
    if (!context.logFile.empty()) {
        context.report(text_key::kCliLogOneRadio);
        return kExitUsage;
    }
    std::optional<std::vector<link::FleetTarget>> targets = targetsOf(context, request);
    if (!targets) return kExitUsage;
    if (targets->empty() && !request.watch) {
        context.report(text_key::kCliNoPorts);
        return kExitNoRadio;
    }
    FleetPrinter printer(context, request, [&doc, &context](int address) {
        return addressPlace(doc, address, context.texts);
    });
    if (request.watch) return watchPorts(context, request, *targets, doc.image(), printer);
    return writeAtOnce(context, request, std::move(*targets), doc.image(), printer);
}

}  // namespace pl3::cli
