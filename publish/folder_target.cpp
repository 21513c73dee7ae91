#include "publish/folder_target.h"

#include <QDir>
#include <QStandardPaths>

#include "platform/files/whole_file.h"
#include "publish/localized_text.h"
#include "publish/vcard_writer.h"

namespace publish {

QString FolderTarget::kpeopleFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/kpeoplevcard");
}

QString FolderTarget::displayName() const {
  return localizedText(QT_TRANSLATE_NOOP("Localizable", "vCard-mappe %1")).arg(m_folder);
}

QString FolderTarget::filePath() const { return QDir(m_folder).filePath(QString::fromLatin1(kFileName)); }

Failure writeCardFile(const QString& path, const ContactSnapshot& contact) {
  return QString::fromStdString(files::writeFileAtomically(path.toStdString(), vCardForContact(contact)));
}

Failure FolderTarget::publish(const ContactSnapshot& contact) { return writeCardFile(filePath(), contact); }

Failure FolderTarget::remove() { return QString::fromStdString(files::removeFileIfPresent(filePath().toStdString())); }

}  // namespace publish
