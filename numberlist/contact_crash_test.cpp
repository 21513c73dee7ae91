// covers: contact.cpp, contact_replace_helper.cpp
// Crash safety of the stored list: a writer killed at any moment while it
// replaces 100,000 records leaves a store that opens and holds one whole list.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <chrono>
#include <random>
#include <thread>

#include "numberlist/contact.h"
#include "platform/objectstore/managed_object_context.h"
#include "platform/objectstore/sqlite_store.h"

namespace numberlist {
namespace {

constexpr int kRecords = 100000;
constexpr int kKills = 20;
constexpr std::chrono::minutes kFirstListLimit{5};

struct StoredList {
  bool opened = false;
  std::size_t count = 0;
  std::size_t sameGeneration = 0;
  int generation = 0;
};

StoredList readStore(const std::string& path) {
  StoredList list;
  auto coordinator = std::make_shared<objectstore::PersistentStoreCoordinator>(Contact::model());
  std::optional<fnd::Error> error;
  if (!coordinator->addPersistentStore(objectstore::kSQLiteStoreType, path, nullptr, &error)) return list;
  list.opened = true;
  auto context = objectstore::ManagedObjectContext::create(objectstore::ConcurrencyType::PrivateQueue);
  context->setPersistentStoreCoordinator(coordinator);
  objectstore::FetchRequest all(coordinator->managedObjectModel()->entityNamed(Contact::kEntityName));
  list.count = context->countForFetchRequest(all, nullptr).value_or(0);
  all.setFetchLimit(1);
  auto first = context->executeFetchRequest(all, nullptr);
  if (!first || first->empty()) return list;
  auto category = static_cast<Contact&>(*first->front()).category();
  list.generation = std::stoi(std::string(category->utf8()));
  objectstore::FetchRequest same(all.entity());
  same.setPredicate(objectstore::Predicate::withFormat("category == %@", {std::string(category->utf8())}));
  list.sameGeneration = context->countForFetchRequest(same, nullptr).value_or(0);
  return list;
}

// The writer in a child process, started by fork and exec: Qt starts a child
// with a clone that shares this process's memory until the exec, which the
// thread checker does not follow, so its record of this test's thread would
// no longer hold afterwards.
class Writer {
 public:
  Writer(const std::string& path, int records) {
    const std::string program = RP_CONTACT_REPLACE_HELPER;
    const std::string count = std::to_string(records);
    int output[2];
    if (pipe(output) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      dup2(output[1], STDOUT_FILENO);
      close(output[0]);
      close(output[1]);
      execl(program.c_str(), program.c_str(), path.c_str(), count.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(output[1]);
    m_output = output[0];
  }
  ~Writer() {
    if (m_pid > 0) kill();
    if (m_output >= 0) close(m_output);
  }
  bool started() const { return m_pid > 0; }
  bool running() { return waitpid(m_pid, nullptr, WNOHANG) == 0; }
  void kill() {
    ::kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
  }
  // Reads what the writer prints until `text` appears; false when it does
  // not within `limit` or the writer ends first.
  bool waitForOutput(const QByteArray& text, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!m_text.contains(text)) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd readable{m_output, POLLIN, 0};
      if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0 || !readSome()) return false;
    }
    return true;
  }
  // What the writer printed, once it is gone.
  QByteArray output() {
    while (readSome()) {
    }
    return m_text;
  }

 private:
  bool readSome() {
    char buffer[4096];
    const ssize_t read = ::read(m_output, buffer, sizeof buffer);
    if (read > 0) m_text.append(buffer, read);
    return read > 0;
  }

  pid_t m_pid = -1;
  int m_output = -1;
  QByteArray m_text;
};

TEST(ContactCrashTest, AKilledWriterLeavesTheWholeOldOrTheWholeNewList) {
  QTemporaryDir directory;
  const std::string path = directory.filePath("killed.sqlite").toStdString();
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> delay(500, 6000);
  int lastReported = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    Writer writer(path, kRecords);
    ASSERT_TRUE(writer.started());
    // However slow this build or machine, the file holds a whole list before
    // the kills begin, so every kill after it has a list to lose.
    if (kill == 0) {
      ASSERT_TRUE(writer.waitForOutput("stored ", kFirstListLimit)) << "the writer stored no list";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(delay(random)));
    ASSERT_TRUE(writer.running()) << "the writer ended before it was killed";
    writer.kill();
    for (const QByteArray& line : writer.output().split('\n')) {
      if (line.startsWith("stored ")) lastReported = line.mid(7).toInt();
    }
    StoredList list = readStore(path);
    ASSERT_TRUE(list.opened) << "after kill " << kill;
    const std::vector<std::string> problems = objectstore::SqliteStore::integrityProblems(path);
    EXPECT_TRUE(problems.empty()) << "after kill " << kill << ": " << problems.front();
    if (lastReported == 0 && list.count == 0) continue;  // killed before the first list was stored
    EXPECT_EQ(list.count, static_cast<std::size_t>(kRecords)) << "after kill " << kill;
    EXPECT_EQ(list.sameGeneration, list.count) << "records of two lists mixed after kill " << kill;
    EXPECT_GE(list.generation, lastReported) << "a reported list was lost after kill " << kill;
    lastReported = list.generation;
  }
  EXPECT_GT(lastReported, 0) << "no list was ever stored; the delays are too short for this machine";
}

}  // namespace
}  // namespace numberlist
