#include "publish/vcard_reader.h"

#include <gtest/gtest.h>

#include "publish/vcard_writer.h"

namespace publish {
namespace {

// "number | firm" per entry, so a failure shows the whole result.
std::vector<std::string> rendered(const std::vector<LabelledNumber>& numbers) {
  std::vector<std::string> lines;
  for (const LabelledNumber& number : numbers) lines.push_back((number.number + " | " + number.label).toStdString());
  return lines;
}

TEST(VCardReaderTest, TakesEveryNumberOfEveryCardWithTheOrganisationOrTheNameAsFirm) {
  const std::string file =
      "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Hansen;Kari;;;\r\nFN:Kari Hansen\r\nORG:Telesalg\\, Nord AS;Salg\r\n"
      "TEL;TYPE=WORK:22 00 00 01\r\nitem1.TEL:22 00 00 02\r\nitem1.X-ABLabel:sentralbord\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Berg;Ola;;;\r\nFN:Ola Berg\r\nTEL:+47 900 00 000\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Uten nummer\r\nEND:VCARD\r\n";
  EXPECT_EQ(rendered(numbersFromVCards(file)),
            (std::vector<std::string>{"22 00 00 01 | Telesalg, Nord AS", "22 00 00 02 | Telesalg, Nord AS",
                                      "+47 900 00 000 | Ola Berg"}));
  EXPECT_EQ(readVCardNumbers(file).cardsWithoutNumber, 1);
}

TEST(VCardReaderTest, CountsCardsWhoseNumbersAreAllMissingOrEmpty) {
  const std::string file =
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Tom\r\nTEL:  \r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ingen\r\nEMAIL:a@b.no\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Med\r\nTEL:  \r\nTEL:22 00 00 09\r\nEND:VCARD\r\n";
  const VCardNumbers read = readVCardNumbers(file);
  EXPECT_EQ(rendered(read.numbers), (std::vector<std::string>{"22 00 00 09 | Med"}));
  EXPECT_EQ(read.cardsWithoutNumber, 2);
}

TEST(VCardReaderTest, ReadsOlderAndNewerVersionsFoldedLinesAndLfLineEnds) {
  const std::string file =
      "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;;;;\n"
      "ORG;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:R=C3=B8r AS\nTEL;CELL:4000 0000\nEND:VCARD\n"
      "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ny \r\n Versjon\r\nTEL;VALUE=uri;TYPE=voice:tel:+47-22-00-00-03\r\n"
      "TEL:  \r\nEND:VCARD\r\n";
  EXPECT_EQ(rendered(numbersFromVCards(file)),
            (std::vector<std::string>{"4000 0000 | Rør AS", "+47-22-00-00-03 | Ny Versjon"}));
}

TEST(VCardReaderTest, ReadsBackEveryNumberThePublishedCardHolds) {
  ContactSnapshot contact{QStringLiteral("Ringeplagvern"), {}, QByteArray(500, 'p')};
  for (int i = 0; i < 50; ++i)
    contact.numbers.push_back({QStringLiteral("+47 22 %1").arg(i), QStringLiteral("Firma; nr, %1").arg(i)});
  const std::vector<LabelledNumber> read = numbersFromVCards(vCardForContact(contact));
  ASSERT_EQ(read.size(), contact.numbers.size());
  for (std::size_t i = 0; i < read.size(); ++i) {
    EXPECT_EQ(read[i].number, contact.numbers[i].number);
    EXPECT_EQ(read[i].label, QStringLiteral("Ringeplagvern")) << "the card's organisation is the firm";
  }
}

TEST(VCardReaderTest, DamagedInputGivesWhatCanBeReadAndNeverFails) {
  EXPECT_TRUE(numbersFromVCards("").empty());
  EXPECT_TRUE(numbersFromVCards(std::string("\0\xff\xfe:::;;\r\n\\", 10)).empty());
  EXPECT_TRUE(numbersFromVCards("TEL:22 00 00 00\r\n").empty()) << "a number outside any card";
  // A card without END and one whose value ends in a lone backslash.
  EXPECT_EQ(rendered(numbersFromVCards("BEGIN:VCARD\r\nORG:Firma\\\r\nTEL:1\\\r\n")),
            (std::vector<std::string>{"1\\ | Firma\\"}));
}

}  // namespace
}  // namespace publish
