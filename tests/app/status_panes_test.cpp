#include "app/status_panes.h"

#include <gtest/gtest.h>

#include "settings_fixture.h"

namespace pl3 {
namespace {

// What was done, the port by number and device (or a device alone) and the time.
TEST(StatusPanes, TransferDoneLine) {
    test::ProgramFolder folder;
    folder.installLanguageFiles();
    const TextLookup english(folder.file("english.lang"));
    const TextLookup chinese(folder.file("chinese.lang"));
    using link::TransferDone;
    EXPECT_EQ(
        transferDoneLine({TransferDone::WrittenAndVerified, 1, "/dev/ttyUSB0", 10, 9}, english),
        "Written and verified on COM1 (/dev/ttyUSB0) at 10:09");
    EXPECT_EQ(transferDoneLine({TransferDone::Written, std::nullopt, "/tmp/radio", 8, 5}, english),
              "Written to the radio on /tmp/radio at 08:05");
    EXPECT_EQ(transferDoneLine({TransferDone::Read, 2, "/dev/ttyUSB1", 23, 59}, chinese),
              "已通过 COM2 (/dev/ttyUSB1) 读频完成，时间 23:59");
}

}  // namespace
}  // namespace pl3
