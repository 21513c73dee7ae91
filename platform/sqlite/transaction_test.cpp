#include "platform/sqlite/transaction.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace sqlite {
namespace {

class TransactionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_directory.isValid());
    std::optional<Database> opened = Database::open(m_directory.filePath("file.sqlite").toStdString(), {}, nullptr);
    ASSERT_TRUE(opened);
    m_database.emplace(std::move(*opened));
    ASSERT_TRUE(m_database->execute("CREATE TABLE t(x)"));
  }
  std::int64_t rowCount() {
    Statement count = m_database->prepare("SELECT count(*) FROM t");
    return count.step() == Step::Row ? count.integer(0) : -1;
  }

  QTemporaryDir m_directory;
  std::optional<Database> m_database;
};

TEST_F(TransactionTest, AScopeLeftWithoutCommitRollsBackAndACommittedOneKeeps) {
  {
    Transaction transaction(*m_database);
    ASSERT_TRUE(transaction.began());
    ASSERT_TRUE(m_database->execute("INSERT INTO t VALUES(1)"));
  }
  EXPECT_EQ(rowCount(), 0);
  {
    Transaction transaction(*m_database, Transaction::Lock::Exclusive);
    ASSERT_TRUE(m_database->execute("INSERT INTO t VALUES(2)"));
    EXPECT_TRUE(transaction.commit());
  }
  EXPECT_EQ(rowCount(), 1);
}

TEST_F(TransactionTest, AFailedCommitSaysWhyAndTheScopeStillRollsBack) {
  ASSERT_TRUE(m_database->execute("PRAGMA foreign_keys=ON"));
  ASSERT_TRUE(m_database->execute("CREATE TABLE parent(id INTEGER PRIMARY KEY)"));
  ASSERT_TRUE(
      m_database->execute("CREATE TABLE child(parent INTEGER REFERENCES parent(id) DEFERRABLE INITIALLY DEFERRED)"));
  {
    Transaction transaction(*m_database);
    ASSERT_TRUE(m_database->execute("INSERT INTO t VALUES(1)"));
    ASSERT_TRUE(m_database->execute("INSERT INTO child VALUES(7)"));
    EXPECT_FALSE(transaction.commit());
    EXPECT_EQ(m_database->lastFailure().message, "FOREIGN KEY constraint failed");
  }
  EXPECT_EQ(rowCount(), 0);
  Transaction next(*m_database);
  EXPECT_TRUE(next.began()) << "no transaction is left open";
}

TEST_F(TransactionTest, ABeginThatFailsLeavesTheTransactionInProgressAlone) {
  ASSERT_TRUE(m_database->execute("BEGIN"));
  ASSERT_TRUE(m_database->execute("INSERT INTO t VALUES(1)"));
  {
    Transaction nested(*m_database);
    EXPECT_FALSE(nested.began());
    EXPECT_FALSE(nested.commit());
  }
  ASSERT_TRUE(m_database->execute("COMMIT"));
  EXPECT_EQ(rowCount(), 1);
}

}  // namespace
}  // namespace sqlite
