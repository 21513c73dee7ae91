// covers: managed_object_context.cpp
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "platform/foundation/object_array.h"
#include "platform/foundation/string_object.h"
#include "tests/support/objectstore/store_fixture.h"
#include "tests/support/objectstore/test_model.h"

namespace objectstore {
namespace {

class ContextSaveTest : public test::StoreFixture {
 protected:
  void SetUp() override {
    open(test::peopleModel());
    ASSERT_FALSE(m_openError);
  }

  static std::string nameOf(const ManagedObject& record) {
    fnd::Ref<fnd::Object> name = record.valueForKey("name");
    return name ? name->description() : "nil";
  }

  std::string storedNames() {
    reopen();
    std::string text;
    for (const ManagedObjectRef& person : all(m_root, "Person")) text += (text.empty() ? "" : " ") + nameOf(*person);
    return text;
  }

  ManagedObjectRef named(const ContextPtr& context, const char* entityName, const char* key, const char* value) const {
    ManagedObjectRef object = context->insertNewObject(entityName);
    object->setValueForKey(fnd::str(value).get(), key);
    return object;
  }
};

TEST_F(ContextSaveTest, AChildsChangesToItsParentsNewRecordsMergeIntoThem) {
  ManagedObjectRef kept = named(m_root, "Person", "name", "kept");
  ManagedObjectRef renamed = named(m_root, "Person", "name", "before");
  ManagedObjectRef dropped = named(m_root, "Person", "name", "dropped");
  ContextPtr context = child(m_root);
  context->objectWithID(renamed->objectID())->setValueForKey(fnd::str("after").get(), "name");
  context->deleteObject(*context->objectWithID(dropped->objectID()));
  // Inserted, changed and deleted again before any save: never seen by anyone.
  ManagedObjectRef fleeting = named(context, "Person", "name", "fleeting");
  fleeting->setValueForKey(fnd::str("still fleeting").get(), "name");
  context->deleteObject(*fleeting);
  EXPECT_EQ(fleeting->managedObjectContext(), nullptr);
  ASSERT_TRUE(save(context));
  EXPECT_EQ(m_root->insertedObjects().size(), 2u) << "the parent's new record deleted below is simply gone";
  EXPECT_TRUE(m_root->deletedObjects().empty());
  EXPECT_EQ(nameOf(*renamed), "after");
  EXPECT_TRUE(renamed->isInserted()) << "still new for the parent";
  ASSERT_TRUE(save(m_root));
  EXPECT_EQ(storedNames(), "kept after");
}

TEST_F(ContextSaveTest, RecordsSavedFromAChildReadBackFromTheParent) {
  ContextPtr context = child(m_root);
  ManagedObjectRef ann = named(context, "Person", "name", "Ann");
  ASSERT_TRUE(save(context));
  EXPECT_FALSE(ann->isInserted());
  EXPECT_EQ(nameOf(*ann), "Ann") << "the child reads what it handed to its parent";
  ann->setValueForKey(fnd::str("Anna").get(), "name");
  ASSERT_TRUE(save(context));
  EXPECT_EQ(nameOf(*m_root->objectWithID(ann->objectID())), "Anna");
  context->deleteObject(*ann);
  ASSERT_TRUE(save(context));
  EXPECT_TRUE(m_root->insertedObjects().empty());
  EXPECT_FALSE(m_root->hasChanges()) << "inserted and deleted again one level up";
  EXPECT_EQ(storedNames(), "");
}

TEST_F(ContextSaveTest, DidSaveNotificationNamesEveryKindOfChange) {
  ManagedObjectRef updated = named(m_root, "Person", "name", "updated");
  ManagedObjectRef deleted = named(m_root, "Person", "name", "deleted");
  ASSERT_TRUE(save(m_root));
  ContextPtr context = child(m_root);
  named(context, "Person", "name", "inserted");
  named(context, "Company", "title", "inserted too");
  context->objectWithID(updated->objectID())->setValueForKey(fnd::str("changed").get(), "name");
  context->deleteObject(*context->objectWithID(deleted->objectID()));
  std::optional<fnd::Notification> received;
  int notifications = 0;
  auto observer = fnd::NotificationCenter::defaultCenter().addObserver(kContextDidSaveNotification, context.get(),
                                                                       [&](const fnd::Notification& note) {
                                                                         received = note;
                                                                         ++notifications;
                                                                       });
  ASSERT_TRUE(save(context));
  ASSERT_TRUE(save(context)) << "a save without changes succeeds";
  fnd::NotificationCenter::defaultCenter().removeObserver(observer);
  EXPECT_EQ(notifications, 1) << "and is not announced";
  ASSERT_TRUE(received && received->userInfo);
  auto countOf = [&](std::string_view key) {
    auto* list = static_cast<fnd::Array*>(received->userInfo->objectForKey(key));
    return list ? list->count() : 999u;
  };
  EXPECT_EQ(countOf(kInsertedObjectsKey), 2u);
  EXPECT_EQ(countOf(kUpdatedObjectsKey), 1u);
  EXPECT_EQ(countOf(kDeletedObjectsKey), 1u);
  auto* deletedList = static_cast<fnd::Array*>(received->userInfo->objectForKey(kDeletedObjectsKey));
  EXPECT_EQ(static_cast<ManagedObject*>(deletedList->objectAtIndex(0))->objectID(), deleted->objectID());
}

TEST_F(ContextSaveTest, ChildrenSavingFromManyThreadsLoseNothing) {
  constexpr int kWriters = 4;
  constexpr int kRecordsEach = 150;
  std::vector<ContextPtr> writers;
  for (int i = 0; i < kWriters; ++i) writers.push_back(child(m_root));
  std::vector<std::thread> threads;
  for (int i = 0; i < kWriters; ++i) {
    threads.emplace_back([&, i] {
      writers[i]->performBlockAndWait([&, i] {
        for (int n = 0; n < kRecordsEach; ++n) {
          named(writers[i], "Person", "name", ("w" + std::to_string(i) + "-" + std::to_string(n)).c_str());
          if (n % 50 == 49) writers[i]->save(nullptr);
        }
      });
    });
  }
  // The root writes to the file while the children push into it.
  for (int round = 0; round < 5; ++round) m_root->performBlockAndWait([&] { m_root->save(nullptr); });
  for (std::thread& thread : threads) thread.join();
  ASSERT_TRUE(save(m_root));
  reopen();
  std::vector<ManagedObjectRef> people = all(m_root, "Person");
  EXPECT_EQ(people.size(), static_cast<std::size_t>(kWriters * kRecordsEach));
  std::set<std::string> names;
  for (const ManagedObjectRef& person : people) names.insert(nameOf(*person));
  EXPECT_EQ(names.size(), people.size());
}

TEST_F(ContextSaveTest, AContextDroppedAfterItsSaveHandsItsUnheldRecordsToTheParent) {
  const ObjectID unregistered = named(m_root, "Person", "name", "unregistered")->objectID();
  const ObjectID registered = named(m_root, "Person", "name", "registered")->objectID();
  ASSERT_TRUE(save(m_root));
  m_root->reset();
  ManagedObjectRef parentsRecord = m_root->objectWithID(registered);
  ContextPtr context = child(m_root);
  context->setHandsRecordsOverOnSave(true);
  ManagedObject* handedOver = named(context, "Person", "name", "handed over").get();
  ManagedObjectRef held = named(context, "Person", "name", "held");
  ManagedObject* deleted = context->objectWithID(unregistered).get();
  context->deleteObject(*deleted);
  ManagedObjectRef deletedCopy = context->objectWithID(registered);
  context->deleteObject(*deletedCopy);
  ASSERT_TRUE(save(context));

  // Nobody held them: the parent now has the very objects, with their state.
  EXPECT_EQ(handedOver->managedObjectContext(), m_root.get());
  EXPECT_TRUE(handedOver->isInserted());
  EXPECT_EQ(nameOf(*handedOver), "handed over");
  EXPECT_EQ(deleted->managedObjectContext(), m_root.get());
  EXPECT_TRUE(deleted->isDeleted());
  // A record still held by the caller stays with its context; the parent gets a copy.
  EXPECT_EQ(held->managedObjectContext(), context.get());
  EXPECT_EQ(nameOf(*held), "held");
  // The parent held its own object of a deleted record: that one is deleted.
  EXPECT_TRUE(parentsRecord->isDeleted());
  EXPECT_EQ(deletedCopy->managedObjectContext(), nullptr);
  EXPECT_EQ(m_root->insertedObjects().size(), 2u);
  EXPECT_EQ(m_root->deletedObjects().size(), 2u);
  EXPECT_EQ(context->registeredObjectCount(), 1u) << "only the held record is left behind";

  ASSERT_TRUE(save(m_root));
  EXPECT_EQ(storedNames(), "handed over held");
}

TEST_F(ContextSaveTest, RecordsNoCallerEverHadMoveOnUpTheChainWhenSaved) {
  ContextPtr middle = child(m_root);
  ContextPtr block = child(middle);
  block->setHandsRecordsOverOnSave(true);
  ManagedObject* passedOn = named(block, "Person", "name", "passed on").get();
  ManagedObject* lookedAt = named(block, "Person", "name", "looked at").get();
  ASSERT_TRUE(save(block));
  ASSERT_EQ(passedOn->managedObjectContext(), middle.get());
  // A caller of the middle context gets this one and may keep its address.
  EXPECT_EQ(middle->objectWithID(lookedAt->objectID()).get(), lookedAt);
  ASSERT_TRUE(save(middle));
  EXPECT_EQ(passedOn->managedObjectContext(), m_root.get());
  EXPECT_EQ(lookedAt->managedObjectContext(), middle.get());
  EXPECT_EQ(nameOf(*lookedAt), "looked at");
  ASSERT_TRUE(save(m_root));
  EXPECT_EQ(storedNames(), "passed on looked at");
}

TEST_F(ContextSaveTest, AContextThatStaysKeepsItsRecordsAfterSaving) {
  ContextPtr context = child(m_root);
  ManagedObject* record = named(context, "Person", "name", "kept here").get();
  ASSERT_TRUE(save(context));
  EXPECT_EQ(record->managedObjectContext(), context.get());
  EXPECT_EQ(nameOf(*record), "kept here");
  EXPECT_FALSE(record->isInserted());
}

}  // namespace
}  // namespace objectstore
