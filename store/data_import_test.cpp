// covers: data_import.cpp, import_model.cpp, import_operations.cpp
#include "store/data_import.h"

#include <gtest/gtest.h>

#include "json/json_decoder.h"
#include "platform/foundation/string_object.h"
#include "store/import_model.h"
#include "store/store_context.h"
#include "store/store_saving.h"
#include "tests/support/store/import_test_model.h"

namespace store::import_test {
namespace {

// Decoded data from JSON text, as the application's decoder produces it.
fnd::Ref<fnd::Object> data(std::string_view json) {
  fnd::Ref<fnd::Object> decoded = json::objectFromJSONString(fnd::str(json).get());
  EXPECT_TRUE(decoded) << json;
  return decoded;
}

fnd::Ref<TestContact> importContact(std::string_view json) { return TestContact::importFromObject(data(json).get()); }

std::string attribute(const fnd::Ref<TestContact>& contact, std::string_view key) {
  return text(contact->valueForKey(key));
}

TEST_F(ImportTest, ContactIsMatchedOnContactIDAndUpdatedInPlace) {
  const auto& entity = *TestContact::entityDescription();
  EXPECT_EQ(ImportModel::primaryAttributeToRelateBy(entity), "contactID");
  EXPECT_EQ(ImportModel::primaryAttributeToRelateBy(*TestCompany::entityDescription()), "registryNumber");
  EXPECT_EQ(ImportModel::capitalizedFirstCharacterString("ørn"), "Ørn");

  fnd::Ref<TestContact> first = importContact(R"j({"contactID": 7, "fullName": "Kari"})j");
  fnd::Ref<TestContact> again = importContact(R"j({"contactID": 7, "fullName": "Kari Nordmann"})j");
  fnd::Ref<TestContact> other = importContact(R"j({"contactID": "8", "fullName": "Ola"})j");
  EXPECT_EQ(first.get(), again.get());
  EXPECT_EQ(attribute(first, "name"), "Kari Nordmann");
  // A text identifier is matched as the attribute stores it.
  EXPECT_EQ(other.get(), importContact(R"j({"contactID": 8})j").get());
  EXPECT_EQ(TestContact::countOfEntities().value(), 2u);
  // Without an identifier nothing is matched: the data is a new record, never
  // some record that happens to have no identifier.
  fnd::Ref<TestContact> anonymous = importContact(R"j({"fullName": "Uten nummer"})j");
  EXPECT_NE(importContact(R"j({"fullName": "Enda en"})j").get(), anonymous.get());
  EXPECT_EQ(TestContact::countOfEntities().value(), 4u);
}

TEST_F(ImportTest, NumberedAlternativesAreTriedInOrderUntilTheFirstGap) {
  EXPECT_EQ(attribute(importContact(R"j({"contactID": 1, "nick": "n", "alias": "a"})j"), "nickname"), "n");
  EXPECT_EQ(attribute(importContact(R"j({"contactID": 2, "alias": "a", "handle": "h"})j"), "nickname"), "a");
  EXPECT_EQ(attribute(importContact(R"j({"contactID": 3, "handle": "h"})j"), "nickname"), "h");
  // email declares only the second alternative: the gap at the first ends the search.
  fnd::Ref<TestContact> contact = importContact(R"j({"contactID": 4, "mail": "kari@example.no"})j");
  EXPECT_EQ(attribute(contact, "email"), "kari@example.no");
  importContact(R"j({"contactID": 4, "emailAddress": "ny@example.no"})j");
  EXPECT_EQ(attribute(contact, "email"), "kari@example.no");
  const auto* email = TestContact::entityDescription()->attributeNamed("email");
  EXPECT_EQ(ImportModel::lookupKeyForAttribute(*email, data(R"j({"emailAddress": "x"})j").get()), std::nullopt);
}

TEST_F(ImportTest, AbsentKeysKeepValuesNullClearsThemAndKeyPathsReachNestedData) {
  fnd::Ref<TestContact> contact =
      importContact(R"j({"contactID": 1, "fullName": "Kari", "address": {"city": "Bergen"}, "score": 2.5})j");
  EXPECT_EQ(attribute(contact, "city"), "Bergen");
  importContact(R"j({"contactID": 1, "address": "ikke en ordbok"})j");
  EXPECT_EQ(attribute(contact, "name"), "Kari");
  EXPECT_EQ(attribute(contact, "city"), "Bergen");
  importContact(R"j({"contactID": 1, "fullName": null, "address": {"city": null}})j");
  EXPECT_EQ(attribute(contact, "name"), "nil");
  EXPECT_EQ(attribute(contact, "city"), "nil");
  EXPECT_EQ(attribute(contact, "score"), "2.5");
}

TEST_F(ImportTest, AValueTheAttributeCannotHoldIsReportedAndLeavesItUnchanged) {
  std::vector<fnd::Error> reported;
  RecordStore::setErrorHandlerTarget(std::make_shared<int>(0),
                                     [&](const fnd::Error& error) { reported.push_back(error); });
  fnd::Ref<TestContact> contact = importContact(R"j({"contactID": 1, "score": 1.5, "fullName": 42})j");
  EXPECT_EQ(attribute(contact, "name"), "42");
  EXPECT_TRUE(reported.empty());
  importContact(R"j({"contactID": 1, "score": "mye", "fullName": "Kari"})j");
  EXPECT_EQ(attribute(contact, "score"), "1.5");
  EXPECT_EQ(attribute(contact, "name"), "Kari");
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].domain(), kDataImportErrorDomain);
  EXPECT_NE(reported[0].localizedDescription().find("Contact.score"), std::string::npos);
  RecordStore::cleanUpErrorHanding();
}

