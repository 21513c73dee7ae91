#include "platform/dispatch/block_thread.h"

#include "platform/dispatch/completion.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

namespace dispatch {

namespace {

using Clock = std::chrono::steady_clock;

thread_local BlockThread* currentThread = nullptr;

struct Task {
  Block block;
  std::shared_ptr<Completion> done;  // set when a submitter waits for the block
};

struct Timer {
  BlockThread::TimerId id;
  Clock::time_point due;
  std::chrono::milliseconds interval;
  bool repeats;
  Block block;
};

}  // namespace

struct BlockThread::State {
  std::string name;
  BlockThread* owner;  // guarded by mutex; null once the owner is gone
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<Task> tasks;     // guarded by mutex
  std::vector<Timer> timers;  // guarded by mutex
  TimerId nextTimerId = 1;    // guarded by mutex
  bool stopping = false;      // guarded by mutex: end after the queued tasks
  bool cancelled = false;     // guarded by mutex: end now, dropping the rest
  std::thread::id threadId;
  std::thread thread;

  void run(Priority priority);
  void dropPending(std::unique_lock<std::mutex>& lock);
};

// Here and in run(), every block is let go of before the lock is taken
// again: a block may hold the last owner of its own thread, whose destructor
// takes the lock.
void BlockThread::State::dropPending(std::unique_lock<std::mutex>& lock) {
  std::deque<Task> dropped;
  std::vector<Timer> droppedTimers;
  dropped.swap(tasks);
  droppedTimers.swap(timers);
  lock.unlock();
  for (Task& task : dropped)
    if (task.done) task.done->finish(false);
  dropped.clear();
  droppedTimers.clear();
  lock.lock();
}

void BlockThread::State::run(Priority priority) {
  if (priority == Priority::Background) {
    sched_param parameters{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &parameters);
  }
  std::unique_lock lock(mutex);
  currentThread = owner;
  for (;;) {
    if (cancelled) {
      dropPending(lock);
      return;
    }
    const Clock::time_point now = Clock::now();
    auto dueTimer =
        std::min_element(timers.begin(), timers.end(), [](const Timer& a, const Timer& b) { return a.due < b.due; });
    if (dueTimer != timers.end() && dueTimer->due <= now) {
      Block block;
      if (dueTimer->repeats) {
        block = dueTimer->block;
        dueTimer->due = now + dueTimer->interval;
      } else {
        block = std::move(dueTimer->block);
        timers.erase(dueTimer);
      }
      lock.unlock();
      block();
      block = nullptr;
      lock.lock();
      continue;
    }
    if (!tasks.empty()) {
      Task task = std::move(tasks.front());
      tasks.pop_front();
      lock.unlock();
      if (task.done) {
        task.done->run(task.block);
      } else {
        task.block();  // nobody waits to receive an exception: it ends the program loudly
      }
      task = {};
      lock.lock();
      continue;
    }
    if (stopping) return;
    if (dueTimer != timers.end()) {
      wake.wait_until(lock, dueTimer->due);
    } else {
      wake.wait(lock);
    }
  }
}

BlockThread::BlockThread(std::string name, Priority priority) : m_state(std::make_shared<State>()) {
  m_state->name = std::move(name);
  m_state->owner = this;
  std::lock_guard lock(m_state->mutex);  // publishes owner and name to the new thread
  m_state->thread = std::thread([state = m_state, priority] { state->run(priority); });
  m_state->threadId = m_state->thread.get_id();
}

BlockThread::~BlockThread() {
  {
    std::lock_guard lock(m_state->mutex);
    m_state->stopping = true;
    m_state->owner = nullptr;
  }
  m_state->wake.notify_all();
  if (isCurrent()) {
    currentThread = nullptr;
    m_state->thread.detach();  // the thread keeps its state alive and ends after this block
  } else {
    m_state->thread.join();
  }
}

const std::string& BlockThread::name() const noexcept { return m_state->name; }

bool BlockThread::perform(Block block, bool waitUntilDone) {
  if (waitUntilDone && isCurrent()) {
    block();
    return true;
  }
  // A local owner keeps the state alive even when the block, once queued,
  // destroys this BlockThread before the wake-up below.
  const std::shared_ptr<State> state = m_state;
  std::shared_ptr<Completion> done = waitUntilDone ? std::make_shared<Completion>() : nullptr;
  {
    std::lock_guard lock(state->mutex);
    if (state->cancelled) return false;
    state->tasks.push_back({std::move(block), done});
  }
  state->wake.notify_one();
  return waitUntilDone ? done->wait() : true;
}

bool BlockThread::isCurrent() const noexcept { return std::this_thread::get_id() == m_state->threadId; }

BlockThread* BlockThread::current() noexcept { return currentThread; }

BlockThread::TimerId BlockThread::scheduleTimer(std::chrono::milliseconds interval, bool repeats, Block block) {
  const std::shared_ptr<State> state = m_state;
  TimerId id;
  {
    std::lock_guard lock(state->mutex);
    id = state->nextTimerId++;
    state->timers.push_back({id, Clock::now() + interval, interval, repeats, std::move(block)});
  }
  state->wake.notify_one();
  return id;
}

void BlockThread::invalidateTimer(TimerId timer) {
  std::lock_guard lock(m_state->mutex);
  std::erase_if(m_state->timers, [timer](const Timer& t) { return t.id == timer; });
}

void BlockThread::cancel() {
  const std::shared_ptr<State> state = m_state;
  {
    std::lock_guard lock(state->mutex);
    state->cancelled = true;
  }
  state->wake.notify_all();
}

bool BlockThread::isCancelled() const noexcept {
  std::lock_guard lock(m_state->mutex);
  return m_state->cancelled;
}

void asyncOnNewSerialQueue(std::string label, Block block) {
  auto queue = std::make_shared<BlockThread>(std::move(label));
  // The block keeps its queue alive; the last owner lets go on the queue's own
  // thread, which then ends by itself.
  queue->async([queue, block = std::move(block)] { block(); });
}

BlockThread& backgroundQueue() {
  static auto* const queue = new BlockThread("background", BlockThread::Priority::Background);  // lives for the process
  return *queue;
}

std::string currentThreadDescription() {
  if (const BlockThread* thread = BlockThread::current()) return "queue \"" + thread->name() + "\"";
  if (isMainThread()) return "the main thread";
  std::ostringstream text;
  text << "thread " << std::this_thread::get_id();
  return text.str();
}

}  // namespace dispatch
