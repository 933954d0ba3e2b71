#include "service/auto_tuning_session.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings_fixture.h"

namespace pl3::service {
namespace {

constexpr std::int32_t kMHz = 100'000;

// What the rules asked the link to send, in order.
struct Sent {
    enum Kind { LiveSet, Query, Finish } kind;
    LiveRecord record;
    int pauseMs;
    bool operator==(const Sent&) const = default;
};

class RecordingChannel : public LiveTuningChannel {
  public:
    void sendLiveSet(const LiveRecord& record, int pauseMs) override {
        sent.push_back({Sent::LiveSet, record, pauseMs});
    }
    void querySquelch(int pauseMs) override { sent.push_back({Sent::Query, {}, pauseMs}); }
    void finish(const LiveRecord& record) override { sent.push_back({Sent::Finish, record, 0}); }
    std::vector<Sent> sent;
};

LiveRecord record(std::uint8_t action, std::uint8_t band, std::uint8_t point, std::uint8_t item,
                  std::uint8_t value) {
    return {action, band, point, item, value, 0xFF, 0xFF, 0xFF};
}

// Range 0 is 400 ... 470 MHz, range 1 136 ... 174 MHz.
constexpr const char* kTwoBands =
    "[setup]\ncom=1\n[FreqRange]\nfreq0=400-470MHz\ndata0=00400047\n"
    "freq1=136-174MHz\ndata1=60134017\n";

// A document on 400 ... 470 MHz with distinct tuning values: item n holds 10 * n + 5.
struct Fixture {
    Fixture() : folder(kTwoBands), doc(folder.settings()) {
        for (std::size_t n = 0; n < layout::kTestDataSize; ++n)
            doc.rawFields().image()[layout::kTestData + n] = static_cast<std::uint8_t>(10 * n + 5);
        doc.selectRange(0);
    }
    test::ProgramFolder folder;
    CMaItemDoc doc;
    RecordingChannel channel;
};

TEST(AutoTuning, BandCodeFromTheRangeLimits) {
    struct Case {
        int lowerMHz;
        int upperMHz;
        int band;
    } cases[] = {
        {136, 174, 0}, {140, 150, 0}, {136, 175, 2}, {135, 174, 2}, {400, 470, 1}, {430, 440, 1},
        {399, 470, 2}, {400, 471, 2}, {136, 470, 2}, {100, 500, 2}, {174, 400, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bandCode(c.lowerMHz * kMHz, c.upperMHz * kMHz), c.band)
            << c.lowerMHz << "-" << c.upperMHz;
    }
}

TEST(AutoTuning, ArrowsWrapAndTheThumbSendsNothingUntilTheScrollEnds) {
    Fixture f;
    AutoTuningSession session(f.doc, f.channel);
    session.open();
    f.channel.sent.clear();
    EXPECT_EQ(session.track(40), 40);
    EXPECT_EQ(session.track(60), 60);
    EXPECT_EQ(session.track(500), 127);  // a squelch item stops at 127
    EXPECT_EQ(session.track(60), 60);
    EXPECT_TRUE(f.channel.sent.empty());
    EXPECT_EQ(f.doc.image()[layout::kTestData], 5);

    EXPECT_EQ(session.endScroll(), PollTimer::Start);
    EXPECT_EQ(f.doc.image()[layout::kTestData], 60);
    std::vector<Sent> expected = {{Sent::LiveSet, record(1, 1, 0, 0, 60), kLiveSetPauseMs},
                                  {Sent::Query, {}, kSquelchQueryPauseMs}};
    EXPECT_EQ(f.channel.sent, expected);

    session.track(127);
    EXPECT_EQ(session.step(+1), 0);
    EXPECT_EQ(session.step(-1), 127);
    session.select(3);
    session.track(255);
    EXPECT_EQ(session.step(+1), 0);
    EXPECT_EQ(session.step(-1), 255);
    EXPECT_EQ(session.step(-1), 254);
    f.channel.sent.clear();
    EXPECT_EQ(session.endScroll(), PollTimer::Stop);
    EXPECT_EQ(f.doc.image()[layout::kTestData + 3], 254);
    EXPECT_EQ(f.channel.sent,
              (std::vector<Sent>{{Sent::LiveSet, record(1, 1, 0, 3, 254), kLiveSetPauseMs}}));
}

TEST(AutoTuning, ThePollAsksOnlyForSquelchItems) {
    Fixture f;
    AutoTuningSession session(f.doc, f.channel);
    session.open();
    f.channel.sent.clear();
    session.pollSquelch();
    EXPECT_EQ(f.channel.sent, (std::vector<Sent>{{Sent::Query, {}, 0}}));
    session.select(7);
    f.channel.sent.clear();
    session.pollSquelch();
    EXPECT_TRUE(f.channel.sent.empty());
}

TEST(AutoTuning, TheBandCodeComesFromTheDocumentsRange) {
    Fixture f;
    f.doc.selectRange(1);
    AutoTuningSession session(f.doc, f.channel);
    session.open();
    // A range change while the dialog is open does not change the code it sends.
    f.doc.selectRange(0);
    session.select(4);
    EXPECT_EQ(f.channel.sent.front().record[live_record::kBand], 0);
    EXPECT_EQ(f.channel.sent.back().record[live_record::kBand], 0);
}

}  // namespace
}  // namespace pl3::service
