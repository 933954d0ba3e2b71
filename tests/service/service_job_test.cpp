// The service transfers against the simulated radio on a real pseudo-terminal: the frames
// each sends, byte for byte, and every way they can fail.

#include "service/service_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "patterned_image.h"
#include "simulated_radio.h"

namespace pl3::service {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kWakeUp = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};

Bytes testDataOf(const Image& image) {
    auto from = image.begin() + static_cast<std::ptrdiff_t>(layout::kTestData);
    return Bytes(from, from + layout::kTestDataSize);
}

// The frames after the wake-up, identification request and challenge response.
std::vector<Bytes> commandFrames(sim::RadioSimulator& radio) {
    std::vector<Bytes> frames;
    for (const sim::Frame& frame : radio.frames())
        frames.push_back(frame.bytes);
    EXPECT_GE(frames.size(), 3u);
    if (frames.size() < 3) return {};
    EXPECT_EQ(frames[0], kWakeUp);
    EXPECT_EQ(frames[1], Bytes{0x02});
    EXPECT_EQ(frames[2].size(), 6u);
    return {frames.begin() + 3, frames.end()};
}

int countWakeUps(sim::RadioSimulator& radio) {
    int count = 0;
    for (const sim::Frame& frame : radio.frames())
        count += frame.bytes == kWakeUp;
    return count;
}

Bytes blockWrite(std::uint8_t command, int address, const Image& image) {
    // Sized up front: growing a four-byte vector by insert trips a false -Warray-bounds.
    Bytes frame(4 + 16);
    frame[0] = command;
    frame[1] = static_cast<std::uint8_t>(address >> 8);
    frame[2] = static_cast<std::uint8_t>(address & 0xFF);
    frame[3] = 0x10;
    std::copy_n(image.begin() + address, 16, frame.begin() + 4);
    return frame;
}

struct Exchange {
    explicit Exchange(const sim::Faults& faults = {})
        : radio(test::optionsWith(faults)), port(radio.settings()) {}

    ServiceSnapshot go(ServiceTask task, const Image& image, bool keepPortOpen = false) {
        ServiceJob job(port, task);
        job.start(image, {1, std::nullopt, false}, keepPortOpen);
        job.join();
        working = job.workingImage();
        return job.snapshot();
    }

    test::SimulatedRadio radio;
    SerialPort port;
    Image working{};
};

TEST(ServiceJob, TestDataReadAsksForTheTuningBlockOnly) {
    Exchange run;
    run.radio.radio().setMemory(test::patternedImage(13, 1));
    Image start{};
    ServiceSnapshot end = run.go(ServiceTask::ReadTestData, start);
    EXPECT_EQ(end.status, ServiceStatus::Succeeded);
    EXPECT_TRUE(end.finished);
    EXPECT_EQ(commandFrames(run.radio.radio()), (std::vector<Bytes>{{'R', 0x08, 0xE0, 0x10}}));
    EXPECT_EQ(testDataOf(run.working), testDataOf(test::patternedImage(13, 1)));
    EXPECT_EQ(run.working[layout::kTestData - 1], 0);  // nothing else taken
    EXPECT_FALSE(run.port.isOpen());

    CMaItemDoc doc{SettingsFile(std::string())};
    Image before = doc.image();
    applyResult(doc, ServiceTask::ReadTestData, run.working);
    Image expected = before;
    std::copy_n(test::patternedImage(13, 1).begin() + layout::kTestData, 16,
                expected.begin() + layout::kTestData);
    EXPECT_EQ(doc.image(), expected);
    EXPECT_FALSE(doc.isModified());
}

TEST(ServiceJob, TheReadBeforeAutoTuningLeavesThePortOpenOnlyOnSuccess) {
    {
        Exchange run;
        EXPECT_EQ(run.go(ServiceTask::ReadTestData, {}, true).status, ServiceStatus::Succeeded);
        EXPECT_TRUE(run.port.isOpen());
    }
    {
        Exchange run(test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 0x8E; }));
        EXPECT_EQ(run.go(ServiceTask::ReadTestData, {}, true).status, ServiceStatus::ReadFailed);
        EXPECT_FALSE(run.port.isOpen());
    }
}

