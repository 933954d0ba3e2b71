#pragma once
// The radio transfers of the service mode: the test-data read and write, and the whole
// image read and write of the tuning dialog. Each runs on a worker thread of its own on a
// copy of the image, so the dialog stays responsive and can cancel it; the user-interface
// side polls the job's state and applies the result when the job has succeeded.

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

#include "codeplug/document.h"
#include "codeplug/image_layout.h"
#include "link/cancel_token.h"
#include "link/protocol.h"
#include "link/serial_port.h"

namespace pl3::service {

enum class ServiceTask { ReadTestData, WriteTestData, ReadAll, WriteAll };

enum class ServiceStatus {
    Connecting,
    Searching,     // trying the port numbers one after the other
    Transferring,  // the handshake passed
    Succeeded,
    NoRadio,
    WrongRadio,
    ReadFailed,
    WriteFailed,  // some frame was not acknowledged with 0x06
    Cancelled,
};

struct ServiceSnapshot {
    ServiceStatus status;
    int blocksDone;  // whole-image transfers: blocks moved so far, 0 ... 256
    bool finished;   // the worker has ended and the port is as the job leaves it
    // The port the search found could not be stored as "com"; set before the job ends.
    bool foundPortNotStored = false;
    // Once finished: why a port could not be opened, and whether any port opened at all.
    std::optional<link::PortOpenProblem> openProblem = std::nullopt;
    bool portOpened = false;
};

bool isWholeImage(ServiceTask task);

class ServiceJob {
  public:
    ServiceJob(SerialPort& port, ServiceTask task) : port_(port), task_(task) {}
    ~ServiceJob();
    ServiceJob(const ServiceJob&) = delete;
    ServiceJob& operator=(const ServiceJob&) = delete;

    // Copies the image (what to write, or what a read starts from) and starts the worker.
    // The port is closed when the job ends, except after a successful read when
    // keepPortOpen is set: the auto-tuning dialog goes on talking to the radio.
    void start(const Image& image, const link::PortPlan& plan, bool keepPortOpen = false);

    // Ends the job at once: any wait of the worker ends, the port is closed. A job that has
    // already finished is left as it is (with its port).
    void cancel();
    void join();

    ServiceSnapshot snapshot() const;
    // Once finished: the image as the job left it.
    const Image& workingImage() const { return working_; }

  private:
    void run(link::PortPlan plan, bool keepPortOpen);
    link::Outcome transfer(link::Conversation& conversation);

    SerialPort& port_;
    ServiceTask task_;
    Image working_{};
    link::CancelToken cancel_;
    std::thread worker_;
    std::atomic<ServiceStatus> status_{ServiceStatus::Connecting};
    std::atomic<int> blocksDone_{0};
    std::atomic<bool> finished_{false};
    std::atomic<bool> foundPortNotStored_{false};
    mutable std::mutex connectMutex_;  // what connect found out about the ports
    std::optional<link::PortOpenProblem> openProblem_;
    bool portOpened_ = false;
};

// What a successful job changes in the document: the test-data read its sixteen bytes,
// the whole-image read the image (and the frequency limits it implies); writes change
// nothing. Nothing marks the document modified.
void applyResult(CMaItemDoc& doc, ServiceTask task, const Image& working);

}  // namespace pl3::service
