#include "addressbook/wrapper/pb_shared_services.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <limits>

#include "addressbook/wrapper/pb_address_book.h"

#include "platform/addressbook/multi_value.h"
#include "platform/defaults/user_defaults.h"
#include "platform/dispatch/main_thread.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/notification_center.h"
#include "platform/geocoding/cache_file.h"

namespace pb {

PBAddressBookSharedServices& PBAddressBookSharedServices::sharedInstance() {
  static auto* const services = new PBAddressBookSharedServices;  // lives for the rest of the process
  return *services;
}

PBAddressBookSharedServices::PBAddressBookSharedServices()
    : m_cacheFilePath(geo::cacheFilePath(kCacheFileName)), m_cache(std::make_shared<const Results>()) {
  // The change notification is handed to the main thread from the services
  // thread; setting the hand-over up here, on the creating (normally the main)
  // thread, keeps its first use from racing with the main loop.
  dispatch::asyncMain([] {});
  m_thread = std::make_unique<dispatch::BlockThread>(
      fnd::formatString("PBAddressBookSharedServicesThread for %p", static_cast<const void*>(this)));
  m_thread->sync([this] { m_addressBook = ab::AddressBook::create(nullptr); });
  if (isGeocodingSupported()) {
    loadCache();
    rebuildCache();
  }
  registerForAddressBookChanges();
}

bool PBAddressBookSharedServices::isGeocodingSupported() { return geo::isGeocodingAvailable(); }

bool PBAddressBookSharedServices::isPreemptiveGeocodingEnabled() {
  return isGeocodingSupported() && defaults::UserDefaults::standard().boolForKey(kPreemptiveGeocodingEnabledKey);
}

void PBAddressBookSharedServices::setPreemptiveGeocodingEnabled(bool enabled) {
  if (!isGeocodingSupported()) return;
  defaults::UserDefaults::standard().setBool(kPreemptiveGeocodingEnabledKey, enabled);
  defaults::UserDefaults::standard().synchronize();
  sharedInstance().processAddressesMissingLocationInfo();
}

void PBAddressBookSharedServices::onServicesThread(const dispatch::Block& block) { m_thread->sync(block); }

PBAddressBookSharedServices::Results PBAddressBookSharedServices::cache() const {
  std::lock_guard lock(m_cacheMutex);
  return *m_cache;
}

void PBAddressBookSharedServices::replaceCache(Results results) {
  auto replacement = std::make_shared<const Results>(std::move(results));
  std::lock_guard lock(m_cacheMutex);
  m_cache = std::move(replacement);
}

void PBAddressBookSharedServices::loadCache() {
  Results results;
  if (const std::optional<std::string> bytes = geo::readCacheFile(cacheFilePath())) {
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(*bytes));
    for (const QJsonValue entry : document.array())
      if (auto result = PBAddressBookGeoResult::decode(entry.toObject())) results.push_back(std::move(result));
  }
  replaceCache(std::move(results));
}

void PBAddressBookSharedServices::writeCache() {
  QJsonArray entries;
  for (const auto& result : cache()) entries.append(result->encode());
  geo::writeCacheFile(cacheFilePath(), QJsonDocument(entries).toJson(QJsonDocument::Compact).toStdString());
}

void PBAddressBookSharedServices::purgeCache() {
  geo::removeCacheFile(cacheFilePath());
  loadCache();
}

void PBAddressBookSharedServices::rebuildCache() {
  onServicesThread([this] {
    if (!m_addressBook) return;
    m_addressBook->revert();
    Results rebuilt;
    for (const fnd::Ref<ab::Record>& person : m_addressBook->allPeople()) {
      const fnd::Ref<fnd::Object> value = person->copyValue(ab::kPersonAddressProperty);
      const auto* addresses = dynamic_cast<const ab::MultiValue*>(value.get());
      if (!addresses) continue;
      for (std::size_t i = 0; i < addresses->count(); ++i) {
        const ab::MultiValueIdentifier addressID = addresses->identifierAtIndex(i);
        std::shared_ptr<PBAddressBookGeoResult> entry = cacheEntryForPersonID(person->recordID(), addressID);
        if (!entry || !entry->isValid()) entry = PBAddressBookGeoResult::create(person->recordID(), addressID);
        rebuilt.push_back(std::move(entry));
      }
    }
    replaceCache(std::move(rebuilt));
    processAddressesMissingLocationInfo();
    writeCache();
  });
}

