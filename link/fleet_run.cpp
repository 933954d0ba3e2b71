#include "link/fleet_run.h"

#include "codeplug/text_keys.h"
#include "link/fleet_report.h"
#include "link/protocol.h"

namespace pl3::link {

namespace {

std::string choiceName(const SerialPort& port, const FleetTarget& target) {
    if (target.plan.devicePath)
        return portEntryLabel({}, {0, target.plan.devicePath, target.description, false});
    const int number = target.plan.portNumber.value_or(0);
    return portEntryLabel("COM" + std::to_string(number),
                          {number, port.devicePathFor(number), target.description, true});
}

bool writtenWell(RadioEnd end) {
    return end == RadioEnd::Written || end == RadioEnd::WrittenAndVerified;
}

}  // namespace

std::vector<FleetChoice> fleetChoices(const SerialPort& port,
                                      const std::vector<platform::PresentSerialDevice>& present,
                                      const platform::DeviceRoots& roots) {
    std::vector<FleetChoice> choices;
    for (FleetTarget& target : everyTarget(port, present, roots)) {
        std::string name = choiceName(port, target);
        choices.push_back({std::move(target), std::move(name)});
    }
    return choices;
}

FleetRun::FleetRun(const SettingsFile& settings, backup::BackupStore& backups, Prompter& prompter,
                   const TextLookup& texts, PlaceNamer placeOf)
    : settings_(settings),
      backups_(backups),
      prompter_(prompter),
      texts_(texts),
      placeOf_(std::move(placeOf)) {}

void FleetRun::start(std::vector<FleetTarget> chosen, const Image& image,
                     const FleetOptions& options, bool watch) {
    fleet_.reset();
    watch_.reset();
    image_ = image;
    rows_ = chosen.size();
    phase_ = Phase::Writing;
    if (watch) {
        watch_ = std::make_unique<FleetWatch>(settings_, backups_, prompter_, image_, options);
        for (const FleetTarget& target : chosen)
            watch_->watch(target);
        return;
    }
    fleet_ =
        std::make_unique<FleetWrite>(settings_, backups_, prompter_, std::move(chosen), options);
    fleet_->start(image_);
}

void FleetRun::look() {
    if (phase_ == Phase::Ready || phase_ == Phase::Ended) return;
    if (watch_) {
        watch_->look([](std::size_t) {});
        if (phase_ == Phase::Stopping && !watch_->writing()) phase_ = Phase::Ended;
        return;
    }
    if (fleet_->look()) phase_ = Phase::Ended;
}

void FleetRun::stop() {
    if (phase_ != Phase::Writing) return;
    phase_ = Phase::Stopping;
    if (watch_) {
        watch_->stop();
    } else {
        fleet_->stopAfterBlock();
    }
}

void FleetRun::retry(std::size_t row, const FleetOptions& options) {
    if (!this->row(row).retry) return;
    fleet_->setOptions(options);
    fleet_->retry(row, image_);
    phase_ = Phase::Writing;
}

bool FleetRun::writing() const {
    if (phase_ != Phase::Writing && phase_ != Phase::Stopping) return false;
    if (watch_) return watch_->writing();
    for (std::size_t i = 0; i < fleet_->size(); ++i) {
        if (!fleet_->lastLook(i).ended) return true;
    }
    return false;
}

FleetRow FleetRun::row(std::size_t i) const {
    if (watch_) {
        switch (watch_->state(i)) {
            case FleetWatch::State::Watching:
                if (phase_ == Phase::Ended) return {};
                return {.mark = RowMark::Waiting,
                        .text = texts_.text(text_key::kFleetDialogWaiting)};
            case FleetWatch::State::Writing:
                return runningRow(watch_->lastLook(i));
            case FleetWatch::State::WaitingForRemoval:
                return endedRow(watch_->end(i), watch_->session(i));
        }
    }
    if (!fleet_) return {};
    if (!fleet_->lastLook(i).ended) return runningRow(fleet_->lastLook(i));
    FleetRow row = endedRow(fleet_->end(i), fleet_->session(i));
    // A radio that was not written may be tried again, once no stop is under way.
    row.retry = !writtenWell(fleet_->end(i)) && phase_ != Phase::Stopping;
    return row;
}

FleetRow FleetRun::runningRow(const SessionLook& look) const {
    FleetRow row{.mark = RowMark::Writing,
                 .bar = look.actions.barPosition.value_or(0),
                 .text = texts_.text(text_key::kPromptWrite)};
    if (const std::optional<StatusLine>& line = look.actions.statusLine)
        row.text = texts_.text(line->key) + line->suffix;
    return row;
}

FleetRow FleetRun::endedRow(RadioEnd end, const RadioSession& session) const {
    const SessionResult& result = session.result();
    FleetRow row{.mark = RowMark::Written,
                 .bar = kBarRange,
                 .text = radioResult(end, result, placeOf_, texts_)};
    if (writtenWell(end)) return row;
    row.mark = end == RadioEnd::Stopped ? RowMark::Stopped : RowMark::Failed;
    // The bar stays where the write got to.
    row.bar = result.blocksDone * kBarRange / kBlockCount;
    for (const std::string& line : session.standing(texts_))
        row.standing += (row.standing.empty() ? "" : "\n") + line;
    return row;
}

FleetCount FleetRun::count() const {
    if (watch_) return watch_->count();
    return fleet_ ? fleet_->count() : FleetCount{};
}

std::string FleetRun::countLine() const {
    switch (phase_) {
        case Phase::Ready:
            return {};
        case Phase::Stopping:
            return texts_.text(text_key::kFleetDialogStopping);
        case Phase::Ended:
            return fleetSummary(count(), texts_);
        case Phase::Writing:
            break;
    }
    // Radios written at once are summed up when all have ended.
    if (!watch_) return {};
    if (watch_->count().radios == 0)
        return withNumbers(texts_.text(text_key::kFleetDialogWatching),
                           {static_cast<long long>(watch_->ports())});
    return fleetSummary(watch_->count(), texts_);
}

}  // namespace pl3::link
