// covers: managed_object.cpp, context_fetch.cpp
#include <gtest/gtest.h>

#include "tests/support/objectstore/thousand_people_fixture.h"

namespace objectstore {
namespace {

using FaultTest = test::ThousandPeopleTest;
using test::kPeople;

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

TEST_F(FaultTest, AFaultOutlivingItsContextStopsDebugBuildsAndReadsAsEmptyInRelease) {
  std::vector<ManagedObjectRef> people = byAge(child(m_root), 10);
  ASSERT_EQ(people.size(), kPeople);
  ManagedObject& orphan = *people[5];
  EXPECT_EQ(orphan.managedObjectContext(), nullptr);
#ifdef NDEBUG
  EXPECT_EQ(orphan.valueForKey("name"), nullptr);
  EXPECT_EQ(orphan.valueForKey("employer"), nullptr);
#else
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(orphan.valueForKey("employer"), "Person record [0-9]+ is read .key \"employer\". on the main thread");
#endif
  orphan.setValueForKey(fnd::str("kept").get(), "name");
  EXPECT_EQ(nameOf(orphan), "kept");
  orphan.setValueForKey(nullptr, "employer");
  // The same after a reset.
  ContextPtr context = child(m_root);
  people = byAge(context, 10);
  context->reset();
#ifdef NDEBUG
  EXPECT_EQ(people[7]->valueForKey("age"), nullptr);
#else
  EXPECT_DEATH(people[7]->valueForKey("age"), "key \"age\"");
#endif
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

}  // namespace
}  // namespace objectstore
