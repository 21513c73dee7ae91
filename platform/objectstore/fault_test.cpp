#include <gtest/gtest.h>

#include <atomic>

#include "platform/foundation/exception.h"
#include "platform/foundation/string_object.h"
#include "platform/objectstore/sqlite_store.h"
#include "platform/objectstore/store_fixture.h"
#include "platform/objectstore/test_model.h"

namespace objectstore {
namespace {

constexpr std::size_t kPeople = 1000;

class FaultTest : public test::StoreFixture {
 protected:
  void SetUp() override {
    open(test::peopleModel());
    ASSERT_FALSE(m_openError);
    for (std::size_t i = 0; i < kPeople; ++i) {
      ManagedObjectRef person = m_root->insertNewObject("Person");
      person->setValueForKey(fnd::str("P" + std::to_string(i)).get(), "name");
      person->setValueForKey(fnd::Number::create(static_cast<std::int64_t>(i)).get(), "age");
    }
    ASSERT_TRUE(save(m_root));
    reopen();
  }

  // Everyone by age, as records of `context`.
  std::vector<ManagedObjectRef> byAge(const ContextPtr& context, std::size_t batch = 0, bool faults = true) const {
    FetchRequest request(entity("Person"));
    request.setSortDescriptors({{"age", true}});
    request.setFetchBatchSize(batch);
    request.setReturnsObjectsAsFaults(faults);
    std::vector<ManagedObjectRef> records;
    for (const auto& object : fetch(context, request)) records.emplace_back(static_cast<ManagedObject*>(object.get()));
    return records;
  }

  static std::string faultMap(const std::vector<ManagedObjectRef>& records, std::size_t from, std::size_t to) {
    std::string map;
    for (std::size_t i = from; i < to; ++i) map += records[i]->isFault() ? 'F' : '.';
    return map;
  }

  static std::size_t faultCount(const std::vector<ManagedObjectRef>& records) {
    return static_cast<std::size_t>(std::count_if(records.begin(), records.end(),
                                                   [](const ManagedObjectRef& record) { return record->isFault(); }));
  }

