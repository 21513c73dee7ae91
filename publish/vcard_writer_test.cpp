#include "publish/vcard_writer.h"

#include <gtest/gtest.h>

#include <QString>

namespace publish {
namespace {

std::vector<std::string> physicalLines(const std::string& card) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = card.find("\r\n"); end != std::string::npos; end = card.find("\r\n", start)) {
    lines.push_back(card.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, card.size()) << "the card ends with CRLF";
  return lines;
}

TEST(VCardWriterTest, WritesTheCompanyCardWithGroupedLabelsAndThePhoto) {
  const ContactSnapshot contact{QStringLiteral("Ringeplagvern"),
                                {{QStringLiteral("+47 22 00 00 00"), QStringLiteral("Telesalg AS")},
                                 {QStringLiteral("815 00 000"), QStringLiteral("Markedsanalyse, Nord; Sør")}},
                                QByteArray("\x89PNG", 4)};
  EXPECT_EQ(vCardForContact(contact),
            "BEGIN:VCARD\r\n"
            "VERSION:3.0\r\n"
            "PRODID:-//Ringeplagvern//Protection contact//NO\r\n"
            "UID:72696e6765706c61677665726e@ringeplagvern\r\n"
            "N:;;;;\r\n"
            "FN:Ringeplagvern\r\n"
            "ORG:Ringeplagvern\r\n"
            "X-ABSHOWAS:COMPANY\r\n"
            "item1.TEL:+47 22 00 00 00\r\n"
            "item1.X-ABLabel:Telesalg AS\r\n"
            "item2.TEL:815 00 000\r\n"
            "item2.X-ABLabel:Markedsanalyse\\, Nord\\; Sør\r\n"
            "PHOTO;ENCODING=b;TYPE=PNG:iVBORw==\r\n"
            "END:VCARD\r\n");
}

TEST(VCardWriterTest, EscapesBackslashesAndNewlinesAndLeavesOutAMissingPhoto) {
  const ContactSnapshot contact{
      QStringLiteral("Ringeplagvern"), {{QStringLiteral("1"), QStringLiteral("a\\b\r\nc\nd")}}, {}};
  const std::string card = vCardForContact(contact);
  EXPECT_NE(card.find("item1.X-ABLabel:a\\\\b\\nc\\nd\r\n"), std::string::npos) << card;
  EXPECT_EQ(card.find("PHOTO"), std::string::npos);
}

TEST(VCardWriterTest, FoldsLongLinesAt75OctetsWithoutCuttingACharacter) {
  // Two-octet letters make a fold between the halves of one character likely.
  const QString firm = QStringLiteral("Æ").repeated(100) + QStringLiteral(", ø; å ") + QStringLiteral("x").repeated(93);
  const ContactSnapshot contact{
      QStringLiteral("Ringeplagvern"), {{QStringLiteral("22 00 00 00"), firm}}, QByteArray(3000, '\x7f')};
  const std::string card = vCardForContact(contact);
  std::string unfolded;
  for (const std::string& line : physicalLines(card)) {
    EXPECT_LE(line.size(), 75u) << line;
    EXPECT_TRUE(QString::fromUtf8(line).toUtf8() == QByteArray::fromStdString(line)) << "a UTF-8 sequence was cut";
    unfolded += line[0] == ' ' ? line.substr(1) : "\n" + line;
  }
  const QString escapedFirm =
      QStringLiteral("Æ").repeated(100) + QStringLiteral("\\, ø\\; å ") + QStringLiteral("x").repeated(93);
  EXPECT_NE(unfolded.find("\nitem1.X-ABLabel:" + escapedFirm.toStdString() + "\n"), std::string::npos);
  const std::string photo = QByteArray(3000, '\x7f').toBase64().toStdString();
  EXPECT_NE(unfolded.find("\nPHOTO;ENCODING=b;TYPE=PNG:" + photo + "\n"), std::string::npos);
}

}  // namespace
}  // namespace publish
