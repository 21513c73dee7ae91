// covers: CMakeLists.txt, throwaway_root_install.sh
// Builds the Debian package from the build and checks what it declares and
// holds; as root, also installs it into a throwaway root and removes it again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

constexpr int kPackingTimeoutMs = 600'000;
constexpr int kSkipped = 77;  // the throwaway-root script could not make one here

struct Outcome {
  int exitCode = -1;
  QString out;
};

Outcome run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  if (!process.waitForFinished(kPackingTimeoutMs)) {
    process.kill();
    process.waitForFinished();
    return {-1, program + QStringLiteral(" did not finish")};
  }
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromUtf8(process.readAllStandardOutput())};
}

class DebianPackage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_folder = new QTemporaryDir;
    s_packing =
        run(QStringLiteral(RP_CPACK), {QStringLiteral("--config"), QStringLiteral(RP_BUILD_DIR "/CPackConfig.cmake"),
                                       QStringLiteral("-B"), s_folder->path()});
    const QStringList debs = QDir(s_folder->path()).entryList({QStringLiteral("*.deb")}, QDir::Files);
    if (debs.size() == 1) s_deb = QDir(s_folder->path()).filePath(debs.first());
  }
  static void TearDownTestSuite() {
    delete s_folder;
    s_folder = nullptr;
  }
  void SetUp() override {
    if (QStandardPaths::findExecutable(QStringLiteral("dpkg-deb")).isEmpty()) GTEST_SKIP() << "no dpkg-deb here";
    ASSERT_EQ(s_packing.exitCode, 0) << s_packing.out.toStdString();
    ASSERT_FALSE(s_deb.isEmpty()) << "one .deb expected in " << s_folder->path().toStdString();
  }

  static inline QTemporaryDir* s_folder = nullptr;
  static inline Outcome s_packing;
  static inline QString s_deb;
};

TEST_F(DebianPackage, DeclaresNameVersionSectionAndTheLibrariesItNeeds) {
  EXPECT_TRUE(QFileInfo(s_deb).fileName().startsWith(QStringLiteral("ringeplagvern_" RP_VERSION "_")))
      << s_deb.toStdString();
  const Outcome info = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--info"), s_deb});
  ASSERT_EQ(info.exitCode, 0) << info.out.toStdString();
  for (const char* field : {"Package: ringeplagvern", "Version: " RP_VERSION, "Section: utils",
                            "Maintainer: ", "Description: protection from telemarketers' calls"})
    EXPECT_TRUE(info.out.contains(QString::fromLatin1(field))) << field << " missing from:\n" << info.out.toStdString();
  const qsizetype depends = info.out.indexOf(QStringLiteral("Depends: "));
  ASSERT_GE(depends, 0) << info.out.toStdString();
  const QString dependencies = info.out.mid(depends).section(u'\n', 0, 0);
  // Computed from the programs' libraries, plus the fonts the screens use.
  for (const char* package : {"libc6", "libqt6widgets6", "libqt6network6", "libsqlite3-0", "fonts-dejavu-extra"})
    EXPECT_TRUE(dependencies.contains(QString::fromLatin1(package)))
        << package << " missing from " << dependencies.toStdString();
}

TEST_F(DebianPackage, HoldsTheInstalledFilesUnderUsrOnly) {
  const Outcome contents = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), s_deb});
  ASSERT_EQ(contents.exitCode, 0) << contents.out.toStdString();
  QStringList paths;
  for (const QString& line : contents.out.split(u'\n', Qt::SkipEmptyParts)) paths << line.section(u' ', -1);
  for (const char* expected : {"./usr/bin/ringeplagvern", "./usr/bin/ringeplagvern-listservice",
                               "./usr/share/applications/no.tindravik.Ringeplagvern.desktop",
                               "./usr/share/metainfo/no.tindravik.Ringeplagvern.metainfo.xml",
                               "./usr/share/icons/hicolor/48x48/apps/no.tindravik.Ringeplagvern.png",
                               "./usr/share/icons/hicolor/64x64/apps/no.tindravik.Ringeplagvern.png",
                               "./usr/share/icons/hicolor/128x128/apps/no.tindravik.Ringeplagvern.png",
                               "./usr/share/icons/hicolor/256x256/apps/no.tindravik.Ringeplagvern.png",
                               "./usr/share/ringeplagvern/numberlist.json"})
    EXPECT_TRUE(paths.contains(QString::fromLatin1(expected))) << expected << " missing from:\n"
                                                               << contents.out.toStdString();
  for (const QString& path : paths) EXPECT_TRUE(path.startsWith(QStringLiteral("./usr/"))) << path.toStdString();
}

TEST_F(DebianPackage, InstallsStartsAndIsRemovedWithoutTheUsersDataInAThrowawayRoot) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can make a throwaway root; run packaging/throwaway_root_install.sh";
  const Outcome trial = run(QStringLiteral(RP_THROWAWAY_ROOT_INSTALL), {s_deb});
  if (trial.exitCode == kSkipped) GTEST_SKIP() << trial.out.toStdString();
  EXPECT_EQ(trial.exitCode, 0) << trial.out.toStdString();
  EXPECT_TRUE(trial.out.contains(QStringLiteral("installed: ringeplagvern " RP_VERSION " install ok installed")))
      << trial.out.toStdString();
  EXPECT_TRUE(trial.out.contains(QStringLiteral("the user's data is untouched"))) << trial.out.toStdString();
}

}  // namespace
