// covers: main.cpp, command_line.cpp, command_table.cpp, command_session.cpp, *_command.cpp
// The built ringeplagvern-cli against a list service on loopback, each run
// with a home of its own: every command, every exit code, its output into a
// pipe and on a terminal.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "app/constants.h"
#include "platform/defaults/user_defaults.h"
#include "platform/files/writer_lock.h"
#include "tests/support/event_loop.h"
#include "tests/support/listservice/list_service.h"

namespace {

using namespace std::chrono_literals;

constexpr int kListedNumbers = 300;
constexpr double kEightDays = 8 * 86400.0;

// A list of approved numbers ranked 1 to `count`: 40000001, 40000002, ...
QByteArray numberList(int count) {
  QByteArray body = R"({"telefonnumre":[)";
  for (int rank = 1; rank <= count; ++rank) {
    if (rank > 1) body += ',';
    body += QString(R"({"firma":"Salg %1 AS","telefon":"%2","url":"","kategori":"Telefonsalg",)"
                    R"("status":"godkjent","posisjon":%1})")
                .arg(rank)
                .arg(40000000 + rank)
                .toUtf8();
  }
  return body + "]}";
}

struct Outcome {
  int exitCode = -1;
  QString out;
  QString err;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_home.isValid());
    m_service.setBody(numberList(kListedNumbers));
    ASSERT_TRUE(m_service.listen());
    m_environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
      const QString folder = m_home.path() + '/' + QString::fromLatin1(variable).toLower();
      QDir().mkpath(folder);
      m_environment.insert(variable, folder);
    }
    m_environment.insert("RP_ADDRESSBOOK_ACCESS", "granted");
  }

  QStringList withHosts(const QStringList& arguments) const {
    return QStringList{"--list-host", m_service.hostAndPort(), "--backup-host", m_service.hostAndPort()} + arguments;
  }

  // Runs the program with its output into pipes, serving the list meanwhile.
  Outcome run(const QStringList& arguments) { return runProgram(RP_CLI, withHosts(arguments)); }

  // Runs the program on a pseudo-terminal made by script(1).
  Outcome runOnTerminal(const QStringList& arguments) {
    QStringList quoted{RP_CLI};
    for (const QString& argument : withHosts(arguments)) quoted << "'" + argument + "'";
    return runProgram("script", {"-qec", quoted.join(' '), "/dev/null"});
  }

  Outcome runProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForStarted());
    const bool ended =
        rp::test::runEventLoopUntil([&process] { return process.state() == QProcess::NotRunning; }, 120s);
    EXPECT_TRUE(ended) << "the command must end by itself";
    if (!ended) process.kill();
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
  }

  QString dataFolder() const { return m_environment.value("XDG_DATA_HOME") + "/Ringeplagvern"; }
  // The settings file the program writes, read afresh.
  defaults::UserDefaults storedSettings() const {
    return defaults::UserDefaults(m_environment.value("XDG_CONFIG_HOME") + "/Ringeplagvern/defaults.conf");
  }

  QTemporaryDir m_home;
  ListService m_service;
  QProcessEnvironment m_environment;
};

int countLines(const QString& text, const QString& part) {
  int count = 0;
  for (const QString& line : text.split('\n')) count += line.contains(part) ? 1 : 0;
  return count;
}

QString fileText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void writeFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(content), content.size());
}

// The TEL lines of a card file: one per number, whatever group prefix they carry.
int telephoneLines(const QString& card) {
  int count = 0;
  for (const QString& line : card.split("\r\n")) count += line.section(':', 0, 0).section(';', 0, 0).endsWith("TEL");
  return count;
}

