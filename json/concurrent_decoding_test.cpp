// covers: json_decoder.cpp, value_cache.cpp
// The one-shot entry points may run on several threads at once (each makes
// its own decoder; the shared constants are reference-counted atomically), and
// an immutable decoded tree may be read from several threads at once.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>

#include "platform/dispatch/block_thread.h"
#include "tests/support/json/compact_json.h"
#include "tests/support/json/json_test_helpers.h"

namespace json {
namespace {

constexpr int kRounds = 200;

// Runs `block` on two threads at once and waits for both.
void runOnTwoThreads(const std::function<void()>& block) {
  dispatch::BlockThread first("json-first");
  dispatch::BlockThread second("json-second");
  first.async(block);
  second.async(block);
}  // each thread finishes its block before it ends
const char* const kDocument = R"({"list":[{"firm":"A","on":true,"n":null,"s":""},{"firm":"A","on":false,"x":-0}]})";

TEST(ConcurrentDecodingTest, OneShotDecodingOnSeveralThreads) {
  const auto data = fnd::Data::create(std::string(kDocument));
  const std::string expected = jsondecode::compactJson(*objectFromJSONData(data.get()));
  std::atomic<int> matches = 0;
  runOnTwoThreads([&] {
    for (int round = 0; round < kRounds; ++round) {
      const fnd::Ref<fnd::Object> tree =
          round % 2 ? objectFromJSONData(data.get()) : mutableObjectFromJSONData(data.get());
      if (tree && jsondecode::compactJson(*tree) == expected) ++matches;
    }
  });
  EXPECT_EQ(matches.load(), 2 * kRounds);
}

TEST(ConcurrentDecodingTest, ImmutableTreeIsReadFromSeveralThreads) {
  const fnd::Ref<fnd::Object> tree = test::decode(kDocument);
  ASSERT_TRUE(tree);
  const std::string expected = jsondecode::compactJson(*tree);
  std::atomic<int> matches = 0;
  runOnTwoThreads([&] {
    for (int round = 0; round < kRounds; ++round) {
      const auto& root = static_cast<const fnd::Dictionary&>(*tree);
      const fnd::Ref<fnd::Object> list(root.objectForKey("list"));
      if (list && jsondecode::compactJson(*tree) == expected) ++matches;
    }
  });
  EXPECT_EQ(matches.load(), 2 * kRounds);
}

TEST(ConcurrentDecodingTest, TreesOfOneDecoderAreReleasedOnAnotherThread) {
  // The decoder's cache shares its objects between successive trees, so the
  // references one parse adds meet the releases of earlier trees elsewhere.
  const std::string text = kDocument;
  const std::string expected = jsondecode::compactJson(*test::decode(text));
  std::atomic<int> matches = 0;
  {
    dispatch::BlockThread releaser("json-releaser");
    dispatch::BlockThread decoding("json-decoding");
    decoding.sync([&] {
      JSONDecoder decoder;
      for (int round = 0; round < kRounds; ++round) {
        fnd::Ref<fnd::Object> tree = decoder.objectWithUTF8String(text.data(), text.size());
        releaser.async([&matches, &expected, tree] {
          if (tree && jsondecode::compactJson(*tree) == expected) ++matches;
        });
      }
    });
  }  // the releaser finishes its blocks before it ends
  EXPECT_EQ(matches.load(), kRounds);
}

}  // namespace
}  // namespace json
