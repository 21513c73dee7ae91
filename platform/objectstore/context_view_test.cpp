// covers: context_fetch.cpp
#include <gtest/gtest.h>

#include "platform/foundation/string_object.h"
#include "tests/support/objectstore/store_fixture.h"
#include "tests/support/objectstore/test_model.h"

namespace objectstore {
namespace {

// A chain root <- middle <- leaf over ten stored people aged 10..100, with
// unsaved changes on every level, so a fetch from the leaf must combine the
// file with the changes of three contexts.
class ContextViewTest : public test::StoreFixture {
 protected:
  void SetUp() override {
    open(test::peopleModel());
    ASSERT_FALSE(m_openError);
    for (int age = 10; age <= 100; age += 10) person(m_root, ("S" + std::to_string(age)).c_str(), age);
    ASSERT_TRUE(save(m_root));
    reopen();
    m_middle = child(m_root);
    m_leaf = child(m_middle);
  }

  ManagedObjectRef person(const ContextPtr& context, const char* name, std::optional<std::int64_t> age) const {
    ManagedObjectRef object = context->insertNewObject("Person");
    object->setValueForKey(name ? fnd::str(name).get() : nullptr, "name");
    if (age) object->setValueForKey(fnd::Number::create(*age).get(), "age");
    return object;
  }

  ManagedObjectRef stored(const ContextPtr& context, const char* name) const {
    FetchRequest request(entity("Person"));
    request.setPredicate(Predicate::withFormat("name == %@", {std::string(name)}));
    FetchResults found = fetch(context, request);
    EXPECT_EQ(found.size(), 1u) << name;
    return ManagedObjectRef(static_cast<ManagedObject*>(found.at(0).get()));
  }

  std::string names(const ContextPtr& context, const char* format, std::vector<SortDescriptor> order,
                    std::size_t limit = 0, std::size_t offset = 0) const {
    FetchRequest request(entity("Person"));
    if (format) request.setPredicate(Predicate::withFormat(format));
    request.setSortDescriptors(std::move(order));
    request.setFetchLimit(limit);
    request.setFetchOffset(offset);
    std::string text;
    for (const auto& object : fetch(context, request)) {
      fnd::Ref<fnd::Object> name = static_cast<ManagedObject&>(*object).valueForKey("name");
      text += (text.empty() ? "" : " ") + (name ? name->description() : std::string("nil"));
    }
    return text;
  }

  std::size_t count(const ContextPtr& context, const char* format = nullptr, std::size_t limit = 0,
                    std::size_t offset = 0) const {
    FetchRequest request(entity("Person"));
    if (format) request.setPredicate(Predicate::withFormat(format));
    request.setFetchLimit(limit);
    request.setFetchOffset(offset);
    std::optional<fnd::Error> error;
    std::optional<std::size_t> counted = context->countForFetchRequest(request, &error);
    EXPECT_TRUE(counted) << (error ? error->localizedDescription() : "");
    return counted.value_or(0);
  }

  // Pending on every level: the root renames S100 and deletes S20, the middle
  // inserts M15 and M55, the leaf inserts L35, moves S90 to age 5 and deletes S40.
  void changeEveryLevel() {
    stored(m_root, "S100")->setValueForKey(fnd::str("R100").get(), "name");
    m_root->deleteObject(*stored(m_root, "S20"));
    person(m_middle, "M15", 15);
    person(m_middle, "M55", 55);
    person(m_leaf, "L35", 35);
    stored(m_leaf, "S90")->setValueForKey(fnd::Number::create(std::int64_t{5}).get(), "age");
    m_leaf->deleteObject(*stored(m_leaf, "S40"));
  }

