#include "addressbook/address_book_manager_v2.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>

#include "addressbook/wrapper/pb_multi_value.h"
#include "addressbook/wrapper/pb_person.h"
#include "addressbook/wrapper/pb_source.h"
#include "platform/dispatch/main_thread.h"
#include "store/record_store.h"
#include "tests/support/addressbook/test_book_file.h"
#include "tests/support/event_loop.h"

namespace abm {

namespace {

using numberlist::Contact;
using namespace std::chrono_literals;

// Records every report with the progress it saw, and whether it came on the
// main thread. Progress reports coalesce, so a run of them is kept as its last
// one, and the delegate notes whether the count ever went back within a run.
class RecordingDelegate : public ManageAddressBookDelegate<RecordingDelegate> {
 public:
  explicit RecordingDelegate(AddressBookManagerV2** manager = nullptr) : m_manager(manager) {}

  void cleaningUpBeforeImport() override { note("cleaning"); }
  void didUpdateProgress() override {
    const int count = static_cast<int>((*m_manager)->progress());
    std::string event =
        "progress " + std::to_string(count) + "/" + std::to_string(static_cast<int>((*m_manager)->maxProgress()));
    if (m_lastProgress > 0 && !events.empty() && events.back().rfind("progress ", 0) == 0) {
      progressOnlyRose = progressOnlyRose && count > m_lastProgress;
      events.pop_back();
    }
    m_lastProgress = count;
    note(std::move(event));
  }
  void importStartedSaving() override { note("saving"); }
  void didImportContacts() override { note("imported"); }
  void didFailImportOfContactsWithError(const fnd::Error& error) override {
    note("failed " + error.domain() + " " + std::to_string(error.code()) + " " + error.localizedDescription());
  }
  void didRemoveContacts() override { note("removed"); }
  void didFailWhenRemovingContacts() override { note("removal failed"); }
  void didImportNewContact() override { note("added"); }
  void didFailImportNewContact() override { note("add failed"); }

  std::vector<std::string> events;
  bool allOnMainThread = true;
  bool progressOnlyRose = true;

  bool waitFor(const std::string& last) {
    return rp::test::runEventLoopUntil([&] { return !events.empty() && events.back().rfind(last, 0) == 0; }, 30s);
  }

 private:
  void note(std::string event) {
    allOnMainThread = allOnMainThread && dispatch::isMainThread();
    events.push_back(std::move(event));
  }
  AddressBookManagerV2** m_manager;
  int m_lastProgress = 0;
};

// Implements only the end of an import.
class ImportOnlyDelegate : public ManageAddressBookDelegate<ImportOnlyDelegate> {
 public:
  void didImportContacts() override { ++imported; }
  int imported = 0;
};

class ManagerTest : public ::testing::Test {
 protected:
  explicit ManagerTest(ab::Configuration configuration = {}) : m_book(std::move(configuration)) {}
  void SetUp() override { store::RecordStore::setupCoreDataStackWithInMemoryStore(); }
  void TearDown() override { store::RecordStore::cleanUp(); }

  static Contact::List records(std::initializer_list<std::pair<const char*, const char*>> numbersAndFirms) {
    Contact::List list;
    for (const auto& [number, firm] : numbersAndFirms) {
      fnd::Ref<Contact> record = Contact::createEntity();
      record->setPhoneNumber(fnd::str(number).get());
      record->setFirm(fnd::str(firm).get());
      list.push_back(record);
    }
    return list;
  }

  // A person saved straight into the local source by another instance.
  static void addPerson(const char* organization, const char* note) {
    auto book = pb::PBAddressBook::create();
    auto person = book->newPersonInDefaultSource();
    person->setOrganization(fnd::str(organization).get());
    if (note) person->setNote(fnd::str(note).get());
    ASSERT_TRUE(book->save());
  }

  // Every person of the address book as stored in the file: "organisation|note|numbers|image".
  static std::vector<std::string> storedPeople() {
    auto book = pb::PBAddressBook::create();
    std::vector<std::string> people;
    for (const auto& person : book->people()) {
      std::string numbers;
      if (const auto list = person->phoneNumbers()) {
        for (std::size_t i = 0; i < list->count(); ++i) {
          numbers += std::string(static_cast<fnd::String*>(list->valueAtIndex(i).get())->utf8()) + "=" +
                     std::string(list->labelAtIndex(i)->utf8()) + ";";
        }
      }
      const auto organization = person->organization();
      const auto note = person->note();
      people.push_back((organization ? std::string(organization->utf8()) : "") + "|" +
                       (note ? std::string(note->utf8()) : "") + "|" + numbers + "|" +
                       (person->hasImage() ? "image" : "no image"));
    }
    std::sort(people.begin(), people.end());
    return people;
  }