TEST_F(CliTest, BadUsageEndsWithTwoAndSaysWhyWithoutTouchingTheData) {
  for (const QStringList& arguments :
       {QStringList{}, QStringList{"fetch"}, QStringList{"protect", "maybe"}, QStringList{"settings", "count", "150"},
        QStringList{"settings", "approved"}, QStringList{"search", "  "}, QStringList{"add", "123"},
        QStringList{"refresh", "--now"}, QStringList{"status", "extra"}, QStringList{"--no-such-option", "status"},
        QStringList{"add", "--from"}, QStringList{"add", "--from", "a.vcf", "b.vcf"}, QStringList{"publish", "now"},
        QStringList{"export"}, QStringList{"export", "a.vcf", "b.vcf"}}) {
    const Outcome result = run(arguments);
    EXPECT_EQ(result.exitCode, 2) << arguments.join(' ').toStdString();
    EXPECT_TRUE(result.err.contains("--help")) << result.err.toStdString();
    EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
  }
  EXPECT_TRUE(run({"add", "12 3"}).err.contains("minimum 4 tall"));
  EXPECT_EQ(m_service.requestCount(), 0);
  EXPECT_FALSE(QFile::exists(dataFolder() + "/Ringeplagvern.sqlite"));
}

TEST_F(CliTest, HelpListsEveryCommandAndTheExitCodes) {
  const Outcome help = run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* part : {"status", "refresh [--if-expired]", "protect on|off", "search NUMBER",
                           "add NUMBER [FIRM] [URL]", "--from FILE.vcf", "settings count N|all", "publish",
                           "export FILE.vcf", "--publish-folder", "0  done", "1  failed", "2  bad usage"}) {
    EXPECT_TRUE(help.out.contains(part)) << part;
  }
}

TEST_F(CliTest, RefreshStoresTheListAndPrintsTheCaptionsAsPlainLines) {
  const Outcome refresh = run({"refresh"});
  EXPECT_EQ(refresh.exitCode, 0) << refresh.out.toStdString() << refresh.err.toStdString();
  EXPECT_EQ(refresh.out, QString("Oppdaterer telefonnummerlisten\n"
                                 "Telefonnummerlisten er oppdatert\n"
                                 "Søker i %1 nummer\n"
                                 "Din adressebok inneholder 0 telefonselgere/markedsundersøkere\n")
                             .arg(kListedNumbers));
  EXPECT_EQ(m_service.requestCount(), 1);
  EXPECT_TRUE(storedSettings().dateForKey(app::DateUpdatedDefaultKey));

  const Outcome status = run({"status"});
  EXPECT_EQ(status.exitCode, 0);
  EXPECT_TRUE(status.out.contains("gjeldende")) << status.out.toStdString();
  EXPECT_TRUE(status.out.contains("Beskyttelse: av"));
  EXPECT_TRUE(status.out.contains(QString("Søker i %1 nummer").arg(kListedNumbers)));
}

TEST_F(CliTest, RefreshIfExpiredDownloadsOnlyAnEmptyOrWeekOldList) {
  EXPECT_EQ(run({"refresh", "--if-expired"}).exitCode, 0);  // nothing stored yet
  EXPECT_EQ(m_service.requestCount(), 1);

  const Outcome fresh = run({"refresh", "--if-expired"});
  EXPECT_EQ(fresh.exitCode, 0);
  EXPECT_TRUE(fresh.out.contains("ikke utløpt")) << fresh.out.toStdString();
  EXPECT_EQ(m_service.requestCount(), 1);

  defaults::UserDefaults settings = storedSettings();
  settings.setDate(app::DateUpdatedDefaultKey, *fnd::Date::now()->addingTimeInterval(-kEightDays));
  ASSERT_TRUE(settings.synchronize());
  EXPECT_TRUE(run({"status"}).out.contains("utløpt"));
  EXPECT_EQ(run({"refresh", "--if-expired"}).exitCode, 0);
  EXPECT_EQ(m_service.requestCount(), 2);
}

TEST_F(CliTest, AFailedDownloadEndsWithOneAndKeepsTheDate) {
  ListService::Faults faults;
  faults.status = 503;
  m_service.setFaults(faults);
  const Outcome refresh = run({"refresh"});
  EXPECT_EQ(refresh.exitCode, 1);
  EXPECT_TRUE(refresh.out.startsWith("Oppdaterer telefonnummerlisten\n")) << refresh.out.toStdString();
  EXPECT_EQ(countLines(refresh.out, "Søker i 0 nummer"), 1) << refresh.out.toStdString();
  EXPECT_EQ(m_service.requestCount(), 2) << "the primary and the backup address";
  EXPECT_FALSE(storedSettings().dateForKey(app::DateUpdatedDefaultKey));
}

