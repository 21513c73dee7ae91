#include "platform/addressbook/value_codec.h"

#include <gtest/gtest.h>

#include "platform/addressbook/multi_value.h"
#include "platform/foundation/data.h"
#include "platform/foundation/date.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_dictionary.h"

namespace ab {
namespace {

PropertyValues everyKind() {
  auto address = fnd::ObjectDictionary::createMutable();
  address->setObject(fnd::str("Storgata 1").get(), kAddressStreetKey);
  address->setObject(fnd::str("Oslo").get(), kAddressCityKey);
  auto addresses = MultiValue::createMutable(kMultiDictionaryPropertyType);
  addresses->addValue(address.get(), fnd::str(kHomeLabel).get(), nullptr);
  auto phones = MultiValue::createMutable(kMultiStringPropertyType);
  phones->addValue(fnd::str("+47 22 00 00 00").get(), fnd::str("Telefonsalg AS").get(), nullptr);
  phones->addValue(fnd::str("815 00 000").get(), nullptr, nullptr);
  phones->removeValueAndLabelAtIndex(0);
  PropertyValues values;
  values[kPersonFirstNameProperty] = fnd::str("Ærlig Øystein Åsen");
  values[kPersonKindProperty] = fnd::Number::create(std::int64_t{-5});
  values[kPersonBirthdayProperty] = fnd::Date::create(-86400.25);
  values[kPersonPhoneProperty] = phones;
  values[kPersonAddressProperty] = addresses;
  values[100] = fnd::Number::createUnsigned(UINT64_MAX);
  values[101] = fnd::Number::create(0.1);
  values[102] = fnd::Ref<fnd::Object>(fnd::Number::yes());
  values[103] = fnd::Data::create(std::string("\0\1\2", 3));
  return values;
}

TEST(ValueCodec, EveryKindOfValueComesBackEqualWithItsIdentifiers) {
  const PropertyValues values = everyKind();
  const std::optional<PropertyValues> decoded = decodePropertyValues(encodePropertyValues(values));
  ASSERT_TRUE(decoded);
  ASSERT_EQ(decoded->size(), values.size());
  for (const auto& [property, value] : values) {
    ASSERT_TRUE(decoded->contains(property)) << property;
    EXPECT_TRUE(decoded->at(property)->isEqual(*value)) << property << ": " << value->description();
  }
  const auto* phones = dynamic_cast<const MultiValue*>(decoded->at(kPersonPhoneProperty).get());
  ASSERT_NE(phones, nullptr);
  EXPECT_EQ(phones->identifierAtIndex(0), 1);
  EXPECT_EQ(phones->nextIdentifier(), 2) << "the next identifier must survive, or a removed one is reused";
}

TEST(ValueCodec, DamagedBytesAreRefusedNotMisread) {
  const std::string bytes = encodePropertyValues(everyKind());
  for (std::size_t length = 0; length < bytes.size(); ++length)
    EXPECT_FALSE(decodePropertyValues(std::string_view(bytes).substr(0, length))) << "prefix of " << length;
  EXPECT_FALSE(decodePropertyValues(bytes + "x")) << "trailing bytes";
  std::string wrongVersion = bytes;
  wrongVersion[0] = 9;
  EXPECT_FALSE(decodePropertyValues(wrongVersion));
}

}  // namespace
}  // namespace ab