TEST_F(ImportTest, ColourTextBecomesTheStoredColour) {
  fnd::Ref<TestContact> contact = importContact(R"j({"contactID": 1, "colour": "rgba(255,0,0,1)"})j");
  EXPECT_EQ(contact->valueForKey("colour")->description(), std::to_string(0xFFFF0000u));
  importContact(R"j({"contactID": 1, "colour": "blå"})j");
  EXPECT_EQ(attribute(contact, "colour"), "nil");
}

TEST_F(ImportTest, DateTextsAreReadInTheLocalZoneAndShiftedBySummerTime) {
  fnd::Ref<TestContact> summer = importContact(R"j({"contactID": 1, "born": "2026-07-01T12:00:00Z"})j");
  fnd::Ref<TestContact> winter = importContact(R"j({"contactID": 2, "born": "2026-01-15T12:00:00Z"})j");
  auto seconds = [](const fnd::Ref<TestContact>& contact, std::string_view key) {
    return static_cast<fnd::Date&>(*contact->valueForKey(key)).timeIntervalSince1970();
  };
  // 12:00 in Oslo is 10:00 UTC in summer, then one hour of summer time forward.
  EXPECT_EQ(seconds(summer, "born"), utcSeconds(2026, 7, 1, 11, 0));
  EXPECT_EQ(seconds(winter, "born"), utcSeconds(2026, 1, 15, 11, 0));

  importContact(R"j({"contactID": 1, "lastSeen": "24.12.2025 18:30"})j");
  EXPECT_EQ(seconds(summer, "lastSeen"), utcSeconds(2025, 12, 24, 17, 30));
  importContact(R"j({"contactID": 1, "lastSeen": "2025-12-24", "born": null})j");
  EXPECT_EQ(attribute(summer, "lastSeen"), "nil");
  EXPECT_EQ(attribute(summer, "born"), "nil");
}

TEST_F(ImportTest, RecordClassOperationsRunInOrderAndCanRefuseTheRecord) {
  fnd::Ref<TestContact> contact = importContact(R"j({"contactID": 1, "note": "hei"})j");
  EXPECT_EQ(contact->steps, (std::vector<std::string>{"shouldImport", "willImport", "importNote", "didImport"}));
  EXPECT_EQ(attribute(contact, "note"), "noted: hei");
  importContact(R"j({"contactID": 1, "note": null})j");
  EXPECT_EQ(attribute(contact, "note"), "noted: nil");

  // Refused: nothing changes, and no empty record is left behind.
  EXPECT_EQ(importContact(R"j({"contactID": 1, "fullName": "Ny", "skip": true})j").get(), contact.get());
  EXPECT_EQ(attribute(contact, "name"), "nil");
  EXPECT_EQ(importContact(R"j({"contactID": 2, "fullName": "Ny", "skip": true})j"), nullptr);
  EXPECT_EQ(TestContact::countOfEntities().value(), 1u);
  EXPECT_FALSE(contact->importValuesForKeysWithObject(data(R"j({"skip": 1})j").get()));
}

