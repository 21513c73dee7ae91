#include "numberlist/contact.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "store/record_store.h"
#include "tests/support/event_loop.h"

namespace numberlist {
namespace {

using store::RecordStore;
using store::StoreContext;
using store::StoreSaving;

class ContactTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(
        m_directory.filePath("contacts.sqlite").toStdString());
  }
  void TearDown() override { RecordStore::cleanUp(); }

  static fnd::Ref<Contact> downloaded(const store::ContextPtr& context, const char* number, std::int64_t position,
                                      bool approved) {
    fnd::Ref<Contact> contact = Contact::createInContext(context);
    contact->setFirm(fnd::str("Firma " + std::string(number)).get());
    contact->setPhoneNumber(fnd::str(number).get());
    contact->setPosition(fnd::Number::create(position).get());
    contact->setStatus(fnd::Number::boolean(approved));
    return contact;
  }

  static fnd::Ref<Contact> handAdded(const char* number) {
    fnd::Ref<Contact> contact = Contact::createEntity();
    contact->setFirm(fnd::str("Ukjent").get());
    contact->setPhoneNumber(fnd::str(number).get());
    contact->setCategory(fnd::str("Din kontakt").get());
    contact->setManualAdd(fnd::Number::yes());
    return contact;
  }

  static std::vector<std::string> numbersMatching(const objectstore::PredicatePtr& predicate) {
    std::vector<std::string> numbers;
    std::optional<Contact::List> all = Contact::findAll();
    for (const auto& contact : all.value()) {
      if (predicate->evaluateWithObject(contact.get())) numbers.emplace_back(contact->phoneNumber()->utf8());
    }
    return numbers;
  }

  QTemporaryDir m_directory;
};

TEST_F(ContactTest, ANewRecordHasOnlyManualAddSet) {
  fnd::Ref<Contact> contact = Contact::createEntity();
  EXPECT_EQ(contact->firm(), nullptr);
  EXPECT_EQ(contact->position(), nullptr);
  EXPECT_EQ(contact->status(), nullptr);
  ASSERT_NE(contact->manualAdd(), nullptr);
  EXPECT_FALSE(contact->manualAdd()->boolValue());
  StoreSaving::save(StoreContext::defaultContext());
  EXPECT_EQ(Contact::countOfEntities(), 1u);
}

TEST_F(ContactTest, DownloadedRecordsAreFoundByManualAddZeroInTheStore) {
  store::ContextPtr context = StoreContext::defaultContext();
  downloaded(context, "22334455", 1, true);
  downloaded(context, "99887766", 2, false);
  handAdded("40000000");
  StoreSaving::save(context);
  RecordStore::cleanUp();
  SetUp();  // read back from the file
  store::ContextPtr parser = StoreContext::context();
  auto found = Contact::findAllWithPredicate(Contact::downloadedPredicate(), parser);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->size(), 2u);
  for (const auto& contact : *found) EXPECT_FALSE(contact->manualAdd()->boolValue());
}

TEST_F(ContactTest, ImportConditionsInMemoryIgnoreRecordsWithoutValues) {
  store::ContextPtr context = StoreContext::defaultContext();
  downloaded(context, "10000001", 1, true);
  downloaded(context, "10000002", 150, true);
  downloaded(context, "10000003", 3, false);
  downloaded(context, "10000004", 0, false);  // a list item without "posisjon"
  handAdded("20000000");
  StoreSaving::save(context);
  EXPECT_EQ(numbersMatching(Contact::approvedPredicate()), (std::vector<std::string>{"10000001", "10000002"}));
  EXPECT_EQ(numbersMatching(Contact::withinImportCountPredicate(100)),
            (std::vector<std::string>{"10000001", "10000003", "10000004", "20000000"}));
  EXPECT_EQ(numbersMatching(Contact::withinImportCountPredicate(0)),
            (std::vector<std::string>{"10000004", "20000000"}));
  auto positionOnly = objectstore::Predicate::withFormat("position <= %d", {std::int64_t{7000}});
  EXPECT_EQ(numbersMatching(positionOnly).size(), 4u) << "a hand-added record has no position";
}

TEST_F(ContactTest, NumberSearchMatchesTheWholeNumberAsAPattern) {
  store::ContextPtr context = StoreContext::defaultContext();
  downloaded(context, "22334455", 1, true);
  downloaded(context, "4722334455", 2, true);
  downloaded(context, "22 33 44 55", 3, true);
  downloaded(context, "Åpen Linje", 4, true);
  StoreSaving::save(context);
  auto first = [](const char* text) {
    fnd::Ref<Contact> found = Contact::findFirstWithPredicate(Contact::numberSearchPredicate(text));
    return found ? std::string(found->phoneNumber()->utf8()) : std::string("none");
  };
  EXPECT_EQ(first("22334455"), "22334455");
  EXPECT_EQ(first("2233445?"), "22334455");
  EXPECT_EQ(first("223344"), "none");
  EXPECT_EQ(first("*22334455"), "22334455");
  EXPECT_EQ(first("47*"), "4722334455");
  EXPECT_EQ(first("??22334455"), "4722334455");
  EXPECT_EQ(first("*"), "22334455");
  EXPECT_EQ(first("apen linje"), "Åpen Linje");
  EXPECT_EQ(first("ÅPEN*"), "Åpen Linje");
  EXPECT_EQ(first("12345678"), "none");
  // Unsaved changes count too: a number added by hand is found at once.
  handAdded("12345678");
  EXPECT_EQ(first("12345678"), "12345678");
}

TEST_F(ContactTest, DuplicateNumbersAreAllowedAndSearchTakesOne) {
  store::ContextPtr context = StoreContext::defaultContext();
  downloaded(context, "22334455", 1, true);
  handAdded("22334455");
  StoreSaving::save(context);
  EXPECT_EQ(Contact::countOfEntities(), 2u);
  EXPECT_NE(Contact::findFirstWithPredicate(Contact::numberSearchPredicate("22334455")), nullptr);
}

// A list longer than one read batch, replaced in the background the way a
// download does it: every record reads back the value it was given.
TEST_F(ContactTest, ReplacedListsReadBackWholeAcrossReadBatches) {
  constexpr int kRecords = 700;
  auto numberOf = [](int generation, int index) { return std::to_string(generation * 100000 + index); };
  for (int generation = 1; generation <= 2; ++generation) {
    bool done = false;
    store::RecordStore::saveInBackgroundWithBlock(
        [&](const store::ContextPtr& context) {
          std::optional<Contact::List> old = Contact::findAllWithPredicate(Contact::downloadedPredicate(), context);
          for (const auto& contact : old.value()) contact->deleteInContext(context);
          for (int i = 0; i < kRecords; ++i) downloaded(context, numberOf(generation, i).c_str(), i + 1, true);
        },
        [&] {
          StoreSaving::save(StoreContext::defaultContext());
          done = true;
        });
    ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return done; }));
    std::vector<std::string> expected;
    for (int i = 0; i < kRecords; ++i) expected.push_back(numberOf(generation, i));
    std::vector<std::string> numbers;
    std::optional<Contact::List> all = Contact::findAll();
    for (const auto& contact : all.value()) numbers.emplace_back(contact->phoneNumber()->utf8());
    EXPECT_EQ(numbers, expected) << "generation " << generation;
  }
}

}  // namespace
}  // namespace numberlist
