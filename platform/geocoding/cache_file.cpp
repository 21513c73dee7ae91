#include "platform/geocoding/cache_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace geo {

namespace {

// Used when the program has not named itself.
constexpr const char* kFallbackApplicationFolder = "Ringeplagvern";

}  // namespace

std::string cacheFilePath(std::string_view fileName) {
  QString application = QCoreApplication::organizationDomain();
  const QString name = QCoreApplication::applicationName();
  application =
      name.isEmpty() ? QString(kFallbackApplicationFolder) : (application.isEmpty() ? name : application + '.' + name);
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  return QDir(folder)
      .filePath(application + '/' + QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size())))
      .toStdString();
}

std::optional<std::string> readCacheFile(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return file.readAll().toStdString();
}

bool writeCacheFile(const std::string& path, std::string_view bytes) {
  const QString filePath = QString::fromStdString(path);
  QDir().mkpath(QFileInfo(filePath).absolutePath());
  QSaveFile file(filePath);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

bool removeCacheFile(const std::string& path) { return QFile::remove(QString::fromStdString(path)); }

}  // namespace geo