TEST(ServiceJob, TestDataWriteSendsTheTFrame) {
    Exchange run;
    Image image = test::patternedImage(13, 1);
    EXPECT_EQ(run.go(ServiceTask::WriteTestData, image).status, ServiceStatus::Succeeded);
    EXPECT_EQ(commandFrames(run.radio.radio()),
              (std::vector<Bytes>{blockWrite('t', 0x08E0, image)}));
    EXPECT_EQ(testDataOf(run.radio.radio().memory()), testDataOf(image));
    EXPECT_FALSE(run.port.isOpen());
}

TEST(ServiceJob, WholeImageReadAndWriteMoveEveryBlock) {
    Exchange reading;
    reading.radio.radio().setMemory(test::patternedImage(13, 1));
    ServiceSnapshot end = reading.go(ServiceTask::ReadAll, {});
    EXPECT_EQ(end.status, ServiceStatus::Succeeded);
    EXPECT_EQ(end.blocksDone, 256);
    EXPECT_EQ(reading.working, test::patternedImage(13, 1));
    std::vector<Bytes> reads = commandFrames(reading.radio.radio());
    ASSERT_EQ(reads.size(), 256u);
    for (int k = 0; k < 256; ++k) {
        Bytes expected = {'R', static_cast<std::uint8_t>(k >> 4),
                          static_cast<std::uint8_t>((k * 16) & 0xFF), 0x10};
        EXPECT_EQ(reads[static_cast<std::size_t>(k)], expected) << k;
    }

    Exchange writing;
    Image image = test::patternedImage(13, 1);
    EXPECT_EQ(writing.go(ServiceTask::WriteAll, image).status, ServiceStatus::Succeeded);
    std::vector<Bytes> writes = commandFrames(writing.radio.radio());
    ASSERT_EQ(writes.size(), 257u);
    for (int k = 0; k < 256; ++k)
        EXPECT_EQ(writes[static_cast<std::size_t>(k)], blockWrite('w', k * 16, image)) << k;
    EXPECT_EQ(writes.back(), blockWrite('t', 0x08E0, image));
    EXPECT_EQ(writing.radio.radio().memory(), image);
}

TEST(ServiceJob, ConnectAndHandshakeFailures) {
    struct Case {
        const char* what;
        sim::Faults faults;
        ServiceStatus status;
        int wakeUps;
    } cases[] = {
        {"silence", test::faultsWhere([](sim::Faults& f) { f.neverWake = true; }),
         ServiceStatus::NoRadio, 10},
        {"wakes at the fifth attempt",
         test::faultsWhere([](sim::Faults& f) { f.wakeAtAttempt = 5; }), ServiceStatus::Succeeded,
         5},
        {"identification byte 3 wrong",
         test::faultsWhere([](sim::Faults& f) { f.wrongIdentificationByte = 3; }),
         ServiceStatus::WrongRadio, 1},
        {"identification byte 5 wrong is not looked at",
         test::faultsWhere([](sim::Faults& f) { f.wrongIdentificationByte = 5; }),
         ServiceStatus::Succeeded, 1},
        {"seven identification bytes",
         test::faultsWhere([](sim::Faults& f) { f.shortIdentification = true; }),
         ServiceStatus::WrongRadio, 1},
        {"challenge refused", test::faultsWhere([](sim::Faults& f) { f.refuseChallenge = true; }),
         ServiceStatus::WrongRadio, 1},
    };
    for (ServiceTask task : {ServiceTask::ReadTestData, ServiceTask::WriteTestData,
                             ServiceTask::ReadAll, ServiceTask::WriteAll}) {
        for (const Case& c : cases) {
            if (c.status == ServiceStatus::Succeeded && isWholeImage(task))
                continue;  // slow, shown above
            Exchange run(c.faults);
            Image before = run.radio.radio().memory();
            ServiceSnapshot end = run.go(task, test::patternedImage(13, 1));
            EXPECT_EQ(end.status, c.status) << c.what << " " << static_cast<int>(task);
            EXPECT_EQ(countWakeUps(run.radio.radio()), c.wakeUps) << c.what;
            EXPECT_FALSE(run.port.isOpen()) << c.what;
            if (c.status != ServiceStatus::Succeeded) {
                EXPECT_EQ(run.radio.radio().memory(), before) << c.what;
            }
        }
    }
}

