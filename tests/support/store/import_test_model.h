#pragma once
// A small model of its own for the data import tests: Contact (matched on
// contactID) with an employer Company, Phones, and ordered Tags, and the
// record classes with import operations; plus a fixture with a store file.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimeZone>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "platform/foundation/date.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"
#include "store/importable_record.h"
#include "store/model_bundle.h"
#include "store/record_store.h"

namespace store::import_test {

using objectstore::AttributeType;

inline fnd::Ref<fnd::Dictionary> info(std::initializer_list<std::pair<const char*, const char*>> entries) {
  auto dictionary = fnd::ObjectDictionary::createMutable();
  for (const auto& [key, value] : entries) dictionary->setObject(fnd::str(value).get(), key);
  return dictionary;
}

inline constexpr std::size_t kMaximumPhones = 3;

class TestContact final : public ImportableRecord<TestContact> {
 public:
  static constexpr std::string_view kEntityName = "Contact";

  static const ImportOperations& importOperations() {
    static const ImportOperations operations = ImportOperations::of<TestContact>({
        {"shouldImport:", &TestContact::shouldImport},
        {"willImport:", &TestContact::willImport},
        {"didImport:", &TestContact::didImport},
        {"importNote:", &TestContact::importNote},
        {"shouldImportPhones:", &TestContact::shouldImportPhones},
    });
    return operations;
  }

  std::vector<std::string> steps;  // the operations called, in order

 private:
  bool shouldImport(fnd::Object* data) {
    steps.push_back("shouldImport");
    auto* dictionary = dynamic_cast<fnd::Dictionary*>(data);
    return !(dictionary && dictionary->objectForKey("skip"));
  }
  void willImport(fnd::Object*) { steps.push_back("willImport"); }
  void didImport(fnd::Object*) { steps.push_back("didImport"); }
  void importNote(fnd::Object* value) {
    steps.push_back("importNote");
    setValueForKey(fnd::str("noted: " + (value ? value->description() : std::string("nil"))).get(), "note");
  }
  bool shouldImportPhones(fnd::Object* list) {
    auto* phones = dynamic_cast<fnd::Array*>(list);
    return phones && phones->count() <= kMaximumPhones;
  }
};

class TestPhone final : public ImportableRecord<TestPhone> {
 public:
  static constexpr std::string_view kEntityName = "Phone";
  static const ImportOperations& importOperations() {
    static const ImportOperations operations =
        ImportOperations::of<TestPhone>({{"importCarrier:", &TestPhone::importCarrier}});
    return operations;
  }

