#pragma once
// CardDavTarget: the protection contact as one resource of a CardDAV address
// book collection. Every write is conditional on the ETag of this
// installation's last write, kept in a state file so that a later start
// continues; a card someone else changed meanwhile is never overwritten.
// Blocking; one caller at a time, never the main thread.

#include <QByteArray>
#include <QString>

#include "publish/publish_target.h"

namespace publish {

struct CardDavSettings {
  QString collectionUrl;  // the address book collection, e.g. https://host/user/contacts/
  QString user;
  QString password;
  QString stateFile;  // where the ETag of the last write is kept
};

class CardDavTarget final : public PublishTarget {
 public:
  // The resource's name in the collection, the same for every publication.
  static constexpr const char* kResourceName = "ringeplagvern.vcf";

  explicit CardDavTarget(CardDavSettings settings);

  QString displayName() const override;
  Failure publish(const ContactSnapshot& contact) override;
  Failure remove() override;

  const CardDavSettings& settings() const { return m_settings; }
  QString resourceUrl() const { return m_resourceUrl; }

 private:
  struct Written {
    int status = 0;
    Failure failure;
  };
  Written put(const QByteArray& card, const QByteArray& condition, const QByteArray& tag);
  bool resourceIsGone();
  QByteArray storedETag() const;
  Failure storeETag(const QByteArray& eTag);

  CardDavSettings m_settings;
  QString m_resourceUrl;
};

}  // namespace publish
