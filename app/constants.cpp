#include "app/constants.h"

#include "app/list_service_config.h"

std::string NumberListUrl() { return activeListServiceConfig().primaryUrl(); }

std::string NumberListBackupUrl() { return activeListServiceConfig().backupUrl(); }
