#pragma once
// Where a setting that people choose outside the application comes from: a
// file of the application's own under the user's configuration location, or
// an environment variable. Thread-safe.

#include <QString>
#include <optional>
#include <string>

namespace defaults {

// The path of Ringeplagvern/<fileName> under the user's configuration location.
QString userConfigurationFile(const char* fileName);

// The variable's value; nothing when it is unset or empty.
std::optional<std::string> environmentValue(const char* name);

}  // namespace defaults
