// covers: vcard_reader.cpp, vcard_writer.cpp, vcard_format.cpp
#include "platform/addressbook/vcard.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "platform/addressbook/multi_value.h"
#include "platform/foundation/date.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_dictionary.h"

namespace ab {
namespace {

fnd::Ref<MultiValue> strings(std::initializer_list<std::pair<const char*, const char*>> entries) {
  auto values = MultiValue::createMutable(kMultiStringPropertyType);
  for (auto [value, label] : entries)
    values->addValue(fnd::str(value).get(), label ? fnd::str(label).get() : nullptr, nullptr);
  return values;
}

fnd::Ref<fnd::Dictionary> dictionary(std::initializer_list<std::pair<std::string_view, const char*>> entries) {
  auto result = fnd::ObjectDictionary::createMutable();
  for (auto [key, value] : entries) result->setObject(fnd::str(value).get(), key);
  return result;
}

fnd::Ref<fnd::Data> pngImage() {
  QImage image(40, 30, QImage::Format_ARGB32);
  image.fill(Qt::darkGreen);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return fnd::Data::create(bytes.toStdString());
}

// A person with every kind of property, including texts that need escaping.
fnd::Ref<Record> fullPerson() {
  auto person = Record::createPerson(nullptr);
  const std::pair<PropertyID, const char*> texts[] = {
      {kPersonFirstNameProperty, "Ola; \"Olsen\""},
      {kPersonLastNameProperty, "Nordmann, d.y."},
      {kPersonMiddleNameProperty, "Æ"},
      {kPersonPrefixProperty, "Dr."},
      {kPersonSuffixProperty, "jr."},
      {kPersonNicknameProperty, "Olle"},
      {kPersonFirstNamePhoneticProperty, "Oola"},
      {kPersonLastNamePhoneticProperty, "Noordman"},
      {kPersonMiddleNamePhoneticProperty, "Ae"},
      {kPersonOrganizationProperty, "Ringeplagvern"},
      {kPersonJobTitleProperty, "Vakt"},
      {kPersonDepartmentProperty, "Sperring"},
      {kPersonNoteProperty, "linje 1\nlinje 2 \\ slutt"},
  };
  for (auto [property, text] : texts)
    EXPECT_TRUE(person->setValue(property, fnd::str(text).get(), nullptr)) << property;
  person->setValue(kPersonBirthdayProperty, fnd::Date::create(315532800).get(), nullptr);
  person->setValue(kPersonKindProperty, fnd::Number::create(kPersonKindOrganization).get(), nullptr);
  person->setValue(kPersonPhoneProperty,
                   strings({{"+47 22 22 22 22", "Telefonsalg AS, avd. Øst; Oslo"},
                            {"900 00 000", kPhoneMobileLabel.data()},
                            {"815 00 000", nullptr},
                            {"22 00 00 01", kPhoneWorkFAXLabel.data()}})
                       .get(),
                   nullptr);
  person->setValue(kPersonEmailProperty, strings({{"ola@example.no", kWorkLabel.data()}}).get(), nullptr);
  person->setValue(kPersonURLProperty, strings({{"https://example.no/a,b", kPersonHomePageLabel.data()}}).get(),
                   nullptr);
  person->setValue(kPersonRelatedNamesProperty, strings({{"Kari", "kone"}}).get(), nullptr);
  auto dates = MultiValue::createMutable(kMultiDateTimePropertyType);
  dates->addValue(fnd::Date::create(946684800 + 3600).get(), fnd::str(kPersonAnniversaryLabel).get(), nullptr);
  person->setValue(kPersonDateProperty, dates.get(), nullptr);
  auto addresses = MultiValue::createMutable(kMultiDictionaryPropertyType);
  addresses->addValue(dictionary({{kAddressStreetKey, "Storgata 1;\nbakgården"},
                                  {kAddressCityKey, "Oslo"},
                                  {kAddressZIPKey, "0155"},
                                  {kAddressCountryKey, "Norge"},
                                  {kAddressCountryCodeKey, "no"}})
                          .get(),
                      fnd::str(kHomeLabel).get(), nullptr);
  person->setValue(kPersonAddressProperty, addresses.get(), nullptr);
  auto messages = MultiValue::createMutable(kMultiDictionaryPropertyType);
  messages->addValue(dictionary({{kInstantMessageServiceKey, "Skype"}, {kInstantMessageUsernameKey, "ola.n"}}).get(),
                     fnd::str(kOtherLabel).get(), nullptr);
  person->setValue(kPersonInstantMessageProperty, messages.get(), nullptr);
  auto profiles = MultiValue::createMutable(kMultiDictionaryPropertyType);
  profiles->addValue(dictionary({{kSocialProfileServiceKey, "mastodon"},
                                 {kSocialProfileURLKey, "https://m.no/@ola"},
                                 {kSocialProfileUsernameKey, "ola"}})
                         .get(),
                     nullptr, nullptr);
  person->setValue(kPersonSocialProfileProperty, profiles.get(), nullptr);
  person->setImageData(pngImage().get(), nullptr);
  return person;
}

// Labels and values of a multi-value, ignoring identifiers (a card does not carry them).
std::string entriesOf(const fnd::Object* value) {
  const auto* values = dynamic_cast<const MultiValue*>(value);
  if (!values) return "<none>";
  std::string text;
  for (const MultiValue::Entry& entry : values->entries())
    text += (entry.label ? std::string(entry.label->utf8()) : "-") + "=" + entry.value->description() + "\n";
  return text;
}

bool sameEntries(const fnd::Object* a, const fnd::Object* b) {
  const auto* left = dynamic_cast<const MultiValue*>(a);
  const auto* right = dynamic_cast<const MultiValue*>(b);
  if (!left || !right || left->count() != right->count()) return false;
  for (std::size_t i = 0; i < left->count(); ++i)
    if (!fnd::objectsEqual(left->labelAtIndex(i), right->labelAtIndex(i)) ||
        !fnd::objectsEqual(left->valueAtIndex(i), right->valueAtIndex(i)))
      return false;
  return true;
}

TEST(VCard, EveryPropertyComesBackFromItsOwnCard) {
  const fnd::Ref<Record> person = fullPerson();
  const std::string card = vCardRepresentationWithPeople({person});
  const std::vector<fnd::Ref<Record>> people = createPeopleFromVCardRepresentation(card, nullptr);
  ASSERT_EQ(people.size(), 1u);
  for (const PropertyInfo& property : allProperties()) {
    if (property.recordType != RecordType::Person || property.readOnly) continue;
    const fnd::Ref<fnd::Object> expected = person->copyValue(property.id);
    const fnd::Ref<fnd::Object> actual = people[0]->copyValue(property.id);
    ASSERT_TRUE(actual) << property.englishName << " is missing\n" << card;
    if (property.type & kMultiValueMask)
      EXPECT_TRUE(sameEntries(actual.get(), expected.get())) << property.englishName << ":\n"
                                                             << entriesOf(actual.get()) << "instead of\n"
                                                             << entriesOf(expected.get());
    else
      EXPECT_TRUE(actual->isEqual(*expected)) << property.englishName << ": " << actual->description();
  }
  ASSERT_TRUE(people[0]->hasImageData());
  EXPECT_TRUE(people[0]->copyImageData(ImageFormat::OriginalSize)->isEqual(*pngImage()));
}

TEST(VCard, LinesAreFoldedAtSeventyFiveOctetsWithoutCuttingCharacters) {
  auto person = Record::createPerson(nullptr);
  std::string note;
  for (int i = 0; i < 60; ++i) note += "øæå";
  person->setValue(kPersonNoteProperty, fnd::str(note).get(), nullptr);
  const std::string card = vCardRepresentationWithPeople({person});
  std::size_t start = 0;
  while (start < card.size()) {
    const std::size_t end = card.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "every line ends in CRLF";
    EXPECT_LE(end - start, 75u);
    const std::string line = card.substr(start, end - start);
    EXPECT_EQ(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())).toUtf8().toStdString(), line)
        << "a folded line holds a cut character";
    start = end + 2;
  }
  const auto back = createPeopleFromVCardRepresentation(card, nullptr);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_TRUE(back[0]->copyValue(kPersonNoteProperty)->isEqual(*fnd::str(note)));
}