std::shared_ptr<PBAddressBookGeoResult> PBAddressBookSharedServices::cacheEntryForPersonID(
    ab::RecordID personID, ab::MultiValueIdentifier addressID) const {
  for (const auto& result : cache())
    if (result->personID() == personID && result->addressID() == addressID) return result;
  return nullptr;
}

void PBAddressBookSharedServices::processAddressesMissingLocationInfo() {
  if (!isGeocodingSupported() || !isPreemptiveGeocodingEnabled() || m_timer.load() != 0) return;
  // The timer always runs on the services thread, whoever switched geocoding on.
  onServicesThread([this] {
    if (m_timer.load() != 0) return;
    m_timer = m_thread->scheduleTimer(m_interval, true, [this] { processTimerFire(); });
  });
}

void PBAddressBookSharedServices::processTimerFire() {
  writeCache();
  if (isPreemptiveGeocodingEnabled()) {
    for (const auto& result : cache()) {
      if (result->location() || result->resultNotFound()) continue;
      // The first waiting entry only: one request per tick. A changed address is
      // not geocoded and holds the line until the next rebuild replaces it.
      result->geocodeAssociatedAddressDictionary();
      return;
    }
    writeCache();
  }
  m_thread->invalidateTimer(m_timer.exchange(0));
}

fnd::Ref<geo::Placemark> PBAddressBookSharedServices::placemarkForPersonID(ab::RecordID personID,
                                                                           ab::MultiValueIdentifier addressID) {
  const std::shared_ptr<PBAddressBookGeoResult> entry = cacheEntryForPersonID(personID, addressID);
  if (!entry) return nullptr;
  if (!entry->placemark() && !entry->resultNotFound() && isGeocodingSupported() && !isPreemptiveTimerRunning())
    entry->geocodeAssociatedAddressDictionary();
  return entry->placemark();
}

fnd::Ref<geo::Location> PBAddressBookSharedServices::locationForPersonID(ab::RecordID personID,
                                                                         ab::MultiValueIdentifier addressID) {
  const fnd::Ref<geo::Placemark> placemark = placemarkForPersonID(personID, addressID);
  return placemark ? placemark->location() : nullptr;
}

PBAddressBookSharedServices::Results PBAddressBookSharedServices::geoResultsWithinDistance(
    double distance, const geo::Location& location) const {
  Results within;
  for (const auto& result : cache()) {
    const fnd::Ref<geo::Location> place = result->location();
    if (place && place->distanceFromLocation(location) < distance) within.push_back(result);
  }
  return within;
}

std::shared_ptr<PBAddressBookGeoResult> PBAddressBookSharedServices::geoResultClosestToLocation(
    const geo::Location& location, double* distanceOut) const {
  std::shared_ptr<PBAddressBookGeoResult> closest;
  double closestDistance = std::numeric_limits<double>::max();
  for (const auto& result : cache()) {
    const fnd::Ref<geo::Location> place = result->location();
    if (!place) continue;
    const double distance = place->distanceFromLocation(location);
    if (distance < closestDistance) {
      closest = result;
      closestDistance = distance;
    }
  }
  if (distanceOut) *distanceOut = closestDistance;
  return closest;
}

float PBAddressBookSharedServices::preemptiveGeocodingProgress() const {
  if (!isGeocodingSupported()) return 0.0f;
  const Results results = cache();
  if (results.empty()) return 1.0f;
  const auto waiting = std::count_if(results.begin(), results.end(), [](const auto& result) {
    return !result->location() && !result->resultNotFound();
  });
  return 1.0f - static_cast<float>(waiting) / static_cast<float>(results.size());
}

void PBAddressBookSharedServices::addressBookChanged() {
  if (isGeocodingSupported()) rebuildCache();
  dispatch::asyncMain(
      [] { fnd::NotificationCenter::defaultCenter().post(std::string(PBAddressBookExternalChangeNotification)); });
}

void PBAddressBookSharedServices::registerForAddressBookChanges() {
  onServicesThread([this] {
    if (m_addressBook && m_changeCallback == 0)
      m_changeCallback = m_addressBook->registerExternalChangeCallback([this] { addressBookChanged(); });
  });
}

void PBAddressBookSharedServices::deregisterForAddressBookChanges() {
  onServicesThread([this] {
    if (m_addressBook && m_changeCallback != 0) m_addressBook->unregisterExternalChangeCallback(m_changeCallback);
    m_changeCallback = 0;
  });
}

}  // namespace pb
