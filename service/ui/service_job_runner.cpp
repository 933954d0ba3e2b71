#include "service/ui/service_job_runner.h"

#include <QTimer>

#include "link/job_display.h"

namespace pl3 {

ServiceJobRunner::ServiceJobRunner(RadioServices radio, Prompter& prompter, QObject* parent)
    : QObject(parent), radio_(radio), prompter_(prompter), timer_(new QTimer(this)) {
    connect(timer_, &QTimer::timeout, this, &ServiceJobRunner::poll);
}

ServiceJobRunner::~ServiceJobRunner() {
    timer_->stop();
    if (job_) job_->cancel();
}

void ServiceJobRunner::start(service::ServiceTask task, const Image& image, bool keepPortOpen,
                             Callbacks callbacks) {
    if (running()) return;
    callbacks_ = std::move(callbacks);
    job_ = std::make_unique<service::ServiceJob>(radio_.port, task);
    const SettingsFile& settings = radio_.settings;
    job_->start(image, {settings.comPort(), std::nullopt, settings.portSearchEnabled()},
                keepPortOpen);
    timer_->start(kPollMs);
}

void ServiceJobRunner::cancel() {
    if (!running()) return;
    job_->cancel();
    poll();
}

bool ServiceJobRunner::running() const {
    return timer_->isActive();
}

void ServiceJobRunner::poll() {
    service::ServiceSnapshot snapshot = job_->snapshot();
    // Also the last counts, which a job that ends between two looks would otherwise skip.
    if (callbacks_.progress) callbacks_.progress(snapshot);
    if (!snapshot.finished) return;
    timer_->stop();
    job_->join();
    if (snapshot.foundPortNotStored) radio_.settingsWarning.tell(prompter_, radio_.settings.path());
    // The service messages name no log, but one that lacks lines is still said.
    link::tellIfLogIncomplete(radio_.port.logOutcome(), prompter_);
    // The callback may start the next job, which replaces this one and its image.
    Callbacks callbacks = std::move(callbacks_);
    Image working = job_->workingImage();
    if (callbacks.finished) callbacks.finished(snapshot, working);
}

}  // namespace pl3
