#include "link/serial_port.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "settings_fixture.h"
#include "temp_dir.h"

namespace pl3 {
namespace {

using platform::SerialOpenError;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

long long millisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The radio's end of the cable: the master side of a pseudo-terminal, raw, whose slave
// path the code under test opens.
class PseudoTerminal {
  public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0) return;
        char name[128] = {};
        termios raw{};
        if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
            ::ptsname_r(master_, name, sizeof name) != 0 || ::tcgetattr(master_, &raw) != 0) {
            closeMaster();
            return;
        }
        ::cfmakeraw(&raw);
        ::tcsetattr(master_, TCSANOW, &raw);
        slavePath_ = name;
    }
    ~PseudoTerminal() { closeMaster(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool valid() const { return master_ >= 0; }
    const std::string& slavePath() const { return slavePath_; }

    void send(const Bytes& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            ASSERT_GT(n, 0) << "errno " << errno;
            done += static_cast<std::size_t>(n);
        }
    }

    // Up to count bytes, waiting at most timeoutMs for them all.
    Bytes receive(std::size_t count, int timeoutMs = 5000) const {
        Bytes bytes;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (bytes.size() < count) {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) break;
            pollfd set{master_, POLLIN, 0};
            int ready = ::poll(&set, 1, static_cast<int>(left.count()));
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) break;
            std::uint8_t chunk[4096];
            ssize_t n = ::read(master_, chunk, std::min(sizeof chunk, count - bytes.size()));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }

    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

  private:
    int master_ = -1;
    std::string slavePath_;
};

// A port whose settings have no "ports" section.
class SerialPortTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(radio_.valid()) << "no pseudo-terminal: " << errno; }

    void openPort() {
        ASSERT_TRUE(port_.openDevice(radio_.slavePath(), kRadioBaud))
            << "open failed, errno " << port_.lastOpenFailure().errorNumber;
    }

    test::ProgramFolder folder_;
    PseudoTerminal radio_;
    SerialPort port_{folder_.settings()};
};

int openDescriptorCount() {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                          std::filesystem::directory_iterator()));
}

TEST(DevicePathForPort, PortsSectionFirstThenDefaultTable) {
    test::ProgramFolder configured(std::string(test::kThreeRanges) +
                                   "\n[ports]\n3=/dev/custom\n70=/dev/far\n");
    test::ProgramFolder plain;
    test::ProgramFolder listedOnly("[ports]\ndefaults=0\n2=/dev/listed\n");
    struct Case {
        const test::ProgramFolder* folder;
        int port;
        std::optional<std::string> path;
    } cases[] = {
        {&plain, 1, "/dev/ttyUSB0"},     {&plain, 3, "/dev/ttyUSB2"},
        {&plain, 16, "/dev/ttyUSB15"},   {&plain, 17, "/dev/ttyACM0"},
        {&plain, 32, "/dev/ttyACM15"},   {&plain, 33, "/dev/ttyS0"},
        {&plain, 64, "/dev/ttyS31"},     {&plain, 0, std::nullopt},
        {&plain, -1, std::nullopt},      {&plain, 65, std::nullopt},
        {&plain, 70, std::nullopt},      {&configured, 3, "/dev/custom"},
        {&configured, 70, "/dev/far"},   {&configured, 4, "/dev/ttyUSB3"},
        {&configured, 65, std::nullopt}, {&listedOnly, 2, "/dev/listed"},
        {&listedOnly, 1, std::nullopt},  {&listedOnly, 33, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(devicePathForPort(c.folder->settings(), c.port), c.path)
            << "port " << c.port << (c.folder == &configured ? " with [ports]" : "");
    }
}

TEST_F(SerialPortTest, OpensPortNumberThroughPortsSection) {
    test::ProgramFolder folder(std::string(test::kThreeRanges) +
                               "\n[ports]\n5=" + radio_.slavePath() + "\n");
    SerialPort port(folder.settings());
    ASSERT_TRUE(port.open(5, kRadioBaud))
        << "open failed, errno " << port.lastOpenFailure().errorNumber;
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.lastDevicePath(), radio_.slavePath());
    EXPECT_EQ(port.lastOpenFailure().error, SerialOpenError::None);
    EXPECT_EQ(port.writeByte(0x5A, 0), 1);
    EXPECT_EQ(radio_.receive(1), Bytes{0x5A});
}

