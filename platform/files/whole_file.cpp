#include "platform/files/whole_file.h"

#include <QFile>
#include <QSaveFile>
#include <filesystem>

#include "platform/files/private_files.h"

namespace files {

namespace {

std::string failure(const std::string& path, const QString& reason) { return path + ": " + reason.toStdString(); }

}  // namespace

std::string writeFileAtomically(const std::string& path, std::string_view bytes) {
  const std::filesystem::path folder = std::filesystem::absolute(path).parent_path();
  if (!createPrivateFolders(folder.string()))
    return failure(path, QStringLiteral("cannot create the folder %1").arg(QString::fromStdString(folder.string())));
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly)) return failure(path, file.errorString());
  if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
    return failure(path, file.errorString());
  if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) return failure(path, file.errorString());
  if (!file.commit()) return failure(path, file.errorString());
  return {};
}

std::optional<std::string> readWholeFile(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return file.readAll().toStdString();
}

std::string removeFileIfPresent(const std::string& path) {
  std::error_code error;
  std::filesystem::remove(path, error);
  if (!error) return {};
  return path + ": " + error.message();
}

}  // namespace files