TEST_F(CliTest, ProtectOnWithoutAListFetchesItThenBuildsTheContactReportingProgressSparingly) {
  const Outcome protect = run({"protect", "on"});
  EXPECT_EQ(protect.exitCode, 0) << protect.out.toStdString() << protect.err.toStdString();
  EXPECT_TRUE(protect.out.contains("oppdatering av databasen starter")) << protect.out.toStdString();
  EXPECT_TRUE(protect.out.contains("Starter importering av ringeplagvernkontakten"));
  // Progress reports coalesce while one is on its way, so a fast import may
  // show only its last count.
  const int progressLines = countLines(protect.out, "Importerer ");
  EXPECT_GE(progressLines, 1);
  EXPECT_LE(progressLines, 30) << "a pipe gets no line per number";
  EXPECT_TRUE(protect.out.contains(QString("Importerer %1 av %1 nummer").arg(kListedNumbers)));
  EXPECT_TRUE(protect.out.contains("Du er beskyttet!"));
  EXPECT_FALSE(protect.out.contains('\r'));
  EXPECT_TRUE(storedSettings().boolForKey(app::AutoImportEnabledKey));
  EXPECT_TRUE(
      run({"status"})
          .out.contains(QString("Din adressebok inneholder %1 telefonselgere/markedsundersøkere").arg(kListedNumbers)));

  const Outcome off = run({"protect", "off"});
  EXPECT_EQ(off.exitCode, 0);
  EXPECT_TRUE(off.out.contains("Fjernet ringeplagvernkontakten fra din adressebok")) << off.out.toStdString();
  EXPECT_FALSE(storedSettings().boolForKey(app::AutoImportEnabledKey));
  EXPECT_TRUE(run({"status"}).out.contains("Beskyttelse: av"));
}

TEST_F(CliTest, OnATerminalTheImportIsOneBarRedrawnInPlace) {
  ASSERT_EQ(run({"refresh"}).exitCode, 0);
  const Outcome protect = runOnTerminal({"protect", "on"});
  EXPECT_EQ(protect.exitCode, 0) << protect.out.toStdString();
  EXPECT_GE(protect.out.count("\r\x1b[K["), 1) << protect.out.toStdString();
  EXPECT_EQ(countLines(protect.out, "Importerer "), 1) << "the bar is redrawn, not written again below";
  EXPECT_TRUE(protect.out.contains(QString("100 %  Importerer %1 av %1 nummer").arg(kListedNumbers)));
  EXPECT_TRUE(protect.out.contains("Du er beskyttet!"));
}

TEST_F(CliTest, WithoutAccessToTheAddressBookProtectionFailsAndStaysOff) {
  // The first answer to the access question is remembered in the address book.
  m_environment.insert("RP_ADDRESSBOOK_ACCESS", "denied");
  ASSERT_EQ(run({"refresh"}).exitCode, 0);
  const Outcome protect = run({"protect", "on"});
  EXPECT_EQ(protect.exitCode, 1);
  EXPECT_TRUE(protect.out.contains("har ikke tilgang til din addressebok")) << protect.out.toStdString();
  EXPECT_FALSE(storedSettings().boolForKey(app::AutoImportEnabledKey));
}

TEST_F(CliTest, WithoutALocalAddressBookSourceProtectionFailsAndSaysWhy) {
  m_environment.insert("RP_ADDRESSBOOK_SOURCES", "exchange");
  ASSERT_EQ(run({"refresh"}).exitCode, 0);
  const Outcome protect = run({"protect", "on"});
  EXPECT_EQ(protect.exitCode, 1);
  EXPECT_TRUE(protect.out.contains("lokal kilde")) << protect.out.toStdString();
  EXPECT_FALSE(storedSettings().boolForKey(app::AutoImportEnabledKey));
}