TEST_F(SerialPortTest, PortNumberWithoutDeviceFailsAndClosesTheOpenPort) {
    openPort();
    for (int number : {0, -3, 65, 1000}) {
        EXPECT_FALSE(port_.open(number, kRadioBaud)) << number;
        EXPECT_EQ(port_.lastOpenFailure().error, SerialOpenError::NoSuchDevice) << number;
        EXPECT_FALSE(port_.isOpen()) << number;
    }
    // The slave is free again: the old descriptor (and its lock) went away.
    SerialPort other(folder_.settings());
    EXPECT_TRUE(other.openDevice(radio_.slavePath(), kRadioBaud));
}

TEST_F(SerialPortTest, OpenFailuresAreToldApart) {
    test::TempDir dir;
    std::string regularFile = dir.write("not-a-port", "text");
    struct Case {
        std::string path;
        int baud;
        SerialOpenError error;
        int errorNumber;  // 0: any
    } cases[] = {
        {dir.file("missing"), kRadioBaud, SerialOpenError::NoSuchDevice, ENOENT},
        {dir.file("missing/deeper"), kRadioBaud, SerialOpenError::NoSuchDevice, ENOENT},
        {regularFile, kRadioBaud, SerialOpenError::NotASerialDevice, ENOTTY},
        {"/dev/null", kRadioBaud, SerialOpenError::NotASerialDevice, ENOTTY},
        {dir.path(), kRadioBaud, SerialOpenError::NotASerialDevice, 0},
        {radio_.slavePath(), 12345, SerialOpenError::Other, EINVAL},
        {radio_.slavePath(), 0, SerialOpenError::Other, EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " at " + std::to_string(c.baud));
        EXPECT_FALSE(port_.openDevice(c.path, c.baud));
        EXPECT_FALSE(port_.isOpen());
        EXPECT_EQ(port_.lastDevicePath(), c.path);
        EXPECT_EQ(port_.lastOpenFailure().error, c.error);
        if (c.errorNumber != 0) {
            EXPECT_EQ(port_.lastOpenFailure().errorNumber, c.errorNumber);
        }
    }
    // A failure is forgotten by the next successful open.
    openPort();
    EXPECT_EQ(port_.lastOpenFailure().error, SerialOpenError::None);
}

TEST_F(SerialPortTest, SecondOpenOfTheSameDeviceIsBusy) {
    openPort();
    SerialPort second(folder_.settings());
    EXPECT_FALSE(second.openDevice(radio_.slavePath(), kRadioBaud));
    EXPECT_EQ(second.lastOpenFailure().error, SerialOpenError::Busy);
    EXPECT_FALSE(second.isOpen());
    // The first owner is undisturbed.
    EXPECT_EQ(port_.writeByte(0x11, 0), 1);
    EXPECT_EQ(radio_.receive(1), Bytes{0x11});
}

TEST_F(SerialPortTest, ReopeningClosesTheOldDescriptor) {
    PseudoTerminal otherRadio;
    ASSERT_TRUE(otherRadio.valid());
    openPort();
    const int afterFirstOpen = openDescriptorCount();
    for (int i = 0; i < 5; ++i) {
        // Re-opening the same device would be refused as busy if the old lock were kept.
        ASSERT_TRUE(port_.openDevice(radio_.slavePath(), kRadioBaud)) << i;
        ASSERT_TRUE(port_.openDevice(otherRadio.slavePath(), kRadioBaud)) << i;
    }
    ASSERT_TRUE(port_.openDevice(radio_.slavePath(), kRadioBaud));
    EXPECT_EQ(openDescriptorCount(), afterFirstOpen);
    port_.close();
    EXPECT_LT(openDescriptorCount(), afterFirstOpen);
}

