// The shared services with a geocoder of the test's own: the cache, its
// progress and distance rules, and the pace and retries of preemptive geocoding.
// Every test runs in a process of its own (the services object lives for the process).
#include "addressbook/wrapper/pb_shared_services.h"

#include <gtest/gtest.h>

#include <deque>
#include <limits>

#include "addressbook/wrapper/pb_address_book.h"
#include "addressbook/wrapper/pb_person.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/object_dictionary.h"
#include "tests/support/addressbook/test_book_file.h"
#include "tests/support/event_loop.h"

namespace pb {

namespace {

// Answers requests when the test says so; every request is kept in order.
class ScriptedGeocoder final : public geo::Geocoder {
 public:
  struct Request {
    fnd::Ref<fnd::Dictionary> address;
    Completion completion;
  };
  static std::deque<Request>& requests() {
    static std::deque<Request> pending;  // main thread only
    return pending;
  }
  void geocodeAddressDictionary(fnd::Ref<fnd::Dictionary> address, Completion completion) override {
    requests().push_back({std::move(address), std::move(completion)});
  }
};

std::string cityOf(const fnd::Dictionary& address) {
  return std::string(static_cast<const fnd::String*>(address.objectForKey(ab::kAddressCityKey))->utf8());
}

class SharedServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    geo::setGeocoderFactory([] { return std::make_shared<ScriptedGeocoder>(); });
    m_book = PBAddressBook::create();
    m_services = m_book->sharedServices();
    m_services->purgeCache();
  }
  void TearDown() override {
    PBAddressBookSharedServices::setPreemptiveGeocodingEnabled(false);
    ScriptedGeocoder::requests().clear();
  }

  std::shared_ptr<PBPerson> personIn(std::initializer_list<const char*> cities) {
    auto person = m_book->newPersonInDefaultSource();
    auto addresses = PBMutableMultiValue::create(ab::kMultiDictionaryPropertyType);
    for (const char* city : cities) {
      auto address = fnd::ObjectDictionary::createMutable();
      address->setObject(fnd::str(city).get(), ab::kAddressCityKey);
      addresses->addValue(address.get(), fnd::str(ab::kHomeLabel).get());
    }
    person->setAddresses(addresses.get());
    EXPECT_TRUE(m_book->save());
    return person;
  }

  // Answers the oldest request: a place at (latitude, 10), nothing, or a failure.
  void answer(std::optional<double> latitude, std::optional<long> errorCode = std::nullopt) {
    ASSERT_TRUE(rp::test::runEventLoopUntil([] { return !ScriptedGeocoder::requests().empty(); }));
    ScriptedGeocoder::Request request = std::move(ScriptedGeocoder::requests().front());
    ScriptedGeocoder::requests().pop_front();
    std::vector<fnd::Ref<geo::Placemark>> places;
    if (latitude)
      places.push_back(
          geo::Placemark::create(geo::Location::create(*latitude, 10), fnd::str(cityOf(*request.address))));
    std::optional<fnd::Error> error;
    if (errorCode) error = fnd::Error(std::string(geo::kErrorDomain), *errorCode);
    request.completion(places, error);
  }

  std::shared_ptr<PBAddressBook> m_book;
  PBAddressBookSharedServices* m_services = nullptr;
};

TEST_F(SharedServicesTest, ProgressCountsSettledEntries) {
  EXPECT_EQ(m_services->preemptiveGeocodingProgress(), 1.0f) << "an empty cache is settled";
  auto person = personIn({"Oslo", "Bergen", "Tromsø", "Bodø"});
  m_services->rebuildCache();
  ASSERT_EQ(m_services->cache().size(), 4u);
  EXPECT_EQ(m_services->preemptiveGeocodingProgress(), 0.0f);
  const auto cache = m_services->cache();
  cache[0]->setPlacemark(geo::Placemark::create(geo::Location::create(1, 1), nullptr));
  cache[1]->setResultNotFound(true);
  cache[2]->setPlacemark(geo::Placemark::create(geo::Location::create(2, 2), nullptr));
  EXPECT_EQ(m_services->preemptiveGeocodingProgress(), 0.75f);
}

