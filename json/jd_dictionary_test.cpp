#include "json/jd_dictionary.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "json/jd_array.h"
#include "platform/foundation/exception.h"
#include "platform/foundation/null.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"
#include "tests/support/json/json_test_helpers.h"

namespace json {
namespace {

using test::decodeAs;
using test::reasonOf;

std::uint64_t mutationsOf(const JDDictionary& dictionary) {
  fnd::FastEnumerationState state;
  fnd::Object* buffer[4];
  dictionary.countByEnumerating(state, buffer, 4);
  return *state.mutations;
}

// Keys whose hashes fall into the same entry of a table of `capacity` entries.
std::vector<fnd::Ref<fnd::String>> collidingKeys(std::size_t capacity, std::size_t howMany) {
  std::vector<fnd::Ref<fnd::String>> keys;
  const fnd::Ref<fnd::String> first = fnd::str("key0");
  const std::size_t home = standardKeyHash(*first) % capacity;
  for (int i = 0; keys.size() < howMany; ++i) {
    auto key = fnd::str("key" + std::to_string(i));
    if (standardKeyHash(*key) % capacity == home) keys.push_back(key);
  }
  return keys;
}

TEST(JDDictionaryTest, CapacityFollowsTheTable) {
  const std::vector<std::pair<std::size_t, std::size_t>> expected = {
      {0, 0},   {1, 3},   {3, 3},   {4, 7},   {6, 7},    {7, 13},   {10, 13},  {11, 23},  {18, 23},
      {19, 41}, {31, 41}, {32, 71}, {54, 71}, {55, 127}, {63, 127}, {64, 127}, {96, 127}, {97, 191}};
  for (const auto& [count, capacity] : expected) EXPECT_EQ(JDDictionary::capacityForCount(count), capacity) << count;
}

TEST(JDDictionaryTest, EmptyObjectHasNoTable) {
  auto dictionary = decodeAs<JDDictionary>("{}");
  ASSERT_TRUE(dictionary);
  EXPECT_EQ(dictionary->capacity(), 0u);
  EXPECT_EQ(dictionary->count(), 0u);
  EXPECT_EQ(dictionary->objectForKey("a"), nullptr);
  EXPECT_EQ(dictionary->keyEnumerator()->nextObject(), nullptr);
}

TEST(JDDictionaryTest, RepeatedKeyKeepsTheLaterValue) {
  auto dictionary = decodeAs<JDDictionary>(R"({"a":1,"b":2,"a":3})");
  ASSERT_TRUE(dictionary);
  EXPECT_EQ(dictionary->count(), 2u);
  EXPECT_EQ(dictionary->objectForKey("a")->description(), "3");
  EXPECT_EQ(dictionary->objectForKey("b")->description(), "2");
}

TEST(JDDictionaryTest, FullTableLookupOfMissingKeyEnds) {
  auto dictionary = decodeAs<JDDictionary>(R"({"a":1,"b":2,"c":3})");
  ASSERT_TRUE(dictionary);
  EXPECT_EQ(dictionary->capacity(), 3u);
  EXPECT_EQ(dictionary->count(), 3u);
  EXPECT_EQ(dictionary->objectForKey("missing"), nullptr);
  EXPECT_EQ(dictionary->objectForKey(nullptr), nullptr);
  EXPECT_EQ(dictionary->objectForKey("c")->description(), "3");
}

TEST(JDDictionaryTest, GrowsThroughTheCapacityTableOneKeyAtATime) {
  auto dictionary = decodeAs<JDDictionary>("{}", true);
  ASSERT_TRUE(dictionary);
  // Capacity after the n-th key: it changes only at keys 4, 7, 11, 19 and 32.
  const std::map<int, std::size_t> expected = {{1, 3},   {3, 3},   {4, 7},   {6, 7},   {7, 13}, {10, 13},
                                               {11, 23}, {18, 23}, {19, 41}, {31, 41}, {32, 71}};
  for (int i = 1; i <= 32; ++i) {
    dictionary->setObject(fnd::Number::create(std::int64_t{i}).get(), "key" + std::to_string(i));
    if (expected.contains(i)) {
      EXPECT_EQ(dictionary->capacity(), expected.at(i)) << "after key " << i;
    }
  }
  for (int i = 1; i <= 32; ++i)
    EXPECT_EQ(dictionary->objectForKey("key" + std::to_string(i))->description(), std::to_string(i));
}

TEST(JDDictionaryTest, RemovalInsideAClusterKeepsEveryOtherKeyFindable) {
  auto dictionary = decodeAs<JDDictionary>("{}", true);
  ASSERT_TRUE(dictionary);
  for (int i = 0; i < 8; ++i) dictionary->setObject(fnd::Null::null(), "filler" + std::to_string(i));
  ASSERT_EQ(dictionary->capacity(), 13u);
  const auto keys = collidingKeys(13, 3);
  for (const auto& key : keys) dictionary->setObject(key.get(), key.get());
  dictionary->removeObjectForKey(keys[1].get());
  EXPECT_EQ(dictionary->objectForKey(keys[1].get()), nullptr);
  EXPECT_EQ(dictionary->objectForKey(keys[0].get()), keys[0].get());
  EXPECT_EQ(dictionary->objectForKey(keys[2].get()), keys[2].get());
  dictionary->removeObjectForKey(keys[0].get());
  EXPECT_EQ(dictionary->objectForKey(keys[2].get()), keys[2].get());
  for (int i = 0; i < 8; ++i) EXPECT_NE(dictionary->objectForKey("filler" + std::to_string(i)), nullptr) << i;
  EXPECT_EQ(dictionary->count(), 9u);
}

TEST(JDDictionaryTest, AgreesWithAModelThroughRandomChanges) {
  auto dictionary = decodeAs<JDDictionary>("{}", true);
  ASSERT_TRUE(dictionary);
  std::map<std::string, std::int64_t> model;
  std::uint32_t seed = 12345;
  const auto nextRandom = [&] { return seed = seed * 1103515245u + 12345u; };
  for (int step = 0; step < 5000; ++step) {
    const std::string key = "k" + std::to_string(nextRandom() % 300);
    if (nextRandom() % 3 == 0) {
      dictionary->removeObjectForKey(fnd::str(key).get());
      model.erase(key);
    } else {
      dictionary->setObject(fnd::Number::create(std::int64_t{step}).get(), key);
      model[key] = step;
    }
  }
  ASSERT_EQ(dictionary->count(), model.size());
  for (int i = 0; i < 300; ++i) {
    const std::string key = "k" + std::to_string(i);
    const fnd::Object* found = dictionary->objectForKey(key);
    if (model.contains(key)) {
      ASSERT_NE(found, nullptr) << key;
      EXPECT_EQ(found->description(), std::to_string(model[key])) << key;
    } else {
      EXPECT_EQ(found, nullptr) << key;
    }
  }
}

TEST(JDDictionaryTest, MutationsCountOnlyRealChanges) {
  auto dictionary = decodeAs<JDDictionary>(R"({"a":1})", true);
  ASSERT_TRUE(dictionary);
  EXPECT_EQ(mutationsOf(*dictionary), 1u);
  dictionary->setObject(fnd::Null::null(), "b");
  dictionary->removeObjectForKey(fnd::str("missing").get());
  EXPECT_EQ(mutationsOf(*dictionary), 2u);
  dictionary->removeObjectForKey(fnd::str("a").get());
  EXPECT_EQ(mutationsOf(*dictionary), 3u);
  EXPECT_EQ(dictionary->count(), 1u);
}

TEST(JDDictionaryTest, MutableKeyChangedAfterwardsLeavesTheEntryFindable) {
  auto dictionary = decodeAs<JDDictionary>("{}", true);
  auto key = decodeAs<JDArray>("[1]", true);
  const auto original = decodeAs<JDArray>("[1]");
  ASSERT_TRUE(dictionary && key && original);
  dictionary->setObject(fnd::Null::null(), key.get());
  key->addObject(fnd::Null::null());
  EXPECT_EQ(dictionary->objectForKey(original.get()), fnd::Null::null());
  EXPECT_EQ(dictionary->objectForKey(key.get()), nullptr);
}

TEST(JDDictionaryTest, ImmutableDictionaryRefusesMutation) {
  auto dictionary = decodeAs<JDDictionary>(R"({"a":1})");
  ASSERT_TRUE(dictionary);
  const auto mutating = fnd::Exception::Kind::InternalInconsistency;
  EXPECT_EQ(reasonOf([&] { dictionary->setObject(fnd::Null::null(), "a"); }, mutating),
            "*** -[JDDictionary setObject:forKey:]: mutating method sent to immutable object");
  EXPECT_EQ(reasonOf([&] { dictionary->removeObjectForKey(fnd::str("a").get()); }, mutating),
            "*** -[JDDictionary removeObjectForKey:]: mutating method sent to immutable object");
  EXPECT_EQ(dictionary->objectForKey("a")->description(), "1");
}

TEST(JDDictionaryTest, NilKeysAndValuesAreRefused) {
  auto dictionary = decodeAs<JDDictionary>("{}", true);
  ASSERT_TRUE(dictionary);
  const auto invalid = fnd::Exception::Kind::InvalidArgument;
  EXPECT_EQ(
      reasonOf([&] { dictionary->setObject(fnd::Null::null(), static_cast<const fnd::Object*>(nullptr)); }, invalid),
      "*** -[JDDictionary setObject:forKey:]: attempt to insert nil key");
  EXPECT_EQ(reasonOf([&] { dictionary->setObject(nullptr, "k"); }, invalid),
            "*** -[JDDictionary setObject:forKey:]: attempt to insert nil value (key: k)");
  EXPECT_EQ(reasonOf([&] { dictionary->removeObjectForKey(nullptr); }, invalid),
            "*** -[JDDictionary removeObjectForKey:]: attempt to remove nil key");
  EXPECT_EQ(dictionary->count(), 0u);
}

TEST(JDDictionaryTest, EnumeratorsWalkTheKeysInTableOrder) {
  auto dictionary = decodeAs<JDDictionary>(R"({"a":1,"b":2,"c":3,"d":4,"e":5})");
  ASSERT_TRUE(dictionary);
  std::vector<fnd::Object*> keys(5);
  dictionary->getObjectsAndKeys(nullptr, keys.data());
  std::vector<fnd::Object*> walked;
  for (fnd::Object* key : *dictionary) walked.push_back(key);
  EXPECT_EQ(walked, keys);
  fnd::Ref<fnd::Enumerator> enumerator = dictionary->keyEnumerator();
  EXPECT_EQ(enumerator->nextObject(), keys[0]);
  fnd::Ref<fnd::Array> rest = enumerator->allObjects();
  ASSERT_EQ(rest->count(), 4u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(rest->objectAtIndex(i), keys[i + 1]);
  EXPECT_EQ(enumerator->nextObject(), nullptr);
}

TEST(JDDictionaryTest, EnumeratorKeepsItsDictionaryAlive) {
  fnd::Ref<fnd::Enumerator> enumerator;
  {
    auto dictionary = decodeAs<JDDictionary>(R"({"only":1})");
    ASSERT_TRUE(dictionary);
    enumerator = dictionary->keyEnumerator();
  }
  fnd::Object* key = enumerator->nextObject();
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->description(), "only");
}

TEST(JDDictionaryTest, CopiesFollowMutability) {
  auto immutable = decodeAs<JDDictionary>(R"({"a":1})");
  ASSERT_TRUE(immutable);
  EXPECT_EQ(immutable->copy().get(), immutable.get());
  auto mutableDictionary = decodeAs<JDDictionary>(R"({"a":1,"b":[2]})", true);
  ASSERT_TRUE(mutableDictionary);
  fnd::Ref<fnd::Dictionary> snapshot = mutableDictionary->copy();
  EXPECT_NE(dynamic_cast<fnd::ObjectDictionary*>(snapshot.get()), nullptr);
  EXPECT_FALSE(snapshot->isMutable());
  EXPECT_TRUE(snapshot->isEqual(*mutableDictionary));
  fnd::Ref<fnd::MutableDictionary> editable = immutable->mutableCopy();
  editable->setObject(fnd::Null::null(), "z");
  EXPECT_EQ(editable->count(), 2u);
  EXPECT_EQ(immutable->count(), 1u);
}

}  // namespace
}  // namespace json