TEST_F(ImportTest, RelatedRecordsAreFoundOrCreatedAndAttached) {
  fnd::Ref<TestContact> kari = importContact(R"j({"contactID": 1,
      "employer": {"registryNumber": 99, "name": "Telefonsalg AS"},
      "phones": [{"phoneID": 10, "number": "22 22 22 22"}, {"phoneID": 11, "number": "33 33 33 33"}],
      "tags": [{"label": "telefonsalg"}, {"label": "markedsundersøkelse"}]})j");
  fnd::Ref<TestContact> ola = importContact(R"j({"contactID": 2,
      "employer": {"registryNumber": 99, "name": "Telefonsalg AS (ny)"},
      "phones": [11, {"phoneID": 12, "number": "44 44 44 44"}],
      "tags": [{"label": "markedsundersøkelse"}, {"label": "innsamling"}]})j");

  auto company = [](const fnd::Ref<TestContact>& contact) {
    return fnd::Ref<objectstore::ManagedObject>(
        static_cast<objectstore::ManagedObject*>(contact->valueForKey("company").get()));
  };
  ASSERT_TRUE(company(kari));
  EXPECT_EQ(company(kari).get(), company(ola).get());
  EXPECT_EQ(text(company(kari)->valueForKey("name")), "Telefonsalg AS (ny)");
  EXPECT_EQ(TestCompany::countOfEntities().value(), 1u);
  EXPECT_EQ(relatedValues(*kari, "phones", "number"), (std::vector<std::string>{"22 22 22 22", "33 33 33 33"}));
  // A number stands for the identifier of an existing record.
  EXPECT_EQ(relatedValues(*ola, "phones", "number"), (std::vector<std::string>{"33 33 33 33", "44 44 44 44"}));
  EXPECT_EQ(TestPhone::countOfEntities().value(), 3u);
  // Ordered, matched on the relationship's own identifying attribute.
  EXPECT_EQ(relatedValues(*ola, "tags", "label"), (std::vector<std::string>{"markedsundersøkelse", "innsamling"}));
  EXPECT_EQ(TestTag::countOfEntities().value(), 3u);

  // Importing the same data again attaches nothing twice.
  importContact(R"j({"contactID": 1, "phones": [10, 11], "tags": [{"label": "telefonsalg"}]})j");
  EXPECT_EQ(relatedValues(*kari, "phones", "number"), (std::vector<std::string>{"22 22 22 22", "33 33 33 33"}));
  EXPECT_EQ(relatedValues(*kari, "tags", "label"), (std::vector<std::string>{"telefonsalg", "markedsundersøkelse"}));
}

TEST_F(ImportTest, RelationshipOperationsCanSkipOrTakeOverARelationship) {
  fnd::Ref<TestContact> contact = importContact(R"j({"contactID": 1, "phones": [1, 2, 3, 4]})j");
  EXPECT_TRUE(relatedValues(*contact, "phones", "number").empty());
  EXPECT_EQ(TestPhone::countOfEntities().value(), 0u);

  importContact(
      R"j({"contactID": 1, "phones": [{"phoneID": 5, "carrier": {"registryNumber": 1, "name": "Nettselskap"}}]})j");
  ASSERT_EQ(relatedValues(*contact, "phones", "carrierName"), (std::vector<std::string>{"Nettselskap"}));
  fnd::Ref<TestPhone> phone = TestPhone::findFirst();
  EXPECT_EQ(text(phone->valueForKey("carrier")), "nil");
  EXPECT_EQ(TestCompany::countOfEntities().value(), 0u);
}

TEST_F(ImportTest, ACustomRelationshipBlockSeesEachRelatedValue) {
  fnd::Ref<TestContact> contact = TestContact::createEntity();
  std::vector<std::string> seen;
  EXPECT_TRUE(contact->performDataImportFromObject(
      data(R"j({"employer": 5, "phones": [1, {"phoneID": 2}], "tags": null})j").get(),
      [&](const RelationshipDescription& relationship, fnd::Object* value) {
        seen.push_back(relationship.name + "=" +
                       (value->kind() == fnd::ObjectKind::Dictionary ? "dictionary" : value->description()));
      }));
  EXPECT_EQ(seen, (std::vector<std::string>{"company=5", "phones=1", "phones=dictionary"}));
}

TEST_F(ImportTest, AnArrayIsImportedSavedAndReturnedInTheGivenContext) {
  fnd::Ref<fnd::Object> list = data(R"j([{"contactID": 1, "fullName": "Kari"}, {"contactID": 2, "skip": true},
                                        {"contactID": 1, "nick": "K"}, {"contactID": 3, "fullName": "Ola"}])j");
  std::optional<TestContact::List> contacts = TestContact::importFromArray(static_cast<fnd::Array&>(*list));
  ASSERT_TRUE(contacts);
  ASSERT_EQ(contacts->size(), 2u);
  for (const fnd::Ref<TestContact>& contact : *contacts) {
    EXPECT_EQ(contact->managedObjectContext(), StoreContext::defaultContext().get());
  }
  reopen();
  std::optional<TestContact::List> stored = TestContact::findAllSortedBy("contactID", true);
  ASSERT_TRUE(stored);
  ASSERT_EQ(stored->size(), 2u);
  EXPECT_EQ(attribute((*stored)[0], "name") + "/" + attribute((*stored)[0], "nickname"), "Kari/K");
  EXPECT_EQ(attribute((*stored)[1], "name"), "Ola");
}

}  // namespace
}  // namespace store::import_test
