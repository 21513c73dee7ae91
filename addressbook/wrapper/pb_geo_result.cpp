#include "addressbook/wrapper/pb_geo_result.h"

#include <QCryptographicHash>
#include <QJsonValue>
#include <algorithm>

#include "addressbook/wrapper/pb_shared_services.h"
#include "platform/addressbook/address_book.h"
#include "platform/addressbook/multi_value.h"
#include "platform/dispatch/main_thread.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_dictionary.h"

namespace pb {

namespace {

// A stable text of an address: its keys in order, one "key=value" line each.
std::string renderAddress(const fnd::Dictionary& address) {
  std::vector<std::pair<std::string, std::string>> lines;
  for (fnd::Object* key : address) lines.emplace_back(key->description(), address.objectForKey(key)->description());
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const auto& [key, value] : lines) text += key + '=' + value + '\n';
  return text;
}

}  // namespace

PBAddressBookGeoResult::PBAddressBookGeoResult()
    : m_personID(ab::kInvalidRecordID), m_addressID(ab::kInvalidMultiValueIdentifier) {
  throw fnd::Exception(fnd::Exception::Kind::InvalidArgument,
                       "Unable to create a GeoResult without a personID and addressID.");
}

PBAddressBookGeoResult::PBAddressBookGeoResult(ab::RecordID personID, ab::MultiValueIdentifier addressID,
                                               std::string addressHash)
    : m_personID(personID), m_addressID(addressID), m_addressHash(std::move(addressHash)) {}

std::shared_ptr<PBAddressBookGeoResult> PBAddressBookGeoResult::create(ab::RecordID personID,
                                                                       ab::MultiValueIdentifier addressID) {
  std::shared_ptr<PBAddressBookGeoResult> result(new PBAddressBookGeoResult(personID, addressID, {}));
  result->m_addressHash = hashForDictionary(result->associatedAddressDictionary().get());
  return result;
}

std::shared_ptr<PBAddressBookGeoResult> PBAddressBookGeoResult::decode(const QJsonObject& coded) {
  const QJsonValue personID = coded.value("personID");
  const QJsonValue addressID = coded.value("addressID");
  const QJsonValue hash = coded.value("addressHash");
  if (!personID.isDouble() || !addressID.isDouble() || !hash.isString()) return nullptr;
  std::shared_ptr<PBAddressBookGeoResult> result(
      new PBAddressBookGeoResult(personID.toInt(ab::kInvalidRecordID),
                                 addressID.toInt(ab::kInvalidMultiValueIdentifier), hash.toString().toStdString()));
  result->m_resultNotFound = coded.value("resultNotFound").toBool(false);
  const QJsonObject placemark = coded.value("placemark").toObject();
  if (placemark.value("latitude").isDouble() && placemark.value("longitude").isDouble()) {
    const QJsonValue name = placemark.value("name");
    result->m_placemark = geo::Placemark::create(
        geo::Location::create(placemark.value("latitude").toDouble(), placemark.value("longitude").toDouble()),
        name.isString() ? fnd::String::fromQString(name.toString()) : nullptr);
  }
  return result;
}

QJsonObject PBAddressBookGeoResult::encode() const {
  QJsonObject coded{{"personID", m_personID},
                    {"addressID", m_addressID},
                    {"addressHash", QString::fromStdString(m_addressHash)},
                    {"resultNotFound", m_resultNotFound.load()}};
  if (const fnd::Ref<geo::Placemark> mark = placemark()) {
    QJsonObject place{{"latitude", mark->location()->latitude()}, {"longitude", mark->location()->longitude()}};
    if (mark->name()) place.insert("name", mark->name()->toQString());
    coded.insert("placemark", place);
  }
  return coded;
}

