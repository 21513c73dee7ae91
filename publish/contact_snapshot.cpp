#include "publish/contact_snapshot.h"

#include <QBuffer>

#include "addressbook/address_book_manager_v2.h"
#include "addressbook/wrapper/pb_person.h"

namespace publish {

namespace {

QString text(const fnd::Object* value) {
  return value && value->kind() == fnd::ObjectKind::String ? static_cast<const fnd::String*>(value)->toQString()
                                                           : QString();
}

QByteArray pngOf(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return png;
}

}  // namespace

ContactSnapshot snapshotOfPerson(const pb::PBPerson& person) {
  ContactSnapshot snapshot;
  snapshot.name = text(person.organization().get());
  if (snapshot.name.isEmpty())
    snapshot.name =
        QString::fromUtf8(abm::ProtectionContactName.data(), static_cast<qsizetype>(abm::ProtectionContactName.size()));
  if (const pb::PBPerson::List numbers = person.phoneNumbers()) {
    snapshot.numbers.reserve(numbers->count());
    for (std::size_t i = 0; i < numbers->count(); ++i)
      snapshot.numbers.push_back({text(numbers->valueAtIndex(i).get()), text(numbers->labelAtIndex(i).get())});
  }
  if (const std::optional<QImage> image = person.originalImage(); image && !image->isNull())
    snapshot.iconPng = pngOf(*image);
  return snapshot;
}

std::optional<ContactSnapshot> protectionContactSnapshot(abm::AddressBookManagerV2& manager) {
  const std::shared_ptr<pb::PBPerson> contact = manager.findContact();
  if (!contact) return std::nullopt;
  return snapshotOfPerson(*contact);
}

}  // namespace publish
