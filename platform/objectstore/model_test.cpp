#include "platform/objectstore/model.h"

#include <gtest/gtest.h>

#include "platform/foundation/exception.h"
#include "platform/objectstore/managed_object_context.h"
#include "tests/support/objectstore/test_model.h"
#include "tests/support/objectstore/test_records.h"

namespace objectstore {
namespace {

// The people model with one change applied to the Person entity before it is finished.
std::shared_ptr<ManagedObjectModel> personModel(const std::function<void(EntityDescription&)>& change) {
  auto model = std::make_shared<ManagedObjectModel>();
  EntityDescription& person = model->addEntity("Person");
  model->addEntity("Company").addAttribute({.name = "title"});
  person.addAttribute({.name = "name", .type = AttributeType::String});
  person.addAttribute({.name = "age", .type = AttributeType::Integer32});
  person.addRelationship({.name = "employer", .destinationEntityName = "Company"});
  change(person);
  model->finish();
  return model;
}

TEST(ModelTest, VersionHashFollowsWhatTheStoredSchemaDependsOn) {
  const std::string base = personModel([](EntityDescription&) {})->versionHash();
  EXPECT_EQ(base.size(), 64u);
  EXPECT_EQ(personModel([](EntityDescription&) {})->versionHash(), base) << "the same model gives the same hash";
  // Stored files carry these hashes: they must not change between builds or runs.
  EXPECT_EQ(personModel([](EntityDescription&) {})->entityNamed("Person")->versionHash(),
            "9bf8bb659de8dbe04f854ed00be1b03ac654934493905ddbbd0e5a2abf2ef399");
  const std::pair<const char*, std::function<void(EntityDescription&)>> changes[] = {
      {"an added attribute", [](EntityDescription& e) { e.addAttribute({.name = "nickname"}); }},
      {"an attribute of another type",
       [](EntityDescription& e) { e.addAttribute({.name = "extra", .type = AttributeType::Integer64}); }},
      {"a required attribute", [](EntityDescription& e) { e.addAttribute({.name = "extra", .isOptional = false}); }},
      {"an added to-one",
       [](EntityDescription& e) { e.addRelationship({.name = "boss", .destinationEntityName = "Company"}); }},
      {"an added to-many",
       [](EntityDescription& e) {
         e.addRelationship({.name = "boss", .destinationEntityName = "Company", .isToMany = true});
       }},
      {"an added ordered to-many",
       [](EntityDescription& e) {
         e.addRelationship({.name = "boss", .destinationEntityName = "Company", .isOrdered = true});
       }},
  };
  std::vector<std::string> seen{base};
  for (const auto& [what, change] : changes) {
    std::string hash = personModel(change)->versionHash();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), hash), 0) << what;
    seen.push_back(hash);
  }
  // The type of a property, not only its presence, counts.
  auto typed = [](AttributeType type) {
    return personModel([type](EntityDescription& e) { e.addAttribute({.name = "extra", .type = type}); })
        ->versionHash();
  };
  EXPECT_NE(typed(AttributeType::Integer16), typed(AttributeType::Integer32));
  EXPECT_NE(typed(AttributeType::Double), typed(AttributeType::Date));
  EXPECT_NE(typed(AttributeType::String), typed(AttributeType::Binary));
}

TEST(ModelTest, VersionHashIgnoresDefaultsIndexesAndUserInfo) {
  const std::string base = personModel([](EntityDescription& e) { e.addAttribute({.name = "extra"}); })->versionHash();
  auto info = test::record({{"key", test::text("value")}});
  EXPECT_EQ(personModel([&](EntityDescription& e) {
              e.addAttribute({.name = "extra",
                              .defaultValue = test::text("x"),
                              .isIndexed = true,
                              .isIndexedForSearch = true,
                              .userInfo = info});
              e.setUserInfo(info);
            })->versionHash(),
            base);
  // Entity hashes are per entity: a change to one leaves the others alone.
  auto grown = personModel([](EntityDescription& e) { e.addAttribute({.name = "more"}); });
  auto plain = personModel([](EntityDescription&) {});
  EXPECT_EQ(grown->entityNamed("Company")->versionHash(), plain->entityNamed("Company")->versionHash());
  EXPECT_NE(grown->entityNamed("Person")->versionHash(), plain->entityNamed("Person")->versionHash());
  auto hashes = plain->entityVersionHashesByName();
  ASSERT_EQ(hashes.size(), 2u);
  EXPECT_EQ(hashes[0].first, "Person");
  EXPECT_EQ(hashes[0].second, plain->entityNamed("Person")->versionHash());
}

