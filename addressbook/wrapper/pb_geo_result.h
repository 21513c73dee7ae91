#pragma once
// PBAddressBookGeoResult: the geocoding answer for one postal address of one
// person, with the fingerprint of the address it was made for. Thread-safe:
// the answer may be read on any thread while a request fills it in.

#include <QJsonObject>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "platform/addressbook/properties.h"
#include "platform/foundation/containers.h"
#include "platform/geocoding/geocoder.h"

namespace pb {

inline constexpr std::string_view PBAddressBookPersonAddressGeocodeCompleted =
    "PBAddressBookPersonAddressGeocodeCompleted";

class PBAddressBookGeoResult : public std::enable_shared_from_this<PBAddressBookGeoResult> {
 public:
  // Refused: a result needs its person and address (throws fnd::Exception, invalid argument).
  PBAddressBookGeoResult();
  static std::shared_ptr<PBAddressBookGeoResult> create(ab::RecordID personID, ab::MultiValueIdentifier addressID);
  // The cache file's form of a result: the keys "placemark", "personID",
  // "addressID", "addressHash" and "resultNotFound". Null for a damaged entry.
  static std::shared_ptr<PBAddressBookGeoResult> decode(const QJsonObject& coded);
  QJsonObject encode() const;

  // The address as stored now, read through a fresh address book; null when gone.
  fnd::Ref<fnd::Dictionary> associatedAddressDictionary() const;
  // Whether the address still matches the fingerprint it was made for.
  bool isValid() const;
  // Starts one request (on the main thread) unless one is in flight or the address changed.
  void geocodeAssociatedAddressDictionary();
  bool isRequestInFlight() const { return m_inFlight; }

  fnd::Ref<geo::Placemark> placemark() const;
  void setPlacemark(fnd::Ref<geo::Placemark> placemark);
  fnd::Ref<geo::Location> location() const;
  ab::RecordID personID() const noexcept { return m_personID; }
  ab::MultiValueIdentifier addressID() const noexcept { return m_addressID; }
  const std::string& addressHash() const noexcept { return m_addressHash; }
  bool resultNotFound() const noexcept { return m_resultNotFound; }
  void setResultNotFound(bool notFound) noexcept { m_resultNotFound = notFound; }

  // The fingerprint: MD5 of the text as 32 lower-case hex digits; empty for no text.
  static std::string hashForDictionary(const fnd::Dictionary* address);
  static std::string hashForString(const fnd::String* text);

 private:
  PBAddressBookGeoResult(ab::RecordID personID, ab::MultiValueIdentifier addressID, std::string addressHash);
  void finishRequest(const std::vector<fnd::Ref<geo::Placemark>>& placemarks, const std::optional<fnd::Error>& error);

  ab::RecordID m_personID;
  ab::MultiValueIdentifier m_addressID;
  std::string m_addressHash;
  mutable std::mutex m_mutex;
  fnd::Ref<geo::Placemark> m_placemark;       // guarded by m_mutex
  std::shared_ptr<geo::Geocoder> m_geocoder;  // guarded by m_mutex; present while a request runs
  std::atomic<bool> m_resultNotFound{false};
  std::atomic<bool> m_inFlight{false};
};

}  // namespace pb
