#include "app/comm_port_choice.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "codeplug/text_keys.h"
#include "pseudo_terminal.h"
#include "scripted_prompter.h"
#include "settings_fixture.h"
#include "temp_dir.h"

namespace pl3 {
namespace {

using Buttons = std::array<PortButtonState, kPortButtonCount>;

constexpr PortButtonState kOff{false, false};     // not stored, does not open
constexpr PortButtonState kFree{false, true};     // not stored, opens
constexpr PortButtonState kSet{true, true};       // stored, opens
constexpr PortButtonState kSetDead{true, false};  // stored, does not open

CommPortChoice::PortProbe opensOnly(std::set<int> ports) {
    return [ports](int n) { return ports.count(n) != 0; };
}

PortTicks ticksOf(std::initializer_list<int> ports) {
    PortTicks ticks{};
    for (int n : ports)
        ticks[n - 1] = true;
    return ticks;
}

TEST(CommPortChoice, ButtonStatesFollowStoredPortAndProbe) {
    struct Case {
        const char* name;
        int storedPort;
        std::set<int> opening;
        Buttons buttons;
    };
    const Case cases[] = {
        {"stored port opens", 3, {1, 3, 8}, {kFree, kOff, kSet, kOff, kOff, kOff, kOff, kFree}},
        {"stored port does not open: disabled but ticked",
         2,
         {1, 3},
         {kFree, kSetDead, kFree, kOff, kOff, kOff, kOff, kOff}},
        {"nothing opens", 1, {}, {kSetDead, kOff, kOff, kOff, kOff, kOff, kOff, kOff}},
        {"every port opens",
         8,
         {1, 2, 3, 4, 5, 6, 7, 8},
         {kFree, kFree, kFree, kFree, kFree, kFree, kFree, kSet}},
        {"stored port above 8: no tick",
         9,
         {1, 9},
         {kFree, kOff, kOff, kOff, kOff, kOff, kOff, kOff}},
        {"stored port 0: no tick", 0, {1}, {kFree, kOff, kOff, kOff, kOff, kOff, kOff, kOff}},
        {"negative stored port: no tick",
         -1,
         {2},
         {kOff, kFree, kOff, kOff, kOff, kOff, kOff, kOff}},
    };
    for (const Case& c : cases) {
        CommPortChoice choice(c.storedPort, 1, opensOnly(c.opening));
        EXPECT_EQ(choice.buttons(), c.buttons) << c.name;
        EXPECT_EQ(choice.storedPort(), c.storedPort) << c.name;
    }
}

TEST(CommPortChoice, ProbesEachButtonPortOnceInOrder) {
    std::vector<int> probed;
    CommPortChoice choice(12, 1, [&probed](int n) {
        probed.push_back(n);
        return false;
    });
    EXPECT_EQ(probed, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(choice.button(1), kOff);
    EXPECT_EQ(choice.button(8), kOff);
}

TEST(CommPortChoice, SearchBoxIsTickedForAnyNonzeroFlag) {
    struct Case {
        int flag;
        bool ticked;
    };
    for (const Case& c : {Case{0, false}, Case{1, true}, Case{2, true}, Case{-1, true}}) {
        EXPECT_EQ(CommPortChoice(1, c.flag, opensOnly({})).searchTicked(), c.ticked) << c.flag;
    }
}

TEST(CommPortChoice, CommitStoresTheFirstTickedPortWhenItChanged) {
    struct Case {
        const char* name;
        int storedPort;
        PortTicks ticks;
        std::optional<int> stored;
    };
    const Case cases[] = {
        {"another port", 1, ticksOf({4}), 4},
        {"same port", 4, ticksOf({4}), std::nullopt},
        {"nothing ticked", 2, ticksOf({}), std::nullopt},
        {"two ticked: the first counts", 1, ticksOf({3, 6}), 3},
        {"two ticked, the first is the stored one", 3, ticksOf({3, 6}), std::nullopt},
        {"stored above 8, port ticked", 9, ticksOf({2}), 2},
        {"stored above 8, nothing ticked", 9, ticksOf({}), std::nullopt},
        {"last button", 1, ticksOf({8}), 8},
    };
    for (const Case& c : cases) {
        CommPortChoice choice(c.storedPort, 1, opensOnly({1, 2, 3, 4, 5, 6, 7, 8}));
        EXPECT_EQ(choice.commit(c.ticks), c.stored) << c.name;
    }
}

TEST(CommPortChoice, ButtonCaptionsNameTheDevice) {
    struct Case {
        std::string caption;
        std::optional<std::string> device;
        std::string text;
    };
    const Case cases[] = {
        {portButtonCaption(1), "/dev/ttyUSB0", "COM1  (/dev/ttyUSB0)"},
        {portButtonCaption(3), std::nullopt, "COM3  (—)"},
        {portButtonCaption(8), "/dev/serial/by-id/usb-cable",
         "COM8  (/dev/serial/by-id/usb-cable)"},
        {"Kabel", "/dev/ttyACM0", "Kabel  (/dev/ttyACM0)"},  // a translated caption
    };
    for (const Case& c : cases)
        EXPECT_EQ(withPortDevice(c.caption, c.device), c.text);
}

// Only the ports listed in setting.ini exist (2, 5 and 8 open), so the probe never
// touches the machine's own serial ports.
class CommPortProbeTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(pty_.slavePath().empty()) << "no pseudo-terminal"; }

