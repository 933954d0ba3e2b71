#include "platform/serial_device.h"

#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pl3::platform {
namespace {

// Every sentence names the device and says what to do about it.
TEST(SerialOpenFailure, DescribeNamesTheDeviceAndTheRemedy) {
    struct Case {
        SerialOpenFailure failure;
        std::vector<std::string> parts;
    } cases[] = {
        {{SerialOpenError::NoSuchDevice, ENOENT, ""}, {"/dev/ttyUSB3", "does not exist"}},
        {{SerialOpenError::Busy, EBUSY, ""}, {"/dev/ttyUSB3", "in use by another program"}},
        {{SerialOpenError::PermissionDenied, EACCES, "uucp"},
         {"/dev/ttyUSB3", "group 'uucp'", "sudo usermod -aG uucp $USER", "log in again"}},
        {{SerialOpenError::PermissionDenied, EPERM, ""},
         {"/dev/ttyUSB3", "group 'dialout'", "sudo usermod -aG dialout $USER"}},
        {{SerialOpenError::NotASerialDevice, ENOTTY, ""}, {"/dev/ttyUSB3", "not a serial port"}},
        {{SerialOpenError::Other, EINVAL, ""}, {"/dev/ttyUSB3", "Invalid argument"}},
        {{SerialOpenError::Other, EIO, ""}, {"/dev/ttyUSB3", "Input/output error"}},
    };
    for (const Case& c : cases) {
        std::string text = c.failure.describe("/dev/ttyUSB3");
        for (const std::string& part : c.parts) {
            EXPECT_NE(text.find(part), std::string::npos) << text << "\n  lacks: " << part;
        }
        EXPECT_EQ(text.find("uucp") != std::string::npos, c.failure.group == "uucp") << text;
    }
}

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

}  // namespace
}  // namespace pl3::platform
