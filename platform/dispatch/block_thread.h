#pragma once
// BlockThread: one worker thread that runs submitted blocks one at a time, in
// submission order, and fires timers between them. It serves both as a serial
// queue and as the address book's per-instance thread.
// Thread-safe: any thread may submit, schedule or cancel.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/dispatch/main_thread.h"

namespace dispatch {

class BlockThread {
 public:
  enum class Priority { Normal, Background };

  explicit BlockThread(std::string name, Priority priority = Priority::Normal);
  // Runs the blocks already submitted, then ends the thread. When the last
  // owner lets go from a block on the thread itself, the thread ends after it.
  ~BlockThread();
  BlockThread(const BlockThread&) = delete;
  BlockThread& operator=(const BlockThread&) = delete;

  const std::string& name() const noexcept;

  // Runs `block` on the thread. Waiting from the thread itself runs it inline;
  // not waiting queues it behind the current work. Returns false when the
  // block was dropped because the thread was cancelled.
  bool perform(Block block, bool waitUntilDone);
  void async(Block block) { perform(std::move(block), false); }
  bool sync(Block block) { return perform(std::move(block), true); }

  bool isCurrent() const noexcept;
  // The BlockThread the caller runs on, or null.
  static BlockThread* current() noexcept;

  using TimerId = std::uint64_t;
  // Fires `block` on the thread after `interval`, and every `interval` after
  // that when `repeats`.
  TimerId scheduleTimer(std::chrono::milliseconds interval, bool repeats, Block block);
  void invalidateTimer(TimerId timer);

  // Drops the blocks not yet started and every timer; the thread ends once the
  // current block returns. Waiting submitters are released (perform gives false).
  void cancel();
  bool isCancelled() const noexcept;

 private:
  struct State;
  std::shared_ptr<State> m_state;
};

using SerialQueue = BlockThread;

// Runs `block` on a serial queue of its own, made for this one block and gone
// once it has run.
void asyncOnNewSerialQueue(std::string label, Block block);

// The process-wide background-priority queue, for work nobody waits for.
BlockThread& backgroundQueue();

// The calling thread for messages: "queue \"name\"", "the main thread" or "thread <id>".
std::string currentThreadDescription();

}  // namespace dispatch
