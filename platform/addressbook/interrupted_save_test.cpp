// covers: sqlite_address_book.cpp, platform/sqlite/transaction.cpp
// A save killed half-way must leave the file readable with all of that save's
// changes or none of them. A child process saves batches of people in a loop
// and is killed at a random moment; the parent then reads the file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <map>
#include <random>
#include <thread>

#include "platform/addressbook/multi_value.h"
#include "platform/addressbook/sqlite_address_book.h"
#include "platform/dispatch/block_thread.h"
#include "platform/foundation/number.h"
#include "tests/support/addressbook/test_book_file.h"

namespace ab {
namespace {

constexpr int kPeoplePerBatch = 20;
constexpr int kNumbersPerPerson = 100;
constexpr int kKills = 8;

// Writes a byte to `progress` after every save.
[[noreturn]] void saveBatchesForever(int run, int progress) {
  fnd::Ref<AddressBook> book = AddressBook::create(nullptr);
  if (!book) _exit(1);
  const std::string prefix = "run " + std::to_string(run) + " batch ";
  for (int batch = 0;; ++batch) {
    // Each batch also removes the previous batch's first person, so a save mixes all three kinds of change.
    for (const fnd::Ref<Record>& person : book->allPeople()) {
      const fnd::Ref<fnd::Object> note = person->copyValue(kPersonNoteProperty);
      if (note && note->isEqual(*fnd::str(prefix + "first " + std::to_string(batch - 1))))
        book->removeRecord(person.get(), nullptr);
    }
    for (int i = 0; i < kPeoplePerBatch; ++i) {
      auto person = Record::createPerson(book->defaultSource());
      person->setValue(kPersonOrganizationProperty, fnd::str(prefix + std::to_string(batch)).get(), nullptr);
      if (i == 0)
        person->setValue(kPersonNoteProperty, fnd::str(prefix + "first " + std::to_string(batch)).get(), nullptr);
      auto numbers = MultiValue::createMutable(kMultiStringPropertyType);
      for (int n = 0; n < kNumbersPerPerson; ++n)
        numbers->addValue(fnd::str(std::to_string(10000000 + n)).get(), fnd::str("Firma " + std::to_string(n)).get(),
                          nullptr);
      person->setValue(kPersonPhoneProperty, numbers.get(), nullptr);
      book->addRecord(person.get(), nullptr);
    }
    if (!book->save(nullptr)) _exit(2);
    const char saved = 1;
    if (write(progress, &saved, 1) != 1) _exit(3);
  }
}

// SQLite's own verdict on the file: "ok", or what it found wrong.
std::string integrityCheck(const std::string& path) {
  sqlite3* database = nullptr;
  std::string verdict = "cannot open";
  if (sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    verdict.clear();
    sqlite3_exec(
        database, "PRAGMA integrity_check",
        [](void* text, int, char** row, char**) {
          static_cast<std::string*>(text)->append(row[0] ? row[0] : "null");
          return 0;
        },
        &verdict, nullptr);
  }
  sqlite3_close(database);
  return verdict;
}

TEST(InterruptedSave, KilledSavesLeaveWholeBatchesOnly) {
  test::TestBookFile file;
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> delay(5, 120);
  std::size_t batchesSeen = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    int progress[2];
    ASSERT_EQ(pipe(progress), 0);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) saveBatchesForever(kill, progress[1]);
    close(progress[1]);
    // Kill at a random moment after the first save, however slow the machine.
    char saved = 0;
    ASSERT_EQ(read(progress[0], &saved, 1), 1) << "the child never saved";
    std::this_thread::sleep_for(std::chrono::milliseconds(delay(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(progress[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself with " << WEXITSTATUS(status);

    EXPECT_EQ(integrityCheck(file.path()), "ok") << "after kill " << kill;
    std::optional<fnd::Error> error;
    fnd::Ref<AddressBook> book = AddressBook::create(&error);
    ASSERT_TRUE(book) << error->localizedDescription();
    std::map<std::string, int> peoplePerBatch;
    for (const fnd::Ref<Record>& person : book->allPeople()) {
      const auto numbers = person->copyValue(kPersonPhoneProperty);
      ASSERT_TRUE(numbers);
      EXPECT_EQ(static_cast<const MultiValue&>(*numbers).count(), static_cast<std::size_t>(kNumbersPerPerson));
      ++peoplePerBatch[std::string(
          static_cast<const fnd::String&>(*person->copyValue(kPersonOrganizationProperty)).utf8())];
    }
    batchesSeen += peoplePerBatch.size();
    // Every batch but the newest lost its first person in the save of the next batch.
    for (const auto& [batch, count] : peoplePerBatch)
      EXPECT_TRUE(count == kPeoplePerBatch || count == kPeoplePerBatch - 1) << batch << " has " << count;
  }
  EXPECT_GT(batchesSeen, 0u) << "no save finished before a kill: the test proves nothing";
}

TEST(InterruptedSave, ASaveByAnotherProgramReachesTheChangeCallbacks) {
  test::TestBookFile file;
  dispatch::BlockThread thread("watcher");
  fnd::Ref<AddressBook> watcher;
  std::atomic<int> calls{0};
  thread.sync([&] {
    watcher = AddressBook::create(nullptr);
    watcher->registerExternalChangeCallback([&] { ++calls; });
  });
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    fnd::Ref<AddressBook> book = AddressBook::create(nullptr);
    auto person = Record::createPerson(book->defaultSource());
    book->addRecord(person.get(), nullptr);
    _exit(book->save(nullptr) ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int i = 0; i < 250 && calls == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GE(calls, 1);
  std::size_t people = 0;
  thread.sync([&] {
    watcher->revert();
    people = watcher->allPeople().size();
    watcher = nullptr;
  });
  EXPECT_EQ(people, 1u);
}

}  // namespace
}  // namespace ab
