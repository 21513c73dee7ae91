// covers: addressbook/address_book_manager_v2.cpp, app/import_selection.cpp, list_cycle.cpp
// The whole engine without a screen: the sample list served on loopback is
// downloaded, decoded and stored, a selection of it becomes the protection
// contact, a second import with every number replaces it, and switching off
// removes it; the address book and the record store are read back from their
// files after each step.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "addressbook/address_book_manager_v2.h"
#include "addressbook/wrapper/pb_multi_value.h"
#include "addressbook/wrapper/pb_person.h"
#include "app/import_selection.h"
#include "platform/dispatch/main_thread.h"
#include "store/record_store.h"
#include "tests/integration/list_cycle.h"
#include "tests/support/addressbook/test_book_file.h"
#include "tests/support/event_loop.h"
#include "tests/support/listservice/list_service.h"

namespace {

using numberlist::Contact;
using namespace std::chrono_literals;

constexpr int kTopRanks = 100;

struct Entry {
  std::string number;
  std::string firm;
  bool operator==(const Entry&) const = default;
};

// The sample list read with Qt's own JSON reader, independent of ours.
QJsonArray sampleItems() {
  QFile file(RP_SAMPLE_LIST);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return QJsonDocument::fromJson(file.readAll()).object().value("telefonnumre").toArray();
}

int rankOf(const QJsonObject& item) {
  const QJsonValue rank = item.value("posisjon");
  return rank.isString() ? rank.toString().toInt() : rank.toInt();
}

// What the contact must hold: the approved items within the top ranks (when
// limited), the numbers added by hand kept by the same rules, in store order.
std::vector<Entry> expectedEntries(bool approvedOnly, int topRanks, const std::vector<Entry>& byHand) {
  std::vector<Entry> entries = approvedOnly ? std::vector<Entry>{} : byHand;
  for (const QJsonValue& value : sampleItems()) {
    const QJsonObject item = value.toObject();
    if (approvedOnly && item.value("status").toString() != "godkjent") continue;
    if (topRanks >= 0 && rankOf(item) > topRanks) continue;
    entries.push_back({item.value("telefon").toString().toStdString(), item.value("firma").toString().toStdString()});
  }
  return entries;
}

class Delegate : public abm::ManageAddressBookDelegate<Delegate> {
 public:
  void didUpdateProgress() override {
    if (!dispatch::isMainThread()) offMainThread = true;
    ++progressReports;
  }
  void didImportContacts() override { done = "imported"; }
  void didFailImportOfContactsWithError(const fnd::Error& error) override { done = error.localizedDescription(); }
  void didRemoveContacts() override { done = "removed"; }
  void didFailWhenRemovingContacts() override { done = "removal failed"; }

  std::string await() {
    EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return !done.empty(); }, 120s));
    return std::exchange(done, {});
  }
  std::string done;
  std::size_t progressReports = 0;
  bool offMainThread = false;
};

class ProtectionEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    openStore();
    QFile sample(RP_SAMPLE_LIST);
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    m_service.setBody(sample.readAll());
    ASSERT_TRUE(m_service.listen());
  }
  void TearDown() override { store::RecordStore::cleanUp(); }

  void openStore() {
    store::RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(
        m_folder.filePath("list.sqlite").toStdString());
  }
  void reopenStore() {
    store::RecordStore::cleanUp();
    openStore();
  }

  void downloadList() {
    rp::test::ListCycle cycle;
    const std::string url = "http://" + m_service.hostAndPort().toStdString();
    cycle.start(url + ListService::kPrimaryPath, url + ListService::kBackupPath);
    ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return cycle.finished(); }, 120s));
    ASSERT_FALSE(cycle.error()) << cycle.error()->localizedDescription();
  }

  static void addByHand(const char* number) {
    fnd::Ref<Contact> record = Contact::createEntity();
    record->setPhoneNumber(fnd::str(number).get());
    record->setFirm(fnd::str("Ukjent").get());
    record->setManualAdd(fnd::Number::yes());
    store::StoreSaving::save(store::StoreContext::defaultContext());
  }

  // The protection contacts as a fresh instance reads them from the file.
  static std::vector<std::vector<Entry>> storedProtectionContacts() {
    auto book = pb::PBAddressBook::create();
    std::vector<std::vector<Entry>> contacts;
    for (const auto& person : book->people()) {
      const auto note = person->note();
      if (!note || note->utf8() != abm::ProtectionContactNoteMarker) continue;
      EXPECT_EQ(person->organization()->utf8(), "Ringeplagvern");
      EXPECT_TRUE(person->hasImage());
      std::vector<Entry> entries;
      if (const auto numbers = person->phoneNumbers()) {
        for (std::size_t i = 0; i < numbers->count(); ++i) {
          entries.push_back({std::string(static_cast<fnd::String*>(numbers->valueAtIndex(i).get())->utf8()),
                             std::string(numbers->labelAtIndex(i)->utf8())});
        }
      }
      contacts.push_back(std::move(entries));
    }
    return contacts;
  }

  ab::test::TestBookFile m_book;
  QTemporaryDir m_folder;
  ListService m_service;
  Delegate m_delegate;
};

TEST_F(ProtectionEndToEndTest, ListToContactAndBackOut) {
  addByHand("40000001");
  downloadList();
  const std::size_t listed = static_cast<std::size_t>(sampleItems().size());

  auto manager = abm::AddressBookManagerV2::initWithDelegate(&m_delegate);
  ASSERT_TRUE(manager->hasAccessToAddressBook());
  ASSERT_TRUE(manager->hasLocalSource());

  // Approved numbers only, the top 100 ranks.
  const Contact::List approvedTop = app::selectRecordsForImport(kTopRanks, false);
  manager->importLocalContactsInBackground(approvedTop);
  EXPECT_EQ(m_delegate.await(), "imported");
  EXPECT_GE(m_delegate.progressReports, 1u);
  EXPECT_EQ(manager->progress(), static_cast<double>(approvedTop.size()));
  EXPECT_FALSE(m_delegate.offMainThread);
  const std::vector<Entry> byHand{{"40000001", "Ukjent"}};
  auto contacts = storedProtectionContacts();
  ASSERT_EQ(contacts.size(), 1u);
  EXPECT_EQ(contacts[0], expectedEntries(true, kTopRanks, byHand));
  EXPECT_GT(contacts[0].size(), 50u);

  // Every number, the hand-added one included: the old contact is replaced.
  manager->importLocalContactsInBackground(app::selectRecordsForImport(-1, true));
  EXPECT_EQ(m_delegate.await(), "imported");
  contacts = storedProtectionContacts();
  ASSERT_EQ(contacts.size(), 1u);
  EXPECT_EQ(contacts[0].size(), listed + 1);
  EXPECT_EQ(contacts[0], expectedEntries(false, -1, byHand));

  // Switching off.
  manager->removeImportedContactInBackground();
  EXPECT_EQ(m_delegate.await(), "removed");
  EXPECT_TRUE(storedProtectionContacts().empty());

  reopenStore();
  EXPECT_EQ(Contact::countOfEntities(), listed + 1);
  EXPECT_EQ(Contact::countOfEntitiesWithPredicate(Contact::downloadedPredicate()), listed);
}

}  // namespace