TEST(VCard, ReadsCardsWrittenByOtherPrograms) {
  const std::string card =
      "BEGIN:VCARD\nVERSION:3.0\nN:Hansen;Kari;;;\nFN:Kari Hansen\n"
      "TEL;type=CELL;type=VOICE;type=pref:+47 999 99 999\n"
      "item1.TEL:22 33 44 55\nitem1.X-ABLabel:Hytta\n"
      "TEL;TYPE=HOME,FAX:22 00 00 00\n"
      "EMAIL;TYPE=INTERNET:kari@\n example.no\n"
      "NOTE:a\\,b\\;c\\nd\n"
      "BDAY:19800102\n"
      "X-UNKNOWN;FOO=\"a:b\":ignored\n"
      "this line is not a content line\n"
      "END:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bare Navn\r\nORG:Bare Navn AS\r\n";  // no END: still read
  const auto people = createPeopleFromVCardRepresentation(card, nullptr);
  ASSERT_EQ(people.size(), 2u);
  EXPECT_EQ(entriesOf(people[0]->copyValue(kPersonPhoneProperty).get()),
            std::string(kPhoneMobileLabel) + "=+47 999 99 999\nHytta=22 33 44 55\n" + std::string(kPhoneHomeFAXLabel) +
                "=22 00 00 00\n");
  EXPECT_EQ(entriesOf(people[0]->copyValue(kPersonEmailProperty).get()), "-=kari@example.no\n");
  EXPECT_TRUE(people[0]->copyValue(kPersonNoteProperty)->isEqual(*fnd::str("a,b;c\nd")));
  EXPECT_TRUE(people[0]->copyValue(kPersonBirthdayProperty)->isEqual(*fnd::Date::create(315619200)));
  EXPECT_TRUE(people[1]->copyValue(kPersonFirstNameProperty)->isEqual(*fnd::str("Bare Navn")));
  EXPECT_TRUE(people[1]->copyValue(kPersonOrganizationProperty)->isEqual(*fnd::str("Bare Navn AS")));
}