  std::shared_ptr<AddressBookManagerV2> makeManager() {
    auto manager = AddressBookManagerV2::initWithDelegate(&m_delegate);
    m_rawManager = manager.get();
    return manager;
  }

  ab::test::TestBookFile m_book;
  AddressBookManagerV2* m_rawManager = nullptr;
  RecordingDelegate m_delegate{&m_rawManager};
};

const std::string kMarker(ProtectionContactNoteMarker);

TEST_F(ManagerTest, EmptyCollectionStillMakesTheContactWithOrganisationNoteAndImage) {
  auto manager = makeManager();
  manager->importLocalContactsInBackground({});
  ASSERT_TRUE(m_delegate.waitFor("imported"));
  EXPECT_EQ(m_delegate.events, (std::vector<std::string>{"saving", "imported"}));
  EXPECT_EQ(manager->maxProgress(), 0);
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"Ringeplagvern|" + kMarker + "||image"}));
}

TEST_F(ManagerTest, ProgressRisesToNOnTheMainThreadAndNumbersKeepOrderAndFirmLabels) {
  auto manager = makeManager();
  manager->importLocalContactsInBackground(
      records({{"22334455", "Salg AS"}, {"99887766", "Måling AS"}, {"22334455", "Salg AS"}}));
  ASSERT_TRUE(m_delegate.waitFor("imported"));
  EXPECT_EQ(m_delegate.events, (std::vector<std::string>{"progress 3/3", "saving", "imported"}));
  EXPECT_TRUE(m_delegate.progressOnlyRose);
  EXPECT_TRUE(m_delegate.allOnMainThread);
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"Ringeplagvern|" + kMarker +
                                                      "|22334455=Salg AS;99887766=Måling AS;22334455=Salg AS;|image"}));
  EXPECT_EQ(manager->countOfMembers(), 3u);
}

TEST_F(ManagerTest, EveryOldProtectionContactIsRemovedWithOneCleaningReport) {
  addPerson("Ringeplagvern", "72696E6765706C61677665726E");              // marker in upper case
  addPerson("Gammel", ("Notat: " + kMarker + " (ikke slett)").c_str());  // marker inside other text
  addPerson("Naboen", "ingen markering");
  addPerson("Uten notat", nullptr);
  auto manager = makeManager();
  EXPECT_EQ(manager->allContactsWithNote().size(), 2u);
  manager->importLocalContactsInBackground(records({{"11111111", "Ny AS"}}));
  ASSERT_TRUE(m_delegate.waitFor("imported"));
  EXPECT_EQ(std::count(m_delegate.events.begin(), m_delegate.events.end(), "cleaning"), 1);
  EXPECT_EQ(m_delegate.events.front(), "cleaning");
  EXPECT_EQ(storedPeople(),
            (std::vector<std::string>{"Naboen|ingen markering||no image",
                                      "Ringeplagvern|" + kMarker + "|11111111=Ny AS;|image", "Uten notat|||no image"}));
}

// Lets go of the manager's source when the import reports its clean-up.
class SourceDroppingDelegate : public ManageAddressBookDelegate<SourceDroppingDelegate> {
 public:
  void cleaningUpBeforeImport() override { manager->setSource(nullptr); }
  void didImportContacts() override { ++imported; }
  void didFailImportOfContactsWithError(const fnd::Error&) override { ++failed; }
  AddressBookManagerV2* manager = nullptr;
  int imported = 0;
  int failed = 0;
};

TEST_F(ManagerTest, AnImportKeepsTheSourceItStartedWithWhenTheManagersSourceChanges) {
  addPerson("Ringeplagvern", kMarker.c_str());
  SourceDroppingDelegate delegate;
  auto manager = AddressBookManagerV2::initWithDelegate(&delegate);
  delegate.manager = manager.get();
  manager->importLocalContactsInBackground(records({{"11111111", "Ny AS"}}));
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return delegate.imported + delegate.failed > 0; }, 30s));
  EXPECT_EQ(delegate.imported, 1);
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"Ringeplagvern|" + kMarker + "|11111111=Ny AS;|image"}));
}