TEST_F(SharedServicesTest, DistanceRulesAreStrictAndTheFirstOfEqualsWins) {
  double distance = 0;
  EXPECT_EQ(m_services->geoResultClosestToLocation(*geo::Location::create(0, 0), &distance), nullptr);
  EXPECT_EQ(distance, std::numeric_limits<double>::max());
  auto near = personIn({"Nær", "Også nær"});
  auto far = personIn({"Fjern"});
  m_services->rebuildCache();
  const auto cache = m_services->cache();
  ASSERT_EQ(cache.size(), 3u);
  const auto here = geo::Location::create(59.9, 10.7);
  cache[0]->setPlacemark(geo::Placemark::create(geo::Location::create(60.0, 10.7), nullptr));
  cache[1]->setPlacemark(geo::Placemark::create(geo::Location::create(60.0, 10.7), nullptr));
  cache[2]->setPlacemark(geo::Placemark::create(geo::Location::create(69.6, 18.9), nullptr));
  const double exact = here->distanceFromLocation(*cache[0]->location());
  EXPECT_TRUE(m_services->geoResultsWithinDistance(exact, *here).empty()) << "exactly at the distance is not within";
  EXPECT_EQ(m_services->geoResultsWithinDistance(exact + 1, *here).size(), 2u);
  EXPECT_EQ(m_services->geoResultClosestToLocation(*here, &distance), cache[0]);
  EXPECT_DOUBLE_EQ(distance, exact);
  EXPECT_EQ(m_book->peopleWithinDistance(exact + 1, *here), (PBAddressBook::People{near, near}))
      << "a person is listed once per matching address";
  EXPECT_EQ(m_book->personClosestToLocation(*geo::Location::create(69.6, 18.9)), far);
}

TEST_F(SharedServicesTest, ChangedAddressIsReplacedByAWaitingEntryOnRebuild) {
  auto person = personIn({"Oslo"});
  m_services->rebuildCache();
  const auto before = m_services->cache().at(0);
  before->setPlacemark(geo::Placemark::create(geo::Location::create(1, 1), nullptr));
  m_services->rebuildCache();
  EXPECT_EQ(m_services->cache().at(0), before) << "a valid entry keeps its answer";

  auto addresses = person->addresses()->mutableCopy();
  auto moved = fnd::ObjectDictionary::createMutable();
  moved->setObject(fnd::str("Trondheim").get(), ab::kAddressCityKey);
  addresses->replaceValueAtIndex(0, moved.get());
  person->setAddresses(addresses.get());
  ASSERT_TRUE(m_book->save());
  EXPECT_FALSE(before->isValid());
  before->geocodeAssociatedAddressDictionary();
  EXPECT_FALSE(before->isRequestInFlight()) << "an entry whose address changed is never geocoded";
  m_services->rebuildCache();
  const auto after = m_services->cache().at(0);
  EXPECT_NE(after, before);
  EXPECT_FALSE(after->placemark());
  EXPECT_NE(after->addressHash(), before->addressHash());
  EXPECT_EQ(after->addressHash().size(), 32u);
}

TEST_F(SharedServicesTest, NetworkFailureKeepsWaitingAndNotFoundIsFinal) {
  auto person = personIn({"Oslo", "Atlantis"});
  m_services->rebuildCache();
  const ab::MultiValueIdentifier oslo = person->addresses()->identifierAtIndex(0);
  const ab::MultiValueIdentifier atlantis = person->addresses()->identifierAtIndex(1);
  std::vector<std::pair<std::int64_t, std::int64_t>> completed;
  fnd::ScopedObserver observer(
      fnd::NotificationCenter::defaultCenter(),
      fnd::NotificationCenter::defaultCenter().addObserver(
          std::string(PBAddressBookPersonAddressGeocodeCompleted), nullptr,
          [&completed](const fnd::Notification& note) {
            completed.emplace_back(
                static_cast<const fnd::Number*>(note.userInfo->objectForKey("personID"))->int64Value(),
                static_cast<const fnd::Number*>(note.userInfo->objectForKey("addressID"))->int64Value());
          }));

  EXPECT_EQ(person->placemarkForAddressID(oslo), nullptr) << "the first ask starts a request and answers nil";
  EXPECT_EQ(person->placemarkForAddressID(oslo), nullptr);
  answer(std::nullopt, geo::kErrorNetwork);
  EXPECT_TRUE(ScriptedGeocoder::requests().empty()) << "the second ask did not start a second request";
  auto entry = m_services->cacheEntryForPersonID(person->recordID(), oslo);
  EXPECT_FALSE(entry->resultNotFound());
  person->placemarkForAddressID(oslo);
  answer(59.9);
  ASSERT_TRUE(person->locationForAddressID(oslo));
  EXPECT_EQ(person->locationForAddressID(oslo)->latitude(), 59.9);

  person->placemarkForAddressID(atlantis);
  answer(std::nullopt, geo::kErrorGeocodeFoundNoResult);
  EXPECT_TRUE(m_services->cacheEntryForPersonID(person->recordID(), atlantis)->resultNotFound());
  EXPECT_EQ(person->placemarkForAddressID(atlantis), nullptr);
  rp::test::runEventLoopFor(std::chrono::milliseconds(50));
  EXPECT_TRUE(ScriptedGeocoder::requests().empty()) << "a not-found address is asked again";
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return completed.size() == 3; }));
  ASSERT_EQ(completed.size(), 3u);
  EXPECT_EQ(completed[0], (std::pair<std::int64_t, std::int64_t>{person->recordID(), oslo}));
  EXPECT_EQ(completed[2].second, atlantis);
}