 private:
  // Keeps the carrier's name instead of a related record.
  void importCarrier(fnd::Object* data) {
    auto* dictionary = dynamic_cast<fnd::Dictionary*>(data);
    auto* carrier = dictionary ? dynamic_cast<fnd::Dictionary*>(dictionary->objectForKey("carrier")) : nullptr;
    if (carrier) setValueForKey(carrier->objectForKey("name"), "carrierName");
  }
};

class TestCompany final : public ImportableRecord<TestCompany> {
 public:
  static constexpr std::string_view kEntityName = "Company";
};

class TestTag final : public ImportableRecord<TestTag> {
 public:
  static constexpr std::string_view kEntityName = "Tag";
};

inline std::shared_ptr<const objectstore::ManagedObjectModel> importTestModel() {
  auto model = std::make_shared<objectstore::ManagedObjectModel>();
  auto& contact = model->addEntity("Contact");
  contact.addAttribute({.name = "contactID", .type = AttributeType::Integer64, .isIndexed = true});
  contact.addAttribute({.name = "name", .userInfo = info({{"mappedKeyName", "fullName"}})});
  contact.addAttribute(
      {.name = "nickname",
       .userInfo = info({{"mappedKeyName", "nick"}, {"mappedKeyName.1", "alias"}, {"mappedKeyName.2", "handle"}})});
  contact.addAttribute(
      {.name = "email", .userInfo = info({{"mappedKeyName", "mail"}, {"mappedKeyName.2", "emailAddress"}})});
  contact.addAttribute({.name = "city", .userInfo = info({{"mappedKeyName", "address.city"}})});
  contact.addAttribute(
      {.name = "colour", .type = AttributeType::Integer64, .userInfo = info({{"attributeValueClassName", "UIColor"}})});
  contact.addAttribute({.name = "born", .type = AttributeType::Date});
  contact.addAttribute(
      {.name = "lastSeen", .type = AttributeType::Date, .userInfo = info({{"dateFormat", "dd.MM.yyyy HH:mm"}})});
  contact.addAttribute({.name = "score", .type = AttributeType::Double});
  contact.addAttribute({.name = "note"});
  contact.addRelationship(
      {.name = "company", .destinationEntityName = "Company", .userInfo = info({{"mappedKeyName", "employer"}})});
  contact.addRelationship({.name = "phones", .destinationEntityName = "Phone", .isToMany = true});
  contact.addRelationship({.name = "tags",
                           .destinationEntityName = "Tag",
                           .isToMany = true,
                           .isOrdered = true,
                           .userInfo = info({{"relatedByAttribute", "label"}})});
  contact.setInstanceFactory([] { return new TestContact; });

  auto& company = model->addEntity("Company");
  company.setUserInfo(info({{"relatedByAttribute", "registryNumber"}}));
  company.addAttribute({.name = "registryNumber", .type = AttributeType::Integer64});
  company.addAttribute({.name = "name"});
  company.setInstanceFactory([] { return new TestCompany; });

  auto& phone = model->addEntity("Phone");
  phone.addAttribute({.name = "phoneID", .type = AttributeType::Integer64});
  phone.addAttribute({.name = "number"});
  phone.addAttribute({.name = "carrierName"});
  phone.addRelationship({.name = "carrier", .destinationEntityName = "Company"});
  phone.setInstanceFactory([] { return new TestPhone; });

  // No attribute of the default name "tagID": tags are matched only through
  // the relationship's own identifying attribute.
  auto& tag = model->addEntity("Tag");
  tag.addAttribute({.name = "label"});
  tag.setInstanceFactory([] { return new TestTag; });
  model->finish();
  return model;
}

// A record store over a file of its own, in a time zone with summer time.
class ImportTest : public ::testing::Test {
 protected:
  static constexpr const char* kModelName = "ImportTest";

  static void SetUpTestSuite() {
    setenv("TZ", "Europe/Oslo", 1);
    tzset();
  }
  void SetUp() override {
    ASSERT_EQ(QTimeZone::systemTimeZoneId(), "Europe/Oslo");
    ModelBundle::addModel(kModelName, importTestModel());
    setUpStack();
  }
  void TearDown() override {
    RecordStore::cleanUp();
    ModelBundle::removeModel(kModelName);
  }
  void setUpStack() { RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(storePath()); }
  // Tears the stack down and sets it up again over the same file.
  void reopen() {
    RecordStore::cleanUp();
    setUpStack();
  }
  std::string storePath() const { return m_directory.filePath("import.sqlite").toStdString(); }

  QTemporaryDir m_directory;
};

// Seconds since 1970 of a UTC wall-clock time.
inline double utcSeconds(int year, int month, int day, int hour, int minute) {
  return static_cast<double>(
      QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone::utc()).toSecsSinceEpoch());
}

inline std::string text(const fnd::Ref<fnd::Object>& value) { return value ? value->description() : "nil"; }

// The values under `key` of the records in a to-many relationship, in order.
inline std::vector<std::string> relatedValues(const objectstore::ManagedObject& record, std::string_view relationship,
                                              std::string_view key) {
  std::vector<std::string> values;
  fnd::Ref<fnd::Object> list = record.valueForKey(relationship);
  for (fnd::Object* element : static_cast<const fnd::Array&>(*list)) {
    values.push_back(text(static_cast<objectstore::ManagedObject*>(element)->valueForKey(key)));
  }
  return values;
}

}  // namespace store::import_test
