#include "json/jd_array.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "platform/foundation/exception.h"
#include "platform/foundation/object_array.h"
#include "platform/foundation/string_object.h"
#include "tests/support/json/json_test_helpers.h"

namespace json {
namespace {

using test::decodeAs;
using test::reasonOf;

std::string render(const fnd::Array& array) { return array.description(); }

TEST(JDArrayTest, ImmutableArrayRefusesEveryMutation) {
  auto array = decodeAs<JDArray>("[1,2]");
  ASSERT_TRUE(array);
  EXPECT_FALSE(array->isMutable());
  const auto mutating = fnd::Exception::Kind::InternalInconsistency;
  EXPECT_EQ(reasonOf([&] { array->insertObject(fnd::Null::null(), 0); }, mutating),
            "*** -[JDArray insertObject:atIndex:]: mutating method sent to immutable object");
  EXPECT_EQ(reasonOf([&] { array->removeObjectAtIndex(0); }, mutating),
            "*** -[JDArray removeObjectAtIndex:]: mutating method sent to immutable object");
  EXPECT_EQ(reasonOf([&] { array->replaceObjectAtIndex(0, fnd::Null::null()); }, mutating),
            "*** -[JDArray replaceObjectAtIndex:withObject:]: mutating method sent to immutable object");
  EXPECT_EQ(render(*array), "(1, 2)");
}

TEST(JDArrayTest, MutableArrayInsertsRemovesAndReplaces) {
  auto array = decodeAs<JDArray>("[1,2,3]", true);
  ASSERT_TRUE(array);
  EXPECT_EQ(array->capacity(), 3u);
  auto text = fnd::str("x");
  array->insertObject(text.get(), 3);  // at count: appends
  array->insertObject(fnd::Null::null(), 0);
  EXPECT_EQ(render(*array), "(<null>, 1, 2, 3, x)");
  EXPECT_EQ(array->capacity(), 19u);  // grown once by 16 slots
  array->removeObjectAtIndex(2);
  array->replaceObjectAtIndex(0, text.get());
  EXPECT_EQ(render(*array), "(x, 1, 3, x)");
  EXPECT_EQ(text->retainCount(), 3u);  // ours and two slots
  array->removeLastObject();
  array->removeObjectAtIndex(0);
  EXPECT_EQ(text->retainCount(), 1u);
}

TEST(JDArrayTest, BadArgumentsRaiseTheirReasonsAndChangeNothing) {
  auto array = decodeAs<JDArray>("[1,2]", true);
  ASSERT_TRUE(array);
  const auto range = fnd::Exception::Kind::Range;
  const auto invalid = fnd::Exception::Kind::InvalidArgument;
  EXPECT_EQ(reasonOf([&] { array->insertObject(fnd::Null::null(), 3); }, range),
            "*** -[JDArray insertObject:atIndex:]: index (3) beyond bounds (3)");
  EXPECT_EQ(reasonOf([&] { array->insertObject(nullptr, 0); }, invalid),
            "*** -[JDArray insertObject:atIndex:]: attempt to insert nil");
  EXPECT_EQ(reasonOf([&] { array->replaceObjectAtIndex(0, nullptr); }, invalid),
            "*** -[JDArray replaceObjectAtIndex:withObject:]: attempt to insert nil");
  EXPECT_EQ(reasonOf([&] { array->replaceObjectAtIndex(2, fnd::Null::null()); }, range),
            "*** -[JDArray replaceObjectAtIndex:withObject:]: index (2) beyond bounds (2)");
  EXPECT_EQ(reasonOf([&] { array->removeObjectAtIndex(2); }, range),
            "*** -[JDArray removeObjectAtIndex:]: index (2) beyond bounds (2)");
  EXPECT_EQ(reasonOf([&] { (void)array->objectAtIndex(5); }, range),
            "*** -[JDArray objectAtIndex:]: index (5) beyond bounds (2)");
  EXPECT_EQ(render(*array), "(1, 2)");
}

TEST(JDArrayTest, GetObjectsCopiesARangeAndChecksIt) {
  auto array = decodeAs<JDArray>("[10,20,30]");
  ASSERT_TRUE(array);
  fnd::Object* objects[2] = {};
  array->getObjects(objects, {1, 2});
  EXPECT_EQ(objects[0]->description() + objects[1]->description(), "2030");
  EXPECT_EQ(reasonOf(
                [&] {
                  array->getObjects(nullptr, {1, 1});
                },
                fnd::Exception::Kind::Range),
            "*** -[JDArray getObjects:range:]: pointer to objects array is NULL but range length is 2");
  EXPECT_EQ(reasonOf(
                [&] {
                  array->getObjects(objects, {2, 2});
                },
                fnd::Exception::Kind::Range),
            "*** -[JDArray getObjects:range:]: index (4) beyond bounds (3)");
  array->getObjects(nullptr, {0, 0});  // nothing asked, nothing checked
}

TEST(JDArrayTest, EnumerationSeesEveryElementAndNoticesMutation) {
  auto array = decodeAs<JDArray>("[1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20]", true);
  ASSERT_TRUE(array);
  std::int64_t sum = 0;
  for (fnd::Object* element : *array) sum += static_cast<fnd::Number*>(element)->int64Value();
  EXPECT_EQ(sum, 210);
  // Grown onto the heap, so further growth moves the elements mid-walk.
  for (int i = 0; i < 40; ++i) array->addObject(fnd::Null::null());
  std::size_t seen = 0;
  EXPECT_THROW(
      {
        for (fnd::Object* element : *array) {
          seen += element != nullptr;
          for (int i = 0; i < 64; ++i) array->addObject(fnd::Null::null());
        }
      },
      fnd::Exception);
  EXPECT_EQ(seen, 1u);  // reported before the next element, not at the end of the batch
}

TEST(JDArrayTest, EnumerationNeverReachesAnElementRemovedMidBatch) {
  auto array = decodeAs<JDArray>("[]", true);
  ASSERT_TRUE(array);
  // The array is the strings' only owner, so removing one frees it.
  for (const char* text : {"a", "b", "c", "d", "e"}) array->addObject(fnd::String::create(text).get());
  std::string visited;
  EXPECT_THROW(
      {
        for (fnd::Object* element : *array) {
          visited += static_cast<fnd::String*>(element)->utf8();
          if (array->count() == 5) array->removeLastObject();
        }
      },
      fnd::Exception);
  EXPECT_EQ(visited, "a");
}

TEST(JDArrayTest, CopiesFollowMutability) {
  auto immutable = decodeAs<JDArray>("[1]");
  ASSERT_TRUE(immutable);
  EXPECT_EQ(immutable->copy().get(), immutable.get());
  auto mutableArray = decodeAs<JDArray>("[1,\"a\"]", true);
  ASSERT_TRUE(mutableArray);
  fnd::Ref<fnd::Array> snapshot = mutableArray->copy();
  EXPECT_NE(snapshot.get(), mutableArray.get());
  EXPECT_FALSE(snapshot->isMutable());
  EXPECT_NE(dynamic_cast<fnd::ObjectArray*>(snapshot.get()), nullptr);
  EXPECT_TRUE(snapshot->isEqual(*mutableArray));
  fnd::Ref<fnd::MutableArray> editable = immutable->mutableCopy();
  editable->addObject(fnd::Null::null());
  EXPECT_EQ(render(*editable), "(1, <null>)");
  EXPECT_EQ(render(*immutable), "(1)");
}

TEST(MutationCounterTest, SkipsZeroWhenItWraps) {
  EXPECT_EQ(nextMutation(1), 2u);
  EXPECT_EQ(nextMutation(std::numeric_limits<std::uint64_t>::max()), 1u);
}

}  // namespace
}  // namespace json
