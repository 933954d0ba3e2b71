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

// What a row shows: ticked, and usable or why not.
struct RowState {
    bool ticked = false;
    std::optional<platform::SerialOpenError> problem;
    bool operator==(const RowState&) const = default;
};
using RowStates = std::vector<RowState>;

constexpr platform::SerialOpenError kMissing = platform::SerialOpenError::NoSuchDevice;
constexpr platform::SerialOpenError kBusy = platform::SerialOpenError::Busy;
const RowState kOff{false, kMissing};  // not stored, no device
const RowState kFree{false, {}};       // not stored, opens
const RowState kSet{true, {}};         // stored, opens
const RowState kSetDead{true, kMissing};
const RowState kInUse{false, kBusy};

// Ports 1 ... 8, then the extra entries.
std::vector<PortEntry> entriesWith(std::vector<PortEntry> extra = {}) {
    std::vector<PortEntry> entries;
    for (int n = 1; n <= kPortButtonCount; ++n)
        entries.push_back({n, "/dev/ttyUSB" + std::to_string(n - 1), {}, true});
    entries.insert(entries.end(), extra.begin(), extra.end());
    return entries;
}

// Ports in `opening` open, those in `busy` are held by another program, the rest are missing.
CommPortChoice::PortProbe probeOf(std::set<int> opening, std::set<int> busy = {}) {
    return [opening, busy](const PortEntry& entry) -> std::optional<link::PortOpenProblem> {
        if (opening.count(entry.portNumber)) return std::nullopt;
        const platform::SerialOpenError error = busy.count(entry.portNumber) ? kBusy : kMissing;
        return link::PortOpenProblem{{error, 0, {}}, entry.devicePath.value_or("")};
    };
}

RowStates statesOf(const CommPortChoice& choice) {
    RowStates states;
    for (const PortRow& row : choice.rows()) {
        std::optional<platform::SerialOpenError> problem;
        if (row.problem) problem = row.problem->failure.error;
        states.push_back({row.ticked, problem});
        EXPECT_EQ(row.enabled(), !row.problem);
    }
    return states;
}

PortTicks ticksOf(std::initializer_list<int> rows, std::size_t count = kPortButtonCount) {
    PortTicks ticks(count, false);
    for (int row : rows)
        ticks[static_cast<std::size_t>(row - 1)] = true;
    return ticks;
}

const PortEntry kFarUart{33, "/dev/ttyS0", {}, true};
const PortEntry kStableName{65, "/dev/serial/by-id/usb-cable", "FT232R USB UART", false};

TEST(CommPortChoice, RowStatesFollowStoredPortAndProbe) {
    struct Case {
        const char* name;
        int storedPort;
        std::vector<PortEntry> entries;
        CommPortChoice::PortProbe probe;
        RowStates rows;
        bool noDevice;
    };
    const Case cases[] = {
        {"stored port opens",
         3,
         entriesWith(),
         probeOf({1, 3, 8}),
         {kFree, kOff, kSet, kOff, kOff, kOff, kOff, kFree},
         false},
        {"stored port does not open: disabled but ticked",
         2,
         entriesWith(),
         probeOf({1, 3}),
         {kFree, kSetDead, kFree, kOff, kOff, kOff, kOff, kOff},
         false},
        {"nothing exists",
         1,
         entriesWith(),
         probeOf({}),
         {kSetDead, kOff, kOff, kOff, kOff, kOff, kOff, kOff},
         true},
        {"a busy port exists",
         1,
         entriesWith(),
         probeOf({}, {4}),
         {kSetDead, kOff, kOff, kInUse, kOff, kOff, kOff, kOff},
         false},
        {"stored port past 8 among the devices present",
         33,
         entriesWith({kFarUart}),
         probeOf({1, 33}),
         {kFree, kOff, kOff, kOff, kOff, kOff, kOff, kOff, kSet},
         false},
        {"a name without number is never the stored port",
         65,
         entriesWith({kStableName}),
         probeOf({65}),
         {kOff, kOff, kOff, kOff, kOff, kOff, kOff, kOff, kFree},
         false},
        {"stored port 0: no tick",
         0,
         entriesWith(),
         probeOf({1}),
         {kFree, kOff, kOff, kOff, kOff, kOff, kOff, kOff},
         false},
    };
    for (const Case& c : cases) {
        CommPortChoice choice(c.storedPort, 1, c.entries, c.probe);
        EXPECT_EQ(statesOf(choice), c.rows) << c.name;
        EXPECT_EQ(choice.noDevice(), c.noDevice) << c.name;
        EXPECT_EQ(choice.storedPort(), c.storedPort) << c.name;
    }
}

