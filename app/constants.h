#pragma once
// The application's process-wide constants: the keys of its four stored
// settings and the two addresses of the number list.

#include <string>
#include <string_view>

namespace app {

// Protection is switched on: the protection contact is meant to be in the address book.
inline constexpr std::string_view AutoImportEnabledKey = "AutoImportEnabledKey";
// How many top-ranked numbers are imported; -1 means all, 0 not yet decided.
inline constexpr std::string_view ImportNumberKey = "ImportNumberKey";
// Whether numbers the service has not approved are imported too.
inline constexpr std::string_view ImportApprovedKey = "ImportApprovedKey";
// When the number list was last replaced.
inline constexpr std::string_view DateUpdatedDefaultKey = "DateUpdatedDefaultKey";

// The product name, also the main screen's title.
inline constexpr std::string_view ProductName = "Ringeplagvern";

// The primary and the backup address of the number list, from the active
// list-service configuration.
std::string NumberListUrl();
std::string NumberListBackupUrl();

}  // namespace app
