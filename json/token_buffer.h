#pragma once
// TokenBuffer: where the decoded bytes of a string with escapes collect.
// Starts on a fixed inline block and moves to the heap only for long strings;
// reset() returns it to the inline block. Used by one thread at a time.

#include <array>
#include <cstddef>
#include <cstdint>

namespace json {

class TokenBuffer {
 public:
  TokenBuffer() = default;
  TokenBuffer(const TokenBuffer&) = delete;
  TokenBuffer& operator=(const TokenBuffer&) = delete;
  ~TokenBuffer() { reset(); }

  // Empties the buffer and frees any heap block.
  void reset() noexcept;
  // Makes sure that at least a few code points' worth of bytes fit after `used`
  // (including `extra` more); false when memory ran out.
  bool makeRoom(std::size_t used, std::size_t extra = 0) noexcept;
  std::uint8_t* data() noexcept { return m_data; }

  static constexpr std::size_t kInlineSize = 2048;

 private:
  std::array<std::uint8_t, kInlineSize> m_inline{};
  std::uint8_t* m_data = m_inline.data();
  std::size_t m_capacity = kInlineSize;
};

}  // namespace json
