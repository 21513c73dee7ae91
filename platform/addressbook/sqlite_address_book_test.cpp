#include "platform/addressbook/sqlite_address_book.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <atomic>
#include <future>

#include "platform/addressbook/errors.h"
#include "platform/addressbook/multi_value.h"
#include "platform/dispatch/block_thread.h"
#include "platform/foundation/date.h"
#include "platform/foundation/number.h"
#include "tests/support/addressbook/test_book_file.h"
#include "tests/support/event_loop.h"

namespace ab {
namespace {

fnd::Ref<AddressBook> openBook() {
  std::optional<fnd::Error> error;
  fnd::Ref<AddressBook> book = AddressBook::create(&error);
  EXPECT_TRUE(book) << (error ? error->localizedDescription() : "");
  return book;
}

fnd::Ref<Record> addPerson(AddressBook& book, std::string_view firstName) {
  auto person = Record::createPerson(book.defaultSource());
  EXPECT_TRUE(person->setValue(kPersonFirstNameProperty, fnd::str(firstName).get(), nullptr));
  EXPECT_TRUE(book.addRecord(person.get(), nullptr));
  return person;
}

std::int64_t sourceType(const Record& source) {
  const fnd::Ref<fnd::Object> type = source.copyValue(kSourceTypeProperty);
  return type ? static_cast<const fnd::Number&>(*type).int64Value() : -1;
}

TEST(SqliteAddressBook, NewFileHasOneLocalSourceAndConfiguredFilesTheirOwn) {
  {
    test::TestBookFile file;
    auto book = openBook();
    ASSERT_EQ(book->allSources().size(), 1u);
    EXPECT_EQ(sourceType(*book->allSources()[0]), kSourceTypeLocal);
    EXPECT_EQ(book->defaultSource(), book->allSources()[0].get());
  }
  {
    Configuration exchangeOnly;
    exchangeOnly.initialSources = {{"Firma", kSourceTypeExchange}};
    test::TestBookFile file(exchangeOnly);
    auto book = openBook();
    ASSERT_EQ(book->allSources().size(), 1u);
    EXPECT_EQ(sourceType(*book->defaultSource()), kSourceTypeExchange) << "the only source is the default";
  }
  {
    Configuration twoLocal;
    twoLocal.initialSources = {{"", kSourceTypeLocal}, {"", kSourceTypeLocal}};
    test::TestBookFile file(twoLocal);
    EXPECT_EQ(openBook()->allSources().size(), 2u);
    EXPECT_EQ(openBook()->allSources().size(), 2u) << "a second program must not add the sources again";
  }
}

TEST(SqliteAddressBook, ChangesStayPrivateUntilSavedAndSaveGivesIDs) {
  test::TestBookFile file;
  auto writer = openBook();
  auto reader = openBook();
  auto person = addPerson(*writer, "Kari");
  EXPECT_EQ(person->recordID(), kInvalidRecordID);
  EXPECT_TRUE(writer->hasUnsavedChanges());
  EXPECT_TRUE(reader->allPeople().empty());
  ASSERT_TRUE(writer->save(nullptr));
  EXPECT_FALSE(writer->hasUnsavedChanges());
  EXPECT_NE(person->recordID(), kInvalidRecordID);
  EXPECT_TRUE(person->copyValue(kPersonModificationDateProperty));
  EXPECT_TRUE(reader->allPeople().empty()) << "another instance sees the save only after a revert";
  reader->revert();
  ASSERT_EQ(reader->allPeople().size(), 1u);
  Record* copy = reader->recordWithID(RecordType::Person, person->recordID());
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, person.get()) << "instances share no records";
  EXPECT_TRUE(copy->copyValue(kPersonFirstNameProperty)->isEqual(*fnd::str("Kari")));
}

TEST(SqliteAddressBook, RevertDropsChangesAndKeepsRecordIdentity) {
  test::TestBookFile file;
  auto book = openBook();
  auto kept = addPerson(*book, "Ola");
  ASSERT_TRUE(book->save(nullptr));
  kept->setValue(kPersonFirstNameProperty, fnd::str("Changed").get(), nullptr);
  auto added = addPerson(*book, "New");
  book->revert();
  EXPECT_FALSE(book->hasUnsavedChanges());
  EXPECT_EQ(book->recordWithID(RecordType::Person, kept->recordID()), kept.get());
  EXPECT_TRUE(kept->copyValue(kPersonFirstNameProperty)->isEqual(*fnd::str("Ola")));
  EXPECT_EQ(book->allPeople().size(), 1u);
  EXPECT_EQ(added->owner(), nullptr) << "an unsaved record leaves the instance on revert";
}

TEST(SqliteAddressBook, RemovalIsSavedAndIDsAreNotReused) {
  test::TestBookFile file;
  auto book = openBook();
  auto first = addPerson(*book, "A");
  ASSERT_TRUE(book->save(nullptr));
  const RecordID removedID = first->recordID();
  ASSERT_TRUE(book->removeRecord(first.get(), nullptr));
  EXPECT_FALSE(book->removeRecord(first.get(), nullptr));
  EXPECT_EQ(book->recordWithID(RecordType::Person, removedID), nullptr);
  EXPECT_TRUE(book->hasUnsavedChanges());
  ASSERT_TRUE(book->save(nullptr));
  auto second = addPerson(*book, "B");
  ASSERT_TRUE(book->save(nullptr));
  EXPECT_GT(second->recordID(), removedID);
  EXPECT_EQ(openBook()->allPeople().size(), 1u);
}

TEST(SqliteAddressBook, RecordsOfAnotherInstanceAndSourcesCannotBeAddedOrRemoved) {
  test::TestBookFile file;
  auto one = openBook();
  auto other = openBook();
  auto person = addPerson(*one, "X");
  std::optional<fnd::Error> error;
  EXPECT_FALSE(other->addRecord(person.get(), &error));
  ASSERT_TRUE(error);
  EXPECT_EQ(error->domain(), kErrorDomain);
  EXPECT_FALSE(other->removeRecord(person.get(), nullptr));
  EXPECT_FALSE(one->removeRecord(one->defaultSource(), nullptr));
  EXPECT_TRUE(one->addRecord(person.get(), nullptr)) << "adding twice to the same instance is harmless";
  EXPECT_EQ(one->allPeople().size(), 1u);
}

TEST(SqliteAddressBook, GroupsKeepTheirMembersAcrossSaveAndReopen) {
  test::TestBookFile file;
  auto book = openBook();
  auto group = Record::createGroup();
  group->setValue(kGroupNameProperty, fnd::str("Familie").get(), nullptr);
  ASSERT_TRUE(book->addRecord(group.get(), nullptr));
  auto member = addPerson(*book, "Per");
  auto leaver = addPerson(*book, "Pål");
  ASSERT_TRUE(group->addMember(member.get(), nullptr));
  ASSERT_TRUE(group->addMember(leaver.get(), nullptr));
  ASSERT_TRUE(book->save(nullptr));
  ASSERT_TRUE(book->removeRecord(leaver.get(), nullptr));
  EXPECT_EQ(group->members().size(), 1u);
  ASSERT_TRUE(book->save(nullptr));

  auto reopened = openBook();
  ASSERT_EQ(reopened->allGroups().size(), 1u);
  const auto& members = reopened->allGroups()[0]->members();
  ASSERT_EQ(members.size(), 1u);
  EXPECT_EQ(members[0]->recordID(), member->recordID());
  EXPECT_EQ(reopened->groupsInSource(*reopened->defaultSource()).size(), 1u);
  EXPECT_EQ(reopened->peopleInSource(*reopened->defaultSource()).size(), 1u);
}

TEST(SqliteAddressBook, ValuesAreCheckedAgainstTheProperty) {
  auto person = Record::createPerson(nullptr);
  std::optional<fnd::Error> error;
  EXPECT_FALSE(person->setValue(kPersonFirstNameProperty, fnd::Number::create(std::int64_t{1}).get(), &error));
  EXPECT_TRUE(error);
  EXPECT_FALSE(person->setValue(kPersonCreationDateProperty, fnd::Date::now().get(), nullptr)) << "read-only";
  EXPECT_FALSE(person->setValue(kGroupNameProperty, fnd::str("x").get(), nullptr)) << "a group's property";
  EXPECT_FALSE(person->setValue(999, fnd::str("x").get(), nullptr));
  auto emails = MultiValue::createMutable(kMultiStringPropertyType);
  EXPECT_FALSE(person->setValue(kPersonAddressProperty, emails.get(), nullptr)) << "wrong multi-value type";
  ASSERT_TRUE(person->setValue(kPersonEmailProperty, emails.get(), nullptr));
  emails->addValue(fnd::str("a@b.no").get(), nullptr, nullptr);
  const auto stored = person->copyValue(kPersonEmailProperty);
  EXPECT_EQ(static_cast<const MultiValue&>(*stored).count(), 0u) << "the record keeps a copy, not the caller's value";
}

TEST(SqliteAddressBook, StoredValuesThatDoNotSuitTheirPropertyAreLeftOut) {
  // As another program sharing the book file might have written them.
  auto source = Record::restore(
      RecordType::Source, 7, kInvalidRecordID,
      encodePropertyValues({{kSourceTypeProperty, fnd::str("local")}, {kSourceNameProperty, fnd::str("Lokal")}}),
      nullptr);
  EXPECT_EQ(source->copyValue(kSourceTypeProperty), nullptr);
  EXPECT_NE(source->copyValue(kSourceNameProperty), nullptr);
  auto person = Record::restore(
      RecordType::Person, 8, 7,
      encodePropertyValues(
          {{kPersonEmailProperty, MultiValue::createMutable(kMultiDateTimePropertyType)}, {9999, fnd::str("kept")}}),
      nullptr);
  EXPECT_EQ(person->copyValue(kPersonEmailProperty), nullptr);
  EXPECT_NE(person->copyValue(9999), nullptr) << "a property this book does not know is kept as it is";
}

TEST(SqliteAddressBook, NamesAreFoundByWordPrefixAndOrdered) {
  test::TestBookFile file;
  auto book = openBook();
  auto anne = addPerson(*book, "Anne");
  anne->setValue(kPersonLastNameProperty, fnd::str("Berg").get(), nullptr);
  auto bjorn = addPerson(*book, "Bjørn");
  bjorn->setValue(kPersonLastNameProperty, fnd::str("Aas").get(), nullptr);
  EXPECT_EQ(book->peopleWithName("ann").size(), 1u);
  EXPECT_EQ(book->peopleWithName("bjørn aa").size(), 1u);
  EXPECT_EQ(book->peopleWithName("nne").size(), 0u);
  EXPECT_LT(comparePeopleByName(*anne, *bjorn, SortOrdering::ByFirstName), 0);
  EXPECT_GT(comparePeopleByName(*anne, *bjorn, SortOrdering::ByLastName), 0);
  EXPECT_TRUE(anne->copyCompositeName()->isEqual(*fnd::str("Anne Berg")));
}

TEST(SqliteAddressBook, AccessIsAskedOnceAndRemembered) {
  test::TestBookFile file;
  EXPECT_EQ(AddressBook::authorizationStatus(), AuthorizationStatus::NotDetermined);
  std::atomic<int> asked{0};
  setAccessPrompt([&asked](const std::string&) {
    ++asked;
    return false;
  });
  auto book = openBook();
  for (int round = 0; round < 2; ++round) {
    std::promise<bool> answer;
    book->requestAccess([&answer](bool granted, std::optional<fnd::Error> error) {
      EXPECT_EQ(granted, !error.has_value());
      answer.set_value(granted);
    });
    EXPECT_FALSE(answer.get_future().get());
  }
  setAccessPrompt({});
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(AddressBook::authorizationStatus(), AuthorizationStatus::Denied);
}

TEST(SqliteAddressBook, RestrictedAccessIsNeverGranted) {
  Configuration restricted;
  restricted.accessRestricted = true;
  test::TestBookFile file(restricted);
  EXPECT_EQ(AddressBook::authorizationStatus(), AuthorizationStatus::Restricted);
  std::promise<bool> answer;
  openBook()->requestAccess([&answer](bool granted, std::optional<fnd::Error>) { answer.set_value(granted); });
  EXPECT_FALSE(answer.get_future().get());
}

TEST(SqliteAddressBook, SavesOfOtherInstancesReachTheChangeCallbacks) {
  test::TestBookFile file;
  dispatch::BlockThread thread("watcher");
  fnd::Ref<AddressBook> watcher;
  std::atomic<int> calls{0};
  thread.sync([&] {
    watcher = openBook();
    watcher->registerExternalChangeCallback([&] {
      ++calls;
      watcher->revert();
    });
  });
  auto writer = openBook();
  addPerson(*writer, "Ny");
  ASSERT_TRUE(writer->save(nullptr));
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return calls.load() > 0; }));
  std::size_t seen = 0;
  thread.sync([&] { seen = watcher->allPeople().size(); });
  EXPECT_EQ(seen, 1u);

  // The instance's own save is no outside change.
  const int before = calls;
  thread.sync([&] {
    addPerson(*watcher, "Egen");
    watcher->save(nullptr);
  });
  rp::test::runEventLoopFor(std::chrono::milliseconds(200));
  EXPECT_EQ(calls, before);
  thread.sync([&] { watcher = nullptr; });
}