TEST_F(CliTest, ATerminationSignalEndsAWaitingCommandWithOne) {
  ListService::Faults faults;
  faults.delay = 30s;
  m_service.setFaults(faults);
  QProcess process;
  process.setProcessEnvironment(m_environment);
  process.start(RP_CLI, withHosts({"refresh"}));
  ASSERT_TRUE(rp::test::runEventLoopUntil([this] { return m_service.requestCount() >= 1; }, 20s));
  process.terminate();
  ASSERT_TRUE(rp::test::runEventLoopUntil([&process] { return process.state() == QProcess::NotRunning; }, 20s))
      << "the signal must end the wait for the list";
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 1);
  EXPECT_TRUE(QString::fromUtf8(process.readAllStandardOutput()).endsWith("Avbrutt\n"));
  EXPECT_FALSE(storedSettings().dateForKey(app::DateUpdatedDefaultKey));
}

TEST_F(CliTest, SearchAnswersWithItsExitCode) {
  ASSERT_EQ(run({"refresh"}).exitCode, 0);
  const Outcome hit = run({"search", "4000", "0007"});
  EXPECT_EQ(hit.exitCode, 0);
  EXPECT_EQ(hit.out, "Salg 7 AS\n40000007, Telefonsalg\n");
  EXPECT_EQ(run({"search", "4000012*"}).exitCode, 0);
  const Outcome miss = run({"search", "99999999"});
  EXPECT_EQ(miss.exitCode, 1);
  EXPECT_EQ(miss.out, "Ingen treff\n");
}

TEST_F(CliTest, AnAddedNumberIsFoundAndJoinsTheContactWhileProtected) {
  ASSERT_EQ(run({"refresh"}).exitCode, 0);
  ASSERT_EQ(run({"add", "98 76 54 32"}).exitCode, 0);
  const Outcome found = run({"search", "98765432"});
  EXPECT_EQ(found.exitCode, 0);
  EXPECT_EQ(found.out, "Ukjent\n98765432, Din kontakt\n");

  ASSERT_EQ(run({"settings", "approved", "on"}).exitCode, 0);  // numbers added by hand carry no approval
  ASSERT_EQ(run({"protect", "on"}).exitCode, 0);
  const Outcome added = run({"add", "11223344", "Mitt Firma", "http://mitt.example"});
  EXPECT_EQ(added.exitCode, 0) << added.out.toStdString();
  EXPECT_TRUE(added.out.contains("Lagret 11223344 (Mitt Firma)"));
  EXPECT_TRUE(added.out.contains("Nummeret er lagt til i ringeplagvernkontakten")) << added.out.toStdString();
  const QString status = run({"status"}).out;
  EXPECT_TRUE(status.contains(
      QString("Din adressebok inneholder %1 telefonselgere/markedsundersøkere").arg(kListedNumbers + 2)))
      << status.toStdString();
}

TEST_F(CliTest, AChangedSettingRebuildsTheContactOnlyWhileProtected) {
  const Outcome offline = run({"settings", "count", "100"});
  EXPECT_EQ(offline.exitCode, 0);
  EXPECT_EQ(offline.out, "Antall nummer som importeres: 100\n");
  EXPECT_EQ(storedSettings().integerForKey(app::ImportNumberKey), 100);

  ASSERT_EQ(run({"protect", "on"}).exitCode, 0);
  EXPECT_TRUE(run({"status"}).out.contains("Din adressebok inneholder 100 "));
  const Outcome all = run({"settings", "count", "all"});
  EXPECT_EQ(all.exitCode, 0);
  EXPECT_TRUE(all.out.contains("Starter importering av ringeplagvernkontakten")) << all.out.toStdString();
  EXPECT_EQ(storedSettings().integerForKey(app::ImportNumberKey), -1);
  EXPECT_TRUE(run({"status"}).out.contains(QString("Din adressebok inneholder %1 ").arg(kListedNumbers)));

  const Outcome unchanged = run({"settings", "count", "all"});
  EXPECT_EQ(unchanged.exitCode, 0);
  EXPECT_FALSE(unchanged.out.contains("Starter importering")) << "nothing changed, nothing to rebuild";
}