TEST(ModelTest, UnknownNamesAndRepeatedNamesAreRefused) {
  auto model = test::peopleModel();
  EXPECT_EQ(model->entityNamed("Nobody"), nullptr);
  EXPECT_EQ(model->entityNamed("person"), nullptr) << "entity names are case-sensitive";
  const EntityDescription& person = *model->entityNamed("Person");
  EXPECT_EQ(person.attributeIndex("nothing"), -1);
  EXPECT_EQ(person.relationshipIndex("name"), -1) << "an attribute is no relationship";
  EXPECT_EQ(person.attributeNamed("employer"), nullptr);
  EXPECT_EQ(person.attributeIndex("age"), 1);
  EXPECT_EQ(person.relationshipNamed("phones")->destinationEntity, model->entityNamed("Phone"));
  EXPECT_TRUE(person.relationshipNamed("phones")->isToMany);

  EXPECT_THROW(model->addEntity("Late"), fnd::Exception) << "a finished model is immutable";
  ManagedObjectModel draft;
  draft.addEntity("A").addAttribute({.name = "x"});
  EXPECT_THROW(draft.addEntity("A"), fnd::Exception);
  EXPECT_THROW(draft.entities().front()->addAttribute({.name = "x"}), fnd::Exception);
  EXPECT_THROW(draft.entities().front()->addRelationship({.name = "x", .destinationEntityName = "A"}), fnd::Exception);
  draft.entities().front()->addRelationship({.name = "to", .destinationEntityName = "Missing"});
  try {
    draft.finish();
    ADD_FAILURE() << "an unknown destination was accepted";
  } catch (const fnd::Exception& exception) {
    EXPECT_EQ(exception.kind(), fnd::Exception::Kind::InvalidArgument);
    EXPECT_NE(exception.reason().find("Missing"), std::string::npos) << exception.reason();
  }
  auto context = ManagedObjectContext::create(ConcurrencyType::PrivateQueue);
  context->setPersistentStoreCoordinator(std::make_shared<PersistentStoreCoordinator>(model));
  EXPECT_THROW(context->insertNewObject("Nobody"), fnd::Exception);
  EXPECT_EQ(context->registeredObjectCount(), 0u);
}

TEST(ModelTest, UserInfoIsNeverNullAndSurvivesAMerge) {
  auto first = std::make_shared<ManagedObjectModel>();
  EntityDescription& a = first->addEntity("A");
  a.addAttribute({.name = "plain"});
  a.addAttribute({.name = "tagged", .userInfo = test::record({{"unit", test::text("kr")}})});
  a.setUserInfo(test::record({{"table", test::text("alpha")}}));
  a.addRelationship({.name = "b", .destinationEntityName = "A"});
  first->finish();
  EXPECT_NE(a.attributeNamed("plain")->userInfo, nullptr);
  EXPECT_EQ(a.attributeNamed("plain")->userInfo->count(), 0u);
  EXPECT_NE(a.relationshipNamed("b")->userInfo, nullptr);
  EXPECT_EQ(first->entityNamed("A")->userInfo()->objectForKey("table")->description(), "alpha");

  auto second = std::make_shared<ManagedObjectModel>();
  second->addEntity("B").addRelationship({.name = "a", .destinationEntityName = "A"});
  second->entities().front()->setUserInfo(nullptr);
  EXPECT_NE(second->entities().front()->userInfo(), nullptr);
  EXPECT_THROW(second->finish(), fnd::Exception) << "A is not in this model";

  auto third = std::make_shared<ManagedObjectModel>();
  third->addEntity("C").addAttribute({.name = "n", .type = AttributeType::Integer64});
  third->finish();
  auto merged = ManagedObjectModel::merged({first, third});
  ASSERT_EQ(merged->entities().size(), 2u);
  const EntityDescription* copy = merged->entityNamed("A");
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, first->entityNamed("A"));
  EXPECT_EQ(copy->userInfo()->objectForKey("table")->description(), "alpha");
  EXPECT_EQ(copy->attributeNamed("tagged")->userInfo->objectForKey("unit")->description(), "kr");
  EXPECT_EQ(copy->relationshipNamed("b")->destinationEntity, copy) << "relationships point into the merged model";
  EXPECT_EQ(merged->entityNamed("C")->indexInModel(), 1u);
  EXPECT_EQ(copy->versionHash(), first->entityNamed("A")->versionHash());
  EXPECT_THROW(ManagedObjectModel::merged({first, first}), fnd::Exception) << "entity names must not repeat";
}

}  // namespace
}  // namespace objectstore
