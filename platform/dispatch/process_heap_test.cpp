#include "platform/dispatch/process_heap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "tests/support/peak_memory.h"

namespace {

TEST(ProcessHeap, MemoryFreedAfterABurstLeavesTheProcess) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers keep a heap of their own";
#else
  // About 100 MB in blocks the size of a record's values, as a large list makes.
  constexpr std::size_t kBlocks = 200'000;
  constexpr std::size_t kBlockBytes = 512;
  constexpr std::uint64_t kMostlyGone = 50u << 20;
  std::vector<std::unique_ptr<char[]> > blocks(kBlocks);
  for (auto& block : blocks) {
    block = std::make_unique<char[]>(kBlockBytes);
    std::memset(block.get(), 1, kBlockBytes);
  }
  // The last block keeps the heap's top in use, so nothing shrinks by itself.
  for (std::size_t i = 0; i + 1 < kBlocks; ++i) blocks[i].reset();
  const std::optional<std::uint64_t> before = rp::test::residentBytes();
  ASSERT_TRUE(before.has_value());
  dispatch::giveFreeMemoryBack();
  const std::optional<std::uint64_t> after = rp::test::residentBytes();
  ASSERT_TRUE(after.has_value());
  EXPECT_LT(*after + kMostlyGone, *before);
#endif
}

}  // namespace