  static std::string nameOf(const ManagedObject& record) {
    fnd::Ref<fnd::Object> name = record.valueForKey("name");
    return name ? name->description() : "nil";
  }
};

TEST_F(FaultTest, UsingOneRecordReadsItsBatchOnly) {
  std::vector<ManagedObjectRef> people = byAge(m_root, 100);
  ASSERT_EQ(people.size(), kPeople);
  EXPECT_EQ(faultCount(people), kPeople) << "a fetch reads no values by itself";
  EXPECT_EQ(nameOf(*people[250]), "P250");
  EXPECT_EQ(faultMap(people, 199, 301), "F" + std::string(100, '.') + "F");
  EXPECT_EQ(faultCount(people), kPeople - 100);
  for (std::size_t i = 200; i < 300; ++i) EXPECT_EQ(nameOf(*people[i]), "P" + std::to_string(i));
  // The last batch is a short one.
  EXPECT_EQ(people[999]->valueForKey("age")->description(), "999");
  EXPECT_EQ(faultMap(people, 899, 1000), "F" + std::string(100, '.'));
  EXPECT_EQ(faultCount(people), kPeople - 200);
  // A batch size of one reads one record.
  ContextPtr other = child(m_root);
  std::vector<ManagedObjectRef> single = byAge(other, 1);
  EXPECT_EQ(nameOf(*single[7]), "P7");
  EXPECT_EQ(faultCount(single), kPeople - 1);
}

TEST_F(FaultTest, AFaultOutlivingItsContextReadsAsEmpty) {
  std::vector<ManagedObjectRef> people = byAge(child(m_root), 10);
  ASSERT_EQ(people.size(), kPeople);
  ManagedObject& orphan = *people[5];
  EXPECT_EQ(orphan.managedObjectContext(), nullptr);
  EXPECT_EQ(orphan.valueForKey("name"), nullptr);
  EXPECT_EQ(orphan.valueForKey("employer"), nullptr);
  EXPECT_NE(orphan.description().find("name = nil"), std::string::npos) << orphan.description();
  orphan.setValueForKey(fnd::str("kept").get(), "name");
  EXPECT_EQ(nameOf(orphan), "kept");
  orphan.setValueForKey(nullptr, "employer");
  // The same after a reset.
  ContextPtr context = child(m_root);
  people = byAge(context, 10);
  context->reset();
  EXPECT_EQ(people[7]->valueForKey("age"), nullptr);
  people[7]->setValueForKey(fnd::Number::create(std::int64_t{3}).get(), "age");
  EXPECT_EQ(people[7]->valueForKey("age")->description(), "3");
}

TEST_F(FaultTest, WithoutABatchSizeAChosenBatchIsRead) {
  std::vector<ManagedObjectRef> people = byAge(m_root);
  EXPECT_EQ(nameOf(*people[0]), "P0");
  std::size_t read = kPeople - faultCount(people);
  EXPECT_GT(read, 1u) << "neighbours are read together";
  EXPECT_LT(read, kPeople) << "but not the whole fetch";
  EXPECT_FALSE(people[read - 1]->isFault());
  EXPECT_TRUE(people[read]->isFault());
}

TEST_F(FaultTest, FetchingWithoutFaultsReadsEveryValue) {
  std::vector<ManagedObjectRef> people = byAge(m_root, 10, /*faults=*/false);
  ASSERT_EQ(people.size(), kPeople);
  EXPECT_EQ(faultCount(people), 0u);
  EXPECT_EQ(nameOf(*people[500]), "P500");
  EXPECT_EQ(people[999]->valueForKey("age")->description(), "999");
}

TEST_F(FaultTest, AFaultWhoseRecordWasDeletedReadsAsEmpty) {
  ContextPtr reader = child(m_root);
  std::vector<ManagedObjectRef> people = byAge(reader, 10);
  // Deleted through a sibling, pushed to the root but not yet written.
  ContextPtr writer = child(m_root);
  writer->deleteObject(*writer->objectWithID(people[3]->objectID()));
  ASSERT_TRUE(save(writer));
  EXPECT_EQ(people[3]->valueForKey("name"), nullptr);
  EXPECT_EQ(people[3]->valueForKey("age"), nullptr);
  EXPECT_EQ(nameOf(*people[4]), "P4") << "the rest of the batch is read as usual";
  // Deleted and written to the file; the reader's fault was never used.
  writer->deleteObject(*writer->objectWithID(people[55]->objectID()));
  ASSERT_TRUE(save(writer));
  ASSERT_TRUE(save(m_root));
  EXPECT_EQ(people[55]->valueForKey("name"), nullptr);
  EXPECT_EQ(static_cast<const fnd::Array&>(*people[55]->valueForKey("phones")).count(), 0u);
  EXPECT_EQ(nameOf(*people[56]), "P56");
  // A fault read alone, outside any fetch.
  ManagedObjectRef alone = reader->objectWithID(ObjectID{entity("Person"), people[3]->objectID().key});
  EXPECT_EQ(alone->valueForKey("name"), nullptr);
}

TEST_F(FaultTest, AFaultShowsItsAncestorsUnsavedValues) {
  ContextPtr middle = child(m_root);
  ContextPtr leaf = child(middle);
  std::vector<ManagedObjectRef> people = byAge(leaf, 50);
  // Changed in the parent and the root after the leaf's fetch, before the leaf reads.
  ManagedObjectRef inMiddle = middle->objectWithID(people[10]->objectID());
  inMiddle->setValueForKey(fnd::str("changed in the middle").get(), "name");
  ManagedObjectRef inRoot = m_root->objectWithID(people[11]->objectID());
  inRoot->setValueForKey(fnd::str("changed at the root").get(), "name");
  ManagedObjectRef bothRoot = m_root->objectWithID(people[12]->objectID());
  bothRoot->setValueForKey(fnd::str("root").get(), "name");
  middle->objectWithID(people[12]->objectID())->setValueForKey(fnd::str("middle wins").get(), "name");
  EXPECT_EQ(nameOf(*people[9]), "P9");
  EXPECT_EQ(nameOf(*people[10]), "changed in the middle");
  EXPECT_EQ(nameOf(*people[11]), "changed at the root");
  EXPECT_EQ(nameOf(*people[12]), "middle wins") << "the nearest ancestor's version counts";
  EXPECT_FALSE(people[10]->hasChanges()) << "an ancestor's change is no change of the leaf";
  EXPECT_FALSE(leaf->hasChanges());
}

TEST_F(FaultTest, ExistingObjectWithIdReadsNowOrReportsTheMissingRecord) {
  const EntityDescription* person = entity("Person");
  ContextPtr context = child(m_root);
  std::optional<fnd::Error> error;
  ManagedObjectRef found = context->existingObjectWithID(ObjectID{person, 1}, &error);
  ASSERT_NE(found, nullptr);
  EXPECT_FALSE(error);
  EXPECT_FALSE(found->isFault());
  EXPECT_EQ(nameOf(*found), "P0");

  EXPECT_EQ(context->existingObjectWithID(ObjectID{person, 999999}, &error), nullptr);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->domain(), kCocoaErrorDomain);
  EXPECT_EQ(error->code(), 133000);

