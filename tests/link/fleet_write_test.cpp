// Several simulated radios written at once, and the production line that writes each radio
// as it is connected.

#include "link/fleet_write.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "link/fleet_report.h"
#include "link/fleet_watch.h"
#include "patterned_image.h"
#include "scripted_prompter.h"
#include "simulated_radio.h"
#include "temp_dir.h"

namespace pl3::link {
namespace {

using namespace std::chrono_literals;

const Image kCodeplug = test::patternedImage(5, 7);

TEST(FleetWrite, EachRadioEndsOnItsOwn) {
    struct Radio {
        const char* what;
        sim::Faults faults;
        RadioEnd end;
        std::string resultKey;
    } radios[] = {
        {"good", {}, RadioEnd::WrittenAndVerified, "IDS_FLEET_WRITTEN_VERIFIED"},
        {"no answer", test::faultsWhere([](sim::Faults& f) { f.neverWake = true; }),
         RadioEnd::Failed, "IDS_FLEET_NO_RADIO"},
        {"fails at block 50", test::faultsWhere([](sim::Faults& f) { f.noAckAtBlock = 50; }),
         RadioEnd::Failed, "IDS_FLEET_WRITE_FAILED"},
        {"stores a byte wrong", test::faultsWhere([](sim::Faults& f) { f.corruptStoredBlock = 9; }),
         RadioEnd::Failed, "IDS_FLEET_VERIFY_DIFFERS"},
    };
    std::vector<std::unique_ptr<test::SimulatedRadio>> simulated;
    for (const Radio& radio : radios)
        simulated.push_back(
            std::make_unique<test::SimulatedRadio>(test::optionsWith(radio.faults)));
    const SettingsFile settings = simulated.front()->settings();
    const SerialPort port(settings);
    std::vector<FleetTarget> targets;
    for (auto& radio : simulated)
        targets.push_back(*namedTarget(port, radio->devicePath()));
    // The first radio named again, and a port number with no device.
    targets.push_back(*namedTarget(port, simulated.front()->devicePath()));
    targets.push_back(*namedTarget(port, "200"));
    targets = withoutRepeats(std::move(targets));
    ASSERT_EQ(targets.size(), 5u);

    test::TempDir backupFolder;
    backup::BackupStore backups(backupFolder.path());
    test::ScriptedPrompter prompter;
    FleetWrite fleet(settings, backups, prompter, targets, {.verify = true});
    fleet.start(kCodeplug);
    auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!fleet.look() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);

    simulated.front()->folder().installLanguageFiles();
    const TextLookup english(simulated.front()->folder().file("english.lang"));
    auto opening = [&](const std::string& key) {
        const std::string text = english.text(key);
        return text.substr(0, text.find('%'));
    };
    for (std::size_t i = 0; i < std::size(radios); ++i) {
        SCOPED_TRACE(radios[i].what);
        EXPECT_EQ(fleet.end(i), radios[i].end);
        EXPECT_TRUE(fleet.session(i).result().writeBackup.has_value());
        EXPECT_TRUE(radioResult(fleet.end(i), fleet.session(i).result(), {}, english)
                        .starts_with(opening(radios[i].resultKey)));
    }
    EXPECT_EQ(simulated[0]->radio().memory(), fleet.session(0).image());
    EXPECT_TRUE(radioResult(fleet.end(4), fleet.session(4).result(), {}, english)
                    .starts_with(opening("IDS_FLEET_PORT_NOT_OPENED")));
    EXPECT_EQ(fleet.count(), (FleetCount{5, 1, 0, 4, 0}));
    EXPECT_EQ(fleetSummary(fleet.count(), english), "5 radios: 1 written and verified, 4 failed");
    EXPECT_TRUE(prompter.prompts().empty());
}

// A radio is written when it comes, not again while it stays, and again when it has been
// taken away and comes back.
TEST(FleetWatch, WritesEachRadioOnceAsItIsConnected) {
    test::SimulatedRadio radio;
    test::TempDir backupFolder;
    backup::BackupStore backups(backupFolder.path());
    test::ScriptedPrompter prompter;
    const SettingsFile settings = radio.settings();
    FleetWatch watch(settings, backups, prompter, kCodeplug, {});
    ASSERT_TRUE(watch.watch(*namedTarget(SerialPort(settings), "1")));
    EXPECT_FALSE(watch.watch(*namedTarget(SerialPort(settings), radio.devicePath())));
    int ended = 0;
    auto lookUntil = [&](auto done, std::chrono::seconds limit) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            watch.look([&](std::size_t) { ++ended; });
            std::this_thread::sleep_for(20ms);
        }
    };
    lookUntil([&] { return ended == 1; }, 20s);
    ASSERT_EQ(ended, 1);
    EXPECT_EQ(watch.end(0), RadioEnd::Written);
    EXPECT_EQ(radio.radio().memory(), watch.session(0).image());
    // Still connected: not written again.
    lookUntil([] { return false; }, 4s);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(radio.radio().sessions(), 1);
    // Taken away, then connected again (a new device the port number now stands for).
    radio.radio().stop();
    lookUntil([] { return false; }, 4s);
    ASSERT_TRUE(radio.radio().start());
    radio.mapPort(1, radio.devicePath());
    lookUntil([&] { return ended == 2; }, 20s);
    EXPECT_EQ(ended, 2);
    EXPECT_EQ(radio.radio().sessions(), 2);
    EXPECT_EQ(watch.count(), (FleetCount{2, 0, 2, 0, 0}));
    watch.stop();
    EXPECT_FALSE(watch.writing());
}

}  // namespace
}  // namespace pl3::link
