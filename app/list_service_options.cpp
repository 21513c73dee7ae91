#include "app/list_service_options.h"

#include <QCommandLineParser>
#include <optional>

namespace app {

ListServiceOptions::ListServiceOptions()
    : m_listHost("list-host", "Host[:port] of the list service's primary address.", "host"),
      m_backupHost("backup-host", "Host[:port] of the list service's backup address.", "host") {}

void ListServiceOptions::addTo(QCommandLineParser& parser) const {
  parser.addOption(m_listHost);
  parser.addOption(m_backupHost);
}

ListServiceConfig ListServiceOptions::configFrom(const QCommandLineParser& parser) const {
  const auto option = [&parser](const QCommandLineOption& which) -> std::optional<std::string> {
    if (!parser.isSet(which)) return std::nullopt;
    return parser.value(which).toStdString();
  };
  ListServiceConfig config = ListServiceConfig::load();
  config.overrideHosts(option(m_listHost), option(m_backupHost));
  return config;
}

}  // namespace app
