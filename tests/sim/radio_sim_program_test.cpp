// The pl3-radio-sim program around the simulator: options, memory files, the frame log.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "codeplug/data_file.h"
#include "radio_line.h"
#include "sim/radio_simulator.h"
#include "temp_dir.h"

namespace pl3::sim {
namespace {

using test::Bytes;
using test::challengeFor;
using test::concat;
using test::connect;
using test::Line;
using test::pattern;
using test::readRequest;
using test::wakeAndIdentify;
using test::writeRequest;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const Bytes& kWake = test::kWakeUpFrame;
constexpr std::uint8_t kAck = 0x06;

// The program running in the background, its standard output on a pipe.
class SimulatorProcess {
  public:
    SimulatorProcess(const std::vector<std::string>& args, const std::string& errPath) {
        std::string program = std::string(PL3_BIN_DIR) + "/pl3-radio-sim";
        std::vector<std::string> copies(args);
        std::vector<char*> argv = {program.data()};
        for (std::string& arg : copies)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        out_ = out[0];
    }
    ~SimulatorProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
    }

    bool started() const { return pid_ > 0; }
    void signal(int number) { kill(pid_, number); }

    // The next line of standard output without its newline; nullopt at the end or when
    // the time runs out.
    std::optional<std::string> readLine(int timeoutMs = 20000) {
        Clock::time_point deadline = Clock::now() + milliseconds(timeoutMs);
        while (true) {
            if (std::size_t end = buffered_.find('\n'); end != std::string::npos) {
                std::string line = buffered_.substr(0, end);
                buffered_.erase(0, end + 1);
                return line;
            }
            if (!fill(deadline)) return std::nullopt;
        }
    }
    // Waits for the program to end (its output closing, then its exit status); -1 when
    // it does not end in time.
    int exitCode(int timeoutMs = 20000) {
        Clock::time_point deadline = Clock::now() + milliseconds(timeoutMs);
        while (fill(deadline)) {
        }
        if (Clock::now() >= deadline) return -1;
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

  private:
    // Reads what is there; false at the end of the output or the deadline.
    bool fill(Clock::time_point deadline) {
        while (true) {
            auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return false;
            pollfd wait = {out_, POLLIN, 0};
            int ready = poll(&wait, 1, static_cast<int>(left));
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) return false;
            char buffer[256];
            ssize_t n = ::read(out_, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            buffered_.append(buffer, static_cast<std::size_t>(n));
            return true;
        }
    }

    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffered_;
};

std::string hex(const Bytes& bytes) {
    std::string text;
    char digits[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += (text.empty() ? "" : " ") + std::string(digits);
    }
    return text;
}

TEST(RadioSimulatorProgramTest, SavesWhatWasWrittenAndLogsTheFrames) {
    test::TempDir dir;
    std::string link = dir.file("radio"), saved = dir.file("radio.PL-3"), log = dir.file("log");
    SimulatorProcess sim(
        {"--link", link, "--save", saved, "--log", log, "--squelch", "L", "--version", "4.5"},
        dir.file("err"));
    ASSERT_TRUE(sim.started());
    std::optional<std::string> device = sim.readLine();
    ASSERT_TRUE(device) << test::readText(dir.file("err"));
    EXPECT_EQ(device->rfind("/dev/pts/", 0), 0u) << *device;
    char target[256] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), *device);

    Line line(link);
    ASSERT_TRUE(line.isOpen());
    std::uint8_t key = 0;
    ASSERT_TRUE(wakeAndIdentify(line, key));
    line.sendSlowly(challengeFor(key));
    ASSERT_EQ(line.receive(1), Bytes{kAck});
    line.send({'r'});
    EXPECT_TRUE(line.answers({4, 5}));
    line.send({'S'});
    EXPECT_TRUE(line.answers({'L'}));
    line.send(writeRequest(0x0070, pattern(7)));
    EXPECT_TRUE(line.answers({kAck}));

    auto savedBlock = [&](std::size_t address) {
        Bytes bytes = test::readBytes(saved);
        if (bytes.size() != data_file::kFileSize) return Bytes();
        return Bytes(bytes.begin() + 48 + address, bytes.begin() + 48 + address + 16);
    };
    sim.signal(SIGUSR1);
    EXPECT_EQ(sim.readLine(), "saved " + saved);
    EXPECT_EQ(savedBlock(0x0070), pattern(7));