TEST_F(SerialPortTest, DestructorReleasesTheDevice) {
    {
        SerialPort scoped(folder_.settings());
        ASSERT_TRUE(scoped.openDevice(radio_.slavePath(), kRadioBaud));
    }
    openPort();
}

TEST_F(SerialPortTest, LineSettingsAreRaw8N1AtTheBaudRate) {
    // Opened before the port takes exclusive use, to look at the terminal's settings.
    int observer = ::open(radio_.slavePath().c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(observer, 0);
    std::unique_ptr<int, void (*)(int*)> closer(&observer, [](int* fd) { ::close(*fd); });
    auto settings = [&] {
        termios now{};
        EXPECT_EQ(::tcgetattr(observer, &now), 0);
        return now;
    };

    openPort();
    termios line = settings();
    EXPECT_EQ(::cfgetospeed(&line), B38400);
    EXPECT_EQ(::cfgetispeed(&line), B38400);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS | HUPCL), 0u);
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL | INLCR | ISTRIP), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_cc[VMIN], 0);
    EXPECT_EQ(line.c_cc[VTIME], 0);

    struct Case {
        int baud;
        speed_t speed;  // unchanged rate for unknown bauds
    } cases[] = {{9600, B9600},     {19200, B19200}, {57600, B57600},
                 {115200, B115200}, {4711, B115200}, {38400, B38400}};
    for (const Case& c : cases) {
        port_.setBaud(c.baud);
        line = settings();
        EXPECT_EQ(::cfgetospeed(&line), c.speed) << c.baud;
        EXPECT_EQ(::cfgetispeed(&line), c.speed) << c.baud;
        EXPECT_EQ(line.c_cc[VMIN], 0) << c.baud;
        EXPECT_EQ(line.c_lflag & ICANON, 0u) << c.baud;
    }
}

TEST_F(SerialPortTest, InputSentBeforeTheOpenIsDiscarded) {
    // The observer keeps the slave open so that the early bytes are queued, not dropped.
    int observer = ::open(radio_.slavePath().c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(observer, 0);
    std::unique_ptr<int, void (*)(int*)> closer(&observer, [](int* fd) { ::close(*fd); });
    termios raw{};
    ASSERT_EQ(::tcgetattr(observer, &raw), 0);
    ::cfmakeraw(&raw);
    ASSERT_EQ(::tcsetattr(observer, TCSANOW, &raw), 0);
    radio_.send({1, 2, 3});
    pollfd queued{observer, POLLIN, 0};
    ASSERT_EQ(::poll(&queued, 1, 5000), 1);

    openPort();
    radio_.send({4});
    EXPECT_EQ(port_.readByte(5000), 4);
}

TEST_F(SerialPortTest, ReadTakesWhatArrivesBeforeTheTimeOut) {
    openPort();
    Bytes buffer(8);

    radio_.send({1, 2, 3, 4, 5});
    Clock::time_point start = Clock::now();
    EXPECT_EQ(port_.read(buffer.data(), 8, 500), 5);
    long long waited = millisecondsSince(start);
    EXPECT_GE(waited, 450);
    EXPECT_LT(waited, 5000);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 5), (Bytes{1, 2, 3, 4, 5}));

    radio_.send({8, 7, 6, 5, 4, 3, 2, 1, 0});
    start = Clock::now();
    EXPECT_EQ(port_.read(buffer.data(), 8, 10000), 8);
    EXPECT_LT(millisecondsSince(start), 5000);
    EXPECT_EQ(buffer, (Bytes{8, 7, 6, 5, 4, 3, 2, 1}));
    // The ninth byte stays for the next read.
    EXPECT_EQ(port_.readByte(5000), 0);
}

