// covers: managed_object_context.cpp, context_fetch.cpp
#include "platform/objectstore/managed_object_context.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/foundation/date.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_array.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"
#include "platform/objectstore/sqlite_store.h"
#include "tests/support/objectstore/store_fixture.h"
#include "tests/support/objectstore/test_model.h"

namespace objectstore {
namespace {

class ContextTest : public test::StoreFixture {
 protected:
  void SetUp() override { open(test::peopleModel()); }

  ManagedObjectRef person(const ContextPtr& context, const char* name, std::int64_t age) {
    ManagedObjectRef object = context->insertNewObject("Person");
    object->setValueForKey(fnd::str(name).get(), "name");
    object->setValueForKey(fnd::Number::create(age).get(), "age");
    return object;
  }

  std::vector<std::string> names(const ContextPtr& context, const char* format,
                                 std::vector<FormatArgument> arguments = {},
                                 std::vector<SortDescriptor> order = {{"name", true}}, std::size_t limit = 0) {
    FetchRequest request(m_model->entityNamed("Person"));
    if (format) request.setPredicate(Predicate::withFormat(format, std::move(arguments)));
    request.setSortDescriptors(std::move(order));
    request.setFetchLimit(limit);
    std::optional<fnd::Error> error;
    std::optional<FetchResults> results = context->executeFetchRequest(request, &error);
    EXPECT_TRUE(results.has_value()) << (error ? error->localizedDescription() : "");
    std::vector<std::string> found;
    for (const auto& object : results.value_or(FetchResults())) {
      fnd::Ref<fnd::Object> name = static_cast<ManagedObject&>(*object).valueForKey("name");
      found.emplace_back(name ? name->description() : "nil");
    }
    return found;
  }