TEST_F(ManagerTest, CountAndRemovalFindTheMarkerWhateverItsCase) {
  auto manager = makeManager();
  EXPECT_EQ(manager->countOfMembers(), 0u);
  manager->removeImportedContactInBackground();
  ASSERT_TRUE(m_delegate.waitFor("removed"));  // nothing to remove is a success

  addPerson("Ringeplagvern", "72696E6765706C61677665726E");
  {
    auto book = pb::PBAddressBook::create();
    auto person = book->people().front();
    auto numbers = pb::PBMutableMultiValue::create(ab::kMultiStringPropertyType);
    numbers->addValue(fnd::str("1").get(), fnd::str("A").get());
    numbers->addValue(fnd::str("2").get(), fnd::str("B").get());
    person->setPhoneNumbers(numbers.get());
    ASSERT_TRUE(book->save());
  }
  // An instance keeps what it read until told of outside changes; a new
  // manager opens a new instance.
  manager = makeManager();
  EXPECT_EQ(manager->countOfMembers(), 2u);
  m_delegate.events.clear();
  manager->removeImportedContactInBackground();
  ASSERT_TRUE(m_delegate.waitFor("removed"));
  EXPECT_TRUE(storedPeople().empty());
  EXPECT_EQ(manager->countOfMembers(), 0u);
}

TEST_F(ManagerTest, AddingOneNumberAppendsEvenADuplicateAndWithoutAContactFailsOnce) {
  auto adder = makeManager();
  adder->importNewLocalContactInBackground(records({{"22334455", "Salg AS"}}).front());
  ASSERT_TRUE(m_delegate.waitFor("add failed"));
  rp::test::runEventLoopFor(100ms);
  EXPECT_EQ(m_delegate.events, std::vector<std::string>{"add failed"});
  EXPECT_TRUE(storedPeople().empty());

  adder->importLocalContactsInBackground(records({{"22334455", "Salg AS"}}));
  ASSERT_TRUE(m_delegate.waitFor("imported"));
  m_delegate.events.clear();
  adder->importNewLocalContactInBackground(records({{"22334455", "Ukjent"}}).front());
  ASSERT_TRUE(m_delegate.waitFor("added"));
  EXPECT_EQ(m_delegate.events, std::vector<std::string>{"added"});  // no progress for a single add
  EXPECT_EQ(storedPeople(),
            (std::vector<std::string>{"Ringeplagvern|" + kMarker + "|22334455=Salg AS;22334455=Ukjent;|image"}));
}

TEST_F(ManagerTest, DelegateHearsOnlyTheMessagesItImplements) {
  ImportOnlyDelegate partial;
  EXPECT_TRUE(partial.respondsToMessage(IManageAddressBookDelegate::Message::DidImportContacts));
  EXPECT_FALSE(partial.respondsToMessage(IManageAddressBookDelegate::Message::DidUpdateProgress));
  EXPECT_FALSE(partial.respondsToMessage(IManageAddressBookDelegate::Message::DidFailImportOfContactsWithError));
  EXPECT_TRUE(m_delegate.respondsToMessage(IManageAddressBookDelegate::Message::DidFailImportOfContactsWithError));
  auto manager = AddressBookManagerV2::initWithDelegate(&partial);
  manager->importLocalContactsInBackground(records({{"1", "A"}, {"2", "B"}}));
  manager.reset();  // the background work keeps it alive
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return partial.imported == 1; }, 30s));
  EXPECT_EQ(storedPeople().size(), 1u);
}

class TwoLocalSourcesTest : public ManagerTest {
 protected:
  TwoLocalSourcesTest()
      : ManagerTest(ab::Configuration{.initialSources = {{"Første", ab::kSourceTypeLocal},
                                                         {"Jobb", ab::kSourceTypeExchange},
                                                         {"Siste", ab::kSourceTypeLocal}}}) {}
};

TEST_F(TwoLocalSourcesTest, TheContactGoesIntoTheLastLocalSource) {
  auto manager = makeManager();
  ASSERT_TRUE(manager->source());
  EXPECT_EQ(manager->source()->name()->utf8(), "Siste");
  manager->importLocalContactsInBackground(records({{"1", "A"}}));
  ASSERT_TRUE(m_delegate.waitFor("imported"));
  auto book = pb::PBAddressBook::create();
  for (const auto& source : book->sources()) {
    EXPECT_EQ(source->people().size(), source->name()->utf8() == "Siste" ? 1u : 0u) << source->name()->utf8();
  }
}

