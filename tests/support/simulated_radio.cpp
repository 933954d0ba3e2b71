#include "simulated_radio.h"

#include <stdexcept>

#include "platform/private_profile.h"

namespace pl3::test {

SimulatedRadio::SimulatedRadio(sim::Options options, bool search, int storedPort)
    : radio_(std::make_unique<sim::RadioSimulator>(options)),
      folder_("[setup]\ncom=" + std::to_string(storedPort) + "\nsearchcom=" + (search ? "1" : "0") +
              "\n\n[FreqRange]\nfreq0=400-470MHz\ndata0=00400047\n\n[ports]\ndefaults=0\n") {
    if (!radio_->start()) throw std::runtime_error("cannot start the simulated radio");
    mapPort(1, radio_->devicePath());
}

void SimulatedRadio::mapPort(int n, const std::string& path) {
    platform::writeString(folder_.file("setting.ini"), "ports", std::to_string(n), path);
}

}  // namespace pl3::test
