#pragma once
// How the wrapper writes platform failures to the system log.

#include <optional>
#include <string>

#include "platform/foundation/error.h"
#include "platform/foundation/system_log.h"

namespace pb {

// The text an error shows in a log line: domain, code and description.
std::string PBErrorDescription(const fnd::Error& error);
std::string PBErrorDescription(const std::optional<fnd::Error>& error);

}  // namespace pb
