#include "app/list_service_config.h"

#include <gtest/gtest.h>

#include <QStandardPaths>
#include <cstdlib>

#include "app/constants.h"
#include "platform/defaults/user_defaults.h"

namespace app {

namespace {

class ListServiceConfigTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ::unsetenv("RINGEPLAGVERN_LIST_HOST");
    ::unsetenv("RINGEPLAGVERN_BACKUP_HOST");
    setActiveListServiceConfig(ListServiceConfig{});
  }
};

TEST_F(ListServiceConfigTest, DefaultsPointAtTheLocalServiceOnTwoHostNamesWithTheFixedPaths) {
  const ListServiceConfig config = ListServiceConfig::load();
  EXPECT_EQ(config.primaryUrl(), "http://127.0.0.1:8470/uke_alle/terrorliste.json");
  EXPECT_EQ(config.backupUrl(), "http://localhost:8470/iPhoneApp/ringeplagvern/updateData.php");
  EXPECT_NE(config.primaryHost, config.backupHost);
}

TEST_F(ListServiceConfigTest, FileThenEnvironmentThenCommandLineEachOverride) {
  {
    defaults::UserDefaults file(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                                "/Ringeplagvern/listservice.conf");
    file.setString("primaryHost", "lists.example.no");
    file.setString("backupHost", "backup.example.no");
    ASSERT_TRUE(file.synchronize());
  }
  EXPECT_EQ(ListServiceConfig::load().backupHost, "backup.example.no");
  ::setenv("RINGEPLAGVERN_LIST_HOST", "127.0.0.2:9000", 1);
  ListServiceConfig config = ListServiceConfig::load();
  EXPECT_EQ(config.primaryHost, "127.0.0.2:9000");
  EXPECT_EQ(config.backupHost, "backup.example.no");
  config.overrideHosts(std::nullopt, std::string("127.0.0.3:9001"));
  EXPECT_EQ(config.primaryHost, "127.0.0.2:9000");
  setActiveListServiceConfig(config);
  EXPECT_EQ(NumberListBackupUrl(), "http://127.0.0.3:9001/iPhoneApp/ringeplagvern/updateData.php");
  EXPECT_EQ(NumberListUrl(), "http://127.0.0.2:9000/uke_alle/terrorliste.json");
}

}  // namespace

}  // namespace app