TEST_F(SharedServicesTest, PreemptiveGeocodingStartsOneRequestPerTickAndRetriesTheSameAfterANetworkFailure) {
  auto person = personIn({"Oslo", "Bergen"});
  m_services->rebuildCache();
  m_services->setPreemptiveIntervalForTesting(std::chrono::milliseconds(100));
  PBAddressBookSharedServices::setPreemptiveGeocodingEnabled(true);
  EXPECT_TRUE(PBAddressBook::isPreemptiveGeocodingEnabled());
  EXPECT_TRUE(m_services->isPreemptiveTimerRunning());
  ASSERT_TRUE(rp::test::runEventLoopUntil([] { return !ScriptedGeocoder::requests().empty(); }));
  rp::test::runEventLoopFor(std::chrono::milliseconds(350));
  ASSERT_EQ(ScriptedGeocoder::requests().size(), 1u) << "a request in flight is not started again on later ticks";
  EXPECT_EQ(cityOf(*ScriptedGeocoder::requests().front().address), "Oslo");
  answer(std::nullopt, geo::kErrorNetwork);
  ASSERT_TRUE(rp::test::runEventLoopUntil([] { return !ScriptedGeocoder::requests().empty(); }));
  EXPECT_EQ(cityOf(*ScriptedGeocoder::requests().front().address), "Oslo") << "a network failure stays first in line";
  answer(59.9);
  ASSERT_TRUE(rp::test::runEventLoopUntil([] { return !ScriptedGeocoder::requests().empty(); }));
  EXPECT_EQ(cityOf(*ScriptedGeocoder::requests().front().address), "Bergen");
  answer(60.4);
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return !m_services->isPreemptiveTimerRunning(); }))
      << "the timer stops when nothing is left";
  EXPECT_EQ(m_services->preemptiveGeocodingProgress(), 1.0f);

  // The answers survive in the cache file.
  m_services->loadCache();
  ASSERT_EQ(m_services->cache().size(), 2u);
  EXPECT_EQ(m_services->cache()[1]->location()->latitude(), 60.4);
  EXPECT_EQ(m_services->cache()[1]->placemark()->name()->utf8(), "Bergen");
}

TEST_F(SharedServicesTest, OneServicesObjectAndItsRefusals) {
  EXPECT_EQ(&PBAddressBookSharedServices::sharedInstance(), m_services);
  EXPECT_EQ(PBAddressBook::create()->sharedServices(), m_services);
  try {
    PBAddressBookGeoResult refused;
    FAIL() << "a result without IDs was made";
  } catch (const fnd::Exception& exception) {
    EXPECT_EQ(exception.reason(), "Unable to create a GeoResult without a personID and addressID.");
  }
  EXPECT_EQ(PBAddressBookGeoResult::hashForString(fnd::str("").get()), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(PBAddressBookGeoResult::hashForString(nullptr), "");
  EXPECT_NE(m_services->cacheFilePath().find("PBAddressBookGeoCache.cache"), std::string::npos);
}

TEST_F(SharedServicesTest, ChangesOfOtherProgramsArePostedOnTheMainThread) {
  std::atomic<int> posted{0};
  fnd::ScopedObserver observer(
      fnd::NotificationCenter::defaultCenter(),
      fnd::NotificationCenter::defaultCenter().addObserver(std::string(PBAddressBookExternalChangeNotification),
                                                           nullptr, [&posted](const fnd::Notification&) {
                                                             EXPECT_TRUE(dispatch::isMainThread());
                                                             ++posted;
                                                           }));
  auto person = personIn({"Oslo"});  // saved by an instance, which the services' own book sees as outside
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return posted.load() > 0; }));
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return m_services->cache().size() == 1; }))
      << "the change rebuilt the cache";
}

}  // namespace

}  // namespace pb
