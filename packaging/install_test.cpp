// covers: CMakeLists.txt, no.tindravik.Ringeplagvern.desktop, no.tindravik.Ringeplagvern.metainfo.xml, systemd/
// Installs the build into a fresh prefix and runs what was installed from a
// folder that is neither the source nor the build folder, as a user would.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

constexpr int kProcessTimeoutMs = 120'000;

struct Outcome {
  int exitCode = -1;
  QString out;
  QString err;
};

Outcome run(const QString& program, const QStringList& arguments, const QString& workingFolder = QDir::tempPath()) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("RP_ADDRESSBOOK_ACCESS"), QStringLiteral("granted"));
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(workingFolder);
  process.start(program, arguments);
  if (!process.waitForFinished(kProcessTimeoutMs)) {
    process.kill();
    process.waitForFinished();
    return {-1, {}, program + QStringLiteral(" did not finish")};
  }
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

class InstalledApplication : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_prefix = new QTemporaryDir;
    s_install = run(QStringLiteral(RP_CMAKE), {QStringLiteral("--install"), QStringLiteral(RP_BUILD_DIR),
                                               QStringLiteral("--prefix"), s_prefix->path()});
  }
  static void TearDownTestSuite() {
    delete s_prefix;
    s_prefix = nullptr;
  }
  void SetUp() override {
    ASSERT_EQ(s_install.exitCode, 0) << s_install.err.toStdString();
    ASSERT_TRUE(m_elsewhere.isValid());
  }

  static QString installed(const QString& relativePath) { return QDir(s_prefix->path()).filePath(relativePath); }
  static Outcome runInstalled(const QStringList& arguments, const QString& workingFolder) {
    return run(installed(QStringLiteral("bin/ringeplagvern")), arguments, workingFolder);
  }

  // A working folder with nothing of the project in it.
  QTemporaryDir m_elsewhere;

  static inline QTemporaryDir* s_prefix = nullptr;
  static inline Outcome s_install;
};

TEST_F(InstalledApplication, PutsEveryFileInItsPlace) {
  QStringList programs{QStringLiteral("bin/ringeplagvern"), QStringLiteral("bin/ringeplagvern-listservice")};
#ifdef RP_INSTALLS_CLI
  programs << QStringLiteral("bin/ringeplagvern-cli");
#endif
  for (const QString& program : programs) {
    const QFileInfo file(installed(program));
    EXPECT_TRUE(file.isFile() && file.isExecutable()) << program.toStdString();
  }
  for (const char* file :
       {"share/applications/no.tindravik.Ringeplagvern.desktop",
        "share/metainfo/no.tindravik.Ringeplagvern.metainfo.xml",
        "share/icons/hicolor/48x48/apps/no.tindravik.Ringeplagvern.png",
        "share/icons/hicolor/64x64/apps/no.tindravik.Ringeplagvern.png",
        "share/icons/hicolor/128x128/apps/no.tindravik.Ringeplagvern.png",
        "share/icons/hicolor/256x256/apps/no.tindravik.Ringeplagvern.png", "share/ringeplagvern/numberlist.json"})
    EXPECT_TRUE(QFileInfo(installed(QString::fromLatin1(file))).isFile()) << file;
}

TEST_F(InstalledApplication, DesktopEntryAndMetainfoPassTheirValidators) {
  const QString desktopValidator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
  const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
  if (desktopValidator.isEmpty() || appstream.isEmpty())
    GTEST_SKIP() << "desktop-file-validate or appstreamcli missing (scripts/install-deps.sh installs them)";
  const Outcome desktop =
      run(desktopValidator, {installed(QStringLiteral("share/applications/no.tindravik.Ringeplagvern.desktop"))});
  EXPECT_EQ(desktop.exitCode, 0) << desktop.out.toStdString() << desktop.err.toStdString();
  EXPECT_EQ(desktop.out + desktop.err, QString()) << "no warnings either";
  const Outcome metainfo =
      run(appstream, {QStringLiteral("validate"), QStringLiteral("--no-net"),
                      installed(QStringLiteral("share/metainfo/no.tindravik.Ringeplagvern.metainfo.xml"))});
  EXPECT_EQ(metainfo.exitCode, 0) << metainfo.out.toStdString() << metainfo.err.toStdString();
  QFile installedMetainfo(installed(QStringLiteral("share/metainfo/no.tindravik.Ringeplagvern.metainfo.xml")));
  ASSERT_TRUE(installedMetainfo.open(QIODevice::ReadOnly));
  EXPECT_TRUE(installedMetainfo.readAll().contains("<release version=\"" RP_VERSION "\""))
      << "the release is this version";
}

TEST_F(InstalledApplication, StartsFromAnotherFolderInEitherLanguage) {
  for (const char* language : {"en", "nb"}) {
    const Outcome started = runInstalled(
        {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--quit-after-first-paint"),
         QStringLiteral("--lang"), QString::fromLatin1(language)},
        m_elsewhere.path());
    EXPECT_EQ(started.exitCode, 0) << language << ": " << started.err.toStdString();
    EXPECT_FALSE(started.err.contains(QStringLiteral("translation")))
        << "the translation was found: " << started.err.toStdString();
  }
  EXPECT_TRUE(QDir(m_elsewhere.path()).isEmpty()) << "nothing is written to the working folder";
}

TEST_F(InstalledApplication, SaysItsVersionAndListsItsOptionsAndFiles) {
  const Outcome version = runInstalled({QStringLiteral("--version")}, m_elsewhere.path());
  EXPECT_EQ(version.exitCode, 0);
  const QRegularExpression nameVersionBuild(QStringLiteral("^Ringeplagvern " RP_VERSION " \\(build [0-9]+\\)\n$"));
  EXPECT_TRUE(nameVersionBuild.match(version.out).hasMatch()) << version.out.toStdString();

  const Outcome help = runInstalled({QStringLiteral("--help")}, m_elsewhere.path());
  EXPECT_EQ(help.exitCode, 0);
  for (const char* expected :
       {"--help", "--version", "--list-host", "--backup-host", "--lang", "defaults.conf", "listservice.conf",
        "ratingprompt.conf", "Ringeplagvern.sqlite", "writer.lock", "AddressBook.sqlite"})
    EXPECT_TRUE(help.out.contains(QString::fromLatin1(expected))) << expected << " missing from:\n"
                                                                  << help.out.toStdString();

  const Outcome wrongLanguage = runInstalled({QStringLiteral("--lang"), QStringLiteral("de")}, m_elsewhere.path());
  EXPECT_EQ(wrongLanguage.exitCode, 2);
  EXPECT_TRUE(wrongLanguage.err.contains(QStringLiteral("nb, en"))) << wrongLanguage.err.toStdString();
}

}  // namespace
