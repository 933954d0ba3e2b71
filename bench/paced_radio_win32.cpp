#include "bench/paced_radio.h"

#include <windows.h>

#include <cstdlib>
#include <iostream>

namespace pl3::bench {

double cpuSeconds() {
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& time) {
        return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

Simulator startSimulator(const std::string&, const std::vector<std::string>&) {
    std::cerr << "the simulated radio runs on Linux: start pl3-radio-sim --pace there, map its "
                 "device to a COM port and give --device COMn\n";
    std::exit(1);
}

void stopSimulator(const Simulator&) {}

}  // namespace pl3::bench
