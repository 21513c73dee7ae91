// Two copies of the application on one home: the second must hand over to the
// first and end without touching the user's data.
#include "app/single_instance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include "tests/support/event_loop.h"

namespace app {

using namespace std::chrono_literals;

namespace {

// The first copy: the built application, on the offscreen window system.
class RunningCopy {
 public:
  RunningCopy() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("RP_ADDRESSBOOK_ACCESS", "granted");
    m_process.setProcessEnvironment(environment);
    m_process.start(RP_APPLICATION, {});
  }
  ~RunningCopy() {
    m_process.kill();
    m_process.waitForFinished();
  }
  QProcess& process() { return m_process; }

 private:
  QProcess m_process;
};

QByteArray lockHolder() {
  QFile lock(SingleInstance::lockPath());
  return lock.open(QIODevice::ReadOnly) ? lock.readAll().trimmed() : QByteArray();
}

TEST(SingleInstance, ASecondCopyHandsOverToTheRunningOneAndEnds) {
  QCoreApplication::setApplicationName("Ringeplagvern");  // the application's lock file, in this test's home
  RunningCopy first;
  ASSERT_TRUE(first.process().waitForStarted());
  const QByteArray firstId = QByteArray::number(first.process().processId());
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return lockHolder() == firstId; }, 20s))
      << "the first copy takes the lock";

  QProcess second;
  second.setProcessEnvironment(first.process().processEnvironment());
  second.start(RP_APPLICATION, {});
  ASSERT_TRUE(second.waitForFinished(20'000)) << "the second copy must end, not run beside the first";
  EXPECT_EQ(second.exitCode(), 0);
  const QString told = QString::fromUtf8(second.readAllStandardError());
  EXPECT_TRUE(told.contains("kjører allerede") && told.contains(QString::fromLatin1(firstId))) << told.toStdString();
  EXPECT_TRUE(told.contains("hentet fram")) << "the first copy was asked to come forward: " << told.toStdString();
  EXPECT_EQ(first.process().state(), QProcess::Running);
  EXPECT_EQ(lockHolder(), firstId);

  // Once the first copy is killed, a new start is the writer again.
  first.process().kill();
  first.process().waitForFinished();
  SingleInstance instance;
  EXPECT_TRUE(instance.claim());
}

}  // namespace

}  // namespace app
