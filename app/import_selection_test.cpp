#include "app/import_selection.h"

#include <gtest/gtest.h>

#include "app/constants.h"
#include "platform/defaults/user_defaults.h"
#include "store/record_store.h"

namespace app {

namespace {

using numberlist::Contact;

class ImportSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store::RecordStore::setupCoreDataStackWithInMemoryStore();
    // Stored in this order: ranks out of order, one unapproved, one with rank 0, two by hand.
    add("3", 3, true);
    add("1", 1, true);
    addByHand("H1");
    add("2", 2, false);
    add("5000", 5000, true);
    add("0", 0, true);  // a list item without a rank is stored with rank 0
    addByHand("H2");
  }
  void TearDown() override { store::RecordStore::cleanUp(); }

  static void add(const char* number, std::int64_t rank, bool approved) {
    fnd::Ref<Contact> record = Contact::createEntity();
    record->setPhoneNumber(fnd::str(number).get());
    record->setPosition(fnd::Number::create(rank).get());
    record->setStatus(fnd::Number::boolean(approved));
  }
  static void addByHand(const char* number) {
    fnd::Ref<Contact> record = Contact::createEntity();
    record->setPhoneNumber(fnd::str(number).get());
    record->setManualAdd(fnd::Number::yes());
  }
  static std::vector<std::string> numbers(const Contact::List& records) {
    std::vector<std::string> result;
    for (const auto& record : records) result.emplace_back(record->phoneNumber()->utf8());
    return result;
  }
};

TEST_F(ImportSelectionTest, ApprovedOnlyDropsUnapprovedAndHandAddedNumbersAndKeepsStoreOrder) {
  EXPECT_EQ(numbers(selectRecordsForImport(-1, false)), (std::vector<std::string>{"3", "1", "5000", "0"}));
}

TEST_F(ImportSelectionTest, ImportCountKeepsTheTopRanksAndEveryNumberAddedByHand) {
  EXPECT_EQ(numbers(selectRecordsForImport(2, true)), (std::vector<std::string>{"1", "H1", "2", "0", "H2"}));
  EXPECT_EQ(numbers(selectRecordsForImport(100, false)), (std::vector<std::string>{"3", "1", "0"}));
  EXPECT_EQ(numbers(selectRecordsForImport(-1, true)),
            (std::vector<std::string>{"3", "1", "H1", "2", "5000", "0", "H2"}));
}

TEST_F(ImportSelectionTest, WithoutArgumentsTheStoredSettingsDecide) {
  auto& settings = defaults::UserDefaults::standard();
  settings.setInteger(ImportNumberKey, 100);
  settings.setBool(ImportApprovedKey, true);
  EXPECT_EQ(numbers(selectRecordsForImport()), (std::vector<std::string>{"3", "1", "H1", "2", "0", "H2"}));
  settings.setInteger(ImportNumberKey, -1);
  settings.setBool(ImportApprovedKey, false);
  EXPECT_EQ(numbers(selectRecordsForImport()), (std::vector<std::string>{"3", "1", "5000", "0"}));
}

}  // namespace

}  // namespace app
