#include "addressbook/wrapper/pb_person.h"

#include <QBuffer>
#include <QByteArray>

#include "addressbook/wrapper/pb_log.h"
#include "addressbook/wrapper/pb_shared_services.h"
#include "addressbook/wrapper/pb_source.h"
#include "platform/addressbook/errors.h"
#include "platform/addressbook/vcard.h"
#include "platform/foundation/exception.h"
#include "platform/geocoding/geocoder.h"

namespace pb {

namespace {

template <class T>
fnd::Ref<T> valueOfKind(const fnd::Ref<fnd::Object>& value, fnd::ObjectKind kind) {
  return fnd::Ref<T>(value && value->kind() == kind ? static_cast<T*>(value.get()) : nullptr);
}

void logFailure(const char* selector, const std::optional<fnd::Error>& error) {
  RP_LOG(fnd::formatString("-[PBPerson %s] error:%s", selector, PBErrorDescription(error).c_str()));
}

}  // namespace

std::shared_ptr<PBPerson> PBPerson::newPersonInSource(const std::shared_ptr<PBSource>& source) {
  if (!source || !source->recordRef()) return nullptr;
  return PBRecord::make<PBPerson>(source->addressBook(), ab::Record::createPerson(source->recordRef().get()));
}

std::shared_ptr<PBPerson> PBPerson::personForABRecordRef(ab::Record* record, PBAddressBook& book) {
  return book.personForABRecordRef(record);
}

std::shared_ptr<PBPerson> PBPerson::personForABRecordID(ab::RecordID id, PBAddressBook& book) {
  return book.personForABRecordID(id);
}

PBPerson::Text PBPerson::localizedPropertyName(ab::PropertyID property) {
  const std::optional<std::string> name = ab::localizedPropertyName(property);
  return name ? fnd::String::create(*name) : nullptr;
}

PBPerson::Text PBPerson::localizedLabel(const fnd::String* label) {
  const std::optional<std::string> text = label ? ab::localizedLabel(label->utf8()) : std::nullopt;
  return text ? fnd::String::create(*text) : nullptr;
}

fnd::Ref<fnd::Data> PBPerson::vCardRepresentationForPeople(const std::vector<fnd::Ref<ab::Record>>& people) {
  return fnd::Data::create(ab::vCardRepresentationWithPeople(people));
}

PBPerson::Text PBPerson::text(ab::PropertyID property) const {
  return valueOfKind<fnd::String>(getBasicValueForPropertyID(property), fnd::ObjectKind::String);
}

fnd::Ref<fnd::Date> PBPerson::date(ab::PropertyID property) const {
  return valueOfKind<fnd::Date>(getBasicValueForPropertyID(property), fnd::ObjectKind::Date);
}

fnd::Ref<fnd::Number> PBPerson::kind() const {
  return valueOfKind<fnd::Number>(getBasicValueForPropertyID(ab::kPersonKindProperty), fnd::ObjectKind::Number);
}

void PBPerson::write(const fnd::Object* value, ab::PropertyID property, const char* selector) {
  std::optional<fnd::Error> error;
  if (!setBasicValue(const_cast<fnd::Object*>(value), property, &error)) logFailure(selector, error);
}

void PBPerson::writeList(const PBMultiValue* value, ab::PropertyID property, const char* selector) {
  std::optional<fnd::Error> error;
  if (!setMultiValue(value, property, &error)) logFailure(selector, error);
}

std::shared_ptr<PBSource> PBPerson::inSource() const {
  ab::RecordID sourceID = ab::kInvalidRecordID;
  performRecordAction([&sourceID](ab::Record& record) { sourceID = record.sourceID(); });
  return addressBook() ? addressBook()->sourceForABRecordID(sourceID) : nullptr;
}

PBAddressBook::People PBPerson::linkedPeople() const {
  // The store keeps no links between people: each person is linked to itself only.
  if (!addressBook()) return {};
  return addressBook()->peopleForABRecordRefs({recordRef()});
}

bool PBPerson::hasImage() const {
  bool has = false;
  performRecordAction([&has](ab::Record& record) { has = record.hasImageData(); });
  return has;
}

std::optional<QImage> PBPerson::imageWithFormat(ab::ImageFormat format) const {
  fnd::Ref<fnd::Data> data;
  performRecordAction([&](ab::Record& record) { data = record.copyImageData(format); });
  if (!data) return std::nullopt;
  QImage image;
  if (!image.loadFromData(reinterpret_cast<const uchar*>(data->bytes()), static_cast<int>(data->length())))
    return std::nullopt;
  return image;
}

bool PBPerson::setImage(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  // An empty image would reach the record as "no image" and delete the one it has.
  if (image.isNull() || !image.save(&buffer, "PNG") || png.isEmpty()) {
    logFailure("setImage:", ab::makeError(ab::ErrorCode::InvalidValue, "The image is empty or cannot be encoded"));
    return false;
  }
  const fnd::Ref<fnd::Data> data = fnd::Data::create(png.toStdString());
  bool stored = false;
  performRecordAction([&](ab::Record& record) {
    std::optional<fnd::Error> error;
    stored = record.setImageData(data.get(), &error);
    if (!stored) logFailure("setImage:", error);
  });
  return stored;
}

bool PBPerson::removeImage() {
  bool removed = false;
  performRecordAction([&](ab::Record& record) {
    std::optional<fnd::Error> error;
    removed = record.removeImageData(&error);
    if (!removed) logFailure("removeImage", error);
  });
  return removed;
}

bool PBPerson::isOrganization() const {
  const fnd::Ref<fnd::Number> value = kind();
  return value && value->isInteger() && value->int64Value() == ab::kPersonKindOrganization;
}

bool PBPerson::isPerson() const {
  const fnd::Ref<fnd::Number> value = kind();
  return value && value->isInteger() && value->int64Value() == ab::kPersonKindPerson;
}

fnd::Ref<fnd::Data> PBPerson::vCardRepresentation() const {
  fnd::Ref<fnd::Data> vCard;
  performRecordAction(
      [&](ab::Record& record) { vCard = vCardRepresentationForPeople({fnd::Ref<ab::Record>(&record)}); });
  return vCard;
}

fnd::Ref<geo::Placemark> PBPerson::placemarkForAddressID(ab::MultiValueIdentifier addressID) const {
  return addressBook() ? addressBook()->placemarkForPerson(*this, addressID) : nullptr;
}

fnd::Ref<geo::Location> PBPerson::locationForAddressID(ab::MultiValueIdentifier addressID) const {
  return addressBook() ? addressBook()->locationForPerson(*this, addressID) : nullptr;
}

bool PBPerson::remove() { return addressBook() && addressBook()->removePerson(*this); }

bool PBPerson::hasbeenRemoved() const {
  if (!addressBook()) return true;
  bool removed = true;
  const ab::RecordID id = recordRef()->recordID();
  addressBook()->performAddressBookAction([&](ab::AddressBook& book) {
    removed = id == ab::kInvalidRecordID || !book.recordWithID(ab::RecordType::Person, id);
  });
  return removed;
}

}  // namespace pb
