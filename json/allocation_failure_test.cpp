// covers: json_decoder.cpp, parser.cpp, object_stack.cpp
// A parse that running out of memory cuts short (the allocation throws) must
// leave every reference count right: what the decoder has handed out by then
// is still counted, and the decoder stays usable. Memory is made to run out
// by replacing the global allocation functions of this test program.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "json/json_decoder.h"
#include "platform/foundation/containers.h"
#include "platform/foundation/null.h"
#include "platform/foundation/number.h"
#include "tests/support/json/compact_json.h"

namespace {

// Allocations still allowed before the next one fails; negative: no limit.
thread_local int g_allocationsBeforeFailure = -1;

}  // namespace

void* operator new(std::size_t size) {
  if (g_allocationsBeforeFailure == 0) {
    g_allocationsBeforeFailure = -1;
    throw std::bad_alloc();
  }
  if (g_allocationsBeforeFailure > 0) --g_allocationsBeforeFailure;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace json {
namespace {

fnd::Ref<fnd::Object> decodeWith(JSONDecoder& decoder, const std::string& text) {
  return decoder.objectWithUTF8String(text.data(), text.size());
}

TEST(AllocationFailureTest, ACutShortParseKeepsEveryCountRight) {
  // Every document fails, and recording its error needs memory.
  const std::string failing = R"([true,null,false,"s",{"k":"s"},"s", x])";
  const std::string probe = R"(["s",true])";
  const fnd::Object* constants[] = {fnd::Number::yes(), fnd::Number::no(), fnd::Null::null()};
  std::uint32_t before[3];
  for (int i = 0; i < 3; ++i) before[i] = constants[i]->retainCount();
  {
    JSONDecoder decoder;
    ASSERT_EQ(jsondecode::compactJson(*decodeWith(decoder, probe)), R"(["s",true])");
    constexpr int kAttempts = 40;
    int failuresInjected = 0;
    for (int allowed = 0; allowed < kAttempts; ++allowed) {
      g_allocationsBeforeFailure = allowed;
      try {
        EXPECT_FALSE(decodeWith(decoder, failing));
      } catch (const std::bad_alloc&) {
      }
      // The failing allocation sets the count to -1; otherwise the parse needed fewer.
      failuresInjected += g_allocationsBeforeFailure == -1;
      g_allocationsBeforeFailure = -1;
      // The next parse first releases what the cut-short one left behind.
      const fnd::Ref<fnd::Object> tree = decodeWith(decoder, probe);
      ASSERT_TRUE(tree);
      EXPECT_EQ(jsondecode::compactJson(*tree), R"(["s",true])") << allowed;
      // The probe's array and the decoder's cache hold the one "s".
      EXPECT_EQ(static_cast<const fnd::Array&>(*tree).objectAtIndex(0)->retainCount(), 2u) << allowed;
    }
    // Some allocations failed, and the last attempts had allowances the parse
    // never used up: every allocation it makes was made to fail once.
    EXPECT_GT(failuresInjected, 0);
    EXPECT_LT(failuresInjected, kAttempts);
  }
  for (int i = 0; i < 3; ++i) EXPECT_EQ(constants[i]->retainCount(), before[i]) << i;
}

}  // namespace
}  // namespace json
