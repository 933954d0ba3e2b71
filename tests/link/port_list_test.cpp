#include "link/port_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_device_tree.h"
#include "platform/serial_device_list.h"
#include "settings_fixture.h"

namespace pl3 {
namespace {

// An FTDI adapter with a stable name, a CDC ACM cable, two real UARTs and one empty
// UART slot, a console, a UART past the numbering, and an adapter whose node is gone.
void addMachineDevices(const test::FakeDeviceTree& tree) {
    tree.addTty({.name = "ttyUSB1",
                 .levelsBelowUsbDevice = 2,
                 .product = "FT232R USB UART",
                 .manufacturer = "FTDI"});
    tree.addTty({.name = "ttyACM0",
                 .levelsBelowUsbDevice = 1,
                 .manufacturer = "Acme",
                 .interfaceName = "Radio Cable"});
    tree.addTty({.name = "ttyS0", .type = "4"});
    tree.addTty({.name = "ttyS10", .type = "4"});
    tree.addTty({.name = "ttyS1", .type = "0"});
    tree.addTty({.name = "tty0", .hasDevice = false});
    tree.addTty({.name = "ttyAMA0"});
    tree.addTty(
        {.name = "ttyUSB3", .levelsBelowUsbDevice = 2, .product = "CP2102", .hasNode = false});
    tree.addStableName("usb-FTDI_FT232R_USB_UART_A1-if00-port0", "ttyUSB1");
}

// Each entry as the dialog labels it, with the number an unnumbered one would get.
std::vector<std::string> labelsOf(const std::vector<PortEntry>& entries) {
    std::vector<std::string> labels;
    for (const PortEntry& entry : entries) {
        labels.push_back(portEntryLabel("COM" + std::to_string(entry.portNumber), entry) +
                         (entry.mapped ? "" : " => COM" + std::to_string(entry.portNumber)));
    }
    return labels;
}

TEST(ListPorts, NumberedButtonsThenDevicesPresentThenNamesWithoutNumber) {
    test::FakeDeviceTree machine;
    addMachineDevices(machine);
    test::FakeDeviceTree empty;
    const std::string stable = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0";
    const std::vector<std::string> firstEight = {
        "COM1  (/dev/ttyUSB0)", "COM2  (/dev/ttyUSB1 — FT232R USB UART)",
        "COM3  (/dev/ttyUSB2)", "COM4  (/dev/ttyUSB3)",
        "COM5  (/dev/ttyUSB4)", "COM6  (/dev/ttyUSB5)",
        "COM7  (/dev/ttyUSB6)", "COM8  (/dev/ttyUSB7)"};
    auto after = [&firstEight](std::vector<std::string> more) {
        std::vector<std::string> all = firstEight;
        all.insert(all.end(), more.begin(), more.end());
        return all;
    };
    struct Case {
        const char* name;
        const test::FakeDeviceTree* tree;
        std::string settings;
        int storedPort;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {"default table", &machine, "", 1,
         after({"COM17  (/dev/ttyACM0 — Radio Cable)", "COM33  (/dev/ttyS0)",
                "COM43  (/dev/ttyS10)", "/dev/ttyAMA0 => COM65",
                stable + "  (FT232R USB UART) => COM66"})},
        {"stable name stored in the ports table, stored port far up", &machine,
         "[ports]\n70=" + stable + "\n9=/dev/ttyAMA0\n", 70,
         after({"COM9  (/dev/ttyAMA0)", "COM17  (/dev/ttyACM0 — Radio Cable)",
                "COM33  (/dev/ttyS0)", "COM43  (/dev/ttyS10)",
                "COM70  (" + stable + " — FT232R USB UART)"})},
        {"only listed ports: the free numbers start low",
         &machine,
         "[ports]\ndefaults=0\n1=/dev/ttyS0\n",
         1,
         {"COM1  (/dev/ttyS0)", "COM2  (—)", "COM3  (—)", "COM4  (—)", "COM5  (—)", "COM6  (—)",
          "COM7  (—)", "COM8  (—)", "/dev/ttyACM0  (Radio Cable) => COM2", "/dev/ttyAMA0 => COM3",
          "/dev/ttyS10 => COM4", "/dev/ttyUSB1  (FT232R USB UART) => COM5",
          stable + "  (FT232R USB UART) => COM6"}},
        {"nothing present: the stored port is still listed",
         &empty,
         "",
         12,
         {"COM1  (/dev/ttyUSB0)", "COM2  (/dev/ttyUSB1)", "COM3  (/dev/ttyUSB2)",
          "COM4  (/dev/ttyUSB3)", "COM5  (/dev/ttyUSB4)", "COM6  (/dev/ttyUSB5)",
          "COM7  (/dev/ttyUSB6)", "COM8  (/dev/ttyUSB7)", "COM12  (/dev/ttyUSB11)"}},
    };
    for (const Case& c : cases) {
        test::ProgramFolder folder(c.settings);
        SerialPort port(folder.settings());
        const platform::DeviceRoots roots = c.tree->roots();
        EXPECT_EQ(
            labelsOf(listPorts(port, c.storedPort, platform::listSerialDevices(roots), roots)),
            c.labels)
            << c.name;
    }
}

}  // namespace
}  // namespace pl3
