#include "app/import_count.h"

#include "app/constants.h"
#include "platform/defaults/user_defaults.h"
#include "ui/ui_device.h"

namespace app {

namespace {

// The first two phones and music players get a smaller list: writing 7000
// numbers into their address book takes too long and too much memory.
bool isOneOfTheOldestDevices(int platformType) {
  return platformType == ui::UIDevice1GiPhone || platformType == ui::UIDevice3GiPhone ||
         platformType == ui::UIDevice1GiPod || platformType == ui::UIDevice2GiPod;
}

}  // namespace

std::int64_t Device::getCapabilitiesForImport() {
  return getCapabilitiesForImport(defaults::UserDefaults::standard(),
                                  [] { return ui::UIDevice::currentDevice().platformType(); });
}

std::int64_t Device::getCapabilitiesForImport(defaults::UserDefaults& store, const std::function<int()>& platformType) {
  if (const std::int64_t stored = store.integerForKey(ImportNumberKey); stored != 0) return stored;
  if (isOneOfTheOldestDevices(platformType())) return kOldDeviceImportCount;
  store.setInteger(ImportNumberKey, kImportCount);
  store.synchronize();
  return kImportCount;
}

}  // namespace app
