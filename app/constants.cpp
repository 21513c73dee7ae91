#include "app/constants.h"

#include "app/list_service_config.h"

namespace app {

std::string NumberListUrl() { return activeListServiceConfig().primaryUrl(); }

std::string NumberListBackupUrl() { return activeListServiceConfig().backupUrl(); }

}  // namespace app
