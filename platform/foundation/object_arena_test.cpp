#include "platform/foundation/object_arena.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/number.h"
#include "platform/foundation/string_object.h"

namespace fnd {
namespace {

// Enough objects to fill several chunks.
constexpr int kManyObjects = 100000;

#define SKIP_WITHOUT_ARENA()                                     \
  if (!ObjectArena::isAvailable()) {                             \
    GTEST_SKIP() << "this build keeps every object on the heap"; \
  }

// Makes `count` strings and numbers in the calling thread's arena.
std::vector<Ref<Object>> makeObjects(int count) {
  ObjectArena& arena = ObjectArena::forThisThread();
  std::vector<Ref<Object>> objects;
  objects.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    if (i % 2)
      objects.emplace_back(Number::create(std::int64_t{i}, arena));
    else
      objects.emplace_back(String::create("value " + std::to_string(i), arena));
  }
  return objects;
}

TEST(ObjectArena, ArenaObjectsAreOrdinaryValues) {
  ObjectArena& arena = ObjectArena::forThisThread();
  const auto text = String::create("Ringeplagvern", arena);
  EXPECT_TRUE(text->isEqual(*str("Ringeplagvern")));
  EXPECT_EQ(text->hash(), str("Ringeplagvern")->hash());
  EXPECT_EQ(String::create("", arena).get(), String::empty());
  EXPECT_TRUE(Number::create(std::int64_t{-7}, arena)->isEqual(*Number::create(-7.0)));
  EXPECT_EQ(Number::createUnsigned(UINT64_MAX, arena)->type(), Number::Type::UInt64);
  EXPECT_EQ(Number::create(0.25, arena)->doubleValue(), 0.25);
}

TEST(ObjectArena, RepeatedBulkAllocationReusesItsMemory) {
  SKIP_WITHOUT_ARENA()
  std::size_t afterFirstRound = 0;
  for (int round = 0; round < 8; ++round) {
    const std::vector<Ref<Object>> objects = makeObjects(kManyObjects);
    if (round == 0) afterFirstRound = ObjectArena::bytesInUse();
  }
  // Freed chunks come back; only the chunk being filled stays in use.
  EXPECT_LE(ObjectArena::bytesInUse(), afterFirstRound);
  const std::vector<Ref<Object>> objects = makeObjects(kManyObjects);
  EXPECT_LE(ObjectArena::bytesInUse(), afterFirstRound + afterFirstRound / 2);
}

TEST(ObjectArena, ObjectsFreedOnAnotherThreadReturnTheirChunks) {
  SKIP_WITHOUT_ARENA()
  const std::size_t before = ObjectArena::bytesInUse();
  std::vector<Ref<Object>> objects;
  // The making thread ends first, so its last chunk waits only for its objects.
  std::thread maker([&] { objects = makeObjects(kManyObjects); });
  maker.join();
  EXPECT_GT(ObjectArena::bytesInUse(), before);
  std::thread freer([&] { objects.clear(); });
  freer.join();
  EXPECT_EQ(ObjectArena::bytesInUse(), before);
}

TEST(ObjectArena, ThreadsMakeAndFreeAtOnce) {
  // Two threads make objects at the same time and keep some of them, which a
  // third thread checks and frees once the makers have ended.
  const std::size_t before = ObjectArena::bytesInUse();
  std::vector<Ref<Object>> kept[2];
  std::vector<std::thread> makers;
  for (int side = 0; side < 2; ++side) {
    makers.emplace_back([&kept, side] {
      for (int round = 0; round < 10; ++round) {
        std::vector<Ref<Object>> objects = makeObjects(kManyObjects / 20);
        kept[side].insert(kept[side].end(), objects.begin(), objects.begin() + 2);
      }
    });
  }
  for (std::thread& maker : makers) maker.join();
  std::thread freer([&kept] {
    for (auto& objects : kept) {
      ASSERT_EQ(objects.size(), 20u);
      EXPECT_EQ(objects[0]->description(), "value 0");
      EXPECT_EQ(objects[19]->description(), "1");
      objects.clear();
    }
  });
  freer.join();
  if (ObjectArena::isAvailable()) {
    EXPECT_EQ(ObjectArena::bytesInUse(), before);
  }
}

TEST(ObjectArena, LargeRequestsAndForeignMemoryUseTheHeap) {
  const std::size_t before = ObjectArena::bytesInUse();
  void* large = ObjectArena::forThisThread().allocate(std::size_t{4} << 20);
  ASSERT_NE(large, nullptr);
  EXPECT_EQ(ObjectArena::bytesInUse(), before);
  ObjectArena::deallocate(large);
  ObjectArena::deallocate(::operator new(64));
  ObjectArena::deallocate(nullptr);
}

TEST(ObjectArena, ReleasingTheReserveKeepsLiveObjectsIntact) {
  std::vector<Ref<Object>> objects = makeObjects(1000);
  { const std::vector<Ref<Object>> freed = makeObjects(kManyObjects); }
  ObjectArena::releaseReserve();
  EXPECT_EQ(objects[0]->description(), "value 0");
  EXPECT_EQ(objects[999]->description(), "999");
  // Chunks given back to the system are taken up again.
  const std::vector<Ref<Object>> more = makeObjects(kManyObjects);
  EXPECT_EQ(more[kManyObjects - 2]->description(), "value " + std::to_string(kManyObjects - 2));
}

TEST(ObjectArena, FreedChunksStayResidentUpToTheReserveLimit) {
  SKIP_WITHOUT_ARENA()
  constexpr std::size_t kDefaultLimit = std::size_t{8} << 20;
  constexpr std::size_t kEverything = SIZE_MAX;
  ObjectArena::releaseReserve();
  // Several chunks' worth of objects, freed at once.
  { const std::vector<Ref<Object>> freed = makeObjects(4 * kManyObjects); }
  const std::size_t keptByDefault = ObjectArena::reserveBytes();
  EXPECT_GT(keptByDefault, 0u);
  EXPECT_LE(keptByDefault, kDefaultLimit);
  ObjectArena::setReserveLimit(kEverything);
  { const std::vector<Ref<Object>> freed = makeObjects(4 * kManyObjects); }
  EXPECT_GT(ObjectArena::reserveBytes(), kDefaultLimit);
  ObjectArena::setReserveLimit(kDefaultLimit);
  ObjectArena::releaseReserve();
  EXPECT_EQ(ObjectArena::reserveBytes(), 0u);
}

}  // namespace
}  // namespace fnd
