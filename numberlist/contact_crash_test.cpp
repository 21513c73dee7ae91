// Crash safety of the stored list: a writer killed at any moment while it
// replaces 100,000 records leaves a store that opens and holds one whole list.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <random>

#include "numberlist/contact.h"
#include "platform/objectstore/managed_object_context.h"
#include "platform/objectstore/sqlite_store.h"

namespace numberlist {
namespace {

constexpr int kRecords = 100000;
constexpr int kKills = 20;

struct StoredList {
  bool opened = false;
  std::size_t count = 0;
  std::size_t sameGeneration = 0;
  int generation = 0;
};

StoredList readStore(const std::string& path) {
  StoredList list;
  auto coordinator = std::make_shared<objectstore::PersistentStoreCoordinator>(Contact::model());
  std::optional<fnd::Error> error;
  if (!coordinator->addPersistentStore(objectstore::kSQLiteStoreType, path, nullptr, &error)) return list;
  list.opened = true;
  auto context = objectstore::ManagedObjectContext::create(objectstore::ConcurrencyType::PrivateQueue);
  context->setPersistentStoreCoordinator(coordinator);
  objectstore::FetchRequest all(coordinator->managedObjectModel()->entityNamed(Contact::kEntityName));
  list.count = context->countForFetchRequest(all, nullptr).value_or(0);
  all.setFetchLimit(1);
  auto first = context->executeFetchRequest(all, nullptr);
  if (!first || first->empty()) return list;
  auto category = static_cast<Contact&>(*first->front()).category();
  list.generation = std::stoi(std::string(category->utf8()));
  objectstore::FetchRequest same(all.entity());
  same.setPredicate(objectstore::Predicate::withFormat("category == %@", {std::string(category->utf8())}));
  list.sameGeneration = context->countForFetchRequest(same, nullptr).value_or(0);
  return list;
}

TEST(ContactCrashTest, AKilledWriterLeavesTheWholeOldOrTheWholeNewList) {
  QTemporaryDir directory;
  const std::string path = directory.filePath("killed.sqlite").toStdString();
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> delay(500, 6000);
  int lastReported = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    QProcess writer;
    writer.start(QStringLiteral(RP_CONTACT_REPLACE_HELPER), {QString::fromStdString(path), QString::number(kRecords)});
    ASSERT_TRUE(writer.waitForStarted());
    writer.waitForFinished(delay(random));
    ASSERT_EQ(writer.state(), QProcess::Running) << writer.readAllStandardError().toStdString();
    writer.kill();  // SIGKILL
    writer.waitForFinished();
    for (const QByteArray& line : writer.readAllStandardOutput().split('\n')) {
      if (line.startsWith("stored ")) lastReported = line.mid(7).toInt();
    }
    StoredList list = readStore(path);
    ASSERT_TRUE(list.opened) << "after kill " << kill;
    const std::vector<std::string> problems = objectstore::SqliteStore::integrityProblems(path);
    EXPECT_TRUE(problems.empty()) << "after kill " << kill << ": " << problems.front();
    if (lastReported == 0 && list.count == 0) continue;  // killed before the first list was stored
    EXPECT_EQ(list.count, static_cast<std::size_t>(kRecords)) << "after kill " << kill;
    EXPECT_EQ(list.sameGeneration, list.count) << "records of two lists mixed after kill " << kill;
    EXPECT_GE(list.generation, lastReported) << "a reported list was lost after kill " << kill;
    lastReported = list.generation;
  }
  EXPECT_GT(lastReported, 0) << "no list was ever stored; the delays are too short for this machine";
}

}  // namespace
}  // namespace numberlist
