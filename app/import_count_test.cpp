#include "app/import_count.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/constants.h"
#include "platform/defaults/user_defaults.h"
#include "platform/device/machine.h"
#include "ui/ui_device.h"

namespace app {

namespace {

class ImportCount : public testing::Test {
 protected:
  // The platform type as a device would answer, counting the questions.
  std::function<int()> deviceOfType(int type) {
    return [this, type] {
      ++m_questions;
      return type;
    };
  }
  // A fresh store read back from its file, as the next start would see it.
  defaults::UserDefaults reopened() { return defaults::UserDefaults(m_store.filePath().c_str()); }

  QTemporaryDir m_directory;
  defaults::UserDefaults m_store{m_directory.filePath("defaults.conf")};
  int m_questions = 0;
};

TEST_F(ImportCount, ACurrentDeviceStoresSevenThousandOnce) {
  EXPECT_EQ(Device::getCapabilitiesForImport(m_store, deviceOfType(ui::UIDevice4iPhone)), 7000);
  EXPECT_EQ(m_store.integerForKey(ImportNumberKey), 7000);
  EXPECT_EQ(reopened().integerForKey(ImportNumberKey), 7000) << "written to disk at once";
  EXPECT_EQ(Device::getCapabilitiesForImport(m_store, deviceOfType(ui::UIDevice1GiPhone)), 7000);
  EXPECT_EQ(m_questions, 1) << "a stored count is returned without asking the device";
}

TEST_F(ImportCount, TheFourOldestDevicesGetAThousandAndStoreNothing) {
  for (int type : {ui::UIDevice1GiPhone, ui::UIDevice3GiPhone, ui::UIDevice1GiPod, ui::UIDevice2GiPod}) {
    EXPECT_EQ(Device::getCapabilitiesForImport(m_store, deviceOfType(type)), 1000) << type;
    EXPECT_EQ(Device::getCapabilitiesForImport(m_store, deviceOfType(type)), 1000) << type;
    EXPECT_FALSE(m_store.hasValueForKey(ImportNumberKey));
  }
}

TEST_F(ImportCount, AChoiceFromTheSettingsWinsOnEveryDevice) {
  for (std::int64_t choice : {300, -1}) {
    m_store.setInteger(ImportNumberKey, choice);
    EXPECT_EQ(Device::getCapabilitiesForImport(m_store, deviceOfType(ui::UIDevice3GiPhone)), choice);
    EXPECT_EQ(Device::getCapabilitiesForImport(m_store, deviceOfType(ui::UIDevice4iPhone)), choice);
  }
}

TEST_F(ImportCount, AnUnknownDeviceCountsAsCurrent) {
  EXPECT_EQ(Device::getCapabilitiesForImport(m_store, deviceOfType(ui::UIDeviceUnknown)), 7000);
}

TEST(ImportCountOfThisMachine, ReadsTheStoodInModelAndTheStandardStore) {
  auto& store = defaults::UserDefaults::standard();
  store.removeObjectForKey(ImportNumberKey);
  device::setMachineIdentifierOverride("iPod2,1");
  EXPECT_EQ(Device::getCapabilitiesForImport(), 1000);
  EXPECT_EQ(store.integerForKey(ImportNumberKey), 0);
  device::setMachineIdentifierOverride("iPhone3,1");
  EXPECT_EQ(Device::getCapabilitiesForImport(), 7000);
  EXPECT_EQ(store.integerForKey(ImportNumberKey), 7000);
  device::setMachineIdentifierOverride(std::nullopt);
  store.removeObjectForKey(ImportNumberKey);
}

}  // namespace

}  // namespace app
