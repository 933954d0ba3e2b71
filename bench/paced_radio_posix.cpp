#include "bench/paced_radio.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

namespace pl3::bench {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

Simulator startSimulator(const std::string& binFolder, const std::vector<std::string>& options) {
    static int started = 0;
    Simulator sim;
    sim.folder = (std::filesystem::temp_directory_path() /
                  ("pl3-bench-" + std::to_string(getpid()) + "-" + std::to_string(++started)))
                     .string();
    std::filesystem::create_directories(sim.folder);
    std::string outPath = sim.folder + "/sim.out";
    std::string program = binFolder + "/pl3-radio-sim";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<std::string> words = {program, "--pace"};
    words.insert(words.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    if (posix_spawn(&sim.pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
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

}  // namespace pl3::bench
