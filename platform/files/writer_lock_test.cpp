#include "platform/files/writer_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QProcess>
#include <QTemporaryDir>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace files {
namespace {

// A second process that holds the lock of `path` for `holdFor`.
class Holder {
 public:
  Holder(const std::string& path, std::chrono::milliseconds holdFor) {
    m_process.start(RP_WRITER_LOCK_HOLDER, {QString::fromStdString(path), QString::number(holdFor.count())});
  }
  ~Holder() {
    m_process.kill();
    m_process.waitForFinished();
  }
  bool waitUntilHeld() { return m_process.waitForReadyRead(10'000) && m_process.readLine().trimmed() == "held"; }
  long id() const { return static_cast<long>(m_process.processId()); }
  void killHard() {
    m_process.kill();  // SIGKILL: the holder has no chance to let go itself
    m_process.waitForFinished();
  }

 private:
  QProcess m_process;
};

class WriterLockTest : public ::testing::Test {
 protected:
  std::string path() const { return m_folder.filePath("data/writer.lock").toStdString(); }
  QTemporaryDir m_folder;
};

TEST_F(WriterLockTest, ASecondProcessIsRefusedAndToldWhoHoldsTheLock) {
  Holder other(path(), 60s);
  ASSERT_TRUE(other.waitUntilHeld());

  std::optional<long> holder;
  EXPECT_FALSE(WriterLock::acquire(path(), 0ms, &holder));
  EXPECT_EQ(holder, other.id());

  const Clock::time_point started = Clock::now();
  EXPECT_FALSE(WriterLock::acquire(path(), 300ms));
  const Clock::duration waited = Clock::now() - started;
  EXPECT_GE(waited, 300ms) << "the bounded wait is used in full";
  EXPECT_LT(waited, 3s);
}

TEST_F(WriterLockTest, TheLockIsFreeOnceItsHolderEndsHoweverItEnds) {
  {
    Holder killed(path(), 60s);
    ASSERT_TRUE(killed.waitUntilHeld());
    killed.killHard();
    EXPECT_TRUE(WriterLock::acquire(path(), 0ms)) << "a killed holder must not leave the lock held";
  }
  Holder brief(path(), 300ms);
  ASSERT_TRUE(brief.waitUntilHeld());
  const Clock::time_point started = Clock::now();
  EXPECT_TRUE(WriterLock::acquire(path(), 10s)) << "a waiting writer gets the lock when the holder is done";
  EXPECT_LT(Clock::now() - started, 5s);
}

TEST_F(WriterLockTest, OneHolderAtATimeWithinAProcessTooAndTheFileIsPrivate) {
  auto first = WriterLock::acquire(path(), 0ms);
  ASSERT_TRUE(first);
  EXPECT_FALSE(WriterLock::acquire(path(), 0ms));
  first.reset();
  EXPECT_TRUE(WriterLock::acquire(path(), 0ms));
  struct stat status {};
  ASSERT_EQ(::stat(path().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0077, 0u);
}

TEST_F(WriterLockTest, AnUnusableLockFileIsAFailureNotAWait) {
  const std::string blocked = m_folder.filePath("plain").toStdString();
  ASSERT_TRUE(QFile(QString::fromStdString(blocked)).open(QIODevice::WriteOnly));
  const Clock::time_point started = Clock::now();
  EXPECT_FALSE(WriterLock::acquire(blocked + "/writer.lock", 10s));
  EXPECT_LT(Clock::now() - started, 1s);
}

}  // namespace
}  // namespace files
