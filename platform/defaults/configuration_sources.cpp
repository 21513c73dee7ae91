#include "platform/defaults/configuration_sources.h"

#include <QStandardPaths>
#include <cstdlib>

namespace defaults {

QString userConfigurationFile(const char* fileName) {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Ringeplagvern/") +
         QString::fromUtf8(fileName);
}

std::optional<std::string> environmentValue(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) return std::nullopt;
  return std::string(value);
}

}  // namespace defaults
