#include "link/fleet_write.h"

namespace pl3::link {

RadioEnd radioEnd(const SessionLook& look, const SessionResult& result) {
    if (!look.ended) return RadioEnd::Running;
    if (result.stopped) return RadioEnd::Stopped;
    if (result.status != JobStatus::WriteComplete) return RadioEnd::Failed;
    return result.verified ? RadioEnd::WrittenAndVerified : RadioEnd::Written;
}

void FleetCount::add(RadioEnd end) {
    switch (end) {
        case RadioEnd::Running:
            return;
        case RadioEnd::WrittenAndVerified:
            ++verified;
            break;
        case RadioEnd::Written:
            ++written;
            break;
        case RadioEnd::Failed:
            ++failed;
            break;
        case RadioEnd::Stopped:
            ++stopped;
            break;
    }
    ++radios;
}

FleetWrite::FleetWrite(const SettingsFile& settings, backup::BackupStore& backups,
                       Prompter& prompter, std::vector<FleetTarget> targets, FleetOptions options)
    : backups_(backups), prompter_(prompter), options_(options) {
    for (FleetTarget& target : targets) {
        auto port = std::make_unique<SerialPort>(settings);
        auto session = std::make_unique<RadioSession>(*port, Direction::Write, backups_, prompter_);
        radios_.push_back({std::move(target), std::move(port), std::move(session), {}});
    }
}

void FleetWrite::startRadio(Radio& radio, const Image& image) {
    radio.look = {};
    radio.session->start(image, options_.forPort(radio.target.plan));
}

void FleetWrite::start(const Image& image) {
    for (Radio& radio : radios_)
        startRadio(radio, image);
}

void FleetWrite::retry(std::size_t i, const Image& image) {
    startRadio(radios_[i], image);
}

bool FleetWrite::look() {
    bool allEnded = true;
    for (Radio& radio : radios_) {
        if (!radio.look.ended) radio.look = radio.session->look();
        allEnded = allEnded && radio.look.ended;
    }
    return allEnded;
}

void FleetWrite::stopAfterBlock() {
    for (Radio& radio : radios_)
        radio.session->stopAfterBlock();
}

RadioEnd FleetWrite::end(std::size_t i) const {
    return radioEnd(radios_[i].look, radios_[i].session->result());
}

FleetCount FleetWrite::count() const {
    FleetCount count;
    for (std::size_t i = 0; i < radios_.size(); ++i)
        count.add(end(i));
    return count;
}

}  // namespace pl3::link
