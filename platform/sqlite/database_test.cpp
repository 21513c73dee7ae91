#include "platform/sqlite/database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/sqlite/transaction.h"

namespace sqlite {
namespace {

using std::chrono::milliseconds;

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_directory.isValid()); }
  std::string path(const char* relative = "data/file.sqlite") const {
    return m_directory.filePath(relative).toStdString();
  }
  static Database openOrFail(const std::string& path, OpenOptions options = {}) {
    Failure failure;
    std::optional<Database> database = Database::open(path, options, &failure);
    EXPECT_TRUE(database) << failure.message;
    return std::move(*database);
  }

  QTemporaryDir m_directory;
};

TEST_F(DatabaseTest, ANewFileIsPrivateAndKeepsAWriteAheadLog) {
  const mode_t previousMask = ::umask(022);
  Database database = openOrFail(path());
  ::umask(previousMask);
  struct stat status {};
  ASSERT_EQ(::stat(path().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
  Statement journal = database.prepare("PRAGMA journal_mode");
  ASSERT_EQ(journal.step(), Step::Row);
  EXPECT_EQ(journal.text(0), "wal");
}

TEST_F(DatabaseTest, WithoutCreateAnAbsentFileFailsAndIsNotMade) {
  Failure failure;
  EXPECT_FALSE(Database::open(path(), OpenOptions{.create = false}, &failure));
  EXPECT_FALSE(failure.message.empty());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path())));
}

TEST_F(DatabaseTest, AFileThatIsNoDatabaseFailsAsCorruptionAtTheJournalSetting) {
  QFile file(QString::fromStdString(path("text.sqlite")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(4096, 'x'));
  file.close();
  Failure failure;
  EXPECT_FALSE(Database::open(path("text.sqlite"), {}, &failure));
  EXPECT_TRUE(failure.isCorruption()) << failure.code << " " << failure.message;
  EXPECT_EQ(failure.sql, "PRAGMA journal_mode=WAL");
}

TEST_F(DatabaseTest, AWriteWaitsOutTheBusyTimeoutThenFailsAsBusy) {
  constexpr milliseconds kTimeout(200);
  Database holder = openOrFail(path());
  ASSERT_TRUE(holder.execute("CREATE TABLE t(x)"));
  Database writer = openOrFail(path(), OpenOptions{.busyTimeout = kTimeout});
  Transaction held(holder);
  ASSERT_TRUE(held.began());

  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(writer.execute("INSERT INTO t VALUES(1)"));
  EXPECT_GE(std::chrono::steady_clock::now() - start, kTimeout);
  const Failure failure = writer.lastFailure();
  EXPECT_EQ(failure.code & 0xff, SQLITE_BUSY);
  EXPECT_EQ(failure.message, "database is locked");
}

TEST_F(DatabaseTest, AStatementKeepsItsFirstFailureAfterResetAndOtherStatements) {
  Database database = openOrFail("");
  ASSERT_TRUE(database.execute("CREATE TABLE t(x INTEGER PRIMARY KEY)"));
  Statement insert = database.prepare("INSERT INTO t VALUES(?)");
  for (std::int64_t value : {1, 1, 2}) {
    insert.bindInteger(1, value);
    insert.step();
    insert.reset();
  }
  ASSERT_TRUE(database.execute("SELECT 1"));
  EXPECT_TRUE(insert.failed());
  EXPECT_EQ(insert.failure().message, "UNIQUE constraint failed: t.x");

  Statement broken = database.prepare("SELECT x FROM nowhere");
  EXPECT_FALSE(broken.isValid());
  EXPECT_EQ(broken.step(), Step::Failed);
  EXPECT_EQ(broken.failure().message, "no such table: nowhere");
}

TEST_F(DatabaseTest, TextsAndBlobsComeBackWholeAndNullStaysApartFromEmpty) {
  Database database = openOrFail("");
  ASSERT_TRUE(database.execute("CREATE TABLE t(text TEXT, blob BLOB)"));
  const std::string withZero("a\0b", 3);
  Statement insert = database.prepare("INSERT INTO t VALUES(?, ?)");
  insert.bindText(1, withZero);
  insert.bindBlob(2, std::string_view("", 0));
  ASSERT_EQ(insert.step(), Step::Done);
  insert.reset();
  insert.bindNull(1);
  insert.bindNull(2);
  ASSERT_EQ(insert.step(), Step::Done);

  Statement read = database.prepare("SELECT text, blob FROM t ORDER BY rowid");
  ASSERT_EQ(read.step(), Step::Row);
  EXPECT_EQ(read.text(0), withZero);
  EXPECT_FALSE(read.isNull(1)) << "an empty blob is a value";
  ASSERT_EQ(read.step(), Step::Row);
  EXPECT_TRUE(read.isNull(0));
  EXPECT_TRUE(read.isNull(1));
  EXPECT_EQ(read.step(), Step::Done);
}

TEST_F(DatabaseTest, TheDataVersionMovesForOtherConnectionsCommitsOnly) {
  Database watcher = openOrFail(path());
  Database other = openOrFail(path());
  ASSERT_TRUE(watcher.execute("CREATE TABLE t(x)"));
  const std::int64_t initial = watcher.dataVersion();
  ASSERT_TRUE(watcher.execute("INSERT INTO t VALUES(1)"));
  EXPECT_EQ(watcher.dataVersion(), initial);
  ASSERT_TRUE(other.execute("INSERT INTO t VALUES(2)"));
  EXPECT_NE(watcher.dataVersion(), initial);
}

}  // namespace
}  // namespace sqlite
