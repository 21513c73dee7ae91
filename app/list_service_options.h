#pragma once
// The command-line options that choose the list service's hosts, shared by
// every program that fetches the list. Any thread; no state beyond the options.

#include <QCommandLineOption>

#include "app/list_service_config.h"

class QCommandLineParser;

namespace app {

class ListServiceOptions {
 public:
  ListServiceOptions();
  void addTo(QCommandLineParser& parser) const;
  // The file's and the environment's configuration with the parsed options on top.
  ListServiceConfig configFrom(const QCommandLineParser& parser) const;

 private:
  QCommandLineOption m_listHost;
  QCommandLineOption m_backupHost;
};

}  // namespace app
