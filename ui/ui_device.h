#pragma once
// UIDevice: the phone's model, hardware figures and orientation, derived from
// the machine identifier. Stateless apart from the shared instance; main thread.

#include <cstdint>
#include <optional>
#include <string>

namespace ui {

// Model numbers that platformType() answers (1, 4 and 21 only name models).
enum UIDevicePlatform : int {
  UIDeviceUnknown = 0,
  UIDeviceiPhoneSimulator = 1,
  UIDeviceiPhoneSimulatoriPhone = 2,
  UIDeviceiPhoneSimulatoriPad = 3,
  UIDeviceAppleTVSimulator = 4,
  UIDevice1GiPhone = 5,
  UIDevice3GiPhone = 6,
  UIDevice3GSiPhone = 7,
  UIDevice4iPhone = 8,
  UIDevice4SiPhone = 9,
  UIDevice5iPhone = 10,
  UIDevice1GiPod = 11,
  UIDevice2GiPod = 12,
  UIDevice3GiPod = 13,
  UIDevice4GiPod = 14,
  UIDevice1GiPad = 15,
  UIDevice2GiPad = 16,
  UIDevice3GiPad = 17,
  UIDevice4GiPad = 18,
  UIDeviceAppleTV2 = 19,
  UIDeviceAppleTV3 = 20,
  UIDeviceAppleTV4 = 21,
  UIDeviceUnknowniPhone = 22,
  UIDeviceUnknowniPod = 23,
  UIDeviceUnknowniPad = 24,
  UIDeviceUnknownAppleTV = 25,
  UIDeviceIFPGA = 26,
};
enum UIDeviceFamily : int {
  UIDeviceFamilyiPhone,
  UIDeviceFamilyiPod,
  UIDeviceFamilyiPad,
  UIDeviceFamilyAppleTV,
  UIDeviceFamilyUnknown
};
enum UIDeviceOrientation : int {
  UIDeviceOrientationUnknown,
  UIDeviceOrientationPortrait,
  UIDeviceOrientationPortraitUpsideDown,
  UIDeviceOrientationLandscapeLeft,
  UIDeviceOrientationLandscapeRight,
  UIDeviceOrientationFaceUp,
  UIDeviceOrientationFaceDown,
};

class UIDevice {
 public:
  static UIDevice& currentDevice();

  // The model tables, usable for any identifier and screen width.
  static int platformTypeForIdentifier(const std::string& identifier, double screenWidth);
  static std::string platformStringForType(int type);
  static int deviceFamilyForIdentifier(const std::string& identifier);

  std::string platform() const;  // the machine identifier
  std::string hwmodel() const;
  int platformType() const;
  std::string platformString() const;
  int deviceFamily() const;
  bool hasRetinaDisplay() const;

  std::uint32_t cpuFrequency() const;
  std::uint32_t busFrequency() const;
  std::uint32_t cpuCount() const;
  std::uint32_t totalMemory() const;
  std::uint32_t userMemory() const;
  std::uint32_t maxSocketBufferSize() const;
  std::optional<std::uint64_t> totalDiskSpace() const;  // of the home directory's file system
  std::optional<std::uint64_t> freeDiskSpace() const;
  std::optional<std::string> macaddress() const;  // of "en0"

  // Orientation. This machine has no accelerometer: the device's orientation
  // is unknown and its tilt angle 0.
  UIDeviceOrientation orientation() const { return UIDeviceOrientationUnknown; }
  float orientationAngle() const { return 0; }
  UIDeviceOrientation acceleratorBasedOrientation() const { return UIDeviceOrientationUnknown; }
  float orientationAngleRelativeToOrientation(int orientation) const;
  bool isLandscape() const;
  bool isPortrait() const;
  std::optional<std::string> orientationString() const { return orientationString(orientation()); }

  static UIDeviceOrientation orientationForAngle(float angle);
  static float angleRelativeToOrientation(float angle, int orientation);
  static std::optional<std::string> orientationString(int orientation);

 private:
  UIDevice() = default;
};

}  // namespace ui
