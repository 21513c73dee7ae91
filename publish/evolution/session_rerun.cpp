#include "publish/evolution/session_rerun.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace publish::evolution::test {

namespace {

constexpr char kChildMarker[] = "RP_EVOLUTION_TEST_CHILD";
constexpr int kChildTimeoutMs = 120'000;
constexpr const char* kHomeVariables[] = {"HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                          "XDG_CACHE_HOME", "XDG_STATE_HOME",  "XDG_RUNTIME_DIR"};
constexpr const char* kServiceFiles[] = {"dbus-1/services/org.gnome.evolution.dataserver.Sources5.service",
                                         "dbus-1/services/org.gnome.evolution.dataserver.AddressBook10.service"};

QString currentTestFilter() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return QStringLiteral("--gtest_filter=%1.%2")
      .arg(QString::fromUtf8(info->test_suite_name()), QString::fromUtf8(info->name()));
}

}  // namespace

bool evolutionServicesInstalled() {
  for (const char* file : kServiceFiles) {
    if (QStandardPaths::locate(QStandardPaths::GenericDataLocation, QString::fromLatin1(file)).isEmpty()) return false;
  }
  return !QStandardPaths::findExecutable(QStringLiteral("dbus-run-session")).isEmpty();
}

bool rerunCurrentTestIn(SessionBus bus) {
  if (qEnvironmentVariableIsSet(kChildMarker)) return false;

  // The bus and every service it starts inherit this environment, so each
  // test's books live in a home of its own that goes away with the test.
  QTemporaryDir home;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QString::fromLatin1(kChildMarker), QStringLiteral("1"));
  for (const char* variable : kHomeVariables) {
    const QString folder = home.filePath(QString::fromLatin1(variable).toLower());
    QDir().mkpath(folder);
    environment.insert(QString::fromLatin1(variable), folder);
  }
  QFile::setPermissions(home.filePath(QStringLiteral("xdg_runtime_dir")),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  QProcess child;
  child.setProcessChannelMode(QProcess::MergedChannels);
  const QStringList testArguments{QCoreApplication::applicationFilePath(), currentTestFilter()};
  if (bus == SessionBus::Private) {
    child.setProgram(QStringLiteral("dbus-run-session"));
    child.setArguments(QStringList{QStringLiteral("--")} + testArguments);
  } else {
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), "unix:path=" + home.filePath("no-bus-here"));
    child.setProgram(testArguments.first());
    child.setArguments(testArguments.mid(1));
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
