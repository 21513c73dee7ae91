#pragma once
// FolderTarget: the protection contact as one vCard file in a folder that
// desktop address books read (by default KPeople's). The file is replaced
// atomically, so a reader never sees half a card. Blocking; one caller at a time.

#include <QString>

#include "publish/publish_target.h"

namespace publish {

// Writes the contact's card to `path` atomically, replacing what was there.
Failure writeCardFile(const QString& path, const ContactSnapshot& contact);

class FolderTarget final : public PublishTarget {
 public:
  // The card's file name, the same for every publication.
  static constexpr const char* kFileName = "ringeplagvern.vcf";

  // ~/.local/share/kpeoplevcard, where KPeople looks for vCard files.
  static QString kpeopleFolder();

  explicit FolderTarget(QString folder) : m_folder(std::move(folder)) {}

  QString displayName() const override;
  Failure publish(const ContactSnapshot& contact) override;
  Failure remove() override;

  QString filePath() const;

 private:
  QString m_folder;
};

}  // namespace publish
