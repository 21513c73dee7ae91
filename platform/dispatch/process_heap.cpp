#include "platform/dispatch/process_heap.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace dispatch {

void shareOneHeapAcrossThreads() {
#ifdef M_ARENA_MAX
  // Small allocations still come from each thread's own cache without a lock.
  constexpr int kOneArena = 1;
  mallopt(M_ARENA_MAX, kOneArena);
#endif
}

void releaseFreeHeapMemory() {
#if __has_include(<malloc.h>)
  malloc_trim(0);
#endif
}

}  // namespace dispatch