    test::ProgramFolder folderWith(const std::string& setup) const {
        return test::ProgramFolder("[setup]\n" + setup + "\n[ports]\ndefaults=0\n2=" +
                                   pty_.slavePath() + "\n5=" + pty_.slavePath() +
                                   "\n7=/dev/pl3-no-such-device\n8=" + pty_.slavePath() + "\n");
    }

    test::PseudoTerminal pty_;
    SettingsWriteWarning warning_;
    test::ScriptedPrompter prompter_;
};

TEST_F(CommPortProbeTest, ProbesThroughTheApplicationPortAndLeavesItClosed) {
    test::ProgramFolder folder = folderWith("com=5\nsearchcom=0\n");
    SerialPort port(folder.settings());
    // The application holds the stored port; the dialog leaves the port closed, so the
    // choice made there takes effect at the next radio job.
    ASSERT_TRUE(port.open(5, kRadioBaud));

    CommPortChoice choice = probeCommPorts(port, folder.settings());

    EXPECT_EQ(choice.buttons(), (Buttons{kOff, kFree, kOff, kOff, kSet, kOff, kOff, kFree}));
    EXPECT_EQ(choice.storedPort(), 5);
    EXPECT_FALSE(choice.searchTicked());
    EXPECT_FALSE(port.isOpen());
}

TEST_F(CommPortProbeTest, MissingKeysMeanPortOneAndSearchOn) {
    test::ProgramFolder folder = folderWith("");
    SerialPort port(folder.settings());

    CommPortChoice choice = probeCommPorts(port, folder.settings());

    EXPECT_EQ(choice.storedPort(), 1);
    EXPECT_TRUE(choice.searchTicked());
    EXPECT_EQ(choice.button(1), kSetDead);
    EXPECT_EQ(choice.button(2), kFree);
}

TEST_F(CommPortProbeTest, StoringAnotherPortClosesThePortAndWritesCom) {
    test::ProgramFolder folder = folderWith("com=5\nsearchcom=1\n");
    SerialPort port(folder.settings());
    CommPortChoice choice = probeCommPorts(port, folder.settings());
    ASSERT_TRUE(port.open(5, kRadioBaud));

    EXPECT_EQ(storeCommPort(choice, ticksOf({2}), port, folder.settings(), warning_, prompter_), 2);

    EXPECT_EQ(folder.settings().comPort(), 2);
    EXPECT_EQ(folder.settings().portSearchFlag(), 1);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(CommPortProbeTest, StoringTheSamePortOrNoneWritesNothing) {
    test::ProgramFolder folder = folderWith("com=5\nsearchcom=1\n");
    const std::string before = test::readText(folder.file("setting.ini"));
    SerialPort port(folder.settings());
    CommPortChoice choice = probeCommPorts(port, folder.settings());
    ASSERT_TRUE(port.open(5, kRadioBaud));

    EXPECT_EQ(storeCommPort(choice, ticksOf({5}), port, folder.settings(), warning_, prompter_),
              std::nullopt);
    EXPECT_EQ(storeCommPort(choice, ticksOf({}), port, folder.settings(), warning_, prompter_),
              std::nullopt);
    EXPECT_TRUE(prompter_.prompts().empty());

    EXPECT_EQ(test::readText(folder.file("setting.ini")), before);
    EXPECT_TRUE(port.isOpen());
}

TEST_F(CommPortProbeTest, UnwritableSettingsReportNothingStoredAndSaySoOnce) {
    test::TempDir dir;
    // setting.ini is a directory: it can be neither read nor replaced, not even by root.
    ASSERT_EQ(::mkdir(dir.file("setting.ini").c_str(), 0700), 0);
    SettingsFile settings(dir.file("setting.ini"));
    SerialPort port(settings);
    CommPortChoice choice(1, 1, opensOnly({1, 2, 3}));

    EXPECT_EQ(storeCommPort(choice, ticksOf({2}), port, settings, warning_, prompter_),
              std::nullopt);
    EXPECT_EQ(storeCommPort(choice, ticksOf({3}), port, settings, warning_, prompter_),
              std::nullopt);

    ASSERT_EQ(prompter_.prompts().size(), 1u);
    EXPECT_EQ(prompter_.prompts()[0].textKey, text_key::kWarnSettingsWrite);
    EXPECT_EQ(prompter_.prompts()[0].detail, settings.path());
}

}  // namespace
}  // namespace pl3
