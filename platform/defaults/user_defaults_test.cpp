#include "platform/defaults/user_defaults.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace defaults {
namespace {

std::string runProbe(const char* command) {
  QProcess probe;
  probe.start(USER_DEFAULTS_PROBE, {command});  // inherits this test's private HOME
  EXPECT_TRUE(probe.waitForFinished(30000));
  EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
  return probe.readAllStandardOutput().toStdString();
}

TEST(UserDefaults, NeverWrittenValuesReadAsNoZeroAndAbsent) {
  QTemporaryDir folder;
  UserDefaults store(folder.filePath("fresh.conf"));
  EXPECT_FALSE(store.boolForKey("AutoImportEnabledKey"));
  EXPECT_EQ(store.integerForKey("ImportNumberKey"), 0);
  EXPECT_EQ(store.doubleForKey("x"), 0.0);
  EXPECT_EQ(store.stringForKey("x"), std::nullopt);
  EXPECT_EQ(store.dateForKey("DateUpdatedDefaultKey"), nullptr);
  EXPECT_FALSE(store.hasValueForKey("x"));
}

TEST(UserDefaults, ValuesSurviveARestartOfTheProcess) {
  EXPECT_EQ(runProbe("read"), "0\n0\n0\n<absent>\n-1.000\n");
  runProbe("write");
  EXPECT_EQ(runProbe("read"), "1\n-7000\n0.25\nRingeplagvern æøå\n1700000000.500\n");
  // This process reads what the other one wrote, too.
  UserDefaults reader(QString::fromStdString(UserDefaults::standard().filePath()));
  EXPECT_EQ(reader.integerForKey("count"), -7000);
}

TEST(UserDefaults, RemovingAndOverwritingTakeEffect) {
  QTemporaryDir folder;
  const QString path = folder.filePath("store.conf");
  {
    UserDefaults store(path);
    store.setInteger("n", 7000);
    store.setInteger("n", -1);
    store.setBool("gone", true);
    store.removeObjectForKey("gone");
    ASSERT_TRUE(store.synchronize());
  }
  UserDefaults reopened(path);
  EXPECT_EQ(reopened.integerForKey("n"), -1);
  EXPECT_FALSE(reopened.hasValueForKey("gone"));
}

TEST(UserDefaults, DamagedOrUnreadableFileReadsAsEmpty) {
  QTemporaryDir folder;
  const QString garbage = folder.filePath("garbage.conf");
  QFile file(garbage);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  static constexpr char kGarbage[] = "\x00\xff[[[\n=\n\x01\x02 binary \xfe\n";
  file.write(QByteArray(kGarbage, sizeof kGarbage - 1));
  file.close();
  UserDefaults damaged(garbage);
  EXPECT_FALSE(damaged.boolForKey("flag"));
  damaged.setBool("flag", true);
  EXPECT_TRUE(damaged.synchronize());

  // A directory where the file should be cannot be read or written.
  const QString blocked = folder.filePath("blocked.conf");
  ASSERT_TRUE(QDir().mkpath(blocked));
  UserDefaults unreadable(blocked);
  EXPECT_EQ(unreadable.integerForKey("n"), 0);
  unreadable.setInteger("n", 1);
  EXPECT_FALSE(unreadable.synchronize());
}

}  // namespace
}  // namespace defaults
