// covers: numberlist/data_downloader.cpp, numberlist/contact_parser.cpp, list_cycle.cpp
// The list's way from the list service into the record store: download,
// decode and replacement against a real service on loopback.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "store/record_store.h"
#include "tests/integration/list_cycle.h"
#include "tests/support/event_loop.h"
#include "tests/support/listservice/list_service.h"

namespace {

using numberlist::Contact;
using store::RecordStore;
using store::StoreContext;
using store::StoreSaving;

QByteArray listOf(std::initializer_list<const char*> numbers) {
  QByteArray body = R"({"telefonnumre":[)";
  int rank = 0;
  for (const char* number : numbers) {
    if (rank++) body += ',';
    body += QStringLiteral(R"({"firma":"Firma %1","telefon":"%2","posisjon":%1,"status":"godkjent"})")
                .arg(rank)
                .arg(number)
                .toUtf8();
  }
  return body + "]}";
}

class NumberListCycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(m_folder.filePath("list.sqlite").toStdString());
    ASSERT_TRUE(m_primary.listen());
    ASSERT_TRUE(m_backup.listen());
    addByHand("40000001");
  }
  void TearDown() override { RecordStore::cleanUp(); }

  static void addByHand(const char* number) {
    fnd::Ref<Contact> record = Contact::createEntity();
    record->setPhoneNumber(fnd::str(number).get());
    record->setManualAdd(fnd::Number::yes());
    StoreSaving::save(StoreContext::defaultContext());
  }

  void refresh() {
    rp::test::ListCycle cycle;
    cycle.start("http://" + m_primary.hostAndPort().toStdString() + ListService::kPrimaryPath,
                "http://" + m_backup.hostAndPort().toStdString() + ListService::kBackupPath);
    ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return cycle.finished(); }, std::chrono::seconds(60)));
    m_lastError = cycle.error();
    rp::test::runEventLoopFor(std::chrono::milliseconds(50));  // the queued write of the default context
  }

  // The numbers in the store file, in store order.
  std::vector<std::string> storedNumbers() {
    RecordStore::cleanUp();
    RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(m_folder.filePath("list.sqlite").toStdString());
    const Contact::List records = Contact::findAll().value();
    std::vector<std::string> numbers;
    for (const auto& record : records) numbers.emplace_back(record->phoneNumber()->utf8());
    return numbers;
  }

  QTemporaryDir m_folder;
  ListService m_primary;
  ListService m_backup;
  std::optional<fnd::Error> m_lastError;
};

TEST_F(NumberListCycleTest, EachReplacementKeepsTheServicesOrderAndTheNumbersAddedByHand) {
  m_primary.setBody(listOf({"20000003", "20000001", "20000002"}));
  refresh();
  ASSERT_FALSE(m_lastError);
  EXPECT_EQ(storedNumbers(), (std::vector<std::string>{"40000001", "20000003", "20000001", "20000002"}));

  addByHand("40000002");
  m_primary.setFaults({.status = 404});
  m_backup.setBody(listOf({"30000002", "30000001"}));
  refresh();
  ASSERT_FALSE(m_lastError);
  EXPECT_EQ(storedNumbers(), (std::vector<std::string>{"40000001", "40000002", "30000002", "30000001"}));
}

TEST_F(NumberListCycleTest, BrokenBodiesNeverCostTheStoredList) {
  m_primary.setBody(listOf({"20000001", "20000002"}));
  refresh();
  const std::vector<std::string> stored = storedNumbers();
  ASSERT_EQ(stored.size(), 3u);

  struct Broken {
    const char* what;
    ListService::Faults faults;
  };
  for (const Broken& broken : {Broken{"truncated", {.truncateBody = true}}, Broken{"not JSON", {.notJson = true}},
                               Broken{"server error", {.status = 500}}, Broken{"reset", {.resetConnection = true}}}) {
    m_primary.setFaults(broken.faults);
    m_backup.setFaults(broken.faults);
    m_backup.setBody(listOf({"99999999"}));
    refresh();
    EXPECT_TRUE(m_lastError) << broken.what;
    EXPECT_EQ(storedNumbers(), stored) << broken.what;
  }
}

}  // namespace