fnd::Ref<fnd::Dictionary> PBAddressBookGeoResult::associatedAddressDictionary() const {
  // A fresh book sees the stored state, whatever any instance holds unsaved.
  const fnd::Ref<ab::AddressBook> book = ab::AddressBook::create(nullptr);
  if (!book) return nullptr;
  ab::Record* person = book->recordWithID(ab::RecordType::Person, m_personID);
  if (!person) return nullptr;
  const fnd::Ref<fnd::Object> value = person->copyValue(ab::kPersonAddressProperty);
  const auto* addresses = dynamic_cast<const ab::MultiValue*>(value.get());
  if (!addresses || addresses->count() == 0) return nullptr;
  const std::size_t index = addresses->indexForIdentifier(m_addressID);
  if (index == ab::MultiValue::kNotFound) return nullptr;
  fnd::Object* address = addresses->valueAtIndex(index);
  if (address->kind() != fnd::ObjectKind::Dictionary) return nullptr;
  return fnd::ObjectDictionary::createWithDictionary(static_cast<const fnd::Dictionary&>(*address), false);
}

bool PBAddressBookGeoResult::isValid() const {
  const fnd::Ref<fnd::Dictionary> address = associatedAddressDictionary();
  return address && hashForDictionary(address.get()) == m_addressHash;
}

void PBAddressBookGeoResult::geocodeAssociatedAddressDictionary() {
  if (!PBAddressBookSharedServices::isGeocodingSupported() || m_inFlight || !isValid()) return;
  // Marked before the hop, so that two calls in a row cannot both start a request.
  if (m_inFlight.exchange(true)) return;
  const fnd::Ref<fnd::Dictionary> address = associatedAddressDictionary();
  dispatch::performOnMainThread(
      [self = shared_from_this(), address] {
        std::shared_ptr<geo::Geocoder> geocoder = geo::createGeocoder();
        if (!geocoder || !address) {
          self->m_inFlight = false;
          return;
        }
        {
          std::lock_guard lock(self->m_mutex);
          self->m_geocoder = geocoder;
        }
        geocoder->geocodeAddressDictionary(
            address, [self](std::vector<fnd::Ref<geo::Placemark>> placemarks, std::optional<fnd::Error> error) {
              self->finishRequest(placemarks, error);
            });
      },
      false);
}

void PBAddressBookGeoResult::finishRequest(const std::vector<fnd::Ref<geo::Placemark>>& placemarks,
                                           const std::optional<fnd::Error>& error) {
  if (!placemarks.empty()) {
    setPlacemark(placemarks.front());
    m_resultNotFound = false;
  } else if (!error || error->code() != geo::kErrorNetwork) {
    // No network: left waiting for a later try. Anything else: this address has no place.
    m_resultNotFound = true;
  }
  {
    std::lock_guard lock(m_mutex);
    m_geocoder.reset();
  }
  m_inFlight = false;
  auto info = fnd::ObjectDictionary::createMutable();
  info->setObject(fnd::Number::create(static_cast<std::int64_t>(m_personID)).get(), "personID");
  info->setObject(fnd::Number::create(static_cast<std::int64_t>(m_addressID)).get(), "addressID");
  fnd::NotificationCenter::defaultCenter().postOnMainThread(std::string(PBAddressBookPersonAddressGeocodeCompleted),
                                                            nullptr, info);
}

fnd::Ref<geo::Placemark> PBAddressBookGeoResult::placemark() const {
  std::lock_guard lock(m_mutex);
  return m_placemark;
}

void PBAddressBookGeoResult::setPlacemark(fnd::Ref<geo::Placemark> placemark) {
  std::lock_guard lock(m_mutex);
  m_placemark = std::move(placemark);
}

fnd::Ref<geo::Location> PBAddressBookGeoResult::location() const {
  const fnd::Ref<geo::Placemark> mark = placemark();
  return mark ? mark->location() : nullptr;
}

std::string PBAddressBookGeoResult::hashForDictionary(const fnd::Dictionary* address) {
  if (!address) return {};
  const fnd::Ref<fnd::String> text = fnd::String::create(renderAddress(*address));
  return hashForString(text.get());
}

std::string PBAddressBookGeoResult::hashForString(const fnd::String* text) {
  if (!text) return {};
  const QByteArray digest = QCryptographicHash::hash(
      QByteArrayView(text->utf8().data(), static_cast<qsizetype>(text->byteLength())), QCryptographicHash::Md5);
  return digest.toHex().toStdString();
}

}  // namespace pb
