#include "ui/ui_device.h"

#include <QDir>
#include <array>
#include <cmath>
#include <string_view>

#include "platform/device/machine.h"
#include "platform/device/screen.h"

namespace ui {

namespace {

// Screens at least this many points wide are tablets.
constexpr double kTabletScreenWidth = 768.0;
constexpr double kRetinaScale = 2.0;
constexpr const char* kWirelessInterface = "en0";

struct IdentifierRule {
  std::string_view identifier;
  bool wholeMatch;
  int type;
};

// Tested in order: the first match names the model.
constexpr std::array kIdentifierRules{
    IdentifierRule{"iFPGA", true, UIDeviceIFPGA},
    IdentifierRule{"iPhone1,1", true, UIDevice1GiPhone},
    IdentifierRule{"iPhone1,2", true, UIDevice3GiPhone},
    IdentifierRule{"iPhone2", false, UIDevice3GSiPhone},
    IdentifierRule{"iPhone3", false, UIDevice4iPhone},
    IdentifierRule{"iPhone4", false, UIDevice4SiPhone},
    IdentifierRule{"iPhone5", false, UIDevice5iPhone},
    IdentifierRule{"iPod1", false, UIDevice1GiPod},
    IdentifierRule{"iPod2", false, UIDevice2GiPod},
    IdentifierRule{"iPod3", false, UIDevice3GiPod},
    IdentifierRule{"iPod4", false, UIDevice4GiPod},
    IdentifierRule{"iPad1", false, UIDevice1GiPad},
    IdentifierRule{"iPad2", false, UIDevice2GiPad},
    IdentifierRule{"iPad3", false, UIDevice3GiPad},
    IdentifierRule{"iPad4", false, UIDevice4GiPad},
    IdentifierRule{"AppleTV2", false, UIDeviceAppleTV2},
    IdentifierRule{"AppleTV3", false, UIDeviceAppleTV3},
    IdentifierRule{"iPhone", false, UIDeviceUnknowniPhone},
    IdentifierRule{"iPod", false, UIDeviceUnknowniPod},
    IdentifierRule{"iPad", false, UIDeviceUnknowniPad},
    IdentifierRule{"AppleTV", false, UIDeviceUnknownAppleTV},
};

constexpr std::array<std::string_view, UIDeviceIFPGA + 1> kPlatformNames{
    "Unknown iOS device",
    "iPhone Simulator",
    "iPhone Simulator",
    "iPad Simulator",
    "Apple TV Simulator",
    "iPhone 1G",
    "iPhone 3G",
    "iPhone 3GS",
    "iPhone 4",
    "iPhone 4S",
    "iPhone 5",
    "iPod touch 1G",
    "iPod touch 2G",
    "iPod touch 3G",
    "iPod touch 4G",
    "iPad 1G",
    "iPad 2G",
    "iPad 3G",
    "iPad 4G",
    "Apple TV 2G",
    "Apple TV 3G",
    "Apple TV 4G",
    "Unknown iPhone",
    "Unknown iPod",
    "Unknown iPad",
    "Unknown Apple TV",
    "iFPGA",
};

constexpr std::array<std::string_view, UIDeviceFamilyUnknown> kFamilyPrefixes{"iPhone", "iPod", "iPad", "AppleTV"};

constexpr std::array<std::string_view, UIDeviceOrientationFaceDown + 1> kOrientationNames{
    "Unknown", "Portrait", "Portrait Upside Down", "Landscape Left", "Landscape Right", "Face Up", "Face Down",
};

constexpr float kPi = 3.14159265358979323846f;
// The remainder above which an angle is folded into the negative half turn.
constexpr double kHalfTurnFoldLimit = 3.1515926533662757;

bool isSimulator(std::string_view identifier) { return identifier.ends_with("86") || identifier == "x86_64"; }

}  // namespace

UIDevice& UIDevice::currentDevice() {
  static UIDevice device;
  return device;
}

int UIDevice::platformTypeForIdentifier(const std::string& identifier, double screenWidth) {
  for (const IdentifierRule& rule : kIdentifierRules) {
    if (rule.wholeMatch ? identifier == rule.identifier : identifier.starts_with(rule.identifier)) return rule.type;
  }
  if (isSimulator(identifier))
    return screenWidth < kTabletScreenWidth ? UIDeviceiPhoneSimulatoriPhone : UIDeviceiPhoneSimulatoriPad;
  return UIDeviceUnknown;
}

std::string UIDevice::platformStringForType(int type) {
  if (type < UIDeviceiPhoneSimulator || type > UIDeviceIFPGA) return std::string(kPlatformNames[UIDeviceUnknown]);
  return std::string(kPlatformNames[static_cast<std::size_t>(type)]);
}

int UIDevice::deviceFamilyForIdentifier(const std::string& identifier) {
  for (std::size_t family = 0; family < kFamilyPrefixes.size(); ++family) {
    if (identifier.starts_with(kFamilyPrefixes[family])) return static_cast<int>(family);
  }
  return UIDeviceFamilyUnknown;
}

std::string UIDevice::platform() const { return device::machineIdentifier(); }
std::string UIDevice::hwmodel() const { return device::hardwareModel(); }

int UIDevice::platformType() const { return platformTypeForIdentifier(platform(), device::mainScreenSize().width()); }
std::string UIDevice::platformString() const { return platformStringForType(platformType()); }
int UIDevice::deviceFamily() const { return deviceFamilyForIdentifier(platform()); }
bool UIDevice::hasRetinaDisplay() const { return device::mainScreenScale() == kRetinaScale; }

std::uint32_t UIDevice::cpuFrequency() const { return device::cpuFrequency(); }
std::uint32_t UIDevice::busFrequency() const { return device::busFrequency(); }
std::uint32_t UIDevice::cpuCount() const { return device::cpuCount(); }
std::uint32_t UIDevice::totalMemory() const { return device::totalMemory(); }
std::uint32_t UIDevice::userMemory() const { return device::userMemory(); }
std::uint32_t UIDevice::maxSocketBufferSize() const { return device::maxSocketBufferSize(); }

std::optional<std::uint64_t> UIDevice::totalDiskSpace() const {
  const auto space = device::diskSpace(QDir::homePath().toStdString());
  return space ? std::optional(space->total) : std::nullopt;
}

std::optional<std::uint64_t> UIDevice::freeDiskSpace() const {
  const auto space = device::diskSpace(QDir::homePath().toStdString());
  return space ? std::optional(space->free) : std::nullopt;
}

std::optional<std::string> UIDevice::macaddress() const { return device::hardwareAddress(kWirelessInterface); }

float UIDevice::orientationAngleRelativeToOrientation(int orientation) const {
  return angleRelativeToOrientation(orientationAngle(), orientation);
}

bool UIDevice::isLandscape() const {
  return orientation() == UIDeviceOrientationLandscapeLeft || orientation() == UIDeviceOrientationLandscapeRight;
}

bool UIDevice::isPortrait() const {
  return orientation() == UIDeviceOrientationPortrait || orientation() == UIDeviceOrientationPortraitUpsideDown;
}

UIDeviceOrientation UIDevice::orientationForAngle(float angle) {
  if (angle > -kPi / 4 && angle < kPi / 4) return UIDeviceOrientationPortrait;
  if (angle > -3 * kPi / 4 && angle < -kPi / 4) return UIDeviceOrientationLandscapeLeft;
  if (angle > kPi / 4 && angle < 3 * kPi / 4) return UIDeviceOrientationLandscapeRight;
  return UIDeviceOrientationPortraitUpsideDown;
}

float UIDevice::angleRelativeToOrientation(float angle, int orientation) {
  double reference = 0;
  if (orientation == UIDeviceOrientationPortraitUpsideDown) reference = kPi;
  if (orientation == UIDeviceOrientationLandscapeLeft) reference = -kPi / 2;
  if (orientation == UIDeviceOrientationLandscapeRight) reference = kPi / 2;
  double relative = std::fmod(angle - reference, 2 * static_cast<double>(kPi));
  if (relative > kHalfTurnFoldLimit) relative -= 2 * static_cast<double>(kPi);
  return static_cast<float>(relative);
}

std::optional<std::string> UIDevice::orientationString(int orientation) {
  if (orientation < 0 || orientation > UIDeviceOrientationFaceDown) return std::nullopt;
  return std::string(kOrientationNames[static_cast<std::size_t>(orientation)]);
}

}  // namespace ui