class ExchangeOnlyTest : public ManagerTest {
 protected:
  ExchangeOnlyTest() : ManagerTest(ab::Configuration{.initialSources = {{"Jobb", ab::kSourceTypeExchange}}}) {}
};

TEST_F(ExchangeOnlyTest, WithoutALocalSourceTheImportCountsEveryNumberAndFailsToSave) {
  auto manager = makeManager();
  EXPECT_FALSE(manager->hasLocalSource());
  manager->importLocalContactsInBackground(records({{"1", "A"}, {"2", "B"}}));
  ASSERT_TRUE(m_delegate.waitFor("failed"));
  EXPECT_EQ(m_delegate.events,
            (std::vector<std::string>{"progress 2/2", "saving",
                                      "failed AddressBookManager 100 En feil oppsto under lagring av kontakten!"}));
  EXPECT_TRUE(storedPeople().empty());
  EXPECT_FALSE(manager->removeImportedContact());
}

class AccessTest : public ::testing::Test {};

TEST_F(AccessTest, RestrictedAndDeniedAreRefusedAndAnUnaskedPersonIsAskedOnce) {
  {
    ab::test::TestBookFile restricted(ab::Configuration{.accessRestricted = true});
    EXPECT_FALSE(AddressBookManagerV2::init()->hasAccessToAddressBook());
    EXPECT_EQ(AddressBookManagerV2::init()->source(), nullptr);
  }
  {
    ab::test::TestBookFile denied(ab::Configuration{.accessGrantedWithoutPrompt = false});
    auto manager = AddressBookManagerV2::init();  // asks, and the answer is no
    rp::test::runEventLoopFor(100ms);
    EXPECT_FALSE(manager->hasAccessToAddressBook());
  }
  {
    ab::test::TestBookFile granted;
    int asked = 0;
    ab::setAccessPrompt([&asked](const std::string&) {
      ++asked;
      return true;
    });
    EXPECT_TRUE(AddressBookManagerV2::init()->hasAccessToAddressBook());
    rp::test::runEventLoopFor(100ms);
    EXPECT_TRUE(AddressBookManagerV2::init()->hasAccessToAddressBook());
    EXPECT_EQ(pb::PBAddressBook::authorizationStatus(), ab::AuthorizationStatus::Authorized);
    ab::setAccessPrompt({});
    EXPECT_EQ(asked, 1);
  }
}

TEST_F(ManagerTest, ARecordWithoutAPhoneNumberIsCountedButAddsNoNumber) {
  Contact::List list = records({{"1", "A"}});
  fnd::Ref<Contact> withoutNumber = Contact::createEntity();
  withoutNumber->setFirm(fnd::str("Uten nummer").get());
  list.push_back(withoutNumber);
  list.push_back(records({{"2", "B"}}).front());
  auto manager = makeManager();
  manager->importLocalContactsInBackground(list);
  ASSERT_TRUE(m_delegate.waitFor("imported"));
  EXPECT_EQ(m_delegate.events, (std::vector<std::string>{"progress 3/3", "saving", "imported"}));
  EXPECT_TRUE(m_delegate.progressOnlyRose);
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"Ringeplagvern|" + kMarker + "|1=A;2=B;|image"}));
  EXPECT_EQ(manager->countOfMembers(), 2u);
}

TEST_F(AccessTest, WhileTheQuestionIsOpenAccessCountsAsGrantedUntilTheRefusalArrives) {
  ab::test::TestBookFile file;
  std::promise<void> personAnswers;
  std::shared_future<void> answered = personAnswers.get_future().share();
  ab::setAccessPrompt([answered](const std::string&) {
    answered.wait();
    return false;
  });
  auto manager = AddressBookManagerV2::init();
  EXPECT_EQ(pb::PBAddressBook::authorizationStatus(), ab::AuthorizationStatus::NotDetermined)
      << "the question is still open";
  EXPECT_TRUE(manager->hasAccessToAddressBook());
  EXPECT_NE(manager->source(), nullptr);
  personAnswers.set_value();
  EXPECT_TRUE(rp::test::runEventLoopUntil(
      [] { return pb::PBAddressBook::authorizationStatus() == ab::AuthorizationStatus::Denied; }, 30s));
  EXPECT_FALSE(manager->hasAccessToAddressBook());
  ab::setAccessPrompt({});
}

