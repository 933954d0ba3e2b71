#include "platform/serial_device.h"

#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace pl3::platform {
namespace {

TEST(SerialDevice, ClosedDeviceDoesNothing) {
    SerialDevice device;
    std::uint8_t byte = 0;
    EXPECT_FALSE(device.isOpen());
    EXPECT_FALSE(device.hungUp());
    EXPECT_EQ(device.read(&byte, 1, 0), 0);
    EXPECT_EQ(device.write(&byte, 1), 0);
    EXPECT_FALSE(device.pause(0));
    device.setBaud(9600);
    device.close();
    EXPECT_FALSE(device.isOpen());
}

// What a user may give as the port, on Linux as on Windows ("COM0" is a name Windows
// refuses and, on Linux, a file that is not there).
TEST(SerialDevice, OpenFailuresSayWhatTheNameIs) {
    pl3::test::TempDir dir;
    const std::string file = dir.write("radio.PL-3", "not a port");
    struct Case {
        std::string path;
        SerialOpenError error;
    };
    const std::vector<Case> cases = {
        {"COM0", SerialOpenError::NoSuchDevice},
        {"COM256", SerialOpenError::NoSuchDevice},
        {dir.file("missing"), SerialOpenError::NoSuchDevice},
        {file, SerialOpenError::NotASerialDevice},
        {dir.path(), SerialOpenError::NotASerialDevice},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        SerialDevice device;
        SerialOpenFailure failure;
        EXPECT_FALSE(device.open(c.path, 38400, &failure));
        EXPECT_EQ(failure.error, c.error);
        EXPECT_NE(failure.errorNumber, 0);
        EXPECT_EQ(device.path(), c.path);
        EXPECT_FALSE(device.isOpen());
    }
}

}  // namespace
}  // namespace pl3::platform
