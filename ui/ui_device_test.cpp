#include "ui/ui_device.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/device/machine.h"
#include "platform/device/screen.h"

namespace ui {

namespace {

constexpr double kPhoneWidth = 320;
constexpr double kTabletWidth = 768;

struct ModelCase {
  const char* identifier;
  int type;
  const char* name;
};

TEST(UIDeviceModels, IdentifiersMapToNumbersAndNames) {
  const ModelCase cases[] = {
      {"iFPGA", 26, "iFPGA"},
      {"iPhone1,1", 5, "iPhone 1G"},
      {"iPhone1,2", 6, "iPhone 3G"},
      {"iPhone1,3", 22, "Unknown iPhone"},
      {"iPhone2,1", 7, "iPhone 3GS"},
      {"iPhone3,3", 8, "iPhone 4"},
      {"iPhone4,1", 9, "iPhone 4S"},
      {"iPhone5,2", 10, "iPhone 5"},
      {"iPhone6,1", 22, "Unknown iPhone"},
      {"iPod1,1", 11, "iPod touch 1G"},
      {"iPod2,1", 12, "iPod touch 2G"},
      {"iPod4,1", 14, "iPod touch 4G"},
      {"iPod7,1", 23, "Unknown iPod"},
      {"iPad3,4", 17, "iPad 3G"},
      {"iPad9,1", 24, "Unknown iPad"},
      {"AppleTV2,1", 19, "Apple TV 2G"},
      {"AppleTV5,3", 25, "Unknown Apple TV"},
      {"i386", 2, "iPhone Simulator"},
      {"x86_64", 2, "iPhone Simulator"},
      {"aarch64", 0, "Unknown iOS device"},
      {"", 0, "Unknown iOS device"},
  };
  for (const ModelCase& model : cases) {
    const int type = UIDevice::platformTypeForIdentifier(model.identifier, kPhoneWidth);
    EXPECT_EQ(type, model.type) << model.identifier;
    EXPECT_EQ(UIDevice::platformStringForType(type), model.name) << model.identifier;
  }
}

TEST(UIDeviceModels, TheSimulatorIsATabletOnAWideScreen) {
  EXPECT_EQ(UIDevice::platformTypeForIdentifier("x86_64", kTabletWidth - 1), UIDeviceiPhoneSimulatoriPhone);
  EXPECT_EQ(UIDevice::platformTypeForIdentifier("x86_64", kTabletWidth), UIDeviceiPhoneSimulatoriPad);
  EXPECT_EQ(UIDevice::platformStringForType(UIDeviceiPhoneSimulatoriPad), "iPad Simulator");
}

TEST(UIDeviceModels, NumbersOnlyNamedAndOutOfRange) {
  EXPECT_EQ(UIDevice::platformStringForType(1), "iPhone Simulator");
  EXPECT_EQ(UIDevice::platformStringForType(4), "Apple TV Simulator");
  EXPECT_EQ(UIDevice::platformStringForType(21), "Apple TV 4G");
  EXPECT_EQ(UIDevice::platformStringForType(27), "Unknown iOS device");
  EXPECT_EQ(UIDevice::platformStringForType(-1), "Unknown iOS device");
}

TEST(UIDeviceModels, Families) {
  EXPECT_EQ(UIDevice::deviceFamilyForIdentifier("iPhone3,1"), UIDeviceFamilyiPhone);
  EXPECT_EQ(UIDevice::deviceFamilyForIdentifier("iPod2,1"), UIDeviceFamilyiPod);
  EXPECT_EQ(UIDevice::deviceFamilyForIdentifier("iPad1,1"), UIDeviceFamilyiPad);
  EXPECT_EQ(UIDevice::deviceFamilyForIdentifier("AppleTV2,1"), UIDeviceFamilyAppleTV);
  EXPECT_EQ(UIDevice::deviceFamilyForIdentifier("x86_64"), UIDeviceFamilyUnknown);
}

TEST(UIDeviceModels, TheCurrentDeviceReadsTheStoodInIdentifierAndScreen) {
  device::setMachineIdentifierOverride("iPod2,1");
  EXPECT_EQ(UIDevice::currentDevice().platformType(), UIDevice2GiPod);
  EXPECT_EQ(UIDevice::currentDevice().deviceFamily(), UIDeviceFamilyiPod);
  device::setMachineIdentifierOverride("x86_64");
  device::setMainScreen(QSizeF(kTabletWidth, 1024), 2.0);
  EXPECT_EQ(UIDevice::currentDevice().platformString(), "iPad Simulator");
  EXPECT_TRUE(UIDevice::currentDevice().hasRetinaDisplay());
  device::setMainScreen(QSizeF(kPhoneWidth, 480), 1.0);
  EXPECT_EQ(UIDevice::currentDevice().platformType(), UIDeviceiPhoneSimulatoriPhone);
  EXPECT_FALSE(UIDevice::currentDevice().hasRetinaDisplay());
  device::setMachineIdentifierOverride(std::nullopt);
}

TEST(UIDeviceModels, DiskSpaceOfTheHomeDirectory) {
  const auto total = UIDevice::currentDevice().totalDiskSpace();
  const auto free = UIDevice::currentDevice().freeDiskSpace();
  ASSERT_TRUE(total && free);
  EXPECT_LE(*free, *total);
}

TEST(UIDeviceOrientationTest, AnglesMapToOrientationsWithBoundariesUpsideDown) {
  constexpr float pi = 3.14159265358979323846f;
  EXPECT_EQ(UIDevice::orientationForAngle(0), UIDeviceOrientationPortrait);
  EXPECT_EQ(UIDevice::orientationForAngle(-pi / 2), UIDeviceOrientationLandscapeLeft);
  EXPECT_EQ(UIDevice::orientationForAngle(pi / 2), UIDeviceOrientationLandscapeRight);
  EXPECT_EQ(UIDevice::orientationForAngle(pi), UIDeviceOrientationPortraitUpsideDown);
  EXPECT_EQ(UIDevice::orientationForAngle(pi / 4), UIDeviceOrientationPortraitUpsideDown);
  EXPECT_EQ(UIDevice::orientationForAngle(-3 * pi / 4), UIDeviceOrientationPortraitUpsideDown);
}

TEST(UIDeviceOrientationTest, RelativeAnglesFoldIntoTheNegativeHalfTurn) {
  constexpr float pi = 3.14159265358979323846f;
  EXPECT_NEAR(UIDevice::angleRelativeToOrientation(pi / 2, UIDeviceOrientationLandscapeRight), 0, 1e-6);
  EXPECT_NEAR(UIDevice::angleRelativeToOrientation(0, UIDeviceOrientationLandscapeLeft), pi / 2, 1e-6);
  EXPECT_NEAR(UIDevice::angleRelativeToOrientation(-pi / 2, UIDeviceOrientationPortraitUpsideDown), -3 * pi / 2, 1e-5);
  EXPECT_NEAR(UIDevice::angleRelativeToOrientation(pi - 0.1f, UIDeviceOrientationLandscapeLeft),
              3 * pi / 2 - 0.1f - 2 * pi, 1e-5);
}

TEST(UIDeviceOrientationTest, NamesAndTheUnknownAnswersOfAMachineWithoutAccelerometer) {
  EXPECT_EQ(UIDevice::orientationString(3), "Landscape Left");
  EXPECT_EQ(UIDevice::orientationString(6), "Face Down");
  EXPECT_EQ(UIDevice::orientationString(7), std::nullopt);
  EXPECT_EQ(UIDevice::currentDevice().orientationString(), "Unknown");
  EXPECT_FALSE(UIDevice::currentDevice().isLandscape());
  EXPECT_FALSE(UIDevice::currentDevice().isPortrait());
}

}  // namespace

}  // namespace ui
