#include "platform/device/machine.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <QNetworkInterface>
#include <cstdlib>

namespace {

TEST(Machine, IdentifierComesFromUnameUnlessStoodIn) {
  unsetenv("RP_MACHINE_IDENTIFIER");
  utsname name{};
  ASSERT_EQ(uname(&name), 0);
  EXPECT_EQ(device::machineIdentifier(), name.machine);

  device::setMachineIdentifierOverride("iPhone1,2");
  EXPECT_EQ(device::machineIdentifier(), "iPhone1,2");
  setenv("RP_MACHINE_IDENTIFIER", "iPod2,1", 1);
  EXPECT_EQ(device::machineIdentifier(), "iPod2,1") << "the user's environment wins over the program's choice";
  unsetenv("RP_MACHINE_IDENTIFIER");
  device::setMachineIdentifierOverride(std::nullopt);
  EXPECT_EQ(device::machineIdentifier(), name.machine);
}

TEST(Machine, HardwareFiguresDescribeARealMachine) {
  EXPECT_GE(device::cpuCount(), 1u);
  EXPECT_GT(device::totalMemory(), 0u);
  EXPECT_GT(device::userMemory(), 0u);
  EXPECT_EQ(device::busFrequency(), 0u);
}

TEST(Machine, DiskSpaceOfAnExistingAndAMissingPath) {
  const auto root = device::diskSpace("/");
  ASSERT_TRUE(root.has_value());
  EXPECT_GT(root->total, 0u);
  EXPECT_LE(root->free, root->total);
  EXPECT_FALSE(device::diskSpace("/no/such/directory/here").has_value());
}

TEST(Machine, HardwareAddressIsUpperCaseHexPairs) {
  EXPECT_EQ(device::hardwareAddress("lo"), "00:00:00:00:00:00");
  for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
    const QString expected = interface.hardwareAddress();
    if (expected.size() != static_cast<qsizetype>(sizeof "00:00:00:00:00:00" - 1)) continue;
    EXPECT_EQ(device::hardwareAddress(interface.name().toStdString()), expected.toUpper().toStdString());
  }
}

TEST(Machine, OnlyTheKernelsAddressTextIsFormatted) {
  EXPECT_EQ(device::formatHardwareAddress("02:fc:0a:00:be:01"), "02:FC:0A:00:BE:01");
  for (const char* text : {"", "02:fc:0a:00:be", "02:fc:0a:00:be:01:", "02-fc-0a-00-be-01", "-1:fc:0a:00:be:01",
                           " 2:fc:0a:00:be:01", "0x:fc:0a:00:be:01", "g2:fc:0a:00:be:01"}) {
    EXPECT_EQ(device::formatHardwareAddress(text), std::nullopt) << text;
  }
}

TEST(Machine, UnknownOrUnsafeInterfaceNamesGiveNoAddress) {
  testing::internal::CaptureStdout();
  EXPECT_FALSE(device::hardwareAddress("en0-not-here").has_value());
  EXPECT_FALSE(device::hardwareAddress("../../../etc").has_value());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error: if_nametoindex error\nError: if_nametoindex error\n");
}

}  // namespace
