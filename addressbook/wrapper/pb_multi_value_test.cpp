// covers: pb_multi_value.cpp, pb_person.cpp
#include "addressbook/wrapper/pb_multi_value.h"

#include <gtest/gtest.h>

#include "addressbook/wrapper/pb_address_book.h"
#include "addressbook/wrapper/pb_person.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/system_log.h"
#include "tests/support/addressbook/test_book_file.h"

namespace pb {

namespace {

std::shared_ptr<PBMutableMultiValue> numbers(std::initializer_list<std::pair<const char*, const char*>> entries) {
  auto values = PBMutableMultiValue::create(ab::kMultiStringPropertyType);
  for (auto [value, label] : entries) values->addValue(fnd::str(value).get(), label ? fnd::str(label).get() : nullptr);
  return values;
}

TEST(PBMultiValue, AddingKeepsTheLabelExactlyAndGivesFreshIdentifiers) {
  auto phones = PBMutableMultiValue::create(ab::kMultiStringPropertyType);
  const ab::MultiValueIdentifier first =
      phones->addValue(fnd::str("22 22 22 22").get(), fnd::str("Telefonsalg AS").get());
  EXPECT_GE(first, 0);
  EXPECT_EQ(phones->count(), 1u);
  EXPECT_TRUE(phones->labelAtIndex(0)->isEqual(*fnd::str("Telefonsalg AS")));
  const ab::MultiValueIdentifier second =
      phones->addValue(fnd::str("22 22 22 22").get(), fnd::str("Telefonsalg AS").get());
  EXPECT_NE(first, second);
  EXPECT_EQ(phones->addValue(fnd::Number::create(std::int64_t{1}).get(), nullptr), ab::kInvalidMultiValueIdentifier);
  EXPECT_EQ(phones->indexForIdentifier(12345), PBMultiValue::kNotFound);
  EXPECT_EQ(phones->firstIndexOfValue(fnd::str("nope").get()), PBMultiValue::kNotFound);
  EXPECT_EQ(phones->insertValue(fnd::str("1").get(), nullptr, 0), second + 1);
  EXPECT_EQ(phones->indexForIdentifier(first), 1u);
}

TEST(PBMultiValue, EqualityComparesLabelsAndValuesOnly) {
  auto three = numbers({{"1", "a"}, {"2", "b"}, {"3", "c"}});
  auto five = numbers({{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}, {"5", "e"}});
  EXPECT_FALSE(three->isEqualToMultiValue(*five));
  auto unlabelled = numbers({{"1", nullptr}});
  EXPECT_FALSE(unlabelled->isEqualToMultiValue(*numbers({{"1", nullptr}}))) << "absent labels are unequal";
  auto same = numbers({{"9", "x"}, {"1", "a"}, {"2", "b"}, {"3", "c"}});
  same->removeValueAndLabelAtIndex(0);
  EXPECT_TRUE(three->isEqualToMultiValue(*same)) << "identifiers are not compared";
  EXPECT_TRUE(three->isEqual(three.get()));
  EXPECT_FALSE(three->isEqual(nullptr));
  auto differentLabel = numbers({{"1", "a"}, {"2", "B"}, {"3", "c"}});
  EXPECT_FALSE(three->isEqualToMultiValue(*differentLabel));
}

TEST(PBMultiValue, DescriptionsListTheEntriesInIndexOrder) {
  auto two = numbers({{"1", "a"}, {"2", "b"}});
  EXPECT_EQ(two->contentDescription(), "\t0) a=1\n\t1) b=2\n");
  auto empty = PBMutableMultiValue::create(ab::kMultiStringPropertyType);
  EXPECT_EQ(empty->contentDescription(), "");
  EXPECT_EQ(empty->description(),
            fnd::formatString("PBMutableMultiValue: <%p> type:kABMultiStringPropertyType - Multi String Property Type "
                              "count:0 contents:{}",
                              static_cast<const void*>(empty.get())));
}

TEST(PBMultiValue, MutableCopyLeavesTheSourceAlone) {
  auto original = numbers({{"1", "a"}});
  auto copy = original->mutableCopy();
  copy->replaceValueAtIndex(0, fnd::str("2").get());
  copy->replaceLabelAtIndex(0, fnd::str("b").get());
  EXPECT_TRUE(original->valueAtIndex(0)->isEqual(*fnd::str("1")));
  EXPECT_TRUE(original->labelAtIndex(0)->isEqual(*fnd::str("a")));
  EXPECT_EQ(copy->identifierAtIndex(0), original->identifierAtIndex(0));
  EXPECT_FALSE(copy->removeValueAndLabelAtIndex(4));
  EXPECT_EQ(PBMultiValue::create(nullptr), nullptr);
}

TEST(PBPerson, PropertiesOfANewPersonAndLabelledNumbersRoundTrip) {
  ab::test::TestBookFile file;
  auto book = PBAddressBook::create();
  auto person = book->newPersonInDefaultSource();
  EXPECT_EQ(person->phoneNumbers(), nullptr);
  EXPECT_FALSE(person->thumbnail());
  EXPECT_FALSE(person->originalImage());
  EXPECT_FALSE(person->hasImage());
  person->setPhoneNumbers(numbers({{"+47 815 00 000", "Firma, avd. Øst"}}).get());
  person->setOrganization(fnd::str("Ringeplagvern").get());
  person->setNote(fnd::str("merke").get());
  ASSERT_TRUE(book->save());
  auto reopened = PBAddressBook::create();
  auto copy = reopened->personForABRecordID(person->recordID());
  ASSERT_TRUE(copy);
  ASSERT_TRUE(copy->phoneNumbers());
  EXPECT_TRUE(copy->phoneNumbers()->isEqualToMultiValue(*person->phoneNumbers()));
  EXPECT_EQ(copy->phoneNumbers()->identifierAtIndex(0), person->phoneNumbers()->identifierAtIndex(0));
  EXPECT_TRUE(copy->organization()->isEqual(*fnd::str("Ringeplagvern")));
  EXPECT_TRUE(copy->created());
  EXPECT_TRUE(copy->modified());
  person->setPhoneNumbers(nullptr);
  EXPECT_EQ(person->phoneNumbers(), nullptr) << "nil removes the property";
  EXPECT_TRUE(PBPerson::localizedLabel(fnd::str(ab::kPhoneMobileLabel).get())->isEqual(*fnd::str("mobile")));
  EXPECT_TRUE(PBPerson::localizedPropertyName(ab::kPersonPhoneProperty)->isEqual(*fnd::str("Phone")));
  EXPECT_EQ(PBPerson::localizedPropertyName(-1), nullptr);
}

TEST(PBPerson, ImagesAreStoredAsPngAndThumbnailsAreSmall) {
  ab::test::TestBookFile file;
  auto book = PBAddressBook::create();
  auto person = book->newPersonInDefaultSource();
  QImage image(640, 320, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(person->setImage(image));
  ASSERT_TRUE(person->hasImage());
  const std::optional<QImage> original = person->originalImage();
  ASSERT_TRUE(original);
  EXPECT_EQ(original->size(), image.size());
  EXPECT_EQ(original->pixelColor(10, 10), QColor(Qt::red));
  const std::optional<QImage> thumbnail = person->thumbnail();
  ASSERT_TRUE(thumbnail);
  EXPECT_LT(thumbnail->width(), image.width());
  EXPECT_TRUE(person->removeImage());
  EXPECT_FALSE(person->hasImage());
}

TEST(PBPerson, AMissingImageIsRefusedAndLoggedAndTheStoredOneStays) {
  ab::test::TestBookFile file;
  auto book = PBAddressBook::create();
  auto person = book->newPersonInDefaultSource();
  QImage image(16, 16, QImage::Format_RGB32);
  image.fill(Qt::blue);
  ASSERT_TRUE(person->setImage(image));
  ASSERT_TRUE(book->save());

  std::vector<std::string> logged;
  fnd::setLogSinkForTesting([&logged](std::string_view line) { logged.emplace_back(line); });
  const bool storedNull = person->setImage(QImage());
  const bool storedUndecodable = person->setImage(QImage(":/images/no-such-image.png"));
  fnd::setLogSinkForTesting({});

  EXPECT_FALSE(storedNull);
  EXPECT_FALSE(storedUndecodable);
  ASSERT_EQ(logged.size(), 2u);
  EXPECT_NE(logged.front().find("-[PBPerson setImage:] error:"), std::string::npos) << logged.front();
  EXPECT_FALSE(book->hasUnsavedChanges());
  const std::optional<QImage> kept = person->originalImage();
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->pixelColor(1, 1), QColor(Qt::blue));
}

}  // namespace

}  // namespace pb
