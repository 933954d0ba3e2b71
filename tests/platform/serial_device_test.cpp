#include "platform/serial_device.h"

#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pl3::platform
