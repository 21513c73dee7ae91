// covers: data_import.cpp, import_model.cpp
// A decoded JSON document of a thousand contacts with nested related objects,
// imported in one save and read back record by record from the reopened store.
#include <gtest/gtest.h>

#include <string>

#include "json/json_decoder.h"
#include "platform/foundation/data.h"
#include "tests/support/store/import_test_model.h"

namespace store::import_test {
namespace {

constexpr int kContacts = 1000;
constexpr int kCompanies = 20;
constexpr int kPhonesPerContact = 2;
constexpr const char* kTags[] = {"telefonsalg", "markedsundersøkelse", "innsamling", "forsikring", "strøm"};
constexpr int kTagCount = static_cast<int>(std::size(kTags));
constexpr int kTagsPerContact = 2;

std::string phoneNumber(int contact, int phone) {
  return std::to_string(40000000 + contact * kPhonesPerContact + phone);
}
int phoneID(int contact, int phone) { return contact * kPhonesPerContact + phone; }
int companyOf(int contact) { return contact % kCompanies; }
int tagOf(int contact, int slot) { return (contact + slot * 2) % kTagCount; }
int redOf(int contact) { return contact % 256; }
int dayOf(int contact) { return 1 + contact % 28; }

// Odd contacts name themselves through the first alternative, even ones through the mapped key.
std::string contactJSON(int i) {
  std::string json = "{\"contactID\": " + std::to_string(i) + ", \"fullName\": \"Kontakt " + std::to_string(i) + "\"";
  json += i % 2 ? ", \"alias\": \"k" + std::to_string(i) + "\"" : ", \"nick\": \"n" + std::to_string(i) + "\"";
  json += ", \"address\": {\"city\": \"By " + std::to_string(i % 7) + "\"}";
  json += ", \"colour\": \"rgba(" + std::to_string(redOf(i)) + ",0,255,1)\"";
  json += ", \"born\": \"2026-01-" + std::string(dayOf(i) < 10 ? "0" : "") + std::to_string(dayOf(i)) + "T08:30:00Z\"";
  json += ", \"employer\": {\"registryNumber\": " + std::to_string(companyOf(i)) + ", \"name\": \"Firma " +
          std::to_string(companyOf(i)) + "\"}";
  json += ", \"phones\": [";
  for (int p = 0; p < kPhonesPerContact; ++p) {
    json += std::string(p ? ", " : "") + "{\"phoneID\": " + std::to_string(phoneID(i, p)) + ", \"number\": \"" +
            phoneNumber(i, p) + "\"}";
  }
  json += "], \"tags\": [";
  for (int t = 0; t < kTagsPerContact; ++t)
    json += std::string(t ? ", " : "") + "{\"label\": \"" + kTags[tagOf(i, t)] + "\"}";
  return json + "]}";
}

fnd::Ref<fnd::Array> decodedDocument() {
  std::string json = "[";
  for (int i = 0; i < kContacts; ++i) json += (i ? ",\n" : "") + contactJSON(i);
  json += "]";
  fnd::Ref<fnd::Object> decoded = json::objectFromJSONData(fnd::Data::create(std::move(json)).get());
  return fnd::Ref<fnd::Array>(dynamic_cast<fnd::Array*>(decoded.get()));
}

void expectStoredAsImported(const TestContact& contact, int i) {
  SCOPED_TRACE("contact " + std::to_string(i));
  EXPECT_EQ(text(contact.valueForKey("name")), "Kontakt " + std::to_string(i));
  EXPECT_EQ(text(contact.valueForKey("nickname")), (i % 2 ? "k" : "n") + std::to_string(i));
  EXPECT_EQ(text(contact.valueForKey("city")), "By " + std::to_string(i % 7));
  const std::uint32_t argb = 0xFF0000FFu | static_cast<std::uint32_t>(redOf(i)) << 16;
  EXPECT_EQ(text(contact.valueForKey("colour")), std::to_string(argb));
  // 08:30 in Oslo in January is 07:30 UTC, with no summer-time shift.
  auto* born = dynamic_cast<fnd::Date*>(contact.valueForKey("born").get());
  ASSERT_TRUE(born);
  EXPECT_EQ(born->timeIntervalSince1970(), utcSeconds(2026, 1, dayOf(i), 7, 30));
  fnd::Ref<fnd::Object> company = contact.valueForKey("company");
  ASSERT_TRUE(company);
  EXPECT_EQ(text(static_cast<objectstore::ManagedObject&>(*company).valueForKey("name")),
            "Firma " + std::to_string(companyOf(i)));
  std::vector<std::string> numbers;
  for (int p = 0; p < kPhonesPerContact; ++p) numbers.push_back(phoneNumber(i, p));
  EXPECT_EQ(relatedValues(contact, "phones", "number"), numbers);
  std::vector<std::string> tags;
  for (int t = 0; t < kTagsPerContact; ++t) tags.emplace_back(kTags[tagOf(i, t)]);
  EXPECT_EQ(relatedValues(contact, "tags", "label"), tags);
}

TEST_F(ImportTest, ThousandDecodedContactsSurviveReopeningRecordByRecord) {
  fnd::Ref<fnd::Array> document = decodedDocument();
  ASSERT_TRUE(document);
  ASSERT_EQ(document->count(), static_cast<std::size_t>(kContacts));

  std::optional<TestContact::List> imported = TestContact::importFromArray(*document);
  ASSERT_TRUE(imported);
  EXPECT_EQ(imported->size(), static_cast<std::size_t>(kContacts));

  reopen();
  std::optional<TestContact::List> contacts = TestContact::findAllSortedBy("contactID", true);
  ASSERT_TRUE(contacts);
  ASSERT_EQ(contacts->size(), static_cast<std::size_t>(kContacts));
  for (int i = 0; i < kContacts; ++i) {
    const TestContact& contact = *(*contacts)[static_cast<std::size_t>(i)];
    ASSERT_EQ(text(contact.valueForKey("contactID")), std::to_string(i));
    expectStoredAsImported(contact, i);
  }
  EXPECT_EQ(TestCompany::countOfEntities().value(), static_cast<std::size_t>(kCompanies));
  EXPECT_EQ(TestPhone::countOfEntities().value(), static_cast<std::size_t>(kContacts * kPhonesPerContact));
  EXPECT_EQ(TestTag::countOfEntities().value(), static_cast<std::size_t>(kTagCount));

  // The same document again updates the records in place.
  ASSERT_TRUE(TestContact::importFromArray(*document));
  reopen();
  EXPECT_EQ(TestContact::countOfEntities().value(), static_cast<std::size_t>(kContacts));
  EXPECT_EQ(TestPhone::countOfEntities().value(), static_cast<std::size_t>(kContacts * kPhonesPerContact));
  expectStoredAsImported(*TestContact::findFirstByAttribute("contactID", fnd::Number::create(std::int64_t{517}).get()),
                         517);
}

}  // namespace
}  // namespace store::import_test