TEST_F(CliTest, WritingCommandsFailWhileAnotherProgramHoldsTheLockAndReadingOnesDoNot) {
  ASSERT_EQ(run({"refresh"}).exitCode, 0);
  const std::unique_ptr<files::WriterLock> held =
      files::WriterLock::acquire((dataFolder() + "/writer.lock").toStdString(), {});
  ASSERT_TRUE(held);
  for (const QStringList& arguments :
       {QStringList{"refresh"}, QStringList{"protect", "on"}, QStringList{"add", "55555555"},
        QStringList{"settings", "approved", "on"}, QStringList{"--publish-folder", m_home.path(), "publish"}}) {
    const Outcome refused = run(arguments);
    EXPECT_EQ(refused.exitCode, 1) << arguments.join(' ').toStdString();
    EXPECT_TRUE(refused.err.contains("skriver allerede")) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QString::number(QCoreApplication::applicationPid()))) << refused.err.toStdString();
  }
  EXPECT_EQ(m_service.requestCount(), 1);
  EXPECT_EQ(run({"status"}).exitCode, 0);
  EXPECT_EQ(run({"search", "40000001"}).exitCode, 0);
  EXPECT_EQ(run({"search", "55555555"}).exitCode, 1) << "the refused add stored nothing";
  EXPECT_FALSE(run({"export", m_home.path() + "/k.vcf"}).err.contains("skriver allerede")) << "export only reads";
}

TEST_F(CliTest, PublishMirrorsTheContactToAFolderAndRemovesItThereOnceProtectionIsOff) {
  const QString folder = m_home.path() + "/kort";
  const QString card = folder + "/ringeplagvern.vcf";
  const Outcome nowhere = run({"publish"});
  EXPECT_EQ(nowhere.exitCode, 1);
  EXPECT_TRUE(nowhere.out.contains("Ingen steder å publisere til")) << nowhere.out.toStdString();

  ASSERT_EQ(run({"protect", "on"}).exitCode, 0);
  m_environment.insert("RINGEPLAGVERN_PUBLISH_FOLDER", folder);
  const Outcome published = run({"publish"});
  EXPECT_EQ(published.exitCode, 0) << published.out.toStdString() << published.err.toStdString();
  EXPECT_EQ(countLines(published.out, ": publisert"), 1) << published.out.toStdString();
  EXPECT_TRUE(published.out.contains(folder)) << "the line names the place";
  const QString written = fileText(card);
  EXPECT_EQ(telephoneLines(written), kListedNumbers) << written.left(400).toStdString();
  EXPECT_TRUE(written.contains("Salg 17 AS")) << "each number keeps its firm as label";

  ASSERT_EQ(run({"protect", "off"}).exitCode, 0);
  m_environment.remove("RINGEPLAGVERN_PUBLISH_FOLDER");
  const Outcome removed = run({"--publish-folder", folder, "publish"});
  EXPECT_EQ(removed.exitCode, 0) << removed.out.toStdString();
  EXPECT_EQ(countLines(removed.out, ": fjernet"), 1) << removed.out.toStdString();
  EXPECT_FALSE(QFile::exists(card));
}

TEST_F(CliTest, EverySaveAndRemovalOfTheContactReachesTheConfiguredPlacesBeforeTheCommandEnds) {
  // The daily timer's refresh rebuilds the contact; a phone that reads the
  // folder must see the new one without anyone running publish.
  const QString folder = m_home.path() + "/kort";
  const QString card = folder + "/ringeplagvern.vcf";
  m_environment.insert("RINGEPLAGVERN_PUBLISH_FOLDER", folder);
  const Outcome protect = run({"protect", "on"});
  ASSERT_EQ(protect.exitCode, 0) << protect.out.toStdString();
  EXPECT_EQ(telephoneLines(fileText(card)), kListedNumbers);
  ASSERT_EQ(run({"protect", "off"}).exitCode, 0);
  EXPECT_FALSE(QFile::exists(card)) << "the removal reaches the folder too";

  ASSERT_EQ(run({"protect", "on"}).exitCode, 0);
  QFile::remove(card);
  ASSERT_EQ(run({"refresh"}).exitCode, 0);
  EXPECT_EQ(telephoneLines(fileText(card)), kListedNumbers) << "a refresh while protected publishes its rebuild";
  ASSERT_EQ(run({"add", "40000001"}).exitCode, 0);
  EXPECT_EQ(telephoneLines(fileText(card)), kListedNumbers + 1) << "a number added by hand joins the published card";

  const QString regularFile = m_home.path() + "/vanlig-fil";
  writeFile(regularFile, "ikke en mappe");
  const Outcome failed = run({"--publish-folder", regularFile + "/kort", "refresh"});
  EXPECT_EQ(failed.exitCode, 0) << "the local protection is saved: " << failed.out.toStdString();
  EXPECT_EQ(countLines(failed.out, regularFile), 1)
      << "one line for the place that failed: " << failed.out.toStdString();
}

