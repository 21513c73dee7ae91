// covers: containers.cpp, object_array.cpp, object_dictionary.cpp
#include <gtest/gtest.h>

#include "platform/foundation/exception.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_array.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"

namespace fnd {
namespace {

std::string reasonOf(const std::function<void()>& action, Exception::Kind expectedKind) {
  try {
    action();
  } catch (const Exception& exception) {
    EXPECT_EQ(exception.kind(), expectedKind);
    return exception.reason();
  }
  ADD_FAILURE() << "no exception";
  return {};
}

TEST(ObjectArray, MutableFormInsertsRemovesAndReplaces) {
  auto array = ObjectArray::createMutable();
  array->addObject(str("b").get());
  array->insertObject(str("a").get(), 0);
  array->addObject(str("c").get());
  array->replaceObjectAtIndex(2, str("d").get());
  array->removeObjectAtIndex(1);
  EXPECT_EQ(array->description(), "(a, d)");
  array->removeLastObject();
  EXPECT_EQ(array->count(), 1u);
  array->removeAllObjects();
  EXPECT_EQ(array->count(), 0u);
  EXPECT_EQ(array->firstObject(), nullptr);
}

TEST(ObjectArray, MisuseRaisesThePlatformReasons) {
  auto immutable = ObjectArray::create({str("x").get()});
  EXPECT_EQ(reasonOf([&] { immutable->addObject(str("y").get()); }, Exception::Kind::InternalInconsistency),
            "*** -[NSArray insertObject:atIndex:]: mutating method sent to immutable object");
  EXPECT_EQ(reasonOf([&] { immutable->objectAtIndex(1); }, Exception::Kind::Range),
            "*** -[NSArray objectAtIndex:]: index (1) beyond bounds (1)");
  auto array = ObjectArray::createMutable();
  EXPECT_EQ(reasonOf([&] { array->addObject(nullptr); }, Exception::Kind::InvalidArgument),
            "*** -[NSMutableArray insertObject:atIndex:]: attempt to insert nil");
  EXPECT_EQ(reasonOf([&] { array->insertObject(str("z").get(), 1); }, Exception::Kind::Range),
            "*** -[NSMutableArray insertObject:atIndex:]: index (1) beyond bounds (0)");
  EXPECT_EQ(array->count(), 0u);  // unchanged after each refusal
}

TEST(ObjectArray, CopiesShareImmutableAndSnapshotMutable) {
  auto immutable = ObjectArray::create({str("x").get()});
  EXPECT_EQ(immutable->copy().get(), immutable.get());
  auto mutableArray = ObjectArray::createMutable();
  mutableArray->addObject(str("x").get());
  auto snapshot = mutableArray->copy();
  mutableArray->addObject(str("y").get());
  EXPECT_FALSE(snapshot->isMutable());
  EXPECT_EQ(snapshot->count(), 1u);
  EXPECT_TRUE(snapshot->isEqual(*immutable));
  auto mutableCopy = immutable->mutableCopy();
  mutableCopy->addObject(str("y").get());
  EXPECT_TRUE(mutableCopy->isEqual(*mutableArray));
}

TEST(ObjectArray, EnumerationVisitsEveryElementAndDetectsMutation) {
  auto array = ObjectArray::createMutable();
  for (int i = 0; i < 40; ++i) array->addObject(Number::create(std::int64_t{i}).get());
  std::int64_t expected = 0;
  for (Object* element : *array) EXPECT_EQ(static_cast<Number*>(element)->int64Value(), expected++);
  EXPECT_EQ(expected, 40);
  EXPECT_THROW(
      {
        for (Object* element : *array) {
          (void)element;
          array->addObject(str("late").get());
        }
      },
      Exception);
}

TEST(ObjectDictionary, MutableKeyChangedAfterwardsLeavesTheEntryFindable) {
  auto dictionary = ObjectDictionary::createMutable();
  auto key = ObjectArray::createMutable();
  key->addObject(str("a").get());
  dictionary->setObject(str("value").get(), key.get());
  key->addObject(str("b").get());
  EXPECT_EQ(dictionary->objectForKey(ObjectArray::create({str("a").get()}).get())->description(), "value");
  EXPECT_EQ(dictionary->objectForKey(key.get()), nullptr);
}

TEST(ObjectDictionary, LooksUpByValueEqualityAcrossNumberKinds) {
  auto dictionary = ObjectDictionary::createMutable();
  dictionary->setObject(str("one").get(), Number::create(std::int64_t{1}).get());
  dictionary->setObject(str("firm").get(), "firma");
  EXPECT_EQ(static_cast<String*>(dictionary->objectForKey(Number::create(1.0).get()))->utf8(), "one");
  EXPECT_EQ(static_cast<String*>(dictionary->objectForKey(std::string_view("firma")))->utf8(), "firm");
  EXPECT_EQ(dictionary->objectForKey(std::string_view("missing")), nullptr);
  EXPECT_EQ(dictionary->objectForKey(static_cast<const Object*>(nullptr)), nullptr);
  dictionary->setObject(str("uno").get(), Number::yes());  // YES equals 1: replaces
  EXPECT_EQ(dictionary->count(), 2u);
  EXPECT_EQ(static_cast<String*>(dictionary->objectForKey(Number::createUnsigned(1).get()))->utf8(), "uno");
}

TEST(ObjectDictionary, RemovalKeepsEveryOtherKeyReachableAndEnumerable) {
  auto dictionary = ObjectDictionary::createMutable();
  for (int i = 0; i < 100; ++i)
    dictionary->setObject(Number::create(std::int64_t{i * i}).get(), Number::create(std::int64_t{i}).get());
  for (int i = 0; i < 100; i += 3) dictionary->removeObjectForKey(Number::create(std::int64_t{i}).get());
  dictionary->removeObjectForKey(str("absent").get());
  std::size_t visited = 0;
  for (Object* key : *dictionary) {
    const auto i = static_cast<Number*>(key)->int64Value();
    EXPECT_NE(i % 3, 0);
    EXPECT_EQ(static_cast<Number*>(dictionary->objectForKey(key))->int64Value(), i * i);
    ++visited;
  }
  EXPECT_EQ(visited, dictionary->count());
  EXPECT_EQ(visited, 66u);
  EXPECT_EQ(dictionary->keyEnumerator()->allObjects()->count(), 66u);
}

TEST(ObjectDictionary, MisuseRaisesThePlatformReasonsAndEqualityIgnoresOrder) {
  auto dictionary = ObjectDictionary::createMutable();
  EXPECT_EQ(reasonOf([&] { dictionary->setObject(nullptr, "k"); }, Exception::Kind::InvalidArgument),
            "*** -[NSMutableDictionary setObject:forKey:]: attempt to insert nil value (key: k)");
  EXPECT_EQ(reasonOf([&] { dictionary->setObject(str("v").get(), static_cast<const Object*>(nullptr)); },
                     Exception::Kind::InvalidArgument),
            "*** -[NSMutableDictionary setObject:forKey:]: attempt to insert nil key");
  dictionary->setObject(str("1").get(), "a");
  dictionary->setObject(str("2").get(), "b");
  auto other = ObjectDictionary::createMutable();
  other->setObject(str("2").get(), "b");
  other->setObject(str("1").get(), "a");
  EXPECT_TRUE(dictionary->isEqual(*other));
  auto frozen = dictionary->copy();
  EXPECT_FALSE(frozen->isMutable());
  EXPECT_EQ(reasonOf([&] { static_cast<MutableDictionary*>(frozen.get())->removeObjectForKey(str("a").get()); },
                     Exception::Kind::InternalInconsistency),
            "*** -[NSDictionary removeObjectForKey:]: mutating method sent to immutable object");
}

}  // namespace
}  // namespace fnd
