#include "app/list_service_config.h"

#include "platform/defaults/configuration_sources.h"
#include "platform/defaults/user_defaults.h"

namespace app {

namespace {

constexpr const char* kPrimaryPath = "/uke_alle/terrorliste.json";
constexpr const char* kBackupPath = "/iPhoneApp/ringeplagvern/updateData.php";
constexpr const char* kConfigFile = "listservice.conf";

ListServiceConfig& activeConfig() {
  static ListServiceConfig config;  // main thread only
  return config;
}

}  // namespace

ListServiceConfig ListServiceConfig::load() {
  ListServiceConfig config;
  const defaults::UserDefaults file(defaults::userConfigurationFile(kConfigFile));
  config.overrideHosts(file.stringForKey("primaryHost"), file.stringForKey("backupHost"));
  config.overrideHosts(defaults::environmentValue("RINGEPLAGVERN_LIST_HOST"),
                       defaults::environmentValue("RINGEPLAGVERN_BACKUP_HOST"));
  return config;
}

void ListServiceConfig::overrideHosts(const std::optional<std::string>& primary,
                                      const std::optional<std::string>& backup) {
  if (primary && !primary->empty()) primaryHost = *primary;
  if (backup && !backup->empty()) backupHost = *backup;
}

std::string ListServiceConfig::primaryUrl() const { return "http://" + primaryHost + kPrimaryPath; }
std::string ListServiceConfig::backupUrl() const { return "http://" + backupHost + kBackupPath; }

void setActiveListServiceConfig(const ListServiceConfig& config) { activeConfig() = config; }
const ListServiceConfig& activeListServiceConfig() { return activeConfig(); }

}  // namespace app