  ContextPtr m_middle;
  ContextPtr m_leaf;
};

TEST_F(ContextViewTest, LimitAndOffsetApplyToTheCombinedView) {
  changeEveryLevel();
  const std::string everyone = "S90 S10 M15 S30 L35 S50 M55 S60 S70 S80 R100";
  EXPECT_EQ(names(m_leaf, nullptr, {{"age", true}}), everyone);
  EXPECT_EQ(names(m_leaf, nullptr, {{"age", true}}, 3), "S90 S10 M15");
  EXPECT_EQ(names(m_leaf, nullptr, {{"age", true}}, 3, 1), "S10 M15 S30");
  EXPECT_EQ(names(m_leaf, nullptr, {{"age", true}}, 2, 9), "S80 R100");
  EXPECT_EQ(names(m_leaf, nullptr, {{"age", true}}, 5, 10), "R100");
  EXPECT_EQ(names(m_leaf, nullptr, {{"age", true}}, 0, 11), "");
  EXPECT_EQ(names(m_leaf, nullptr, {{"age", false}}, 2), "R100 S80");
  EXPECT_EQ(names(m_leaf, "age > 12", {{"age", true}}, 2, 1), "S30 L35");
  EXPECT_EQ(names(m_leaf, "age >= 50 AND age < 90", {{"age", false}}, 3), "S80 S70 S60");
  // The middle sees its own and the root's changes, not the leaf's.
  EXPECT_EQ(names(m_middle, nullptr, {{"age", true}}, 4), "S10 M15 S30 S40");
  EXPECT_EQ(names(m_middle, nullptr, {{"age", false}}, 2), "R100 S90");
  // And without a sort order, stored records keep key order with the new ones after them.
  EXPECT_EQ(names(m_leaf, nullptr, {}, 3), "S10 S30 S50");
  EXPECT_EQ(names(m_leaf, nullptr, {}, 4, 6), "S90 R100 M15 M55");
}

TEST_F(ContextViewTest, CountsSeeInsertsAndDeletesOfTheChain) {
  EXPECT_EQ(count(m_leaf), 10u);
  changeEveryLevel();
  EXPECT_EQ(count(m_leaf), 11u);
  EXPECT_EQ(count(m_middle), 11u);
  EXPECT_EQ(count(m_root), 9u);
  EXPECT_EQ(count(m_leaf, "age < 36"), 5u);
  EXPECT_EQ(count(m_leaf, "age == 40 OR age == 20"), 0u) << "deleted records are not counted";
  EXPECT_EQ(count(m_leaf, "age == 90"), 0u) << "a changed record is counted by its new values";
  EXPECT_EQ(count(m_leaf, "name BEGINSWITH 'R'"), 1u);
  // A count is the size of the fetch it stands for, limit and offset included.
  EXPECT_EQ(count(m_leaf, nullptr, 4), 4u);
  EXPECT_EQ(count(m_leaf, nullptr, 0, 9), 2u);
  // Saving each level keeps every count.
  ASSERT_TRUE(save(m_leaf));
  EXPECT_EQ(count(m_middle), 11u);
  ASSERT_TRUE(save(m_middle));
  ASSERT_TRUE(save(m_root));
  reopen();
  EXPECT_EQ(count(m_root), 11u);
  EXPECT_EQ(count(m_root, "age < 36"), 5u);
  EXPECT_EQ(names(m_root, nullptr, {{"age", true}}), "S90 S10 M15 S30 L35 S50 M55 S60 S70 S80 R100");
}

TEST_F(ContextViewTest, SortOrdersMergePendingRecordsWithStoredOnes) {
  person(m_leaf, nullptr, 60);
  person(m_leaf, "a lower case", std::nullopt);
  person(m_middle, "Zed", 60);
  stored(m_leaf, "S60")->setValueForKey(fnd::str("Ann").get(), "name");
  stored(m_middle, "S70")->setValueForKey(fnd::Number::yes(), "member");
  stored(m_leaf, "S10")->setValueForKey(fnd::Number::yes(), "member");
  // Missing values come first going up and last going down; ties fall back to key order.
  EXPECT_EQ(names(m_leaf, nullptr, {{"age", true}}, 4), "a lower case S10 S20 S30");
  EXPECT_EQ(names(m_leaf, nullptr, {{"age", false}}, 7), "S100 S90 S80 S70 Ann nil Zed");
  EXPECT_EQ(names(m_leaf, "age == 60", {{"name", true}}), "nil Ann Zed");
  EXPECT_EQ(names(m_leaf, "age == 60", {{"name", false}}), "Zed Ann nil");
  EXPECT_EQ(names(m_leaf, nullptr, {{"name", true}}, 3), "nil Ann S10");
  EXPECT_EQ(names(m_leaf, nullptr, {{"name", false}}, 2), "a lower case Zed") << "byte order: lower case after upper";
  EXPECT_EQ(names(m_leaf, nullptr, {{"member", false}, {"age", false}}, 4), "S70 S10 S100 S90");
  EXPECT_EQ(names(m_leaf, "member == YES", {{"age", true}}), "S10 S70");
  // The same orders once everything is saved and read back from the file.
  ASSERT_TRUE(save(m_leaf));
  ASSERT_TRUE(save(m_middle));
  ASSERT_TRUE(save(m_root));
  reopen();
  EXPECT_EQ(names(m_root, nullptr, {{"age", true}}, 4), "a lower case S10 S20 S30");
  EXPECT_EQ(names(m_root, "age == 60", {{"name", false}}), "Zed Ann nil");
  EXPECT_EQ(names(m_root, nullptr, {{"member", false}, {"age", false}}, 4), "S70 S10 S100 S90");
}

TEST_F(ContextViewTest, PredicatesOverRelationshipsSeePendingLinks) {
  ManagedObjectRef acme = m_middle->insertNewObject("Company");
  acme->setValueForKey(fnd::str("Acme").get(), "title");
  ASSERT_TRUE(save(m_middle));
  ManagedObjectRef leafAcme = m_leaf->objectWithID(acme->objectID());
  stored(m_leaf, "S30")->setValueForKey(leafAcme.get(), "employer");
  person(m_leaf, "L1", 1)->setValueForKey(leafAcme.get(), "employer");
  EXPECT_EQ(names(m_leaf, "employer.title == 'Acme'", {{"age", true}}), "L1 S30");
  EXPECT_EQ(names(m_leaf, "employer == nil AND age < 25", {{"age", true}}), "S10 S20");
  EXPECT_EQ(names(m_middle, "employer.title == 'Acme'", {}), "");
  EXPECT_EQ(count(m_leaf, "employer.title == 'Acme'"), 2u);
}

}  // namespace
}  // namespace objectstore