TEST_F(SerialPortTest, ReadCollectsBytesArrivingInPieces) {
    openPort();
    std::thread sender([this] {
        for (const Bytes& piece : {Bytes{1, 2, 3}, Bytes{4}, Bytes{5, 6, 7}, Bytes{8}}) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            radio_.send(piece);
        }
    });
    Bytes buffer(8);
    Clock::time_point start = Clock::now();
    int got = port_.read(buffer.data(), 8, 10000);
    long long waited = millisecondsSince(start);
    sender.join();
    EXPECT_EQ(got, 8);
    EXPECT_EQ(buffer, (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_GE(waited, 150);
    EXPECT_LT(waited, 5000);
}

TEST_F(SerialPortTest, ReadByteGivesTheByteOrMinusOne) {
    struct Case {
        const char* name;
        Bytes buffered;
        int timeoutMs;
        int expected;
    } cases[] = {
        {"empty, one attempt", {}, 0, -1},      {"empty, short wait", {}, 50, -1},
        {"0xFF, one attempt", {0xFF}, 0, 255},  {"0x00, one attempt", {0x00}, 0, 0},
        {"0x80 with wait", {0x80}, 5000, 0x80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PseudoTerminal radio;
        ASSERT_TRUE(radio.valid());
        ASSERT_TRUE(port_.openDevice(radio.slavePath(), kRadioBaud));
        radio.send(c.buffered);
        EXPECT_EQ(port_.readByte(c.timeoutMs), c.expected);
        EXPECT_EQ(port_.readByte(0), -1);
    }
}

TEST_F(SerialPortTest, WritesArriveIntact) {
    openPort();
    Bytes all(256);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(port_.write(all.data(), 256, 0, false), 256);
    EXPECT_EQ(radio_.receive(257, 500), all);

    const Bytes six = {0x50, 0x00, 0xFF, 0x0D, 0x0A, 0x11};
    Clock::time_point start = Clock::now();
    EXPECT_EQ(port_.write(six.data(), 6, 1, true), 6);
    long long took = millisecondsSince(start);
    EXPECT_GE(took, 6);
    EXPECT_LT(took, 5000);
    EXPECT_EQ(radio_.receive(7, 500), six);

    EXPECT_EQ(port_.writeByte(0xFF, 0), 1);
    EXPECT_EQ(radio_.receive(2, 500), Bytes{0xFF});
}

TEST_F(SerialPortTest, LargeWriteWaitsForRoomUntilAllIsSent) {
    openPort();
    // Several times what the terminal buffers hold, so the writer must wait for the reader.
    Bytes data(512 * 1024);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i * 7);
    }
    Bytes received;
    std::thread reader([&] { received = radio_.receive(data.size(), 60000); });
    EXPECT_EQ(port_.write(data.data(), static_cast<int>(data.size()), 0, false),
              static_cast<int>(data.size()));
    reader.join();
    EXPECT_TRUE(received == data) << received.size() << " of " << data.size() << " bytes";
}

TEST_F(SerialPortTest, PauseComesBeforeTheData) {
    openPort();
    struct Case {
        bool byteByByte;
        int count;
        int pauseMs;
    } cases[] = {{false, 3, 300}, {true, 3, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.byteByByte ? "byte by byte" : "at once");
        const Bytes data(static_cast<std::size_t>(c.count), 0x42);
        const int minimum = c.byteByByte ? c.count * c.pauseMs : c.pauseMs;
        Clock::time_point start = Clock::now();
        std::thread writer([&] { port_.write(data.data(), c.count, c.pauseMs, c.byteByByte); });
        // Nothing may be on the line before the first pause is over.
        EXPECT_TRUE(radio_.receive(1, c.pauseMs * 8 / 10).empty());
        writer.join();
        long long took = millisecondsSince(start);
        EXPECT_GE(took, minimum - minimum / 20);
        EXPECT_LT(took, minimum + 5000);
        EXPECT_EQ(radio_.receive(data.size() + 1, 500), data);
    }
}

TEST_F(SerialPortTest, ClosedPortReadsAndWritesNothingAtOnce) {
    openPort();
    radio_.send({1, 2, 3});
    port_.close();
    EXPECT_FALSE(port_.isOpen());
    Bytes buffer(3);
    const std::uint8_t byte = 7;
    Clock::time_point start = Clock::now();
    EXPECT_EQ(port_.read(buffer.data(), 3, 10000), 0);
    EXPECT_EQ(port_.readByte(10000), -1);
    EXPECT_EQ(port_.write(&byte, 1, 10000, false), 0);
    EXPECT_EQ(port_.write(&byte, 1, 10000, true), 0);
    EXPECT_LT(millisecondsSince(start), 5000);
}

