#include "json/token_buffer.h"

#include <cstdlib>
#include <cstring>

namespace json {

namespace {

// A code point needs at most 4 bytes; keeping more spare than that lets the
// scanner check for room once per step instead of once per byte written.
constexpr std::size_t kMinimumSpare = 16;
constexpr std::size_t kGrowthStep = 1024;
constexpr std::size_t kHeapGranule = 4096;

}  // namespace

void TokenBuffer::reset() noexcept {
  if (m_data != m_inline.data()) std::free(m_data);
  m_data = m_inline.data();
  m_capacity = kInlineSize;
}

bool TokenBuffer::makeRoom(std::size_t used, std::size_t extra) noexcept {
  if (m_capacity - used >= kMinimumSpare + extra) return true;
  const std::size_t wanted = used + extra + kGrowthStep;
  const std::size_t capacity = (wanted + kHeapGranule - 1) / kHeapGranule * kHeapGranule;
  std::uint8_t* grown = nullptr;
  if (m_data == m_inline.data()) {
    grown = static_cast<std::uint8_t*>(std::malloc(capacity));
    if (grown) std::memcpy(grown, m_data, used);
  } else {
    grown = static_cast<std::uint8_t*>(std::realloc(m_data, capacity));
  }
  if (!grown) return false;
  m_data = grown;
  m_capacity = capacity;
  return true;
}

}  // namespace json
