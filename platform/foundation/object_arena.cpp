#include "platform/foundation/object_arena.h"

#include <sys/mman.h>

#include <atomic>
#include <mutex>
#include <new>
#include <vector>

// Address-sanitized builds keep every object on the heap, so that the
// sanitizer still sees each object's lifetime on its own.
#if defined(__SANITIZE_ADDRESS__)
#define RP_OBJECT_ARENA_ENABLED 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RP_OBJECT_ARENA_ENABLED 0
#endif
#endif
#ifndef RP_OBJECT_ARENA_ENABLED
#define RP_OBJECT_ARENA_ENABLED 1
#endif

namespace fnd {

namespace {

// One chunk is one huge page where the system offers them, so a chunk costs
// one page fault instead of hundreds.
constexpr std::size_t kChunkBytes = std::size_t{2} << 20;
// Address space reserved once for all chunks (untouched pages cost nothing).
constexpr std::size_t kRegionChunks = 8192;
// Free chunks kept resident for the next document unless set otherwise; the
// rest go back to the system.
constexpr std::size_t kDefaultReserveChunks = 4;
// Objects this large take a noticeable share of a chunk; the heap serves them.
constexpr std::size_t kLargestArenaObject = kChunkBytes / 16;
// The live count of a chunk starts this high while its thread still fills it,
// so that frees from other threads never see zero too early; the thread pays
// the bias back, less what it handed out, when it moves on.
constexpr std::int64_t kFillingBias = std::int64_t{1} << 40;

struct alignas(64) ChunkHeader {
  std::atomic<std::int64_t> live;
  std::uint32_t index;
};

class Region {
 public:
  static Region* shared() noexcept {
    // Never destroyed: objects may be freed during static destruction.
    static Region* const region = create();
    return region;
  }

  bool owns(const void* memory) const noexcept {
    return static_cast<std::size_t>(static_cast<const char*>(memory) - m_base) < kRegionChunks * kChunkBytes;
  }
  static ChunkHeader* chunkOf(void* memory) noexcept {
    return reinterpret_cast<ChunkHeader*>(reinterpret_cast<std::uintptr_t>(memory) & ~(kChunkBytes - 1));
  }

  // A chunk ready to fill, with its header set up; null when the region is exhausted.
  ChunkHeader* takeChunk() noexcept {
    std::uint32_t index;
    {
      const std::lock_guard lock(m_mutex);
      if (!m_resident.empty()) {
        index = m_resident.back();
        m_resident.pop_back();
      } else if (!m_returned.empty()) {
        index = m_returned.back();
        m_returned.pop_back();
      } else if (m_fresh < kRegionChunks) {
        index = m_fresh++;
      } else {
        return nullptr;
      }
    }
    m_chunksInUse.fetch_add(1, std::memory_order_relaxed);
    auto* header = new (m_base + index * kChunkBytes) ChunkHeader;
    header->live.store(kFillingBias, std::memory_order_relaxed);
    header->index = index;
    return header;
  }

  // Called once the last object of a chunk is gone and its thread has moved on.
  void recycle(ChunkHeader* header) noexcept {
    const std::uint32_t index = header->index;
    m_chunksInUse.fetch_sub(1, std::memory_order_relaxed);
    {
      const std::lock_guard lock(m_mutex);
      if (m_resident.size() < m_reserveChunks.load(std::memory_order_relaxed)) {
        m_resident.push_back(index);
        return;
      }
    }
    giveBack(index);
    const std::lock_guard lock(m_mutex);
    m_returned.push_back(index);
  }

  void releaseReserve() noexcept {
    std::vector<std::uint32_t> reserve;
    {
      const std::lock_guard lock(m_mutex);
      reserve.swap(m_resident);
    }
    for (const std::uint32_t index : reserve) giveBack(index);
    const std::lock_guard lock(m_mutex);
    m_returned.insert(m_returned.end(), reserve.begin(), reserve.end());
  }

  std::size_t bytesInUse() const noexcept { return m_chunksInUse.load(std::memory_order_relaxed) * kChunkBytes; }