  // Deleted here, or deleted in the parent and not yet saved: gone for this context too.
  context->deleteObject(*found);
  error.reset();
  EXPECT_EQ(context->existingObjectWithID(found->objectID(), &error), nullptr);
  EXPECT_EQ(error ? error->code() : 0, 133000);
  m_root->deleteObject(*m_root->objectWithID(ObjectID{person, 2}));
  error.reset();
  EXPECT_EQ(child(m_root)->existingObjectWithID(ObjectID{person, 2}, &error), nullptr);
  EXPECT_EQ(error ? error->code() : 0, 133000);

  // Inserted in the parent and not yet saved: found by the child.
  ManagedObjectRef fresh = m_root->insertNewObject("Person");
  fresh->setValueForKey(fnd::str("new").get(), "name");
  ManagedObjectRef seen = child(m_root)->existingObjectWithID(fresh->objectID(), &error);
  ASSERT_NE(seen, nullptr);
  EXPECT_EQ(nameOf(*seen), "new");
  EXPECT_EQ(child(m_root)->existingObjectWithID(ObjectID{person, 999999}, nullptr), nullptr) << "no error wanted";
}

TEST_F(FaultTest, IdentifiersArePermanentFromInsertion) {
  ContextPtr context = child(m_root);
  ManagedObjectRef fresh = context->insertNewObject("Person");
  fresh->setValueForKey(fnd::str("fresh").get(), "name");
  const ObjectID id = fresh->objectID();
  std::optional<fnd::Error> error;
  EXPECT_TRUE(context->obtainPermanentIDsForObjects({fresh}, &error));
  EXPECT_FALSE(error);
  EXPECT_EQ(fresh->objectID(), id);
  EXPECT_NE(id.uriRepresentation(), ManagedObjectRef(context->insertNewObject("Person"))->objectID().uriRepresentation());
  ASSERT_TRUE(save(context));
  ASSERT_TRUE(save(m_root));
  EXPECT_EQ(fresh->objectID(), id);
  reopen();
  ManagedObjectRef reread = m_root->existingObjectWithID(ObjectID{entity("Person"), id.key}, &error);
  ASSERT_NE(reread, nullptr) << (error ? error->localizedDescription() : "");
  EXPECT_EQ(nameOf(*reread), "fresh");
}

TEST_F(FaultTest, ResetForgetsEveryRecordAndChange) {
  ContextPtr context = child(m_root);
  std::vector<ManagedObjectRef> people = byAge(context, 10);
  people[0]->setValueForKey(fnd::str("renamed").get(), "name");
  context->deleteObject(*people[1]);
  ManagedObjectRef fresh = context->insertNewObject("Person");
  ASSERT_TRUE(context->hasChanges());
  context->reset();
  EXPECT_FALSE(context->hasChanges());
  EXPECT_EQ(context->registeredObjectCount(), 0u);
  EXPECT_TRUE(context->insertedObjects().empty());
  EXPECT_TRUE(context->deletedObjects().empty());
  EXPECT_EQ(people[0]->managedObjectContext(), nullptr);
  EXPECT_EQ(fresh->managedObjectContext(), nullptr);
  std::vector<ManagedObjectRef> again = byAge(context, 10);
  ASSERT_EQ(again.size(), kPeople) << "the delete and the insert were dropped";
  EXPECT_NE(again[0].get(), people[0].get()) << "records are registered anew";
  EXPECT_EQ(nameOf(*again[0]), "P0");
  EXPECT_EQ(nameOf(*again[1]), "P1");
  EXPECT_FALSE(save(context) && m_root->hasChanges()) << "nothing reaches the parent";
}

TEST_F(FaultTest, AValueOfTheWrongTypeIsRefusedWithItsReason) {
  std::vector<ManagedObjectRef> people = byAge(m_root, 10);
  ManagedObject& person = *people[0];
  try {
    person.setValueForKey(fnd::str("old").get(), "age");
    ADD_FAILURE() << "a text was stored as a number";
  } catch (const fnd::Exception& exception) {
    EXPECT_EQ(exception.kind(), fnd::Exception::Kind::InvalidArgument);
    EXPECT_EQ(exception.reason(),
              "Unacceptable type of value for attribute: property = \"age\"; desired type = int32; given type = "
              "NSString; entity = Person");
  }
  EXPECT_THROW(person.setValueForKey(fnd::Number::create(std::int64_t{1}).get(), "name"), fnd::Exception);
  EXPECT_THROW(person.setValueForKey(fnd::str("x").get(), "born"), fnd::Exception);
  EXPECT_THROW(person.setValueForKey(fnd::str("x").get(), "member"), fnd::Exception);
  EXPECT_THROW(person.setValueForKey(person.valueForKey("name").get(), "phones"), fnd::Exception);
  try {
    person.setValueForKey(nullptr, "nickname");
    ADD_FAILURE() << "an unknown key was accepted";
  } catch (const fnd::Exception& exception) {
    EXPECT_EQ(exception.kind(), fnd::Exception::Kind::InvalidArgument);
    EXPECT_NE(exception.reason().find("\"nickname\""), std::string::npos) << exception.reason();
  }
  EXPECT_EQ(person.valueForKey("age")->description(), "0") << "a refused value changes nothing";
  EXPECT_FALSE(person.hasChanges());
  EXPECT_FALSE(m_root->hasChanges());
}

TEST_F(FaultTest, PerformBlockAndWaitIsReentrantAndSerial) {
  ContextPtr context = child(m_root);
  std::vector<int> order;
  std::atomic<bool> onQueue{false};
  context->performBlockAndWait([&] {
    order.push_back(1);
    onQueue = context->isOnOwnQueue();
    context->performBlockAndWait([&] {
      order.push_back(2);
      context->performBlockAndWait([&] { order.push_back(3); });
      order.push_back(4);
    });
    order.push_back(5);
  });
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_TRUE(onQueue);
  EXPECT_FALSE(context->isOnOwnQueue());
  // Asynchronous blocks run in order, before a later waiting block.
  order.clear();
  for (int i = 0; i < 5; ++i) context->performBlock([&order, i] { order.push_back(i); });
  context->performBlockAndWait([&] { order.push_back(99); });
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 99}));
  // A block may fetch and save on its own context while the caller waits.
  std::size_t seen = 0;
  context->performBlockAndWait([&] {
    context->insertNewObject("Person")->setValueForKey(fnd::str("from the queue").get(), "name");
    seen = context->countForFetchRequest(FetchRequest(entity("Person")), nullptr).value_or(0);
    context->save(nullptr);
  });
  EXPECT_EQ(seen, kPeople + 1);
  EXPECT_TRUE(m_root->hasChanges());
}

}  // namespace
}  // namespace objectstore