TEST(ServiceJob, TransferFailures) {
    struct Case {
        const char* what;
        ServiceTask task;
        sim::Faults faults;
        ServiceStatus status;
        int commandFrames;  // frames after the handshake
    } cases[] = {
        {"short tuning reply", ServiceTask::ReadTestData,
         test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 0x8E; }),
         ServiceStatus::ReadFailed, 1},
        {"hang-up at the tuning read", ServiceTask::ReadTestData,
         test::faultsWhere([](sim::Faults& f) { f.hangUpAtBlock = 0x8E; }),
         ServiceStatus::ReadFailed, 1},
        {"tuning write not acknowledged", ServiceTask::WriteTestData,
         test::faultsWhere([](sim::Faults& f) { f.noTestDataAck = true; }),
         ServiceStatus::WriteFailed, 1},
        {"short reply at block 100", ServiceTask::ReadAll,
         test::faultsWhere([](sim::Faults& f) { f.shortReplyAtBlock = 100; }),
         ServiceStatus::ReadFailed, 101},
        {"hang-up at block 30", ServiceTask::ReadAll,
         test::faultsWhere([](sim::Faults& f) { f.hangUpAtBlock = 30; }), ServiceStatus::ReadFailed,
         31},
        {"a wrong echo is not looked at", ServiceTask::ReadAll,
         test::faultsWhere([](sim::Faults& f) { f.wrongAddressAtBlock = 9; }),
         ServiceStatus::Succeeded, 256},
        // Every frame still goes out; the end reports the failure.
        {"block 5 not acknowledged", ServiceTask::WriteAll,
         test::faultsWhere([](sim::Faults& f) { f.noAckAtBlock = 5; }), ServiceStatus::WriteFailed,
         257},
        {"block 0 refused", ServiceTask::WriteAll,
         test::faultsWhere([](sim::Faults& f) { f.wrongAckAtBlock = 0; }),
         ServiceStatus::WriteFailed, 257},
        {"final tuning write not acknowledged", ServiceTask::WriteAll,
         test::faultsWhere([](sim::Faults& f) { f.noTestDataAck = true; }),
         ServiceStatus::WriteFailed, 257},
        {"hang-up while writing", ServiceTask::WriteAll,
         test::faultsWhere([](sim::Faults& f) { f.hangUpAtBlock = 3; }), ServiceStatus::WriteFailed,
         4},
    };
    for (const Case& c : cases) {
        Exchange run(c.faults);
        ServiceSnapshot end = run.go(c.task, test::patternedImage(13, 1));
        EXPECT_EQ(end.status, c.status) << c.what;
        EXPECT_TRUE(end.finished) << c.what;
        EXPECT_EQ(commandFrames(run.radio.radio()).size(),
                  static_cast<std::size_t>(c.commandFrames))
            << c.what;
        EXPECT_FALSE(run.port.isOpen()) << c.what;
    }
}

TEST(ServiceJob, CancelStopsAWholeImageReadAndClosesThePort) {
    sim::Options slow;
    slow.faults.extraDelayMs = 20;
    test::SimulatedRadio radio(slow);
    SerialPort port(radio.settings());
    ServiceJob job(port, ServiceTask::ReadAll);
    job.start({}, {1, std::nullopt, false});
    while (job.snapshot().blocksDone < 2 && !job.snapshot().finished)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    job.cancel();
    ServiceSnapshot end = job.snapshot();
    EXPECT_TRUE(end.finished);
    EXPECT_EQ(end.status, ServiceStatus::Cancelled);
    EXPECT_LT(end.blocksDone, 256);
    EXPECT_FALSE(port.isOpen());
}

TEST(ServiceJob, CancelLeavesAFinishedReadsOpenPortAlone) {
    Exchange run;
    ServiceJob job(run.port, ServiceTask::ReadTestData);
    job.start({}, {1, std::nullopt, false}, true);
    job.join();
    job.cancel();
    EXPECT_EQ(job.snapshot().status, ServiceStatus::Succeeded);
    EXPECT_TRUE(run.port.isOpen());
}

TEST(ServiceJob, AWholeImageReadReplacesTheImageAndItsLimits) {
    test::SimulatedRadio radio;  // its folder lists 400-470 MHz as range 0
    CMaItemDoc doc(radio.settings());
    Image image = sim::factoryMemory();
    image[layout::record(100)] = 0x12;
    applyResult(doc, ServiceTask::ReadAll, image);
    EXPECT_EQ(doc.image(), image);
    EXPECT_EQ(doc.lowerLimit(), 40'000'000);
    EXPECT_EQ(doc.upperLimit(), 47'000'000);
    EXPECT_FALSE(doc.isModified());
}

}  // namespace
}  // namespace pl3::service