TEST(SqliteAddressBook, TheBookItsLogsAndTheFoldersMadeForItAreTheUsersAlone) {
  const auto modeOf = [](const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0u;
  };
  const mode_t previousMask = ::umask(022);
  QTemporaryDir home;
  Configuration nested;
  nested.filePath = home.filePath("AddressBook/Lokal/book.sqlite").toStdString();
  setConfiguration(nested);
  {
    auto book = openBook();
    addPerson(*book, "Privat");
    ASSERT_TRUE(book->save(nullptr));
    for (const char* suffix : {"", "-wal", "-shm"})
      EXPECT_EQ(modeOf(nested.filePath + suffix), 0600u) << "book file" << suffix;
  }
  EXPECT_EQ(modeOf(home.filePath("AddressBook").toStdString()), 0700u);
  EXPECT_EQ(modeOf(home.filePath("AddressBook/Lokal").toStdString()), 0700u);
  setConfiguration(Configuration{});
  ::umask(previousMask);
}

TEST(SqliteAddressBook, AFailedSaveKeepsTheDatabasesOwnReason) {
  test::TestBookFile file;
  openBook();  // creates the file and its tables
  // Another program's rule refuses every new record, so the save fails half-way.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(file.path().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(
      sqlite3_exec(
          other, "CREATE TRIGGER frozen BEFORE INSERT ON records BEGIN SELECT RAISE(ABORT, 'records are frozen'); END",
          nullptr, nullptr, nullptr),
      SQLITE_OK);
  sqlite3_close(other);

  auto book = openBook();
  addPerson(*book, "Avvist");
  std::optional<fnd::Error> error;
  EXPECT_FALSE(book->save(&error));
  ASSERT_TRUE(error);
  EXPECT_NE(error->localizedDescription().find("records are frozen"), std::string::npos)
      << error->localizedDescription();
  EXPECT_TRUE(book->hasUnsavedChanges()) << "the refused change stays for a later save";
}

}  // namespace
}  // namespace ab
