#pragma once
// Where the number list is fetched from. The scheme and the two paths are
// fixed; the hosts come from, in rising precedence: the built-in defaults, the
// file Ringeplagvern/listservice.conf under the user's configuration location
// (keys "primaryHost" and "backupHost"), the environment variables
// RINGEPLAGVERN_LIST_HOST and RINGEPLAGVERN_BACKUP_HOST, and the command-line
// options --list-host and --backup-host.

#include <optional>
#include <string>

namespace app {

struct ListServiceConfig {
  // A local list service answers on this port by default (tools/listservice).
  static constexpr const char* kDefaultPrimaryHost = "127.0.0.1:8470";
  // The backup must be another host; "localhost" names the same machine differently.
  static constexpr const char* kDefaultBackupHost = "localhost:8470";

  std::string primaryHost = kDefaultPrimaryHost;
  std::string backupHost = kDefaultBackupHost;

  // Reads the file and the environment; the command line is applied by the caller.
  static ListServiceConfig load();
  void overrideHosts(const std::optional<std::string>& primary, const std::optional<std::string>& backup);

  std::string primaryUrl() const;
  std::string backupUrl() const;
};

// The configuration the running application uses; set once at start.
void setActiveListServiceConfig(const ListServiceConfig& config);
const ListServiceConfig& activeListServiceConfig();

}  // namespace app
