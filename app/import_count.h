#pragma once
// Device: how many of the top-ranked numbers go into the protection contact.
// Stateless; main thread only, like the stored settings it reads and writes.

#include <cstdint>
#include <functional>

namespace defaults {
class UserDefaults;
}

namespace app {

class Device {
 public:
  // Counts for a device that has no stored choice.
  static constexpr std::int64_t kOldDeviceImportCount = 1000;
  static constexpr std::int64_t kImportCount = 7000;

  // The stored choice (N top-ranked records, or -1 for all); without one, the
  // device's count, stored for good unless the device is one of the four oldest.
  static std::int64_t getCapabilitiesForImport();
  static std::int64_t getCapabilitiesForImport(defaults::UserDefaults& store, const std::function<int()>& platformType);

  Device() = delete;
};

}  // namespace app