  void setReserveLimit(std::size_t bytes) noexcept {
    m_reserveChunks.store(bytes / kChunkBytes, std::memory_order_relaxed);
  }
  std::size_t reserveBytes() noexcept {
    const std::lock_guard lock(m_mutex);
    return m_resident.size() * kChunkBytes;
  }

 private:
  explicit Region(char* base) : m_base(base) {
    // Both lists are filled under the lock by code that must not fail.
    m_resident.reserve(kRegionChunks);
    m_returned.reserve(kRegionChunks);
  }

  static Region* create() noexcept {
    if (!RP_OBJECT_ARENA_ENABLED) return nullptr;
    // One extra chunk's worth lets the region start on a chunk boundary, so
    // that an object's chunk is found by masking its address.
    const std::size_t bytes = (kRegionChunks + 1) * kChunkBytes;
    void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    const auto address = reinterpret_cast<std::uintptr_t>(mapped);
    auto* base = reinterpret_cast<char*>((address + kChunkBytes - 1) & ~(kChunkBytes - 1));
    madvise(base, kRegionChunks * kChunkBytes, MADV_HUGEPAGE);  // a hint; fine where refused
    try {
      return new Region(base);
    } catch (const std::bad_alloc&) {
      munmap(mapped, bytes);
      return nullptr;
    }
  }

  void giveBack(std::uint32_t index) noexcept { madvise(m_base + index * kChunkBytes, kChunkBytes, MADV_DONTNEED); }

  char* const m_base;
  std::atomic<std::size_t> m_chunksInUse{0};
  std::atomic<std::size_t> m_reserveChunks{kDefaultReserveChunks};
  std::mutex m_mutex;
  std::vector<std::uint32_t> m_resident;  // guarded by m_mutex: free chunks whose pages are kept
  std::vector<std::uint32_t> m_returned;  // guarded by m_mutex: free chunks whose pages went back
  std::uint32_t m_fresh = 0;              // guarded by m_mutex: chunks never used so far
};

}  // namespace

ObjectArena& ObjectArena::forThisThread() noexcept {
  thread_local ObjectArena arena;
  return arena;
}

ObjectArena::~ObjectArena() { retireChunk(); }

void* ObjectArena::allocateSlow(std::size_t bytes) {
  Region* region = Region::shared();
  if (!region || bytes > kLargestArenaObject) return ::operator new(bytes);
  retireChunk();
  ChunkHeader* header = region->takeChunk();
  if (!header) return ::operator new(bytes);
  m_chunk = header;
  m_next = reinterpret_cast<char*>(header + 1);
  m_end = reinterpret_cast<char*>(header) + kChunkBytes;
  void* memory = m_next;
  m_next += bytes;
  m_allocatedInChunk = 1;
  return memory;
}

void ObjectArena::retireChunk() noexcept {
  if (!m_chunk) return;
  auto* header = static_cast<ChunkHeader*>(m_chunk);
  const std::int64_t owed = kFillingBias - static_cast<std::int64_t>(m_allocatedInChunk);
  if (header->live.fetch_sub(owed, std::memory_order_acq_rel) == owed) Region::shared()->recycle(header);
  m_chunk = nullptr;
  m_next = m_end = nullptr;
  m_allocatedInChunk = 0;
}

void ObjectArena::deallocate(void* memory) noexcept {
  if (!memory) return;
  Region* region = Region::shared();
  if (!region || !region->owns(memory)) {
    ::operator delete(memory);
    return;
  }
  ChunkHeader* header = Region::chunkOf(memory);
  if (header->live.fetch_sub(1, std::memory_order_acq_rel) == 1) region->recycle(header);
}

std::size_t ObjectArena::bytesInUse() noexcept {
  const Region* region = Region::shared();
  return region ? region->bytesInUse() : 0;
}

void ObjectArena::releaseReserve() noexcept {
  if (Region* region = Region::shared()) region->releaseReserve();
}

void ObjectArena::setReserveLimit(std::size_t bytes) noexcept {
  if (Region* region = Region::shared()) region->setReserveLimit(bytes);
}

std::size_t ObjectArena::reserveBytes() noexcept {
  Region* region = Region::shared();
  return region ? region->reserveBytes() : 0;
}

bool ObjectArena::isAvailable() noexcept { return Region::shared() != nullptr; }

}  // namespace fnd
