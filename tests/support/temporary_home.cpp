#include "tests/support/temporary_home.h"

#include <QDir>
#include <QFileInfo>
#include <cstdlib>

namespace rp::test {

TemporaryHome::TemporaryHome() {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  for (const auto& [variable, folder] : homeLocationsUnder(m_directory.path())) {
    QDir().mkpath(folder);
    ::setenv(variable.toLatin1().constData(), folder.toLocal8Bit().constData(), 1);
  }
}

std::vector<std::pair<QString, QString>> homeLocationsUnder(const QString& root) {
  std::vector<std::pair<QString, QString>> locations;
  for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
    const QString name = QString::fromLatin1(variable);
    locations.emplace_back(name, root + '/' + name.toLower());
  }
  return locations;
}

std::string sharedDataPath() {
  const char* configured = std::getenv("RP_SHARED_DATA");
  const std::string path = configured ? configured : RP_SHARED_DATA_DEFAULT;
  return QFileInfo(QString::fromStdString(path)).isDir() ? path : std::string();
}

}  // namespace rp::test
