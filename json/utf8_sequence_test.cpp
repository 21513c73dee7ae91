#include "json/utf8_sequence.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

// Every byte value at which a lead or continuation range begins or ends, and a few beyond.
constexpr std::array<std::uint8_t, 12> kFollowingBytes = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90,
                                                          0x9F, 0xA0, 0xBF, 0xC0, 0xE0, 0xFF};

// The length the full check gives a well-formed, allowed sequence; 0 otherwise.
std::size_t fullCheckLength(const std::uint8_t* bytes, const std::uint8_t* end) {
  const json::Utf8Sequence sequence = json::checkUtf8Sequence(bytes, end);
  return sequence.status == json::Utf8Status::WellFormed ? sequence.length : 0;
}

TEST(Utf8Sequence, QuickLengthAgreesWithTheFullCheckForEveryLeadByteAndEveryEnd) {
  std::size_t accepted = 0;
  std::size_t refused = 0;
  for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
    for (const std::uint8_t second : kFollowingBytes) {
      for (const std::uint8_t third : kFollowingBytes) {
        for (const std::uint8_t fourth : kFollowingBytes) {
          const std::array<std::uint8_t, 4> bytes = {static_cast<std::uint8_t>(lead), second, third, fourth};
          for (std::size_t available = 1; available <= bytes.size(); ++available) {
            const std::uint8_t* end = bytes.data() + available;
            const std::size_t expected = fullCheckLength(bytes.data(), end);
            ASSERT_EQ(json::wellFormedLength(bytes.data(), end), expected)
                << std::hex << lead << " " << +second << " " << +third << " " << +fourth << ", " << available
                << " bytes";
            ++(expected ? accepted : refused);
          }
        }
      }
    }
  }
  EXPECT_GT(accepted, 0u);
  EXPECT_GT(refused, 0u);
}

TEST(Utf8Sequence, ForbiddenCodePointsAmongThreeByteFormsAreRefused) {
  const std::uint8_t surrogate[] = {0xED, 0xA0, 0x80};     // U+D800
  const std::uint8_t noncharacter[] = {0xEF, 0xB7, 0x90};  // U+FDD0
  const std::uint8_t lastOfPlane[] = {0xEF, 0xBF, 0xBF};   // U+FFFF
  const std::uint8_t privateUse[] = {0xEE, 0x80, 0x80};    // U+E000, allowed
  const std::uint8_t overlong[] = {0xE0, 0x80, 0xAF};      // "/" written long
  EXPECT_EQ(json::wellFormedLength(surrogate, surrogate + 3), 0u);
  EXPECT_EQ(json::wellFormedLength(noncharacter, noncharacter + 3), 0u);
  EXPECT_EQ(json::wellFormedLength(lastOfPlane, lastOfPlane + 3), 0u);
  EXPECT_EQ(json::wellFormedLength(privateUse, privateUse + 3), 3u);
  EXPECT_EQ(json::wellFormedLength(overlong, overlong + 3), 0u);
}

}  // namespace
