// Eight paced simulated radios written at once against one written alone: the wall time
// of both (the fleet should take at most 1.2 times the single write) and this process's
// CPU time per radio. Then the production line idle: eight watched ports with radios
// that never answer, and the share of a core the watch takes while it waits.

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench/paced_radio.h"
#include "link/fleet_watch.h"
#include "link/fleet_write.h"
#include "platform/program_folder.h"

namespace {

using namespace pl3;
using Clock = std::chrono::steady_clock;

constexpr int kRadios = 8;
constexpr auto kIdleWatch = std::chrono::seconds(10);

struct Figures {
    double wall;
    double cpu;
    int written;
};

// The fleet written as pl3ctl writes it: looked at every 20 ms until every radio ended.
Figures writeAtOnce(const SettingsFile& settings, const std::vector<bench::Simulator>& radios) {
    std::vector<link::FleetTarget> targets;
    for (const bench::Simulator& radio : radios) {
        link::FleetTarget target;
        target.label = radio.device;
        target.plan.devicePath = radio.device;
        targets.push_back(target);
    }
    backup::BackupStore noBackups;
    SilentPrompter prompter;
    link::FleetWrite fleet(settings, noBackups, prompter, targets, {.backups = false});
    const double cpuBefore = bench::cpuSeconds();
    const auto started = Clock::now();
    fleet.start(Image{});
    while (!fleet.look())
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const double wall = std::chrono::duration<double>(Clock::now() - started).count();
    const link::FleetCount count = fleet.count();
    return {wall, bench::cpuSeconds() - cpuBefore, count.written + count.verified};
}

double idleWatchCoreShare(const SettingsFile& settings,
                          const std::vector<bench::Simulator>& silent) {
    backup::BackupStore noBackups;
    SilentPrompter prompter;
    link::FleetWatch watch(settings, noBackups, prompter, Image{}, {.backups = false});
    for (const bench::Simulator& radio : silent) {
        link::FleetTarget target;
        target.label = radio.device;
        target.plan.devicePath = radio.device;
        target.device = radio.device;
        watch.watch(target);
    }
    const double cpuBefore = bench::cpuSeconds();
    const auto started = Clock::now();
    while (Clock::now() - started < kIdleWatch) {
        watch.look([](std::size_t) {});
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const double wall = std::chrono::duration<double>(Clock::now() - started).count();
    return (bench::cpuSeconds() - cpuBefore) / wall * 100.0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string binFolder = platform::takeProgramDirOption(argc, argv).value_or("");
    if (binFolder.empty()) binFolder = platform::executableFolder();
    std::vector<bench::Simulator> radios;
    for (int i = 0; i < kRadios; ++i)
        radios.push_back(bench::startSimulator(binFolder));
    const SettingsFile settings(radios.front().folder + "/setting.ini");
    const double bound = bench::lowerBoundSeconds(link::Direction::Write);

    const Figures one = writeAtOnce(settings, {radios.front()});
    const Figures all = writeAtOnce(settings, radios);
    std::printf("pl3-radio-sim --pace, %d radios\n", kRadios);
    std::printf("1 radio   elapsed %6.3f s  lower bound %6.3f s  cpu %6.3f s  written %d\n",
                one.wall, bound, one.cpu, one.written);
    std::printf(
        "%d radios  elapsed %6.3f s  %.3f x the single write  cpu %6.3f s, %.3f s per "
        "radio  written %d\n",
        kRadios, all.wall, all.wall / one.wall, all.cpu, all.cpu / kRadios, all.written);
    for (const bench::Simulator& radio : radios)
        bench::stopSimulator(radio);

    std::vector<bench::Simulator> silent;
    for (int i = 0; i < kRadios; ++i)
        silent.push_back(bench::startSimulator(binFolder, {"--never-wake"}));
    std::printf("watching %d ports with no radio answering for %lld s: %.2f %% of a core\n",
                kRadios, static_cast<long long>(kIdleWatch.count()),
                idleWatchCoreShare(settings, silent));
    for (const bench::Simulator& radio : silent)
        bench::stopSimulator(radio);
    return 0;
}
