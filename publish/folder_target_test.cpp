#include "publish/folder_target.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "publish/testing/independent_reader.h"
#include "publish/testing/radicale_server.h"

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
