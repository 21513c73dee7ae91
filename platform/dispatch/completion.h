#pragma once
// Completion: how a submitter waits for a block another thread runs. The
// runner reports whether the block ran and hands back what it threw; the
// waiter rethrows it. Built on a mutex and a condition variable so that
// thread checkers see the hand-over.

#include <condition_variable>
#include <exception>
#include <mutex>

#include "platform/dispatch/main_thread.h"

namespace dispatch {

class Completion {
 public:
  // Runs `block` on the caller's thread and reports its end.
  void run(const Block& block) {
    std::exception_ptr thrown;
    try {
      block();
    } catch (...) {
      thrown = std::current_exception();
    }
    finish(true, thrown);
  }

  void finish(bool ran, std::exception_ptr thrown = nullptr) {
    {
      std::lock_guard lock(m_mutex);
      m_finished = true;
      m_ran = ran;
      m_thrown = thrown;
    }
    m_condition.notify_all();
  }

  // Blocks until finish(); rethrows what the block threw; returns whether it ran.
  bool wait() {
    std::unique_lock lock(m_mutex);
    m_condition.wait(lock, [this] { return m_finished; });
    if (m_thrown) std::rethrow_exception(m_thrown);
    return m_ran;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_condition;
  bool m_finished = false;      // guarded by m_mutex
  bool m_ran = false;           // guarded by m_mutex
  std::exception_ptr m_thrown;  // guarded by m_mutex
};

}  // namespace dispatch
