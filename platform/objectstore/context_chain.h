#pragma once
// ChainLock: holds the locks of a context and of every ancestor, taken child
// first, the one order in which contexts ever lock each other.
#include <mutex>
#include <vector>

#include "platform/objectstore/managed_object_context.h"

namespace objectstore {

class ChainLock {
 public:
  explicit ChainLock(const ManagedObjectContext& context) {
    for (const ManagedObjectContext* current = &context; current; current = current->m_parent.get()) {
      m_locks.emplace_back(current->m_mutex);
      m_chain.push_back(current);
    }
  }
  // The context first, the root last.
  const std::vector<const ManagedObjectContext*>& chain() const noexcept { return m_chain; }

 private:
  std::vector<std::unique_lock<std::recursive_mutex>> m_locks;
  std::vector<const ManagedObjectContext*> m_chain;
};

}  // namespace objectstore