TEST(CommPortChoice, ProbesEachEntryOnceInOrder) {
    std::vector<int> probed;
    CommPortChoice choice(12, 1, entriesWith({kFarUart, kStableName}),
                          [&probed](const PortEntry& entry) {
                              probed.push_back(entry.portNumber);
                              return std::nullopt;
                          });
    EXPECT_EQ(probed, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 33, 65}));
}

TEST(CommPortChoice, SearchBoxIsTickedForAnyNonzeroFlag) {
    struct Case {
        int flag;
        bool ticked;
    };
    for (const Case& c : {Case{0, false}, Case{1, true}, Case{2, true}, Case{-1, true}}) {
        EXPECT_EQ(CommPortChoice(1, c.flag, entriesWith(), probeOf({})).searchTicked(), c.ticked)
            << c.flag;
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
        {"stored past 8, port ticked", 33, ticksOf({2}, 10), 2},
        {"stored past 8, its row ticked", 33, ticksOf({9}, 10), std::nullopt},
        {"a device past 8", 1, ticksOf({9}, 10), 33},
        {"a name without number gets its number", 1, ticksOf({10}, 10), 65},
        {"last numbered button", 1, ticksOf({8}), 8},
    };
    for (const Case& c : cases) {
        CommPortChoice choice(c.storedPort, 1, entriesWith({kFarUart, kStableName}),
                              probeOf({1, 2, 3, 4, 5, 6, 7, 8, 33, 65}));
        std::optional<PortEntry> chosen = choice.commit(c.ticks);
        EXPECT_EQ(chosen ? std::optional(chosen->portNumber) : std::nullopt, c.stored) << c.name;
    }
}

