#include "publish/evolution/session_rerun.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

#include "publish/evolution/private_session.h"

namespace publish::evolution::test {

namespace {

constexpr int kChildTimeoutMs = 120'000;

QString currentTestFilter() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return QStringLiteral("--gtest_filter=%1.%2")
      .arg(QString::fromUtf8(info->test_suite_name()), QString::fromUtf8(info->name()));
}

// Under the address sanitizer, the child's leak reports get whole stacks, so
// that what the client library keeps for good is told apart from real leaks.
void addLeakSuppressions(QProcessEnvironment& environment) {
  const QString sanitizerOptions = environment.value(QStringLiteral("ASAN_OPTIONS"));
  if (sanitizerOptions.isEmpty()) return;
  environment.insert(QStringLiteral("ASAN_OPTIONS"), sanitizerOptions + QStringLiteral(":fast_unwind_on_malloc=0"));
  environment.insert(QStringLiteral("LSAN_OPTIONS"),
                     QStringLiteral("suppressions=") + QString::fromUtf8(RP_EVOLUTION_LEAK_SUPPRESSIONS));
}

}  // namespace

bool rerunCurrentTestIn(SessionBus bus) {
  if (qEnvironmentVariableIsSet(kInsidePrivateSession)) return false;

  QTemporaryDir home;
  QProcessEnvironment environment = privateSessionEnvironment(home);
  addLeakSuppressions(environment);
  const QString self = QCoreApplication::applicationFilePath();
  QProcess child;
  child.setProcessChannelMode(QProcess::MergedChannels);
  if (bus == SessionBus::Private) {
    child.setProgram(QString::fromLatin1(kSessionRunner));
    child.setArguments(privateSessionArguments(self, {currentTestFilter()}));
  } else {
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), "unix:path=" + home.filePath("no-bus-here"));
    child.setProgram(self);
    child.setArguments({currentTestFilter()});
  }
  child.setProcessEnvironment(environment);
  child.start();
  const bool finished = child.waitForFinished(kChildTimeoutMs);
  const QString output = QString::fromUtf8(child.readAll());
  if (!finished) {
    child.kill();
    child.waitForFinished();
    ADD_FAILURE() << "the test did not finish in its own session:\n" << output.toStdString();
  } else if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
    ADD_FAILURE() << "the test failed in its own session:\n" << output.toStdString();
  } else if (output.contains(QLatin1String("[  SKIPPED ]"))) {
    [&] { GTEST_SKIP() << "skipped in its own session:\n" << output.toStdString(); }();
  } else if (!output.contains(QLatin1String("[  PASSED  ] 1 test"))) {
    ADD_FAILURE() << "the test did not run in its own session:\n" << output.toStdString();
  }
  return true;
}

}  // namespace publish::evolution::test