TEST_F(SerialPortTest, CloseOnAClosedPortLeavesOtherDescriptorsAlone) {
    SerialPort neverOpened(folder_.settings());
    neverOpened.close();
    openPort();
    port_.close();
    // Likely to get the number the port had: a second close must not close it.
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    port_.close();
    EXPECT_NE(::fcntl(pipeEnds[0], F_GETFD), -1);
    EXPECT_NE(::fcntl(pipeEnds[1], F_GETFD), -1);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    EXPECT_FALSE(port_.isOpen());
}

// Runs `call` on a worker, closes the port from this thread once the worker is (very
// likely) waiting, and returns the call's result; the worker must leave promptly.
template <typename Call>
int resultAfterCloseFromOtherThread(SerialPort& port, Call call) {
    int result = -1;
    Clock::time_point returned;
    std::thread worker([&] {
        result = call();
        returned = Clock::now();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Clock::time_point closing = Clock::now();
    port.close();
    worker.join();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(returned - closing).count(),
              2000);
    EXPECT_FALSE(port.isOpen());
    return result;
}

TEST_F(SerialPortTest, CloseWakesAReader) {
    openPort();
    test::TempDir dir;
    port_.setLogPlace(link::LogPlace::file(dir.file("cancel.log")));
    port_.startLog();
    radio_.send({1, 2});
    Bytes buffer(10);
    int got = resultAfterCloseFromOtherThread(port_,
                                              [&] { return port_.read(buffer.data(), 10, 10000); });
    EXPECT_LE(got, 2);
    EXPECT_FALSE(port_.hungUp());
    // The log tells a cancel from a radio that stopped answering.
    port_.finishLog();
    const std::string log = test::readText(dir.file("cancel.log"));
    EXPECT_NE(log.find("-- port closed: "), std::string::npos) << log;
    EXPECT_EQ(log.find("time-out"), std::string::npos) << log;
}

TEST_F(SerialPortTest, CloseWakesAPause) {
    openPort();
    const std::uint8_t byte = 1;
    EXPECT_EQ(
        resultAfterCloseFromOtherThread(port_, [&] { return port_.write(&byte, 1, 10000, false); }),
        0);
    EXPECT_TRUE(radio_.receive(1, 100).empty());
}

TEST_F(SerialPortTest, CloseWakesAWriterWaitingForRoom) {
    openPort();
    // Far more than the terminal buffers; the radio never reads.
    const Bytes lots(4 * 1024 * 1024, 0x55);
    int written = resultAfterCloseFromOtherThread(
        port_, [&] { return port_.write(lots.data(), static_cast<int>(lots.size()), 0, false); });
    EXPECT_LT(written, static_cast<int>(lots.size()));
}

TEST_F(SerialPortTest, HangUpEndsTheReadAndIsRemembered) {
    openPort();
    Bytes buffer(8);
    int got = -1;
    Clock::time_point returned;
    std::thread reader([&] {
        got = port_.read(buffer.data(), 8, 10000);
        returned = Clock::now();
    });
    radio_.send({9});
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Clock::time_point unplugged = Clock::now();
    radio_.closeMaster();
    reader.join();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(returned - unplugged).count(),
              2000);
    EXPECT_LE(got, 1);
    EXPECT_TRUE(port_.hungUp());

    // Later calls end at once too, and the state stays until the next open.
    const std::uint8_t byte = 3;
    Clock::time_point start = Clock::now();
    EXPECT_EQ(port_.readByte(10000), -1);
    EXPECT_EQ(port_.writeByte(byte, 0), 0);
    EXPECT_LT(millisecondsSince(start), 5000);
    EXPECT_TRUE(port_.hungUp());
    port_.close();
    EXPECT_TRUE(port_.hungUp());

    PseudoTerminal replugged;
    ASSERT_TRUE(replugged.valid());
    ASSERT_TRUE(port_.openDevice(replugged.slavePath(), kRadioBaud));
    EXPECT_FALSE(port_.hungUp());
}

}  // namespace
}  // namespace pl3
