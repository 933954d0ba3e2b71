#pragma once
// What the benchmarks share: the paced simulated radio as a process of its own, the least
// time the protocol allows a transfer, and the CPU time this process has spent.

#include <sys/types.h>

#include <string>
#include <vector>

#include "link/transfer_job.h"

namespace pl3::bench {

// pl3-radio-sim --pace (and the options) running apart, on the device it printed.
struct Simulator {
    pid_t pid = 0;
    std::string device;
    std::string folder;  // a scratch folder of its own
};

Simulator startSimulator(const std::string& binFolder,
                         const std::vector<std::string>& options = {});
void stopSimulator(const Simulator& sim);

// Every byte at 38400 baud 8N1 in both directions, the 1 ms pause before each frame, the
// 100 ms settling time after opening the port and, for the write, the closing 1000 ms.
double lowerBoundSeconds(link::Direction direction);

double cpuSeconds();

}  // namespace pl3::bench
