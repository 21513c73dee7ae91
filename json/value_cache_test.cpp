// The sharing the value cache produces under eviction pressure, checked
// against a plain model of its probing, aging and slot choice.

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "json/json_decoder.h"
#include "tests/support/json/json_test_helpers.h"

namespace {

// A value of the test document: its JSON text and its cache key (type code and stored bytes).
struct Value {
  std::string text;
  std::uint32_t type;
  std::string bytes;
};

constexpr std::uint32_t kSeed = 1402737925u;
constexpr std::uint32_t kString = 5, kSigned = 7, kUnsigned = 11, kDouble = 13;

std::uint32_t hashBytes(std::uint32_t hash, const std::string& bytes) {
  for (const char c : bytes) hash = (hash * 33u + static_cast<std::uint8_t>(c) - 29u) ^ (hash >> 19);
  return hash;
}

std::string storedBytes(std::uint64_t bits) {
  std::string bytes(8, '\0');
  for (int i = 0; i < 8; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>(bits >> (8 * i));
  return bytes;
}

std::uint32_t valueHash(const Value& value) {
  if (value.type == kString) return hashBytes(kSeed, value.bytes);
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | static_cast<std::uint8_t>(value.bytes[static_cast<std::size_t>(i)]);
  const std::uint32_t low = value.type == kDouble ? 0 : static_cast<std::uint32_t>(bits);
  return hashBytes(kSeed + value.type + low, value.bytes);
}

// The cache as the decoder is meant to run it; returns, per value, the
// number of the object it yields (equal numbers: one shared object).
std::vector<int> modelObjects(const std::vector<Value>& values) {
  constexpr std::uint32_t kMask = 1023;
  struct Slot {
    bool filled = false;
    std::uint32_t hash = 0;
    std::uint32_t type = 0;
    std::string bytes;
    int object = 0;
  };
  std::vector<Slot> slots(kMask + 1);
  std::array<std::uint8_t, kMask + 1> ages{};
  std::uint32_t lfsr = 1;
  const auto age = [&] {
    lfsr = (lfsr >> 1) ^ ((lfsr & 1u) ? 0x80200003u : 0u);
    ages[lfsr & kMask] >>= 1;
  };
  std::vector<int> objects;
  int made = 0;
  for (const Value& value : values) {
    const std::uint32_t hash = valueHash(value);
    const auto stride = static_cast<std::uint32_t>(value.bytes.size()) + value.type + 3u;
    int chosen = -1;
    int hit = -1;
    for (std::uint32_t probe = 0; probe < 4 && hit < 0; ++probe) {
      const auto slot = static_cast<int>((hash + stride * probe) & kMask);
      Slot& item = slots[static_cast<std::size_t>(slot)];
      if (!item.filled) {
        chosen = slot;
        break;
      }
      if (item.hash == hash && item.type == value.type && item.bytes == value.bytes) {
        hit = slot;
      } else if (chosen < 0) {
        if (ages[static_cast<std::size_t>(slot)] == 0) {
          chosen = slot;
        } else {
          ages[static_cast<std::size_t>(slot)] >>= 1;
          age();
          age();
        }
      }
    }
    if (hit >= 0) {
      objects.push_back(slots[static_cast<std::size_t>(hit)].object);
      continue;
    }
    objects.push_back(++made);
    if (chosen >= 0) {
      slots[static_cast<std::size_t>(chosen)] = {true, hash, value.type, value.bytes, made};
      ages[static_cast<std::size_t>(chosen)] = 0;
    }
  }
  return objects;
}

// Per position, the first position holding the same object: the sharing pattern.
template <class Id>
std::vector<std::size_t> sharingPattern(const std::vector<Id>& ids) {
  std::map<Id, std::size_t> first;
  std::vector<std::size_t> pattern;
  for (std::size_t i = 0; i < ids.size(); ++i) pattern.push_back(first.emplace(ids[i], i).first->second);
  return pattern;
}

// Values from a few thousand distinct strings and numbers of every type, the
// popular ones often: enough to fill the cache, collide and evict.
std::vector<Value> mixedValues(std::size_t count) {
  std::mt19937 random(20261209);
  std::geometric_distribution<int> pick(0.001);
  std::vector<Value> values;
  while (values.size() < count) {
    const int n = pick(random) % 4000;
    switch (n % 4) {
      case 0:
        values.push_back({"\"s" + std::to_string(n) + "\"", kString, "s" + std::to_string(n)});
        break;
      case 1:
        values.push_back({std::to_string(n), kUnsigned, storedBytes(static_cast<std::uint64_t>(n))});
        break;
      case 2:
        values.push_back({"-" + std::to_string(n), kSigned, storedBytes(static_cast<std::uint64_t>(-n))});
        break;
      default:
        values.push_back({std::to_string(n) + ".5", kDouble, storedBytes(std::bit_cast<std::uint64_t>(n + 0.5))});
    }
  }
  return values;
}

TEST(ValueCache, SharingUnderEvictionMatchesAPlainModelOfTheCache) {
  const std::vector<Value> values = mixedValues(30000);
  std::string text = "[";
  for (const Value& value : values) text += (text.size() > 1 ? "," : "") + value.text;
  text += "]";
  const fnd::Ref<fnd::Object> tree = json::test::decode(text);
  ASSERT_TRUE(tree);
  const auto& array = static_cast<const fnd::Array&>(*tree);
  ASSERT_EQ(array.count(), values.size());
  std::vector<const fnd::Object*> objects;
  for (std::size_t i = 0; i < array.count(); ++i) objects.push_back(array.objectAtIndex(i));

  const std::vector<std::size_t> expected = sharingPattern(modelObjects(values));
  const std::vector<std::size_t> actual = sharingPattern(objects);
  std::size_t shared = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    ASSERT_EQ(actual[i], expected[i]) << "value " << i << ": " << values[i].text;
    if (expected[i] != i) ++shared;
  }
  // Both outcomes are common, or the comparison would prove little.
  EXPECT_GT(shared, values.size() / 4);
  EXPECT_LT(shared, values.size() * 3 / 4);
}

}  // namespace
