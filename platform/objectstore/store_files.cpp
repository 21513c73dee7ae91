#include "platform/objectstore/store_files.h"

#include <QFile>
#include <QFileInfo>

#include "platform/files/private_files.h"

namespace objectstore {

namespace {

// The files of one store: the database last, as destroyStoreFiles explains.
constexpr const char* kStoreFileSuffixes[] = {"-wal", "-shm", "-journal", ""};
constexpr const char* kDamagedSuffix = ".damaged";

}  // namespace

bool storeFileExists(const std::string& path) { return QFileInfo(QString::fromStdString(path)).isFile(); }

bool createStoreDirectory(const std::string& path, std::optional<fnd::Error>* error) {
  QString directory = QFileInfo(QString::fromStdString(path)).absolutePath();
  if (files::createPrivateFolders(directory.toStdString())) return true;
  if (error) {
    *error = fnd::Error::withDescription("NSCocoaErrorDomain", 512,
                                         "The folder " + directory.toStdString() + " could not be created.");
  }
  return false;
}

bool destroyStoreFiles(const std::string& path) {
  bool removed = true;
  // The logs go first: a database removed before its log would, if the
  // removal were cut short, leave an old log beside the new database made
  // in its place, to be replayed into it.
  for (const char* suffix : kStoreFileSuffixes) {
    QString file = QString::fromStdString(path + suffix);
    if (QFile::exists(file)) removed = QFile::remove(file) && removed;
  }
  return removed;
}

std::string damagedStorePath(const std::string& path) { return path + kDamagedSuffix; }

bool moveStoreFilesAside(const std::string& path) {
  const std::string keptPath = damagedStorePath(path);
  destroyStoreFiles(keptPath);
  bool moved = true;
  for (const char* suffix : kStoreFileSuffixes) {
    const QString file = QString::fromStdString(path + suffix);
    if (QFile::exists(file)) moved = QFile::rename(file, QString::fromStdString(keptPath + suffix)) && moved;
  }
  return moved;
}

}  // namespace objectstore
