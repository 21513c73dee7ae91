// covers: pb_address_book.cpp, pb_person.cpp, pb_source.cpp
// A contact with 1,000 labelled numbers and an image, exported by the wrapper,
// must come back unchanged through the wrapper and be read, labels included,
// by an independent vCard reader.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "addressbook/wrapper/pb_address_book.h"
#include "addressbook/wrapper/pb_person.h"
#include "addressbook/wrapper/pb_source.h"
#include "tests/support/addressbook/test_book_file.h"

namespace pb {

namespace {

constexpr int kNumbers = 1000;

std::string numberAt(int i) { return "+47 " + std::to_string(40000000 + i * 7); }
std::string labelAt(int i) { return "Telefonsalg Øst AS nr " + std::to_string(i); }

QImage testImage() {
  QImage image(64, 48, QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) image.setPixelColor(x, y, QColor(x * 4, y * 5, 128, 255));
  return image;
}

std::shared_ptr<PBPerson> protectionContact(PBAddressBook& book) {
  auto person = book.newPersonInDefaultSource();
  person->setOrganization(fnd::str("Ringeplagvern").get());
  person->setNote(fnd::str("Beskyttelse mot telefonsalg;\nikke rediger").get());
  auto phones = PBMutableMultiValue::create(ab::kMultiStringPropertyType);
  for (int i = 0; i < kNumbers; ++i) phones->addValue(fnd::str(numberAt(i)).get(), fnd::str(labelAt(i)).get());
  person->setPhoneNumbers(phones.get());
  EXPECT_TRUE(person->setImage(testImage()));
  return person;
}

// The independent reader: Debian's python3-vobject, when installed.
QString vobjectPython() {
  for (const QString& python : {QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable("python3")}) {
    if (python.isEmpty()) continue;
    QProcess probe;
    probe.start(python, {"-c", "import vobject"});
    if (probe.waitForFinished(30000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
      return python;
  }
  return {};
}

constexpr const char* kReaderScript = R"py(
import sys, vobject
card = vobject.readOne(open(sys.argv[1], encoding='utf-8').read())
labels = {line.group: line.value for line in card.contents.get('x-ablabel', [])}
out = []
for tel in card.contents.get('tel', []):
    out.append(tel.value + '\t' + labels.get(tel.group, '-'))
photo = card.contents.get('photo', [])
out.append('PHOTO\t%d' % (len(photo[0].value) if photo else 0))
out.append('ORG\t' + card.org.value[0])
sys.stdout.buffer.write(('\n'.join(out) + '\n').encode('utf-8'))
)py";

TEST(PBVCard, ThousandLabelledNumbersAndAnImageComeBackUnchanged) {
  ab::test::TestBookFile file;
  auto book = PBAddressBook::create();
  auto person = protectionContact(*book);
  const fnd::Ref<fnd::Data> vCard = person->vCardRepresentation();
  ASSERT_TRUE(vCard);
  EXPECT_TRUE(vCard->isEqual(*book->vCardRepresentationForPeople({person})));

  auto other = PBAddressBook::create();
  const PBAddressBook::People imported = other->addPeopleFromVCardRepresentationToDefaultSource(*vCard);
  ASSERT_EQ(imported.size(), 1u);
  const auto& copy = imported.front();
  EXPECT_EQ(copy->addressBook(), other);
  EXPECT_TRUE(other->hasUnsavedChanges()) << "imported people are added, not yet saved";
  ASSERT_TRUE(copy->phoneNumbers());
  EXPECT_TRUE(copy->phoneNumbers()->isEqualToMultiValue(*person->phoneNumbers()));
  EXPECT_TRUE(copy->organization()->isEqual(*person->organization()));
  EXPECT_TRUE(copy->note()->isEqual(*person->note()));
  ASSERT_TRUE(copy->originalImage());
  EXPECT_EQ(copy->originalImage()->convertToFormat(QImage::Format_ARGB32), testImage());
  ASSERT_TRUE(other->save());
  EXPECT_EQ(other->defaultSource()->people().size(), 1u);
}

TEST(PBVCard, AnIndependentReaderReadsNumbersLabelsAndImage) {
#if defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "starts another program, whose fork the thread checker cannot follow";
#endif
  const QString python = vobjectPython();
  if (python.isEmpty()) GTEST_SKIP() << "python3 with the vobject module (Debian python3-vobject) is not installed";
  ab::test::TestBookFile file;
  auto book = PBAddressBook::create();
  auto person = protectionContact(*book);
  const fnd::Ref<fnd::Data> vCard = person->vCardRepresentation();
  QTemporaryDir directory;
  const QString cardPath = directory.filePath("contact.vcf");
  QFile card(cardPath);
  ASSERT_TRUE(card.open(QIODevice::WriteOnly));
  card.write(vCard->bytes(), static_cast<qint64>(vCard->length()));
  card.close();

  QProcess reader;
  reader.start(python, {"-c", kReaderScript, cardPath});
  ASSERT_TRUE(reader.waitForFinished(120000));
  ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
  const QStringList lines = QString::fromUtf8(reader.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), kNumbers + 2);
  for (int i = 0; i < kNumbers; ++i)
    ASSERT_EQ(lines[i].toStdString(), numberAt(i) + '\t' + labelAt(i)) << "entry " << i;
  const std::size_t pngLength = person->recordRef()->copyImageData(ab::ImageFormat::OriginalSize)->length();
  EXPECT_EQ(lines[kNumbers].toStdString(), "PHOTO\t" + std::to_string(pngLength)) << "the image did not decode whole";
  EXPECT_EQ(lines[kNumbers + 1], "ORG\tRingeplagvern");
}

}  // namespace

}  // namespace pb
