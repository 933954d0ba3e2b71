// Full read and full write against the simulated radio at the real wire speed
// (pl3-radio-sim --pace), compared with the least time the protocol allows: every byte
// at 38400 baud 8N1 in both directions, the 1 ms pause before each frame, the 100 ms
// settling time after opening the port and, for the write, the closing 1000 ms.
// Also prints the CPU time this process spent per transfer (the simulator runs apart),
// and each transfer again with the conversation log on, to show what logging costs.
// With --device D it measures a paced simulator already running on D instead (the Windows
// build, under Wine, against the Linux simulator on a COM port): plain transfers only.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include "bench/paced_radio.h"
#include "link/radio_session.h"
#include "link/transfer_log.h"
#include "platform/program_folder.h"

namespace {

using namespace pl3;
using Clock = std::chrono::steady_clock;
using bench::cpuSeconds;
using bench::lowerBoundSeconds;

// The mean elapsed time of the runs.
double measure(SerialPort& port, const std::string& device, link::Direction direction, int runs) {
    const bool reading = direction == link::Direction::Read;
    const bool logging = port.logPlace().kind != link::LogPlace::Kind::Off;
    double bound = lowerBoundSeconds(direction);
    double total = 0;
    for (int run = 0; run < runs; ++run) {
        // Driven as pl3ctl drives it: looked at every 20 ms until it has ended.
        backup::BackupStore noBackups;
        SilentPrompter prompter;
        link::RadioSession session(port, direction, noBackups, prompter);
        double cpuBefore = cpuSeconds();
        auto started = Clock::now();
        session.start(Image{}, {.plan = {std::nullopt, device, false}, .backups = false});
        while (!session.look().ended)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
        double cpu = cpuSeconds() - cpuBefore;
        link::JobStatus status = session.result().status;
        bool ok =
            status == (reading ? link::JobStatus::ReadComplete : link::JobStatus::WriteComplete);
        total += elapsed;
        std::printf(
            "%-5s %-6s elapsed %6.3f s  lower bound %6.3f s  ratio %5.3f  cpu %6.3f s  %s\n",
            reading ? "read" : "write", logging ? "logged" : "", elapsed, bound, elapsed / bound,
            cpu, ok ? "ok" : "FAILED");
    }
    return total / runs;
}

// Plain and logged runs alternate, so that a change in the machine's load meets both.
void compareLogging(SerialPort& port, const std::string& device, const std::string& logPath,
                    link::Direction direction, int runs) {
    double plain = 0;
    double logged = 0;
    for (int run = 0; run < runs; ++run) {
        port.setLogPlace(link::LogPlace::off());
        plain += measure(port, device, direction, 1);
        port.setLogPlace(link::LogPlace::file(logPath));
        logged += measure(port, device, direction, 1);
    }
    port.setLogPlace(link::LogPlace::off());
    std::printf("%-5s  mean %6.3f s, logged %6.3f s: %+.2f %% with the log\n",
                direction == link::Direction::Read ? "read" : "write", plain / runs, logged / runs,
                (logged - plain) / plain * 100.0);
}

// What logging adds on the wire thread, free of the line's noise: the time to log a
// transfer's frames (a read: a 4-byte request and a 20-byte reply per block) against the
// least time of the transfer.
void logCostPerTransfer(const std::string& logPath) {
    constexpr int kTransfers = 200;
    const std::uint8_t request[4] = {'R', 0x01, 0x20, 0x10};
    const std::uint8_t reply[20] = {'R', 0x01, 0x20, 0x10};
    auto log = link::openTransferLog(link::LogPlace::file(logPath));
    auto started = Clock::now();
    for (int transfer = 0; transfer < kTransfers; ++transfer) {
        for (int block = 0; block < link::kBlockCount; ++block) {
            log->frame(link::FrameDirection::Sent, request);
            log->frame(link::FrameDirection::Received, reply);
        }
    }
    double perTransfer = std::chrono::duration<double>(Clock::now() - started).count() / kTransfers;
    log.reset();
    std::printf(
        "logging a read's %d frames takes %.3f ms on the wire thread: %.3f %% of its "
        "least time\n",
        2 * link::kBlockCount, perTransfer * 1000.0,
        perTransfer / lowerBoundSeconds(link::Direction::Read) * 100.0);
}

// --device D: the device of a paced simulator already running; empty when not given.
std::string takeDeviceOption(int& argc, char** argv) {
    std::string device;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--device" && i + 1 < argc) {
            device = argv[++i];
            continue;
        }
        argv[kept++] = argv[i];
    }
    argc = kept;
    return device;
}

}  // namespace

int main(int argc, char** argv) {
    std::string binFolder = platform::takeProgramDirOption(argc, argv).value_or("");
    if (binFolder.empty()) binFolder = platform::executableFolder();
    const std::string device = takeDeviceOption(argc, argv);
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    if (!device.empty()) {
        std::printf("a paced simulator on %s, %d runs each\n", device.c_str(), runs);
        const auto folder = std::filesystem::temp_directory_path();
        SerialPort port(SettingsFile((folder / "pl3-bench-setting.ini").string()));
        for (link::Direction direction : {link::Direction::Read, link::Direction::Write}) {
            std::printf("%-5s  mean %6.3f s\n",
                        direction == link::Direction::Read ? "read" : "write",
                        measure(port, device, direction, runs));
        }
        return 0;
    }
    bench::Simulator sim = bench::startSimulator(binFolder);
    std::printf("pl3-radio-sim --pace on %s, %d runs each\n", sim.device.c_str(), runs);
    SerialPort port(SettingsFile(sim.folder + "/setting.ini"));
    const std::string logPath = sim.folder + "/conversation.log";
    compareLogging(port, sim.device, logPath, link::Direction::Read, runs);
    compareLogging(port, sim.device, logPath, link::Direction::Write, runs);
    logCostPerTransfer(logPath);
    bench::stopSimulator(sim);
    return 0;
}