TEST_F(ManagerTest, TheCountSeesANumberAddedThroughAnotherManager) {
  auto manager = makeManager();
  manager->importLocalContactsInBackground(records({{"1", "A"}, {"2", "B"}}));
  ASSERT_TRUE(m_delegate.waitFor("imported"));
  EXPECT_EQ(manager->countOfMembers(), 2u);

  RecordingDelegate adderDelegate;
  auto adder = AddressBookManagerV2::initWithDelegate(&adderDelegate);
  adder->importNewLocalContactInBackground(records({{"3", "Egen"}}).front());
  adder.reset();  // as the new-number screen does
  ASSERT_TRUE(adderDelegate.waitFor("added"));
  EXPECT_EQ(manager->countOfMembers(), 3u);
}

// Another program writes to the address book for longer than a save waits.
class SaveFailureTest : public ManagerTest {
 protected:
  SaveFailureTest() : ManagerTest(ab::Configuration{.busyTimeout = std::chrono::milliseconds(200)}) {}

  // Builds the contact from `numbers`, the save failing while another program writes.
  void rebuildWhileLocked(std::shared_ptr<AddressBookManagerV2>& manager) {
    ab::test::ForeignWriteLock lock(m_book.path());
    ASSERT_TRUE(lock.held());
    m_delegate.events.clear();
    manager->importLocalContactsInBackground(records({{"99", "Tapt AS"}}));
    ASSERT_TRUE(m_delegate.waitFor("failed"));
  }

  std::shared_ptr<AddressBookManagerV2> importedManager() {
    auto manager = makeManager();
    manager->importLocalContactsInBackground(records({{"1", "A"}, {"2", "B"}}));
    EXPECT_TRUE(m_delegate.waitFor("imported"));
    return manager;
  }

  const std::vector<std::string> m_firstContact{"Ringeplagvern|" + kMarker + "|1=A;2=B;|image"};
};

TEST_F(SaveFailureTest, AFailedRebuildLeavesTheStoredContactAndTheRemovalThenRemovesIt) {
  auto manager = importedManager();
  rebuildWhileLocked(manager);
  EXPECT_EQ(m_delegate.events.back(), "failed AddressBookManager 100 En feil oppsto under lagring av kontakten!");
  EXPECT_EQ(storedPeople(), m_firstContact);
  EXPECT_EQ(manager->countOfMembers(), 2u) << "the instance holds what the file holds again";

  manager->removeImportedContactInBackground();
  ASSERT_TRUE(m_delegate.waitFor("removed"));
  EXPECT_TRUE(storedPeople().empty());
}

TEST_F(SaveFailureTest, AFailedRebuildFollowedByARebuildLeavesExactlyOneContact) {
  auto manager = importedManager();
  rebuildWhileLocked(manager);
  m_delegate.events.clear();
  manager->importLocalContactsInBackground(records({{"3", "C"}}));
  ASSERT_TRUE(m_delegate.waitFor("imported"));
  EXPECT_EQ(m_delegate.events.front(), "cleaning");
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"Ringeplagvern|" + kMarker + "|3=C;|image"}));
}

TEST_F(SaveFailureTest, AFailedRemovalIsReportedAndKeepsTheContactForTheNextRemoval) {
  auto manager = importedManager();
  {
    ab::test::ForeignWriteLock lock(m_book.path());
    ASSERT_TRUE(lock.held());
    manager->removeImportedContactInBackground();
    ASSERT_TRUE(m_delegate.waitFor("removal failed"));
  }
  EXPECT_EQ(storedPeople(), m_firstContact);
  EXPECT_EQ(manager->countOfMembers(), 2u);
  manager->removeImportedContactInBackground();
  ASSERT_TRUE(m_delegate.waitFor("removed"));
  EXPECT_TRUE(storedPeople().empty());
}

TEST_F(SaveFailureTest, ANumberWhoseAddFailedIsNotSavedWithTheNextAdd) {
  auto manager = importedManager();
  {
    ab::test::ForeignWriteLock lock(m_book.path());
    ASSERT_TRUE(lock.held());
    manager->importNewLocalContactInBackground(records({{"7", "Tapt"}}).front());
    ASSERT_TRUE(m_delegate.waitFor("add failed"));
  }
  manager->importNewLocalContactInBackground(records({{"8", "Ny"}}).front());
  ASSERT_TRUE(m_delegate.waitFor("added"));
  EXPECT_EQ(storedPeople(), (std::vector<std::string>{"Ringeplagvern|" + kMarker + "|1=A;2=B;8=Ny;|image"}));
}

}  // namespace

}  // namespace abm
