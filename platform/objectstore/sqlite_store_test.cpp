// covers: sqlite_store.cpp, store_files.cpp
#include "platform/objectstore/sqlite_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sqlite3.h>

#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/foundation/data.h"
#include "platform/foundation/date.h"
#include "platform/foundation/object_array.h"
#include "platform/foundation/string_object.h"
#include "platform/objectstore/sql_filter.h"
#include "platform/objectstore/store_files.h"
#include "tests/support/objectstore/store_fixture.h"
#include "tests/support/objectstore/test_model.h"

namespace objectstore {
namespace {

using Value = fnd::Ref<fnd::Object>;

Value integer(std::int64_t value) { return fnd::Number::create(value); }
Value real(double value) { return fnd::Number::create(value); }

std::uint64_t bitsOf(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

std::vector<std::int64_t> keysOf(const std::vector<ManagedObjectRef>& records) {
  std::vector<std::int64_t> keys;
  for (const ManagedObjectRef& record : records) keys.push_back(record->objectID().key);
  return keys;
}

std::string textOf(const ManagedObject& record, std::string_view key) {
  Value value = record.valueForKey(key);
  return value ? value->description() : "nil";
}

class SqliteStoreTest : public test::StoreFixture {
 protected:
  void SetUp() override { openSamples(); }
  void openSamples() {
    open(test::samplesModel());
    ASSERT_FALSE(m_openError) << m_openError->localizedDescription();
  }

  // Stores one record per value of `key`, restarts, and gives back what was read.
  std::vector<Value> roundTrip(const char* key, const std::vector<Value>& values) {
    for (const Value& value : values) m_root->insertNewObject("Sample")->setValueForKey(value.get(), key);
    EXPECT_TRUE(save(m_root));
    reopen();
    std::vector<Value> read;
    for (const ManagedObjectRef& record : all(m_root, "Sample")) read.push_back(record->valueForKey(key));
    return read;
  }
};

TEST_F(SqliteStoreTest, TextsAndBytesRoundTripExactly) {
  const std::vector<Value> texts = {fnd::str("Ringeplagvern"),
                                    fnd::str(""),
                                    fnd::str("Æøå ÆØÅ – 😀 e\u0301 ½"),
                                    fnd::str("quote ' double \" percent % under _ star * back \\"),
                                    fnd::str("line\nfeed\ttab\r"),
                                    fnd::str(std::string(100000, 'x') + "ø"),
                                    nullptr};
  std::vector<Value> read = roundTrip("name", texts);
  ASSERT_EQ(read.size(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_TRUE(fnd::objectsEqual(read[i].get(), texts[i].get())) << i;
    if (texts[i]) {
      EXPECT_NE(read[i], nullptr) << "an empty text is a value, not nil: " << i;
    }
  }
  const std::vector<Value> blobs = {fnd::Data::create(std::string("\0\1\2\0\xff\0", 6)),
                                    fnd::Data::create(std::string()), fnd::Data::create(std::string(70000, '\0')),
                                    nullptr};
  for (ManagedObjectRef& record : all(m_root, "Sample")) m_root->deleteObject(*record);
  read = roundTrip("blob", blobs);
  ASSERT_EQ(read.size(), blobs.size());
  for (std::size_t i = 0; i < blobs.size(); ++i) {
    EXPECT_TRUE(fnd::objectsEqual(read[i].get(), blobs[i].get())) << i;
    if (blobs[i]) {
      ASSERT_NE(read[i], nullptr) << i;
      EXPECT_EQ(static_cast<const fnd::Data&>(*read[i]).length(), static_cast<const fnd::Data&>(*blobs[i]).length());
    }
  }
}

TEST_F(SqliteStoreTest, IntegersKeepTheirLimits) {
  struct Case {
    const char* key;
    std::int64_t least;
    std::int64_t most;
  };
  for (const Case& c :
       {Case{"i16", std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()},
        Case{"i32", std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()},
        Case{"i64", std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()}}) {
    for (ManagedObjectRef& record : all(m_root, "Sample")) m_root->deleteObject(*record);
    std::vector<Value> read = roundTrip(c.key, {integer(c.least), integer(c.most), integer(0), integer(-1), nullptr});
    ASSERT_EQ(read.size(), 5u) << c.key;
    EXPECT_EQ(static_cast<const fnd::Number&>(*read[0]).int64Value(), c.least) << c.key;
    EXPECT_EQ(static_cast<const fnd::Number&>(*read[1]).int64Value(), c.most) << c.key;
    EXPECT_EQ(static_cast<const fnd::Number&>(*read[2]).int64Value(), 0) << c.key;
    EXPECT_EQ(static_cast<const fnd::Number&>(*read[3]).int64Value(), -1) << c.key;
    EXPECT_EQ(read[4], nullptr) << c.key;
  }
}

TEST_F(SqliteStoreTest, DoublesDatesAndBooleansKeepEveryBit) {
  const double doubles[] = {0.1 + 0.2,
                            -2.5,
                            1e308,
                            -std::numeric_limits<double>::max(),
                            std::numeric_limits<double>::denorm_min(),
                            9007199254740993.0,
                            123456789.0,
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity()};
  std::vector<Value> values;
  for (double value : doubles) values.push_back(real(value));
  std::vector<Value> read = roundTrip("d", values);
  ASSERT_EQ(read.size(), std::size(doubles));
  for (std::size_t i = 0; i < std::size(doubles); ++i) {
    ASSERT_NE(read[i], nullptr) << i;
    EXPECT_EQ(bitsOf(static_cast<const fnd::Number&>(*read[i]).doubleValue()), bitsOf(doubles[i])) << doubles[i];
  }

  for (ManagedObjectRef& record : all(m_root, "Sample")) m_root->deleteObject(*record);
  const double seconds[] = {0, 1e9 + 0.123456, -1e10 - 0.5, 4102444800.000001};
  values.clear();
  for (double value : seconds) values.push_back(fnd::Date::create(value));
  read = roundTrip("when", values);
  ASSERT_EQ(read.size(), std::size(seconds));
  for (std::size_t i = 0; i < std::size(seconds); ++i) {
    ASSERT_NE(read[i], nullptr);
    ASSERT_EQ(read[i]->kind(), fnd::ObjectKind::Date);
    EXPECT_EQ(static_cast<const fnd::Date&>(*read[i]).timeIntervalSince1970(), seconds[i]);
  }

  for (ManagedObjectRef& record : all(m_root, "Sample")) m_root->deleteObject(*record);
  read = roundTrip("flag", {Value(fnd::Number::yes()), Value(fnd::Number::no()), integer(7), nullptr});
  ASSERT_EQ(read.size(), 4u);
  EXPECT_EQ(read[0].get(), fnd::Number::yes());
  EXPECT_EQ(read[1].get(), fnd::Number::no());
  EXPECT_EQ(read[2].get(), fnd::Number::yes()) << "any non-zero number stored as a boolean is YES";
  EXPECT_EQ(read[3], nullptr);
}

TEST_F(SqliteStoreTest, DefaultsAreGivenToNewRecordsAndStored) {
  open(test::peopleModel(true));
  ASSERT_FALSE(m_openError);
  ManagedObjectRef fresh = m_root->insertNewObject("Person");
  EXPECT_EQ(fresh->valueForKey("member").get(), fnd::Number::no());
  EXPECT_EQ(textOf(*fresh, "nickname"), "none");
  EXPECT_EQ(fresh->valueForKey("age"), nullptr);
  ManagedObjectRef cleared = m_root->insertNewObject("Person");
  cleared->setValueForKey(nullptr, "nickname");
  ASSERT_TRUE(save(m_root));
  reopen();
  std::vector<ManagedObjectRef> people = all(m_root, "Person");
  ASSERT_EQ(people.size(), 2u);
  EXPECT_EQ(textOf(*people[0], "nickname"), "none");
  EXPECT_EQ(people[0]->valueForKey("member").get(), fnd::Number::no());
  EXPECT_EQ(people[1]->valueForKey("nickname"), nullptr) << "a default cleared before the save stays cleared";
}

TEST_F(SqliteStoreTest, RelationshipsKeepTheirTargetsAndOrderAcrossRestarts) {
  open(test::peopleModel());
  ASSERT_FALSE(m_openError);
  ManagedObjectRef ann = m_root->insertNewObject("Person");
  ann->setValueForKey(fnd::str("Ann").get(), "name");
  ManagedObjectRef bob = m_root->insertNewObject("Person");
  bob->setValueForKey(fnd::str("Bob").get(), "name");
  ManagedObjectRef acme = m_root->insertNewObject("Company");
  acme->setValueForKey(fnd::str("Acme").get(), "title");
  ann->setValueForKey(acme.get(), "employer");
  bob->setValueForKey(acme.get(), "employer");
  std::vector<ManagedObjectRef> phones;
  for (const char* number : {"5", "1", "4", "2", "3"}) {
    phones.push_back(m_root->insertNewObject("Phone"));
    phones.back()->setValueForKey(fnd::str(number).get(), "number");
    ann->addObjectToRelationship(*phones.back(), "phones");
  }
  bob->addObjectToRelationship(*phones[1], "phones");
  ASSERT_TRUE(save(m_root));

  auto numbers = [](const ManagedObject& person) {
    std::string text;
    Value list = person.valueForKey("phones");
    for (fnd::Object* phone : static_cast<const fnd::Array&>(*list)) {
      text += static_cast<ManagedObject*>(phone)->valueForKey("number")->description();
    }
    return text;
  };
  reopen();
  std::vector<ManagedObjectRef> people = all(m_root, "Person");
  ASSERT_EQ(people.size(), 2u);
  EXPECT_EQ(numbers(*people[0]), "51423");
  EXPECT_EQ(numbers(*people[1]), "1");
  EXPECT_EQ(textOf(static_cast<ManagedObject&>(*people[0]->valueForKey("employer")), "title"), "Acme");
  EXPECT_EQ(people[0]->valueForKey("employer").get(), people[1]->valueForKey("employer").get())
      << "one record is one object in a context";

  // Reorder, remove and add after the restart; clear a to-one.
  Value list = people[0]->valueForKey("phones");
  auto& stored = static_cast<const fnd::Array&>(*list);
  std::vector<ManagedObjectRef> current;
  for (fnd::Object* phone : stored) current.emplace_back(static_cast<ManagedObject*>(phone));
  people[0]->removeObjectFromRelationship(*current[0], "phones");
  people[0]->addObjectToRelationship(*current[0], "phones");
  people[0]->removeObjectFromRelationship(*current[2], "phones");
  people[1]->setValueForKey(nullptr, "employer");
  ASSERT_TRUE(save(m_root));
  reopen();
  people = all(m_root, "Person");
  EXPECT_EQ(numbers(*people[0]), "1235");
  EXPECT_EQ(numbers(*people[1]), "1");
  EXPECT_EQ(people[1]->valueForKey("employer"), nullptr);
  EXPECT_NE(people[0]->valueForKey("employer"), nullptr);
  EXPECT_EQ(all(m_root, "Phone").size(), 5u) << "leaving a list does not delete the record";
}

TEST_F(SqliteStoreTest, DeletesOfScatteredKeysRemoveExactlyThoseRows) {
  for (int i = 1; i <= 10; ++i) m_root->insertNewObject("Sample")->setValueForKey(integer(i).get(), "i32");
  ASSERT_TRUE(save(m_root));
  reopen();
  std::vector<ManagedObjectRef> samples = all(m_root, "Sample");
  ASSERT_EQ(samples.size(), 10u);
  std::vector<std::int64_t> keys = keysOf(samples);
  // Deleted in an order other than the keys', with runs of one and of three.
  for (std::size_t index : {7u, 0u, 4u, 2u, 6u, 1u}) m_root->deleteObject(*samples[index]);
  ASSERT_TRUE(save(m_root));
  reopen();
  std::vector<ManagedObjectRef> left = all(m_root, "Sample");
  EXPECT_EQ(keysOf(left), (std::vector<std::int64_t>{keys[3], keys[5], keys[8], keys[9]}));
  std::string values;
  for (const ManagedObjectRef& sample : left) values += textOf(*sample, "i32") + " ";
  EXPECT_EQ(values, "4 6 9 10 ");
  // The last and the first row alone, then the rest together.
  m_root->deleteObject(*left[3]);
  m_root->deleteObject(*left[0]);
  ASSERT_TRUE(save(m_root));
  reopen();
  EXPECT_EQ(keysOf(all(m_root, "Sample")), (std::vector<std::int64_t>{keys[5], keys[8]}));
  for (ManagedObjectRef& sample : all(m_root, "Sample")) m_root->deleteObject(*sample);
  ASSERT_TRUE(save(m_root));
  reopen();
  EXPECT_TRUE(all(m_root, "Sample").empty());
}

TEST_F(SqliteStoreTest, KeysOfNewRecordsNeverRepeatAfterARestart) {
  for (int i = 0; i < 3; ++i) m_root->insertNewObject("Sample");
  ASSERT_TRUE(save(m_root));
  reopen();
  ManagedObjectRef later = m_root->insertNewObject("Sample");
  std::vector<std::int64_t> before = keysOf(all(m_root, "Sample"));
  EXPECT_EQ(std::count(before.begin(), before.end(), later->objectID().key), 1);
  ASSERT_TRUE(save(m_root));
  reopen();
  std::vector<std::int64_t> keys = keysOf(all(m_root, "Sample"));
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
}

TEST_F(SqliteStoreTest, AFailedSaveAppliesNothing) {
  m_root->insertNewObject("Sample")->setValueForKey(fnd::str("kept").get(), "name");
  ASSERT_TRUE(save(m_root));
  std::vector<ManagedObjectRef> existing = all(m_root, "Sample");
  ASSERT_EQ(existing.size(), 1u);
  const EntityDescription& sample = *entity("Sample");
  RecordValues fresh;
  fresh.attributes.resize(sample.attributes().size());
  fresh.attributes[0] = fnd::str("new");
  RecordValues changed = fresh;
  changed.attributes[0] = fnd::str("changed");
  StoreChange insert{StoreChange::Kind::Insert, m_coordinator->newObjectID(sample), &fresh, {}};
  std::vector<bool> changedProperties(sample.attributes().size(), false);
  changedProperties[0] = true;
  StoreChange update{StoreChange::Kind::Update, existing[0]->objectID(), &changed, &changedProperties};
  // A second row under a key that is taken cannot be written: the whole save must fail.
  StoreChange clash{StoreChange::Kind::Insert, existing[0]->objectID(), &fresh, {}};
  std::optional<fnd::Error> error;
  EXPECT_FALSE(m_store->storage().save({insert, update, clash}, &error));
  ASSERT_TRUE(error);
  EXPECT_EQ(error->domain(), kCocoaErrorDomain);
  reopen();
  std::vector<ManagedObjectRef> after = all(m_root, "Sample");
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(textOf(*after[0], "name"), "kept");
  // The same changes without the clash go through whole.
  EXPECT_TRUE(m_store->storage().save({insert, update}, nullptr));
  reopen();
  after = all(m_root, "Sample");
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(textOf(*after[0], "name"), "changed");
  EXPECT_EQ(textOf(*after[1], "name"), "new");
}

TEST_F(SqliteStoreTest, StoreFilesAndTheFoldersMadeForThemAreTheUsersAlone) {
  const auto modeOf = [](const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0u;
  };
  const mode_t previousMask = ::umask(022);
  close();
  destroyStoreFiles(path());
  openSamples();
  m_root->insertNewObject("Sample");
  ASSERT_TRUE(save(m_root));
  for (const char* suffix : {"", "-wal", "-shm"}) EXPECT_EQ(modeOf(path() + suffix), 0600u) << "store file" << suffix;

  const std::string nested = m_directory.filePath("made/for/store.sqlite").toStdString();
  ASSERT_TRUE(createStoreDirectory(nested, nullptr));
  EXPECT_EQ(modeOf(m_directory.filePath("made").toStdString()), 0700u);
  EXPECT_EQ(modeOf(m_directory.filePath("made/for").toStdString()), 0700u);
  ::umask(previousMask);
}

TEST_F(SqliteStoreTest, FilesThatAreNoStoreAreRefusedAndEmptyOnesBecomeStores) {
  m_root->insertNewObject("Sample");
  ASSERT_TRUE(save(m_root));
  close();
  for (const QByteArray& content :
       {QByteArray("This is a note, not a database.\n"), QByteArray(8192, '\xA5'), QByteArray("SQLite format 3", 15)}) {
    QFile::remove(QString::fromStdString(path() + "-wal"));
    QFile::remove(QString::fromStdString(path() + "-shm"));
    QFile file(QString::fromStdString(path()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    open(test::samplesModel());
    ASSERT_TRUE(m_openError) << content.left(20).toStdString();
    EXPECT_EQ(m_openError->domain(), kCocoaErrorDomain);
    EXPECT_EQ(m_openError->code(), kFileReadCorruptFileError) << m_openError->localizedDescription();
    EXPECT_EQ(m_store, nullptr);
  }
  close();
  QFile file(QString::fromStdString(path()));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.close();
  openSamples();
  m_root->insertNewObject("Sample");
  ASSERT_TRUE(save(m_root));
  reopen();
  EXPECT_EQ(all(m_root, "Sample").size(), 1u);
}

TEST_F(SqliteStoreTest, AModelThatDoesNotFitIsRefusedAndTheFileKept) {
  m_root->insertNewObject("Sample")->setValueForKey(fnd::str("kept").get(), "name");
  ASSERT_TRUE(save(m_root));
  close();
  open(test::samplesModel(AttributeType::Integer64), /*migrate=*/false);
  ASSERT_TRUE(m_openError);
  EXPECT_EQ(m_openError->code(), kPersistentStoreIncompatibleVersionHashError);
  // A property that changed its type cannot be migrated by inference.
  open(test::samplesModel(AttributeType::Integer64));
  ASSERT_TRUE(m_openError);
  EXPECT_EQ(m_openError->code(), kMigrationMissingSourceModelError) << m_openError->localizedDescription();
  EXPECT_EQ(m_store, nullptr);
  openSamples();
  std::vector<ManagedObjectRef> samples = all(m_root, "Sample");
  ASSERT_EQ(samples.size(), 1u);
  EXPECT_EQ(textOf(*samples[0], "name"), "kept");
}

std::shared_ptr<ManagedObjectModel> grownSamplesModel() {
  auto model = std::make_shared<ManagedObjectModel>();
  EntityDescription& sample = model->addEntity("Sample");
  const std::shared_ptr<ManagedObjectModel> original = test::samplesModel();
  for (const AttributeDescription& attribute : original->entityNamed("Sample")->attributes()) {
    sample.addAttribute(attribute);
  }
  sample.addAttribute(
      {.name = "rank", .type = AttributeType::Integer32, .defaultValue = fnd::Number::create(std::int64_t{-7})});
  sample.addAttribute(
      {.name = "owner", .type = AttributeType::String, .defaultValue = fnd::Ref<fnd::Object>(fnd::str("O'Neil"))});
  sample.addAttribute({.name = "note", .type = AttributeType::String});
  sample.addAttribute(
      {.name = "ratio", .type = AttributeType::Double, .defaultValue = fnd::Number::create(0.12345678901234567)});
  sample.addRelationship({.name = "tags", .destinationEntityName = "Tag", .isToMany = true, .isOrdered = true});
  sample.addRelationship({.name = "first", .destinationEntityName = "Tag"});
  model->addEntity("Tag").addAttribute({.name = "word", .type = AttributeType::String});
  model->finish();
  return model;
}

TEST_F(SqliteStoreTest, MigrationAddsColumnsEntitiesAndRelationshipsAndKeepsRows) {
  for (int i = 0; i < 3; ++i) {
    ManagedObjectRef sample = m_root->insertNewObject("Sample");
    sample->setValueForKey(fnd::str("row " + std::to_string(i)).get(), "name");
    sample->setValueForKey(integer(i * 100).get(), "i64");
  }
  ASSERT_TRUE(save(m_root));
  open(grownSamplesModel());
  ASSERT_FALSE(m_openError) << m_openError->localizedDescription();
  std::vector<ManagedObjectRef> samples = all(m_root, "Sample");
  ASSERT_EQ(samples.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(textOf(*samples[i], "name"), "row " + std::to_string(i));
    EXPECT_EQ(textOf(*samples[i], "i64"), std::to_string(i * 100));
    EXPECT_EQ(textOf(*samples[i], "rank"), "-7") << "an added attribute gives old rows its default";
    EXPECT_EQ(textOf(*samples[i], "owner"), "O'Neil");
    EXPECT_EQ(samples[i]->valueForKey("ratio")->description(), fnd::Number::create(0.12345678901234567)->description())
        << "a default given to old rows keeps every digit";
    EXPECT_EQ(samples[i]->valueForKey("note"), nullptr);
    EXPECT_EQ(static_cast<const fnd::Array&>(*samples[i]->valueForKey("tags")).count(), 0u);
    EXPECT_EQ(samples[i]->valueForKey("first"), nullptr);
  }
  ManagedObjectRef tag = m_root->insertNewObject("Tag");
  tag->setValueForKey(fnd::str("new").get(), "word");
  samples[1]->addObjectToRelationship(*tag, "tags");
  samples[1]->setValueForKey(tag.get(), "first");
  ASSERT_TRUE(save(m_root));
  reopen();
  samples = all(m_root, "Sample");
  ASSERT_EQ(samples.size(), 3u);
  EXPECT_EQ(static_cast<const fnd::Array&>(*samples[1]->valueForKey("tags")).count(), 1u);
  EXPECT_EQ(textOf(static_cast<ManagedObject&>(*samples[1]->valueForKey("first")), "word"), "new");
  // Opening the migrated file again needs no migration.
  open(m_model, /*migrate=*/false);
  EXPECT_FALSE(m_openError);
}

TEST_F(SqliteStoreTest, PropertiesAndEntitiesThatLeaveAndComeBackStartAgainFromTheirDefaults) {
  open(grownSamplesModel());
  ASSERT_FALSE(m_openError) << m_openError->localizedDescription();
  ManagedObjectRef sample = m_root->insertNewObject("Sample");
  sample->setValueForKey(fnd::str("kept").get(), "name");
  sample->setValueForKey(integer(5).get(), "rank");
  sample->setValueForKey(fnd::str("stale").get(), "note");
  ManagedObjectRef tag = m_root->insertNewObject("Tag");
  sample->addObjectToRelationship(*tag, "tags");
  sample->setValueForKey(tag.get(), "first");
  ASSERT_TRUE(save(m_root));
  openSamples();  // the model without them
  open(grownSamplesModel());
  ASSERT_FALSE(m_openError) << m_openError->localizedDescription();
  std::vector<ManagedObjectRef> samples = all(m_root, "Sample");
  ASSERT_EQ(samples.size(), 1u);
  EXPECT_EQ(textOf(*samples[0], "name"), "kept");
  EXPECT_EQ(textOf(*samples[0], "rank"), "-7");
  EXPECT_EQ(samples[0]->valueForKey("note"), nullptr);
  EXPECT_EQ(samples[0]->valueForKey("first"), nullptr);
  EXPECT_EQ(static_cast<const fnd::Array&>(*samples[0]->valueForKey("tags")).count(), 0u);
  EXPECT_TRUE(all(m_root, "Tag").empty());
  // The store takes new records of the returned shape.
  m_root->insertNewObject("Tag")->setValueForKey(fnd::str("fresh").get(), "word");
  ASSERT_TRUE(save(m_root));
  reopen();
  ASSERT_EQ(all(m_root, "Tag").size(), 1u);
}

// A key unlike any the store makes: the index built with it is stale.
void staleSearchKey(sqlite3_context* context, int, sqlite3_value**) {
  sqlite3_result_text(context, "-", 1, SQLITE_STATIC);
}

TEST_F(SqliteStoreTest, SearchIndexesBuiltWithAnotherFoldingAreRebuilt) {
  m_root->insertNewObject("Sample")->setValueForKey(fnd::str("Café Øst").get(), "name");
  ASSERT_TRUE(save(m_root));
  close();
  {
    // An older program indexed the file with a folding of its own.
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(path().c_str(), &database), SQLITE_OK);
    sqlite3_create_function_v2(database, kSearchKeyFunction, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               staleSearchKey, nullptr, nullptr, nullptr);
    EXPECT_EQ(
        sqlite3_exec(database, "REINDEX; UPDATE Z_METADATA SET Z_VALUE = '1' WHERE Z_KEY = 'searchFoldingVersion'",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    EXPECT_EQ(sqlite3_changes(database), 1);
    sqlite3_close(database);
  }
  openSamples();
  FetchRequest request(entity("Sample"));
  request.setPredicate(Predicate::withFormat("name LIKE[cd] 'cafe ost'"));
  EXPECT_EQ(fetch(m_root, request).size(), 1u);
}

}  // namespace
}  // namespace objectstore
