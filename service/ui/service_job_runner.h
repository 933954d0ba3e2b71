#pragma once
// Runs one service transfer at a time for a dialog: starts the job on the stored port,
// looks at it every 20 ms and reports progress and the end on the user-interface thread.

#include <QObject>
#include <functional>
#include <memory>

#include "link/radio_services.h"
#include "platform/prompter.h"
#include "service/service_job.h"

class QTimer;

namespace pl3 {

class ServiceJobRunner : public QObject {
    Q_OBJECT

  public:
    static constexpr int kPollMs = 20;

    struct Callbacks {
        std::function<void(service::ServiceSnapshot)> progress;  // every look, the last too
        // The job is over: how it ended (status, blocks moved) and the image it leaves (for
        // applyResult).
        std::function<void(service::ServiceSnapshot, const Image&)> finished;
    };

    // prompter tells the user when the port a search found could not be stored.
    ServiceJobRunner(RadioServices radio, Prompter& prompter, QObject* parent);
    ~ServiceJobRunner() override;

    void start(service::ServiceTask task, const Image& image, bool keepPortOpen,
               Callbacks callbacks);
    // Stops the running job; it ends as cancelled.
    void cancel();
    bool running() const;

  private:
    void poll();

    RadioServices radio_;
    Prompter& prompter_;
    std::unique_ptr<service::ServiceJob> job_;
    Callbacks callbacks_;
    QTimer* timer_;
};

}  // namespace pl3
