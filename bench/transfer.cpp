// Full read and full write against the simulated radio at the real wire speed
// (pl3-radio-sim --pace), compared with the least time the protocol allows: every byte
// at 38400 baud 8N1 in both directions, the 1 ms pause before each frame, the 100 ms
// settling time after opening the port and, for the write, the closing 1000 ms.
// Also prints the CPU time this process spent per transfer (the simulator runs apart),
// and each transfer again with the conversation log on, to show what logging costs.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "codeplug/model_constants.h"
#include "codeplug/wire_constants.h"
#include "link/radio_session.h"
#include "link/transfer_log.h"
#include "platform/program_folder.h"

namespace {

using namespace pl3;
using Clock = std::chrono::steady_clock;

constexpr double kByteSeconds = static_cast<double>(wire::kBitsPerByte) / wire::kBaud;
// Wake-up, ack, identify, identification, response, ack.
constexpr int kHandshakeBytes = static_cast<int>(
    wire::kWakeUp.size() + 1 + 1 + wire::kIdentificationSize + model::kResponseWord.size() + 1);
// The response goes byte by byte.
constexpr int kHandshakeFrames = 1 + 1 + static_cast<int>(model::kResponseWord.size());
constexpr int kVersionBytes = 1 + static_cast<int>(wire::kVersionReplySize);
constexpr int kReadBlockBytes = static_cast<int>(wire::kBlockHeaderSize + wire::kBlockFrameSize);
constexpr int kWriteBlockBytes = static_cast<int>(wire::kBlockFrameSize + 1);
constexpr double kSettleSeconds = 0.100;
constexpr double kPauseSeconds = 0.001;

double lowerBoundSeconds(link::Direction direction) {
    const bool reading = direction == link::Direction::Read;
    int bytes = kHandshakeBytes + (reading ? kVersionBytes : 0) +
                link::kBlockCount * (reading ? kReadBlockBytes : kWriteBlockBytes);
    int frames = kHandshakeFrames + (reading ? 1 : 0) + link::kBlockCount;
    return bytes * kByteSeconds + frames * kPauseSeconds + kSettleSeconds +
           (reading ? 0.0 : link::kFinalWritePauseMs / 1000.0);
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Simulator {
    pid_t pid = 0;
    std::string device;
    std::string folder;
};

Simulator startSimulator(const std::string& binFolder) {
    Simulator sim;
    sim.folder =
        (std::filesystem::temp_directory_path() / ("pl3-bench-" + std::to_string(getpid())))
            .string();
    std::filesystem::create_directories(sim.folder);
    std::string outPath = sim.folder + "/sim.out";
    std::string program = binFolder + "/pl3-radio-sim";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    char* argv[] = {program.data(), const_cast<char*>("--pace"), nullptr};
    if (posix_spawn(&sim.pid, program.c_str(), &actions, nullptr, argv, environ) != 0) {
        std::cerr << "cannot start " << program << "\n";
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    for (int i = 0; i < 500 && sim.device.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream(outPath) >> sim.device;
    }
    if (sim.device.empty()) {
        std::cerr << "the simulator did not tell its device\n";
        std::exit(1);
    }
    return sim;
}

void stopSimulator(const Simulator& sim) {
    kill(sim.pid, SIGTERM);
    waitpid(sim.pid, nullptr, 0);
    std::filesystem::remove_all(sim.folder);
}

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

}  // namespace

int main(int argc, char** argv) {
    std::string binFolder = platform::takeProgramDirOption(argc, argv).value_or("");
    if (binFolder.empty()) binFolder = platform::executableFolder();
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    Simulator sim = startSimulator(binFolder);
    std::printf("pl3-radio-sim --pace on %s, %d runs each\n", sim.device.c_str(), runs);
    SerialPort port(SettingsFile(sim.folder + "/setting.ini"));
    const std::string logPath = sim.folder + "/conversation.log";
    compareLogging(port, sim.device, logPath, link::Direction::Read, runs);
    compareLogging(port, sim.device, logPath, link::Direction::Write, runs);
    logCostPerTransfer(logPath);
    stopSimulator(sim);
    return 0;
}
