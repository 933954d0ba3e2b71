// The auto-tuning link against the simulated radio: the bytes of each frame, their order,
// the squelch answers, and what finishing and dropping the link do.

#include "service/live_tuning_link.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "service/service_job.h"
#include "simulated_radio.h"

namespace pl3::service {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A radio in programming mode, reached as the auto-tuning dialog reaches it: through the
// test-data read that leaves the port open.
struct Line {
    explicit Line(sim::Options options = {}) : radio(options), port(radio.settings()) {
        ServiceJob read(port, ServiceTask::ReadTestData);
        read.start({}, {1, std::nullopt, false}, true);
        read.join();
        EXPECT_EQ(read.snapshot().status, ServiceStatus::Succeeded);
        radio.radio().clearFrames();
    }

    std::vector<Bytes> frames() {
        std::vector<Bytes> all;
        for (const sim::Frame& frame : radio.radio().frames())
            all.push_back(frame.bytes);
        return all;
    }

    test::SimulatedRadio radio;
    SerialPort port;
};

template <class Condition>
bool waitFor(Condition condition) {
    for (int i = 0; i < 20000 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return condition();
}

Bytes liveSet(std::uint8_t action, std::uint8_t item, std::uint8_t value) {
    return {'K', 0x08, 0xE0, 0x08, action, 1, 2, item, value, 0xFF, 0xFF, 0xFF};
}

LiveRecord record(std::uint8_t action, std::uint8_t item, std::uint8_t value) {
    return {action, 1, 2, item, value, 0xFF, 0xFF, 0xFF};
}

TEST(LiveTuningLink, SendsEveryFrameInOrderAndClosesWhenFinished) {
    Line line;
    LiveTuningLink link(line.port);
    link.sendLiveSet(record(1, 5, 40), 0);
    link.querySquelch(10);
    link.sendLiveSet(record(1, 5, 41), 10);
    ASSERT_TRUE(waitFor([&] { return link.squelch().answers == 1; }));
    link.finish(record(2, 5, 41));
    ASSERT_TRUE(waitFor([&] { return link.finished(); }));
    EXPECT_EQ(line.frames(),
              (std::vector<Bytes>{liveSet(1, 5, 40), {'S'}, liveSet(1, 5, 41), liveSet(2, 5, 41)}));
    EXPECT_FALSE(line.port.isOpen());
    // Nothing more goes out once finished.
    link.sendLiveSet(record(1, 5, 42), 0);
    link.querySquelch(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(line.frames().size(), 4u);
}

TEST(LiveTuningLink, SquelchAnswers) {
    struct Case {
        const char* what;
        sim::Options options;
        bool open;
    };
    sim::Options open;
    sim::Options closed;
    closed.squelchAnswer = 'L';
    sim::Options silent;
    silent.faults.silentLiveTuning = true;
    Case cases[] = {{"H is open", open, true},
                    {"anything else is closed", closed, false},
                    {"no answer is closed", silent, false}};
    for (const Case& c : cases) {
        Line line(c.options);
        LiveTuningLink link(line.port);
        EXPECT_EQ(link.squelch().answers, 0) << c.what;
        link.querySquelch(0);
        ASSERT_TRUE(waitFor([&] { return link.squelch().answers == 1; })) << c.what;
        EXPECT_EQ(link.squelch().open, c.open) << c.what;
        line.radio.radio().setSquelchAnswer(c.open ? 'x' : 'H');
        link.querySquelch(0);
        ASSERT_TRUE(waitFor([&] { return link.squelch().answers == 2; })) << c.what;
        bool silentRadio = c.options.faults.silentLiveTuning;
        EXPECT_EQ(link.squelch().open, !c.open && !silentRadio) << c.what;
    }
}

TEST(LiveTuningLink, FinishDropsSquelchQueriesStillWaiting) {
    Line line;
    LiveTuningLink link(line.port);
    link.sendLiveSet(record(1, 1, 9), 300);  // the queries below wait behind this pause
    link.querySquelch(0);
    link.querySquelch(0);
    link.finish(record(2, 1, 9));
    ASSERT_TRUE(waitFor([&] { return link.finished(); }));
    EXPECT_EQ(line.frames(), (std::vector<Bytes>{liveSet(1, 1, 9), liveSet(2, 1, 9)}));
}

TEST(LiveTuningLink, DroppingTheLinkClosesThePortAndSendsNothingQueued) {
    Line line;
    {
        LiveTuningLink link(line.port);
        link.sendLiveSet(record(1, 1, 9), 5000);
    }
    EXPECT_FALSE(line.port.isOpen());
    EXPECT_TRUE(line.frames().empty());
}

}  // namespace
}  // namespace pl3::service
