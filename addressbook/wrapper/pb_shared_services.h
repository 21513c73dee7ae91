#pragma once
// PBAddressBookSharedServices: the one process-wide companion of every
// PBAddressBook. It tells the process of changes made outside it and keeps the
// geocoding cache of every person's postal addresses. Thread-safe; created on
// first use and never destroyed.

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "addressbook/wrapper/pb_geo_result.h"
#include "platform/addressbook/address_book.h"
#include "platform/dispatch/block_thread.h"

namespace pb {

class PBAddressBookSharedServices {
 public:
  using Results = std::vector<std::shared_ptr<PBAddressBookGeoResult>>;
  static constexpr std::string_view kPreemptiveGeocodingEnabledKey =
      "PBAddressBookSharedServicesPreemptiveGeocodingEnabled";
  static constexpr std::string_view kCacheFileName = "PBAddressBookGeoCache.cache";

  static PBAddressBookSharedServices& sharedInstance();
  PBAddressBookSharedServices(const PBAddressBookSharedServices&) = delete;
  PBAddressBookSharedServices& operator=(const PBAddressBookSharedServices&) = delete;

  static bool isGeocodingSupported();
  static bool isPreemptiveGeocodingEnabled();
  static void setPreemptiveGeocodingEnabled(bool enabled);

  void loadCache();
  void writeCache();
  void purgeCache();
  void rebuildCache();
  std::shared_ptr<PBAddressBookGeoResult> cacheEntryForPersonID(ab::RecordID personID,
                                                                ab::MultiValueIdentifier addressID) const;
  const std::string& cacheFilePath() const noexcept { return m_cacheFilePath; }
  Results cache() const;

  void processAddressesMissingLocationInfo();
  void processTimerFire();
  bool isPreemptiveTimerRunning() const { return m_timer.load() != 0; }
  // The pace of preemptive geocoding (5 seconds); tests shorten it.
  void setPreemptiveIntervalForTesting(std::chrono::milliseconds interval) { m_interval = interval; }

  fnd::Ref<geo::Placemark> placemarkForPersonID(ab::RecordID personID, ab::MultiValueIdentifier addressID);
  fnd::Ref<geo::Location> locationForPersonID(ab::RecordID personID, ab::MultiValueIdentifier addressID);
  // Entries nearer than `distance` metres, in cache order.
  Results geoResultsWithinDistance(double distance, const geo::Location& location) const;
  // The nearest entry, or null with the largest finite double as distance.
  std::shared_ptr<PBAddressBookGeoResult> geoResultClosestToLocation(const geo::Location& location,
                                                                     double* distanceOut = nullptr) const;
  float preemptiveGeocodingProgress() const;

  void registerForAddressBookChanges();
  void deregisterForAddressBookChanges();
  dispatch::BlockThread& addressBookThread() const noexcept { return *m_thread; }

 private:
  PBAddressBookSharedServices();
  ~PBAddressBookSharedServices() = default;
  void onServicesThread(const dispatch::Block& block);
  void replaceCache(Results results);
  void addressBookChanged();

  // Fixed at creation: the thread may outlive the application object it is derived from.
  std::string m_cacheFilePath;
  std::unique_ptr<dispatch::BlockThread> m_thread;
  fnd::Ref<ab::AddressBook> m_addressBook;           // used on m_thread only
  ab::AddressBook::CallbackId m_changeCallback = 0;  // m_thread only
  mutable std::mutex m_cacheMutex;
  std::shared_ptr<const Results> m_cache;  // guarded by m_cacheMutex; replaced whole, never edited
  std::atomic<dispatch::BlockThread::TimerId> m_timer{0};
  std::chrono::milliseconds m_interval{std::chrono::seconds(5)};
};

}  // namespace pb