TEST(CommPortChoice, RowLabelsNameTheDeviceAndTheAdapter) {
    struct Case {
        std::string caption;
        PortEntry entry;
        std::string text;
    };
    const Case cases[] = {
        {portButtonCaption(1), {1, "/dev/ttyUSB0", {}, true}, "COM1  (/dev/ttyUSB0)"},
        {portButtonCaption(3), {3, std::nullopt, {}, true}, "COM3  (—)"},
        {portButtonCaption(2),
         {2, "/dev/ttyUSB1", "FT232R USB UART", true},
         "COM2  (/dev/ttyUSB1 — FT232R USB UART)"},
        {"Kabel", {2, "/dev/ttyACM0", {}, true}, "Kabel  (/dev/ttyACM0)"},  // translated
        {portButtonCaption(65), kStableName, "/dev/serial/by-id/usb-cable  (FT232R USB UART)"},
        {portButtonCaption(66), {66, "/dev/ttyAMA0", {}, false}, "/dev/ttyAMA0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(portEntryLabel(c.caption, c.entry), c.text);
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

    CommPortChoice choice = probeCommPorts(port, folder.settings(), {});

    EXPECT_EQ(statesOf(choice), (RowStates{kOff, kFree, kOff, kOff, kSet, kOff, kOff, kFree}));
    // Why a port does not open names the device it tried, or none when it has none.
    EXPECT_EQ(choice.rows()[6].problem->devicePath, "/dev/pl3-no-such-device");
    EXPECT_EQ(choice.rows()[0].problem->devicePath, "");
    EXPECT_EQ(choice.storedPort(), 5);
    EXPECT_FALSE(choice.searchTicked());
    EXPECT_FALSE(port.isOpen());
}

TEST_F(CommPortProbeTest, MissingKeysMeanPortOneAndSearchOn) {
    test::ProgramFolder folder = folderWith("");
    SerialPort port(folder.settings());

    CommPortChoice choice = probeCommPorts(port, folder.settings(), {});

    EXPECT_EQ(choice.storedPort(), 1);
    EXPECT_TRUE(choice.searchTicked());
    EXPECT_EQ(statesOf(choice)[0], kSetDead);
    EXPECT_EQ(statesOf(choice)[1], kFree);
}

TEST_F(CommPortProbeTest, StoringAnotherPortClosesThePortAndWritesCom) {
    test::ProgramFolder folder = folderWith("com=5\nsearchcom=1\n");
    SerialPort port(folder.settings());
    CommPortChoice choice = probeCommPorts(port, folder.settings(), {});
    ASSERT_TRUE(port.open(5, kRadioBaud));

    EXPECT_EQ(storeCommPort(choice, ticksOf({2}), port, folder.settings(), warning_, prompter_), 2);

    EXPECT_EQ(folder.settings().comPort(), 2);
    EXPECT_EQ(folder.settings().portSearchFlag(), 1);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(CommPortProbeTest, StoringANameWithoutNumberMapsItInThePortsTable) {
    test::ProgramFolder folder = folderWith("com=5\n");
    const PortEntry stable{66, pty_.slavePath(), {}, false};
    SerialPort port(folder.settings());
    CommPortChoice choice = CommPortChoice(5, 1, entriesWith({stable}), probeOf({5, 66}));

    EXPECT_EQ(storeCommPort(choice, ticksOf({9}, 9), port, folder.settings(), warning_, prompter_),
              66);

    EXPECT_EQ(folder.settings().portDevice(66), pty_.slavePath());
    EXPECT_EQ(folder.settings().comPort(), 66);
    // The number now opens the device, as the radio jobs will.
    EXPECT_TRUE(port.open(66, kRadioBaud));
}

TEST_F(CommPortProbeTest, StoringTheSamePortOrNoneWritesNothing) {
    test::ProgramFolder folder = folderWith("com=5\nsearchcom=1\n");
    const std::string before = test::readText(folder.file("setting.ini"));
    SerialPort port(folder.settings());
    CommPortChoice choice = probeCommPorts(port, folder.settings(), {});
    ASSERT_TRUE(port.open(5, kRadioBaud));

    EXPECT_EQ(storeCommPort(choice, ticksOf({5}), port, folder.settings(), warning_, prompter_),
              std::nullopt);
    EXPECT_EQ(storeCommPort(choice, ticksOf({}), port, folder.settings(), warning_, prompter_),
              std::nullopt);
    EXPECT_TRUE(prompter_.prompts().empty());

    EXPECT_EQ(test::readText(folder.file("setting.ini")), before);
    EXPECT_TRUE(port.isOpen());
}

// "Other device…" takes a character device only, and gives it the number that stands for
// it already, else the first free one (only 2, 5, 7 and 8 are listed here).
TEST_F(CommPortProbeTest, AnOtherDeviceMustBeACharacterDevice) {
    test::ProgramFolder folder = folderWith("com=5\n");
    SerialPort port(folder.settings());
    const std::string pty = pty_.slavePath();
    struct Case {
        std::string typed;
        std::string path;
        std::string_view refusal;
        std::optional<PortEntry> entry;
    };
    const Case cases[] = {
        {"  ", "", text_key::kPortOtherEmpty, std::nullopt},
        {"/dev/pl3-no-such-device", "/dev/pl3-no-such-device", text_key::kPortMissing,
         std::nullopt},
        {folder.path(), folder.path(), text_key::kPortOtherNotDevice, std::nullopt},
        {folder.file("setting.ini"), folder.file("setting.ini"), text_key::kPortOtherNotDevice,
         std::nullopt},
        {pty, pty, {}, PortEntry{2, pty, {}, true}},
        {" null ", "/dev/null", {}, PortEntry{1, "/dev/null", {}, false}},
    };
    for (const Case& c : cases) {
        const OtherDevice device = checkOtherDevice(c.typed, port);
        EXPECT_EQ(device, (OtherDevice{c.path, c.entry, c.refusal})) << c.typed;
    }
    const TextLookup english(PL3_SOURCE_DIR "/resources/english.lang");
    EXPECT_EQ(otherDeviceRefusal(checkOtherDevice("pl3-no-such-device", port), english),
              "The serial port /dev/pl3-no-such-device does not exist. Check that the "
              "programming cable is plugged in.");

    // Stored through the ports table like a listed name without number.
    CommPortChoice choice(5, 1, entriesWith(), probeOf({}));
    EXPECT_EQ(storeOtherDevice(choice, checkOtherDevice("/dev/null", port), port, folder.settings(),
                               warning_, prompter_),
              1);
    EXPECT_EQ(folder.settings().portDevice(1), "/dev/null");
    EXPECT_EQ(folder.settings().comPort(), 1);
}

TEST_F(CommPortProbeTest, UnwritableSettingsReportNothingStoredAndSaySoOnce) {
    test::TempDir dir;
    // setting.ini is a directory: it can be neither read nor replaced, not even by root.
    ASSERT_EQ(::mkdir(dir.file("setting.ini").c_str(), 0700), 0);
    SettingsFile settings(dir.file("setting.ini"));
    SerialPort port(settings);
    CommPortChoice choice(1, 1, entriesWith(), probeOf({1, 2, 3}));

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