    line.send(writeRequest(0x0080, pattern(8)));
    EXPECT_TRUE(line.answers({kAck}));
    line.close();
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.exitCode(), 0) << test::readText(dir.file("err"));

    Bytes file = test::readBytes(saved);
    ASSERT_EQ(file.size(), data_file::kFileSize);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 44), std::string(data_file::kMagic));
    EXPECT_EQ(savedBlock(0x0070), pattern(7));
    EXPECT_EQ(savedBlock(0x0080), pattern(8));
    Image expected = factoryMemory();
    std::copy_n(pattern(7).begin(), 16, expected.begin() + 0x0070);
    std::copy_n(pattern(8).begin(), 16, expected.begin() + 0x0080);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.begin() + 48));

    struct stat status {};
    EXPECT_NE(lstat(link.c_str(), &status), 0) << "the link should be gone";
    EXPECT_EQ(test::readText(log), hex(kWake) + "\n02\n" + hex(challengeFor(key)) + "\n72\n53\n" +
                                       hex(writeRequest(0x0070, pattern(7))) + "\n" +
                                       hex(writeRequest(0x0080, pattern(8))) + "\n");
}

TEST(RadioSimulatorProgramTest, ServesAndKeepsAMemoryFile) {
    test::TempDir dir;
    Header header{};
    data_file::writeMagic(header);
    header[44] = 0x12;  // reserved bytes: saved as they were read
    header[47] = 0x34;
    Image image = factoryMemory();
    std::copy_n(pattern(30).begin(), 16, image.begin() + 0x0300);
    std::string memory = dir.file("in.PL-3"), saved = dir.file("out.PL-3");
    ASSERT_TRUE(data_file::write(memory, header, image));

    // The radio's own tuning values replace the file's.
    const std::vector<std::uint8_t> tuning = {0x00, 0x1F, 0x2e, 0x3D, 0x4C, 0x5B, 0x6A, 0x79,
                                              0x88, 0x97, 0xA6, 0xB5, 0xC4, 0xD3, 0xE2, 0xF1};
    SimulatorProcess sim(
        {"--memory", memory, "--save", saved, "--tuning", "001F2e3D4C5B6A798897A6B5C4D3E2F1"},
        dir.file("err"));
    std::optional<std::string> device = sim.readLine();
    ASSERT_TRUE(device) << test::readText(dir.file("err"));
    Line line(*device);
    ASSERT_TRUE(connect(line));
    line.send(readRequest(0x0300));
    EXPECT_TRUE(line.answers(concat(readRequest(0x0300), pattern(30))));
    line.send(readRequest(0x08E0));
    EXPECT_TRUE(line.answers(concat(readRequest(0x08E0), tuning)));
    line.close();
    sim.signal(SIGINT);
    EXPECT_EQ(sim.exitCode(), 0);
    std::copy(tuning.begin(), tuning.end(), image.begin() + 0x08E0);
    std::string expected = dir.file("expected.PL-3");
    ASSERT_TRUE(data_file::write(expected, header, image));
    EXPECT_EQ(test::readBytes(saved), test::readBytes(expected));
}

TEST(RadioSimulatorProgramTest, RefusesBadOptionsAndFiles) {
    test::TempDir dir;
    std::string foreign = dir.write("foreign.PL-3", std::string(4144, 'x'));
    std::string truncated =
        dir.write("short.PL-3", std::string(data_file::kMagic) + std::string(100, '\0'));
    struct Case {
        std::vector<std::string> args;
        int exitCode;
    } cases[] = {
        {{"--memory", foreign}, 2},
        {{"--memory", truncated}, 2},
        {{"--memory", dir.file("missing.PL-3")}, 2},
        {{"--memory", dir.path()}, 2},
        {{"--frobnicate"}, 1},
        {{"--wake-at", "0"}, 1},
        {{"--wrong-id-byte", "8"}, 1},
        {{"--short-reply-at", "256"}, 1},
        {{"--delay", "-5"}, 1},
        {{"--delay"}, 1},
        {{"--version", "1"}, 1},
        {{"--version", "1.x"}, 1},
        {{"--squelch", "HL"}, 1},
        {{"--pace=1"}, 1},
        {{"--hang-up-at", "3x"}, 1},
        {{"--tuning", "001122"}, 1},
        {{"--tuning", "00112233445566778899AABBCCDDEEGG"}, 1},
        {{"--tuning", "+0112233445566778899AABBCCDDEEFF"}, 1},
        {{"--tuning"}, 1},
        {{"--help"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        SimulatorProcess sim(c.args, dir.file("err"));
        ASSERT_TRUE(sim.started());
        EXPECT_EQ(sim.exitCode(), c.exitCode);
        std::string err = test::readText(dir.file("err"));
        EXPECT_EQ(err.empty(), c.exitCode == 0) << err;
    }
}

}  // namespace
}  // namespace pl3::sim