std::string textOf(const Record& person, PropertyID property) {
  const fnd::Ref<fnd::Object> value = person.copyValue(property);
  return value ? std::string(static_cast<const fnd::String&>(*value).utf8()) : "<none>";
}

TEST(VCard, ReadsOlderCardsAsPhonesExportThem) {
  // As a phone's contact export writes them: quoted-printable values cut by
  // soft line breaks, character sets named per line, encodings given bare.
  const std::string card =
      "BEGIN:VCARD\r\nVERSION:2.1\r\n"
      "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Br=C3=A5then;=C3=98ystein;;;\r\n"
      "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=98ystein Br=C3=A5then\r\n"
      "TEL;CELL:+4799999999\r\n"
      "NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:F=C3=B8rste linje=0D=0Aandre linje med =\r\n"
      "=C3=A6=C3=B8=C3=A5 og =3D tegn\r\n"
      "ORG;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:K=E5re AS\r\n"
      "TITLE;CHARSET=ISO-8859-1:Sj\xe5"
      "f\r\n"
      "EMAIL;HOME;QUOTED-PRINTABLE:oystein=40example.no\r\n"
      "END:VCARD\r\n";
  const auto people = createPeopleFromVCardRepresentation(card, nullptr);
  ASSERT_EQ(people.size(), 1u);
  const Record& person = *people[0];
  EXPECT_EQ(textOf(person, kPersonLastNameProperty), "Bråthen");
  EXPECT_EQ(textOf(person, kPersonFirstNameProperty), "Øystein");
  EXPECT_EQ(textOf(person, kPersonNoteProperty), "Første linje\r\nandre linje med æøå og = tegn");
  EXPECT_EQ(textOf(person, kPersonOrganizationProperty), "Kåre AS");
  EXPECT_EQ(textOf(person, kPersonJobTitleProperty), "Sjåf");
  EXPECT_EQ(entriesOf(person.copyValue(kPersonEmailProperty).get()), std::string(kHomeLabel) + "=oystein@example.no\n");
  EXPECT_EQ(entriesOf(person.copyValue(kPersonPhoneProperty).get()), std::string(kPhoneMobileLabel) + "=+4799999999\n");

  // Written back, the card is 3.0 with the text as it is.
  const std::string written = vCardRepresentationWithPeople(people);
  EXPECT_NE(written.find("VERSION:3.0"), std::string::npos);
  EXPECT_NE(written.find("N:Bråthen;Øystein;;;"), std::string::npos) << written;
  EXPECT_EQ(written.find("QUOTED-PRINTABLE"), std::string::npos);
}

TEST(VCard, ACardWithoutItsEndOrWithACardInsideKeepsAllItsLines) {
  const std::string card =
      "BEGIN:VCARD\nVERSION:3.0\nN:Først;Anne;;;\nTEL:11111111\n"  // no END before the next card
      "BEGIN:VCARD\nVERSION:3.0\nN:Andre;Bjørn;;;\nTEL:22222222\nEND:VCARD\n"
      "BEGIN:VCARD\nVERSION:2.1\nN:Ytre;Cato;;;\n"
      "AGENT:\nBEGIN:VCARD\nVERSION:2.1\nN:Indre;Dina;;;\nEND:VCARD\n"  // a card inside a card
      "TEL:33333333\nEND:VCARD\n";
  const auto people = createPeopleFromVCardRepresentation(card, nullptr);
  ASSERT_EQ(people.size(), 4u);
  std::vector<std::string> found;
  for (const auto& person : people)
    found.push_back(textOf(*person, kPersonFirstNameProperty) + " " +
                    entriesOf(person->copyValue(kPersonPhoneProperty).get()));
  EXPECT_EQ(found,
            (std::vector<std::string>{"Anne -=11111111\n", "Bjørn -=22222222\n", "Cato -=33333333\n", "Dina <none>"}));
}

TEST(VCard, GarbageGivesNoPeopleAndNoCrash) {
  EXPECT_TRUE(createPeopleFromVCardRepresentation("", nullptr).empty());
  EXPECT_TRUE(createPeopleFromVCardRepresentation(std::string("\0\xff\xfe:::;;", 9), nullptr).empty());
  const auto people =
      createPeopleFromVCardRepresentation("BEGIN:VCARD\nN:\xff\xfe;\\\nPHOTO;ENCODING=b:!!!\nEND:VCARD", nullptr);
  ASSERT_EQ(people.size(), 1u);
  EXPECT_FALSE(people[0]->hasImageData());
}

}  // namespace
}  // namespace ab
