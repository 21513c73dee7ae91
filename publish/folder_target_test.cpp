#include "publish/folder_target.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "publish/testing/independent_reader.h"
#include "publish/testing/on_worker.h"

namespace publish {
namespace {

// Firms that test escaping, folding and Norwegian letters, 200 characters among them.
ContactSnapshot awkwardContact() {
  ContactSnapshot contact{QStringLiteral("Ringeplagvern"), {}, QByteArray(1000, '\x01')};
  contact.numbers = {
      {QStringLiteral("+47 22 00 00 00"), QStringLiteral("Blåbær, Ørret & Ærlig AS")},
      {QStringLiteral("815 00 000"), QStringLiteral("Salg; Nord, Sør; Øst")},
      {QStringLiteral("22 33 44 55"), QStringLiteral("å").repeated(100) + QStringLiteral("Æ,;").repeated(33) + "ø"},
      {QStringLiteral("22 33 44 56"), QStringLiteral("x").repeated(199) + QStringLiteral("\\")},
      {QStringLiteral("22 33 44 57"), QStringLiteral("Samme, Firma")},
      {QStringLiteral("22 33 44 57"), QStringLiteral("Samme, Firma")},
  };
  return contact;
}

class FolderTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (test::kThreadChecked) GTEST_SKIP() << test::kThreadCheckedSkip;
    if (!test::independentReaderAvailable()) GTEST_SKIP() << "python3-vobject is not installed for /usr/bin/python3";
  }

  std::vector<test::ReadCard> readBack(const QString& file) {
    QString error;
    const std::optional<std::vector<test::ReadCard>> cards = test::readCardsIndependently(file, {}, error);
    EXPECT_TRUE(cards) << error.toStdString();
    return cards.value_or(std::vector<test::ReadCard>{});
  }

  QTemporaryDir m_root;
};

TEST_F(FolderTargetTest, AnotherReaderSeesEveryNumberAndLabelOfTheCard) {
  FolderTarget target(m_root.filePath(QStringLiteral("kpeoplevcard")));
  const ContactSnapshot contact = awkwardContact();
  ASSERT_EQ(test::onWorker([&] { return target.publish(contact); }), QString());
  const std::vector<test::ReadCard> cards = readBack(target.filePath());
  ASSERT_EQ(cards.size(), 1u);
  EXPECT_EQ(cards[0].formattedName, QStringLiteral("Ringeplagvern"));
  EXPECT_EQ(cards[0].photoBytes, 1000);
  ASSERT_EQ(cards[0].numbers.size(), contact.numbers.size());
  for (std::size_t i = 0; i < contact.numbers.size(); ++i) {
    EXPECT_EQ(cards[0].numbers[i].first, contact.numbers[i].number) << i;
    EXPECT_EQ(cards[0].numbers[i].second, contact.numbers[i].label) << i;
  }
}

// khard lists a folder of cards as desktop address books do: "number<TAB>name<TAB>label" per number.
TEST_F(FolderTargetTest, KhardListsEveryNumberUnderTheContactWithItsFirm) {
  const QString khard = QStandardPaths::findExecutable(QStringLiteral("khard"));
  if (khard.isEmpty()) GTEST_SKIP() << "khard is not installed";
  const QString folder = m_root.filePath(QStringLiteral("book"));
  FolderTarget target(folder);
  const ContactSnapshot contact = awkwardContact();
  ASSERT_EQ(test::onWorker([&] { return target.publish(contact); }), QString());

  QFile config(m_root.filePath(QStringLiteral("khard.conf")));
  ASSERT_TRUE(config.open(QIODevice::WriteOnly));
  config.write(QStringLiteral("[addressbooks]\n[[ringeplagvern]]\npath = %1\n[general]\neditor = true\n"
                              "merge_editor = true\n")
                   .arg(folder)
                   .toUtf8());
  config.close();
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("HOME"), m_root.path());
  process.setProcessEnvironment(environment);
  process.start(khard,
                {QStringLiteral("-c"), config.fileName(), QStringLiteral("phone"), QStringLiteral("--parsable")});
  ASSERT_TRUE(process.waitForFinished(60'000));
  ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();

  QStringList expected;
  for (const LabelledNumber& number : contact.numbers)
    expected << number.number + QStringLiteral("\tRingeplagvern\t") + number.label;
  QStringList listed = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  // khard sorts the numbers of a contact; the card's order is checked with vobject above.
  expected.sort();
  listed.sort();
  EXPECT_EQ(listed, expected);
}

TEST_F(FolderTargetTest, ALaterPublicationReplacesTheCardAndRemovalTakesItAway) {
  FolderTarget target(m_root.filePath(QStringLiteral("cards")));
  ASSERT_EQ(test::onWorker([&] { return target.publish(awkwardContact()); }), QString());
  const ContactSnapshot smaller{QStringLiteral("Ringeplagvern"), {{QStringLiteral("1"), QStringLiteral("En")}}, {}};
  ASSERT_EQ(test::onWorker([&] { return target.publish(smaller); }), QString());
  const std::vector<test::ReadCard> cards = readBack(target.filePath());
  ASSERT_EQ(cards.size(), 1u);
  EXPECT_EQ(cards[0].numbers, (std::vector<std::pair<QString, QString>>{{"1", "En"}}));
  EXPECT_EQ(cards[0].photoBytes, 0);
  EXPECT_EQ(QDir(m_root.filePath(QStringLiteral("cards"))).entryList(QDir::Files | QDir::Hidden).size(), 1);

  EXPECT_EQ(test::onWorker([&] { return target.remove(); }), QString());
  EXPECT_FALSE(QFile::exists(target.filePath()));
  EXPECT_EQ(test::onWorker([&] { return target.remove(); }), QString()) << "nothing there is no failure";
}

TEST_F(FolderTargetTest, AFolderThatCannotBeWrittenGivesOneLineNamingIt) {
  // A regular file where a folder should be: refused even to root.
  QFile blocker(m_root.filePath(QStringLiteral("not-a-folder")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  FolderTarget blocked(blocker.fileName() + QStringLiteral("/cards"));
  const QString failure = test::onWorker([&] { return blocked.publish(awkwardContact()); });
  EXPECT_TRUE(failure.contains(blocker.fileName())) << failure.toStdString();
  EXPECT_FALSE(failure.contains(QLatin1Char('\n')));
}

}  // namespace
}  // namespace publish
