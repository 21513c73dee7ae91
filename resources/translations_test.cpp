// covers: translations/, help/
// The translations: every text the user can see has one in each language, with
// the same placeholders, and the build's translation is the one that is loaded.
#include <gtest/gtest.h>

#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "platform/foundation/localization.h"

namespace {

struct Message {
  QString context;
  QString source;
  QString translation;
  bool finished = false;
};

std::vector<Message> readMessages(const QString& tsPath) {
  QFile file(tsPath);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << tsPath.toStdString();
  std::vector<Message> messages;
  QXmlStreamReader xml(&file);
  QString context;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"name") {
      context = xml.readElementText();
    } else if (xml.name() == u"message") {
      messages.push_back({context, {}, {}, false});
    } else if (xml.name() == u"source") {
      messages.back().source = xml.readElementText();
    } else if (xml.name() == u"translation") {
      const QString type = xml.attributes().value(QLatin1String("type")).toString();
      messages.back().translation = xml.readElementText();
      messages.back().finished = type.isEmpty() && !messages.back().translation.isEmpty();
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return messages;
}

QStringList placeholders(const QString& text) {
  static const QRegularExpression placeholder(QStringLiteral("%[d@]"));
  QStringList found;
  for (const QRegularExpressionMatch& match : placeholder.globalMatch(text)) found << match.captured();
  return found;
}

QString describe(const Message& message) { return message.context + QStringLiteral(": \"") + message.source + u'"'; }

QStringList committedTranslations() {
  return QDir(QStringLiteral(RP_TRANSLATIONS_DIR)).entryList({QStringLiteral("*.ts")}, QDir::Files);
}

// Runs the translation tools over the code into a copy of the committed file,
// as `update_translations` would, and returns the copy's messages.
std::vector<Message> messagesOfTheCode(const QString& tsName, const QTemporaryDir& scratch) {
  const QString copy = scratch.filePath(tsName);
  EXPECT_TRUE(QFile::copy(QDir(QStringLiteral(RP_TRANSLATIONS_DIR)).filePath(tsName), copy));
  QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
  QProcess lupdate;
  lupdate.start(
      QStringLiteral(RP_LUPDATE),
      {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral("-no-obsolete"),
       QStringLiteral("@" RP_TRANSLATED_SOURCES_LIST), QStringLiteral("-ts"), copy});
  EXPECT_TRUE(lupdate.waitForFinished(60'000));
  EXPECT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
  return readMessages(copy);
}

TEST(Translations, EveryTextInTheCodeIsTranslatedWithItsPlaceholders) {
  const QStringList tsNames = committedTranslations();
  ASSERT_FALSE(tsNames.isEmpty()) << "no .ts file in " RP_TRANSLATIONS_DIR;
  QTemporaryDir scratch;
  ASSERT_TRUE(scratch.isValid());
  for (const QString& tsName : tsNames) {
    SCOPED_TRACE(tsName.toStdString());
    const std::vector<Message> messages = messagesOfTheCode(tsName, scratch);
    // The screens alone show far more texts than this; fewer means the
    // tools found nothing to scan.
    constexpr std::size_t kFewestTexts = 40;
    EXPECT_GE(messages.size(), kFewestTexts);
    for (const Message& message : messages) {
      EXPECT_TRUE(message.finished) << "no translation (run the update_translations target and translate): "
                                    << describe(message).toStdString();
      if (!message.finished) continue;
      EXPECT_EQ(placeholders(message.translation), placeholders(message.source))
          << "placeholders differ: " << describe(message).toStdString();
    }
  }
}

TEST(Translations, TheCommittedFileHoldsNoTextTheCodeNoLongerShows) {
  QTemporaryDir scratch;
  ASSERT_TRUE(scratch.isValid());
  for (const QString& tsName : committedTranslations()) {
    SCOPED_TRACE(tsName.toStdString());
    QStringList inCode;
    for (const Message& message : messagesOfTheCode(tsName, scratch)) inCode << describe(message);
    for (const Message& message : readMessages(QDir(QStringLiteral(RP_TRANSLATIONS_DIR)).filePath(tsName)))
      EXPECT_TRUE(inCode.contains(describe(message)))
          << "gone from the code (run the update_translations target): " << describe(message).toStdString();
  }
}

class InstalledLanguage : public ::testing::Test {
 protected:
  void TearDown() override { fnd::installTranslations("nb"); }
};

TEST_F(InstalledLanguage, EnglishIsLoadedFromTheBuildAndNorwegianNeedsNone) {
  ASSERT_TRUE(fnd::installTranslations("en"));
  EXPECT_EQ(fnd::languageInUse(), "en");
  EXPECT_EQ(fnd::localizedString("Beskytt meg"), "Protect me");
  EXPECT_EQ(fnd::localizedString("Tjeneren svarte med feilkode %d."), "The server answered with error code %d.");

  EXPECT_TRUE(fnd::installTranslations("en_GB")) << "a regional English falls back to English";

  for (const char* norwegian : {"nb", "nn", "nb_NO", "no"}) {
    EXPECT_FALSE(fnd::installTranslations(norwegian)) << norwegian;
    EXPECT_EQ(fnd::languageInUse(), "nb") << norwegian;
    EXPECT_EQ(fnd::localizedString("Beskytt meg"), "Beskytt meg") << norwegian;
  }
  EXPECT_FALSE(fnd::installTranslations("de")) << "a language without a translation shows the Norwegian texts";
  EXPECT_EQ(fnd::localizedString("Beskytt meg"), "Beskytt meg");
}

// The system's language is read once per process, so each locale is tried in
// a fresh copy of this test program that reports the language it chose.
constexpr const char* kReportLanguage = "RP_REPORT_LANGUAGE";

TEST(SystemLocale, ReportTheChosenLanguage) {
  if (!qEnvironmentVariableIsSet(kReportLanguage)) GTEST_SKIP() << "run by SystemLocale.ChoosesTheLanguage";
  fnd::installTranslations();
  std::printf("language=%s\n", fnd::languageInUse().c_str());
}

TEST(SystemLocale, ChoosesTheLanguage) {
  struct Case {
    const char* lang;
    const char* language;  // the LANGUAGE list of fallbacks, or empty
    const char* chosen;
  };
  for (const Case& locale :
       {Case{"en_US.UTF-8", "", "en"}, Case{"en_GB.UTF-8", "en_GB:en", "en"}, Case{"nb_NO.UTF-8", "", "nb"},
        Case{"nb_NO.UTF-8", "nb:no:en", "nb"}, Case{"nn_NO.UTF-8", "nn:en", "nb"}, Case{"de_DE.UTF-8", "", "nb"},
        Case{"C.UTF-8", "", "nb"}}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"})
      environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LANG"), QString::fromLatin1(locale.lang));
    if (*locale.language) environment.insert(QStringLiteral("LANGUAGE"), QString::fromLatin1(locale.language));
    environment.insert(QString::fromLatin1(kReportLanguage), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=SystemLocale.ReportTheChosenLanguage")});
    ASSERT_TRUE(child.waitForFinished(60'000));
    const QString said = QString::fromUtf8(child.readAllStandardOutput());
    EXPECT_TRUE(said.contains(QStringLiteral("language=") + QString::fromLatin1(locale.chosen)))
        << "LANG=" << locale.lang << " LANGUAGE=" << locale.language << ":\n"
        << said.toStdString();
  }
}

TEST(HelpDocument, TheEnglishOneIsATranslationOfTheNorwegian) {
  QFile norwegian(QStringLiteral(":/help/exchangeError.html"));
  QFile english(QStringLiteral(":/help/en/exchangeError.html"));
  ASSERT_TRUE(norwegian.open(QIODevice::ReadOnly));
  ASSERT_TRUE(english.open(QIODevice::ReadOnly));
  const QByteArray norwegianText = norwegian.readAll();
  const QByteArray englishText = english.readAll();
  EXPECT_TRUE(norwegianText.contains("<html lang=\"nb\">"));
  EXPECT_TRUE(englishText.contains("<html lang=\"en\">"));
  // The same sections and points in both.
  for (const char* structure : {"<p class=\"section\">", "<li>", "<p class=\"note\">"})
    EXPECT_EQ(englishText.count(structure), norwegianText.count(structure)) << structure;
}

}  // namespace