  std::size_t count(const ContextPtr& context, const char* format = nullptr) {
    FetchRequest request(m_model->entityNamed("Person"));
    if (format) request.setPredicate(Predicate::withFormat(format));
    return context->countForFetchRequest(request, nullptr).value_or(999999);
  }
};

TEST_F(ContextTest, UnsavedChangesOfTheChainAreSeenAndReachTheFileOnlyFromTheRoot) {
  ContextPtr middle = child(m_root);
  ContextPtr leaf = child(middle);
  person(m_root, "Ann", 30);
  ASSERT_TRUE(m_root->save(nullptr));
  person(middle, "Bob", 40);
  person(leaf, "Cid", 50);
  EXPECT_EQ(names(leaf, nullptr), (std::vector<std::string>{"Ann", "Bob", "Cid"}));
  EXPECT_EQ(names(middle, nullptr), (std::vector<std::string>{"Ann", "Bob"}));
  EXPECT_EQ(count(leaf), 3u);
  EXPECT_EQ(count(leaf, "age >= 40"), 2u);

  ASSERT_TRUE(leaf->save(nullptr));
  EXPECT_FALSE(leaf->hasChanges());
  EXPECT_TRUE(middle->hasChanges());
  EXPECT_EQ(names(middle, nullptr).size(), 3u);
  EXPECT_EQ(count(m_root), 1u) << "a save one level up must not reach the root";
  ASSERT_TRUE(middle->save(nullptr));
  ASSERT_TRUE(m_root->save(nullptr));

  open(m_model);  // a fresh coordinator reads only the file
  EXPECT_EQ(names(m_root, nullptr), (std::vector<std::string>{"Ann", "Bob", "Cid"}));
}

TEST_F(ContextTest, PendingUpdatesAndDeletesOverrideStoredRows) {
  for (int i = 0; i < 5; ++i) person(m_root, ("P" + std::to_string(i)).c_str(), i * 10);
  ASSERT_TRUE(m_root->save(nullptr));
  ContextPtr context = child(m_root);
  FetchRequest request(m_model->entityNamed("Person"));
  request.setPredicate(Predicate::withFormat("age == 0 OR age == 10"));
  request.setSortDescriptors({{"age", true}});
  auto found = *context->executeFetchRequest(request, nullptr);
  ASSERT_EQ(found.size(), 2u);
  auto& first = static_cast<ManagedObject&>(*found[0]);
  auto& second = static_cast<ManagedObject&>(*found[1]);
  first.setValueForKey(fnd::Number::create(std::int64_t{99}).get(), "age");
  context->deleteObject(second);
  EXPECT_EQ(names(context, "age < 25"), (std::vector<std::string>{"P2"}));
  EXPECT_EQ(names(context, nullptr, {}, {{"age", false}}, 2), (std::vector<std::string>{"P0", "P4"}));
  EXPECT_EQ(count(context), 4u);
  EXPECT_EQ(count(context, "age > 50"), 1u);
  // The same record is the same object within one context.
  auto again = *context->executeFetchRequest(request, nullptr);
  EXPECT_TRUE(again.empty());
  FetchRequest byName(m_model->entityNamed("Person"));
  byName.setPredicate(Predicate::withFormat("name == 'P0'"));
  EXPECT_EQ(context->executeFetchRequest(byName, nullptr)->front().get(), &first);
}

TEST_F(ContextTest, StoreAnswersAgreeWithTheEvaluatorInMemory) {
  const char* names[] = {"Ålesund", "alesund", "Oslo", "oslo 2", "Bergen", "Bærum", "22334455", "4722334455"};
  for (std::size_t i = 0; i < std::size(names); ++i) {
    ManagedObjectRef object = person(m_root, names[i], static_cast<std::int64_t>(i));
    if (i % 3 == 0) object->setValueForKey(nullptr, "age");
    if (i % 2 == 0) object->setValueForKey(fnd::Number::yes(), "member");
  }
  ASSERT_TRUE(m_root->save(nullptr));
  const char* formats[] = {"name LIKE[cd] 'alesund'",
                           "name like[cd] 'a*'",
                           "name LIKE[cd] '*334455'",
                           "name LIKE[cd] '2233445?'",
                           "name LIKE 'Oslo'",
                           "name LIKE[c] 'OSLO*'",
                           "name CONTAINS[cd] 'ae'",
                           "name BEGINSWITH 'B'",
                           "name ENDSWITH[c] 'UM'",
                           "name ==[cd] 'BAERUM'",
                           "name != 'Oslo'",
                           "age < 4",
                           "NOT age < 4",
                           "age == nil",
                           "age != nil AND member == YES",
                           "member == NO OR age >= 5",
                           "NOT (age > 2 OR member == YES)",
                           "age IN {1, 2, 7}",
                           "name IN {'Oslo', 'Bergen'}",
                           "name > 'C'",
                           "age == 'x'"};
  FetchRequest all(m_model->entityNamed("Person"));
  auto everyone = *m_root->executeFetchRequest(all, nullptr);
  for (const char* format : formats) {
    PredicatePtr predicate = Predicate::withFormat(format);
    std::vector<std::string> expected;
    for (const auto& object : everyone) {
      if (predicate->evaluateWithObject(object.get())) {
        expected.push_back(static_cast<ManagedObject&>(*object).valueForKey("name")->description());
      }
    }
    EXPECT_EQ(this->names(m_root, format, {}, {}), expected) << format;
  }
}

TEST_F(ContextTest, RelationshipsAndOrderedListsSurviveAReopen) {
  ManagedObjectRef ann = person(m_root, "Ann", 30);
  ManagedObjectRef company = m_root->insertNewObject("Company");
  company->setValueForKey(fnd::str("Acme").get(), "title");
  ann->setValueForKey(company.get(), "employer");
  for (const char* number : {"3", "1", "2"}) {
    ManagedObjectRef phone = m_root->insertNewObject("Phone");
    phone->setValueForKey(fnd::str(number).get(), "number");
    ann->addObjectToRelationship(*phone, "phones");
  }
  ASSERT_TRUE(m_root->save(nullptr));
  open(m_model);
  ContextPtr context = child(m_root);
  FetchRequest request(m_model->entityNamed("Person"));
  request.setPredicate(Predicate::withFormat("employer.title == 'Acme'"));
  auto found = *context->executeFetchRequest(request, nullptr);
  ASSERT_EQ(found.size(), 1u);
  auto& reread = static_cast<ManagedObject&>(*found.front());
  fnd::Ref<fnd::Object> phones = reread.valueForKey("phones");
  ASSERT_EQ(static_cast<fnd::Array&>(*phones).count(), 3u);
  std::string order;
  for (fnd::Object* phone : static_cast<fnd::Array&>(*phones)) {
    order += static_cast<ManagedObject*>(phone)->valueForKey("number")->description();
  }
  EXPECT_EQ(order, "312");
  EXPECT_THROW(reread.setValueForKey(fnd::str("text").get(), "employer"), fnd::Exception);
  EXPECT_THROW(reread.setValueForKey(fnd::str("text").get(), "age"), fnd::Exception);
  EXPECT_THROW(reread.valueForKey("nothing"), fnd::Exception);
}

TEST_F(ContextTest, AnOlderStoreIsMigratedAndKeepsItsRows) {
  person(m_root, "Ann", 30);
  ASSERT_TRUE(m_root->save(nullptr));
  m_root.reset();
  m_store.reset();
  m_coordinator.reset();

  open(test::peopleModel(true), /*migrate=*/false);
  ASSERT_TRUE(m_openError);
  EXPECT_EQ(m_openError->code(), kPersistentStoreIncompatibleVersionHashError);
  EXPECT_EQ(m_store, nullptr);

  open(test::peopleModel(true));
  ASSERT_FALSE(m_openError) << m_openError->localizedDescription();
  FetchRequest request(m_model->entityNamed("Person"));
  auto found = *m_root->executeFetchRequest(request, nullptr);
  ASSERT_EQ(found.size(), 1u);
  auto& ann = static_cast<ManagedObject&>(*found.front());
  EXPECT_EQ(ann.valueForKey("name")->description(), "Ann");
  EXPECT_EQ(ann.valueForKey("nickname")->description(), "none");
  person(m_root, "Bob", 1)->setValueForKey(fnd::str("B").get(), "nickname");
  ASSERT_TRUE(m_root->save(nullptr));
  EXPECT_EQ(names(m_root, "nickname == 'B'"), std::vector<std::string>{"Bob"});
}

TEST_F(ContextTest, AFileThatIsNoStoreIsRefusedWithAnError) {
  m_root.reset();
  m_store.reset();
  m_coordinator.reset();
  QFile file(QString::fromStdString(path()));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(QByteArray(4096, 'x'));
  file.close();
  QFile::remove(QString::fromStdString(path() + "-wal"));
  open(m_model);
  ASSERT_TRUE(m_openError);
  EXPECT_EQ(m_openError->code(), kFileReadCorruptFileError);
  // Without a store, a save fails and keeps its changes.
  person(m_root, "Ann", 1);
  std::optional<fnd::Error> error;
  EXPECT_FALSE(m_root->save(&error));
  EXPECT_TRUE(error);
  EXPECT_TRUE(m_root->hasChanges());
}

TEST_F(ContextTest, DidSaveNotificationMergesIntoAnotherContext) {
  ManagedObjectRef ann = person(m_root, "Ann", 30);
  person(m_root, "Bob", 40);
  ASSERT_TRUE(m_root->save(nullptr));
  ContextPtr reader = child(m_root);
  ContextPtr writer = child(m_root);
  auto readAnn = static_cast<ManagedObject*>((*reader->executeFetchRequest(
      [&] {
        FetchRequest r(m_model->entityNamed("Person"));
        r.setSortDescriptors({{"name", true}});
        return r;
      }(),
      nullptr))[0]
                                                 .get());
  ManagedObjectRef keep(readAnn);
  // Read now: a record still a fault would read the sibling's save when first used.
  ASSERT_EQ(keep->valueForKey("age")->description(), "30");
  std::optional<fnd::Notification> received;
  auto observer = fnd::NotificationCenter::defaultCenter().addObserver(
      kContextDidSaveNotification, writer.get(), [&](const fnd::Notification& note) { received = note; });
  auto writerAnn = writer->objectWithID(ann->objectID());
  writerAnn->setValueForKey(fnd::Number::create(std::int64_t{31}).get(), "age");
  ASSERT_TRUE(writer->save(nullptr));
  fnd::NotificationCenter::defaultCenter().removeObserver(observer);
  ASSERT_TRUE(received);
  EXPECT_EQ(static_cast<fnd::Array*>(received->userInfo->objectForKey(kUpdatedObjectsKey))->count(), 1u);
  EXPECT_EQ(keep->valueForKey("age")->description(), "30");
  reader->mergeChangesFromContextDidSaveNotification(*received);
  EXPECT_EQ(keep->valueForKey("age")->description(), "31");
}

TEST_F(ContextTest, AggregatesAndDictionaryResults) {
  for (std::int64_t age : {5, 17, 40}) person(m_root, "x", age);
  ASSERT_TRUE(m_root->save(nullptr));
  ContextPtr context = child(m_root);
  person(context, "y", 70);
  FetchRequest request(m_model->entityNamed("Person"));
  request.setResultType(FetchResultType::Dictionary);
  auto maximum = std::make_shared<ExpressionDescription>(ExpressionDescription{
      "result", Expression::function("max:", {Expression::keyPath("age")}), AttributeType::Integer32});
  request.setPropertiesToFetch({PropertyToFetch{"", maximum}});
  request.setPredicate(Predicate::withFormat("age > 10"));
  auto results = *context->executeFetchRequest(request, nullptr);
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(static_cast<fnd::Dictionary&>(*results[0]).objectForKey("result")->description(), "70");
  FetchRequest plain(m_model->entityNamed("Person"));
  plain.setResultType(FetchResultType::Dictionary);
  plain.setPropertiesToFetch({PropertyToFetch{"age", nullptr}});
  plain.setSortDescriptors({{"age", false}});
  plain.setFetchLimit(1);
  auto top = *context->executeFetchRequest(plain, nullptr);
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(static_cast<fnd::Dictionary&>(*top[0]).count(), 1u);
  EXPECT_EQ(static_cast<fnd::Dictionary&>(*top[0]).objectForKey("age")->description(), "70");
}

}  // namespace
}  // namespace objectstore
