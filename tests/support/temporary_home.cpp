#include "tests/support/temporary_home.h"

#include <QDir>
#include <QFileInfo>
#include <cstdlib>

namespace rp::test {

TemporaryHome::TemporaryHome() {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const QString root = m_directory.path();
  for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
    const QString folder = root + '/' + QString::fromLatin1(variable).toLower();
    QDir().mkpath(folder);
    ::setenv(variable, folder.toLocal8Bit().constData(), 1);
  }
}

std::string sharedDataPath() {
  const char* configured = std::getenv("RP_SHARED_DATA");
  const std::string path = configured ? configured : RP_SHARED_DATA_DEFAULT;
  return QFileInfo(QString::fromStdString(path)).isDir() ? path : std::string();
}

}  // namespace rp::test