TEST_F(CliTest, APlaceThatCannotBeWrittenEndsPublishWithOneAndOneLine) {
  ASSERT_EQ(run({"protect", "on"}).exitCode, 0);
  const QString regularFile = m_home.path() + "/vanlig-fil";
  writeFile(regularFile, "ikke en mappe");
  const QString good = m_home.path() + "/god";
  m_environment.insert("RINGEPLAGVERN_PUBLISH_FOLDER", good);
  const Outcome failed = run({"--publish-folder", regularFile + "/kort", "publish"});
  EXPECT_EQ(failed.exitCode, 1) << failed.out.toStdString();
  const QStringList lines = failed.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_TRUE(lines.last().contains(regularFile)) << failed.out.toStdString();
  EXPECT_EQ(countLines(failed.out, regularFile), 1) << failed.out.toStdString();
  EXPECT_EQ(countLines(failed.out, ": publisert"), 0) << "the option replaces the environment's folder";
  EXPECT_FALSE(QFile::exists(good + "/ringeplagvern.vcf"));
}

TEST_F(CliTest, ExportWritesTheContactAsACardFileOrSaysThereIsNone) {
  const QString path = m_home.path() + "/eksport/beskyttelse.vcf";
  const Outcome none = run({"export", path});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_TRUE(none.out.contains("ingen ringeplagvernkontakt")) << none.out.toStdString();
  EXPECT_FALSE(QFile::exists(path));

  ASSERT_EQ(run({"protect", "on"}).exitCode, 0);
  const Outcome exported = run({"export", path});
  EXPECT_EQ(exported.exitCode, 0) << exported.out.toStdString();
  EXPECT_TRUE(exported.out.contains(QString("%1 nummer").arg(kListedNumbers))) << exported.out.toStdString();
  const QString written = fileText(path);
  EXPECT_TRUE(written.startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\n")) << written.left(100).toStdString();
  EXPECT_EQ(telephoneLines(written), kListedNumbers);

  const Outcome piped = run({"export", "-"});
  EXPECT_EQ(piped.exitCode, 0);
  EXPECT_EQ(piped.out, written) << "standard output gets the card and nothing else";

  const QString regularFile = m_home.path() + "/vanlig-fil";
  writeFile(regularFile, "ikke en mappe");
  const Outcome unwritable = run({"export", regularFile + "/kort.vcf"});
  EXPECT_EQ(unwritable.exitCode, 1);
  EXPECT_TRUE(unwritable.out.contains(regularFile)) << unwritable.out.toStdString();
}

TEST_F(CliTest, AddFromAFileStoresEveryNewNumberWithItsFirmAndSkipsTheRest) {
  ASSERT_EQ(run({"refresh"}).exitCode, 0);
  const QString path = m_home.path() + "/naboer.vcf";
  writeFile(path,
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ås;Bjørn;;;\r\nFN:Bjørn Ås\r\nORG:Blåbær Salg AS\r\n"
            "TEL;TYPE=WORK:91 11 11 11\r\nTEL;TYPE=CELL:92222222\r\nEND:VCARD\r\n"
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ærlig;Øystein;;;\r\nFN:Øystein Ærlig\r\nTEL:93333333\r\n"
            "TEL:92 22 22 22\r\nEND:VCARD\r\n"
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Allerede Listet\r\nTEL:40000005\r\nTEL:112\r\nEND:VCARD\r\n"
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Uten Nummer\r\nEMAIL:uten@example.no\r\nEND:VCARD\r\n");
  const Outcome added = run({"add", "--from", path});
  EXPECT_EQ(added.exitCode, 0) << added.out.toStdString() << added.err.toStdString();
  EXPECT_TRUE(added.out.contains("Allerede i listen: 40000005 (Allerede Listet)")) << added.out.toStdString();
  EXPECT_TRUE(added.out.contains("Allerede i listen: 92222222 (Øystein Ærlig)")) << "twice in the file, stored once";
  EXPECT_TRUE(added.out.contains("For kort til å være et telefonnummer: 112 (Allerede Listet)"));
  EXPECT_TRUE(added.out.contains("Lagt til: 3, allerede i listen: 2, uten nummer: 1")) << added.out.toStdString();

  EXPECT_EQ(run({"search", "91111111"}).out, "Blåbær Salg AS\n91111111, Din kontakt\n");
  EXPECT_EQ(run({"search", "92222222"}).out, "Blåbær Salg AS\n92222222, Din kontakt\n");
  EXPECT_EQ(run({"search", "93333333"}).out, "Øystein Ærlig\n93333333, Din kontakt\n");
  EXPECT_EQ(run({"search", "40000005"}).out, "Salg 5 AS\n40000005, Telefonsalg\n") << "the listed record stays";

  const Outcome again = run({"add", "--from", path});
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_TRUE(again.out.contains("Lagt til: 0, allerede i listen: 5, uten nummer: 1")) << again.out.toStdString();
  EXPECT_EQ(run({"search", "112"}).exitCode, 1) << "a number too short is not stored";
}

TEST_F(CliTest, AddFromAFileWhileProtectedAppendsEveryNewNumberToTheContact) {
  // With only approved numbers imported, as by default: a rebuild would leave numbers added by hand out.
  ASSERT_EQ(run({"protect", "on"}).exitCode, 0);
  const QString path = m_home.path() + "/to.vcf";
  writeFile(path, "BEGIN:VCARD\nVERSION:3.0\nFN:Først\nTEL:81111111\nTEL:82222222\nTEL:40000009\nEND:VCARD\n");
  const Outcome added = run({"add", "--from", path});
  EXPECT_EQ(added.exitCode, 0) << added.out.toStdString();
  EXPECT_TRUE(added.out.contains("2 nummer er lagt til i ringeplagvernkontakten")) << added.out.toStdString();
  EXPECT_FALSE(added.out.contains("Starter importering")) << "the contact is extended, not rebuilt";
  const QString exported = m_home.path() + "/etter.vcf";
  ASSERT_EQ(run({"export", exported}).exitCode, 0);
  const QString card = fileText(exported);
  EXPECT_EQ(telephoneLines(card), kListedNumbers + 2);
  EXPECT_TRUE(card.contains("81111111") && card.contains("82222222"));
}

TEST_F(CliTest, AddFromAFileThatCannotBeReadOrHoldsNoNumberEndsWithOne) {
  const Outcome missing = run({"add", "--from", m_home.path() + "/finnes-ikke.vcf"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(missing.out.contains("Kan ikke lese filen")) << missing.out.toStdString();

  const QString empty = m_home.path() + "/tom.vcf";
  writeFile(empty, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ingen\r\nEND:VCARD\r\n");
  const Outcome noNumber = run({"add", "--from", empty});
  EXPECT_EQ(noNumber.exitCode, 1);
  EXPECT_TRUE(noNumber.out.contains("Fant ingen telefonnummer")) << noNumber.out.toStdString();
}

TEST_F(CliTest, PublishOnATerminalEndsWithThePlaceLine) {
  ASSERT_EQ(run({"protect", "on"}).exitCode, 0);
  const QString folder = m_home.path() + "/terminal";
  const Outcome published = runOnTerminal({"--publish-folder", folder, "publish"});
  EXPECT_EQ(published.exitCode, 0) << published.out.toStdString();
  EXPECT_TRUE(published.out.contains(": publisert")) << published.out.toStdString();
  EXPECT_EQ(telephoneLines(fileText(folder + "/ringeplagvern.vcf")), kListedNumbers);
}

}  // namespace
