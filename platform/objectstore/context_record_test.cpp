// covers: managed_object_context.cpp, managed_object.cpp
#include <gtest/gtest.h>

#include <atomic>

#include "platform/foundation/exception.h"
#include "platform/objectstore/sqlite_store.h"
#include "tests/support/objectstore/thousand_people_fixture.h"

namespace objectstore {
namespace {

using RecordTest = test::ThousandPeopleTest;
using test::kPeople;

TEST_F(RecordTest, ExistingObjectWithIdReadsNowOrReportsTheMissingRecord) {
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

TEST_F(RecordTest, AFaultOutlivingItsContextStopsDebugBuildsAndReadsAsEmptyInRelease) {
  const ObjectID id{entity("Person"), 1};
  ContextPtr context = child(m_root);
  ManagedObjectRef orphan = context->objectWithID(id);
  ManagedObjectRef other = context->objectWithID(ObjectID{entity("Person"), 2});
  context.reset();
  EXPECT_EQ(orphan->managedObjectContext(), nullptr);
  EXPECT_NE(orphan->description().find("(fault of an ended context)"), std::string::npos) << orphan->description();
#ifdef NDEBUG
  EXPECT_EQ(orphan->valueForKey("name"), nullptr);
  EXPECT_EQ(orphan->valueForKey("phones"), nullptr);
#else
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(orphan->valueForKey("name"),
               "Person record 1 is read .key \"name\". on the main thread, but its context on queue "
               "\"objectstore.context\" ended before it was ever read there");
  EXPECT_DEATH(orphan->valueForKey("phones"), "key \"phones\"");
#endif
  orphan->setValueForKey(fnd::str("kept").get(), "name");
  EXPECT_EQ(orphan->valueForKey("name")->description(), "kept");
  other->setValueForKey(nullptr, "employer");
  EXPECT_EQ(other->valueForKey("age"), nullptr);
}

TEST_F(RecordTest, IdentifiersArePermanentFromInsertion) {
  ContextPtr context = child(m_root);
  ManagedObjectRef fresh = context->insertNewObject("Person");
  fresh->setValueForKey(fnd::str("fresh").get(), "name");
  const ObjectID id = fresh->objectID();
  std::optional<fnd::Error> error;
  EXPECT_TRUE(context->obtainPermanentIDsForObjects({fresh}, &error));
  EXPECT_FALSE(error);
  EXPECT_EQ(fresh->objectID(), id);
  EXPECT_NE(id.uriRepresentation(),
            ManagedObjectRef(context->insertNewObject("Person"))->objectID().uriRepresentation());
  ASSERT_TRUE(save(context));
  ASSERT_TRUE(save(m_root));
  EXPECT_EQ(fresh->objectID(), id);
  reopen();
  ManagedObjectRef reread = m_root->existingObjectWithID(ObjectID{entity("Person"), id.key}, &error);
  ASSERT_NE(reread, nullptr) << (error ? error->localizedDescription() : "");
  EXPECT_EQ(nameOf(*reread), "fresh");
}

TEST_F(RecordTest, ResetForgetsEveryRecordAndChange) {
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

TEST_F(RecordTest, AValueOfTheWrongTypeIsRefusedWithItsReason) {
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

TEST_F(RecordTest, PerformBlockAndWaitIsReentrantAndSerial) {
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
