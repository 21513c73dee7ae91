#pragma once
// ObjectArena: fast memory for the many small objects one thread makes in bulk
// (a decoded document's strings, numbers and containers). Allocation bumps a
// pointer in a large chunk that belongs to the calling thread; a chunk goes
// back to a small reserve, and past that to the system, once every object in
// it has been freed. Allocate only through the calling thread's arena; free
// from any thread.

#include <cstddef>
#include <cstdint>

namespace fnd {

class ObjectArena {
 public:
  // The calling thread's arena; it lives until the thread ends.
  static ObjectArena& forThisThread() noexcept;

  // Memory for one object of `bytes`, aligned for any object made of
  // pointers, integers and doubles. Comes from the heap (::operator new) when
  // the arena cannot serve it, so deallocate() is always the way to free it.
  void* allocate(std::size_t bytes) {
    bytes = (bytes + kAlignment - 1) & ~(kAlignment - 1);
    if (static_cast<std::size_t>(m_end - m_next) < bytes) return allocateSlow(bytes);
    void* memory = m_next;
    m_next += bytes;
    ++m_allocatedInChunk;
    return memory;
  }
  // Frees memory from allocate() or from ::operator new, from any thread.
  static void deallocate(void* memory) noexcept;

  // Chunks handed out and not yet returned, in bytes (measurements and tests).
  static std::size_t bytesInUse() noexcept;
  // Gives the reserve of free chunks back to the system, like malloc_trim.
  static void releaseReserve() noexcept;
  // Free chunks stay resident for the next bulk allocation up to this many
  // bytes (8 MB unless set); beyond it they go back to the system at once,
  // like the heap's trim threshold. Affects chunks freed from then on.
  static void setReserveLimit(std::size_t bytes) noexcept;
  // Bytes of free chunks kept resident (measurements and tests).
  static std::size_t reserveBytes() noexcept;
  // False where the arena is switched off (address-sanitized builds, or no
  // address space could be reserved): allocate() then always uses the heap.
  static bool isAvailable() noexcept;

  ObjectArena(const ObjectArena&) = delete;
  ObjectArena& operator=(const ObjectArena&) = delete;

 private:
  static constexpr std::size_t kAlignment = alignof(std::uint64_t);
  ObjectArena() = default;
  ~ObjectArena();
  void* allocateSlow(std::size_t bytes);
  void retireChunk() noexcept;

  char* m_next = nullptr;
  char* m_end = nullptr;
  void* m_chunk = nullptr;             // the chunk being filled, or none
  std::size_t m_allocatedInChunk = 0;  // objects handed out from it
};

}  // namespace fnd
