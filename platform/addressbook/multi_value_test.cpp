#include "platform/addressbook/multi_value.h"

#include <gtest/gtest.h>

#include "platform/addressbook/properties.h"
#include "platform/addressbook/value_codec.h"
#include "platform/foundation/date.h"
#include "platform/foundation/null.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_array.h"
#include "platform/foundation/object_dictionary.h"

namespace ab {
namespace {

TEST(MultiValue, IdentifiersStayWithTheirEntryAndAreNeverReused) {
  auto phones = MultiValue::createMutable(kMultiStringPropertyType);
  MultiValueIdentifier first = -1, second = -1, third = -1;
  ASSERT_TRUE(phones->addValue(fnd::str("22 22 22 22").get(), fnd::str("Firma A").get(), &first));
  ASSERT_TRUE(phones->addValue(fnd::str("22 22 22 22").get(), fnd::str("Firma A").get(), &second));
  EXPECT_NE(first, second);
  ASSERT_TRUE(phones->removeValueAndLabelAtIndex(1));
  ASSERT_TRUE(phones->insertValue(fnd::str("33").get(), nullptr, 0, &third));
  EXPECT_NE(third, second) << "a removed entry's identifier came back";
  EXPECT_EQ(phones->indexForIdentifier(first), 1u);
  EXPECT_EQ(phones->indexForIdentifier(second), MultiValue::kNotFound);
  EXPECT_EQ(phones->labelAtIndex(0), nullptr);
  EXPECT_EQ(phones->firstIndexOfValue(fnd::str("22 22 22 22").get()), 1u);
}

TEST(MultiValue, RefusesWrongKindsIndexesAndChangesToImmutableValues) {
  auto dates = MultiValue::createMutable(kMultiDateTimePropertyType);
  EXPECT_FALSE(dates->addValue(fnd::str("not a date").get(), nullptr, nullptr));
  EXPECT_FALSE(dates->insertValue(fnd::Date::create(1).get(), nullptr, 1, nullptr));
  EXPECT_FALSE(dates->replaceLabelAtIndex(fnd::str("x").get(), 0));
  ASSERT_TRUE(dates->addValue(fnd::Date::create(1).get(), nullptr, nullptr));
  auto frozen = dates->copy();
  EXPECT_FALSE(frozen->isMutable());
  EXPECT_FALSE(frozen->addValue(fnd::Date::create(2).get(), nullptr, nullptr));
  EXPECT_FALSE(frozen->removeValueAndLabelAtIndex(0));
  EXPECT_EQ(frozen->valueAtIndex(5), nullptr);

  auto integers = MultiValue::createMutable(kMultiIntegerPropertyType);
  EXPECT_FALSE(integers->addValue(fnd::Number::create(1.5).get(), nullptr, nullptr));
  EXPECT_TRUE(integers->addValue(fnd::Number::create(std::int64_t{3}).get(), nullptr, nullptr));
  auto dictionaries = MultiValue::createMutable(kMultiDictionaryPropertyType);
  EXPECT_TRUE(dictionaries->addValue(fnd::ObjectDictionary::create().get(), nullptr, nullptr));
}

TEST(MultiValue, DictionariesTheBookCannotStoreWholeAreRefused) {
  const auto dictionaryWith = [](fnd::Object* value) {
    auto dictionary = fnd::ObjectDictionary::createMutable();
    dictionary->setObject(value, fnd::str("City").get());
    return dictionary;
  };
  auto addresses = MultiValue::createMutable(kMultiDictionaryPropertyType);
  EXPECT_FALSE(addresses->addValue(dictionaryWith(fnd::Null::null()).get(), nullptr, nullptr));
  EXPECT_FALSE(addresses->addValue(dictionaryWith(fnd::ObjectArray::create().get()).get(), nullptr, nullptr));
  EXPECT_FALSE(addresses->addValue(dictionaryWith(dictionaryWith(fnd::Null::null()).get()).get(), nullptr, nullptr));
  EXPECT_TRUE(addresses->addValue(dictionaryWith(fnd::str("Molde").get()).get(), nullptr, nullptr));
  EXPECT_TRUE(
      addresses->addValue(dictionaryWith(dictionaryWith(fnd::Date::create(1).get()).get()).get(), nullptr, nullptr));
  EXPECT_EQ(addresses->count(), 2u);

  // What the book accepts it gives back whole.
  const auto restored =
      decodePropertyValues(encodePropertyValues({{kPersonAddressProperty, fnd::Ref<fnd::Object>(addresses)}}));
  ASSERT_TRUE(restored);
  EXPECT_TRUE(restored->at(kPersonAddressProperty)->isEqual(*addresses));
}

TEST(MultiValue, MutableCopyIsIndependentAndKeepsIdentifiers) {
  auto original = MultiValue::createMutable(kMultiStringPropertyType);
  MultiValueIdentifier identifier = -1;
  original->addValue(fnd::str("1").get(), fnd::str("a").get(), &identifier);
  auto copy = original->mutableCopy();
  EXPECT_TRUE(copy->isEqual(*original));
  copy->replaceValueAtIndex(fnd::str("2").get(), 0);
  MultiValueIdentifier next = -1;
  copy->addValue(fnd::str("3").get(), nullptr, &next);
  EXPECT_EQ(original->count(), 1u);
  EXPECT_TRUE(original->valueAtIndex(0)->isEqual(*fnd::str("1")));
  EXPECT_EQ(copy->identifierAtIndex(0), identifier);
  EXPECT_GT(next, identifier);
  EXPECT_FALSE(copy->isEqual(*original));
}

TEST(MultiValue, RestoredValueNeverHandsOutAStoredIdentifierAgain) {
  std::vector<MultiValue::Entry> entries{{7, nullptr, fnd::str("x")}};
  auto restored = MultiValue::create(kMultiStringPropertyType, entries, 0, true);
  MultiValueIdentifier identifier = -1;
  restored->addValue(fnd::str("y").get(), nullptr, &identifier);
  EXPECT_EQ(identifier, 8);
}

}  // namespace
}  // namespace ab
