#include "platform/dispatch/main_thread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <QTimer>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/dispatch/completion.h"

namespace dispatch {

namespace {

// The thread that ran static initialisation is the process's first thread,
// which is where the application object is created.
const std::thread::id processMainThread = std::this_thread::get_id();

// Blocks for the main thread wait in a queue of our own, guarded by our own
// mutex; Qt only carries a wake-up event. Every hand-over is thus ordered by
// a lock that thread checkers can see, and blocks run in submission order.
class MainQueue final : public QObject {
 public:
  static MainQueue& instance() {
    static auto* const queue = [] {
      auto* created = new MainQueue;  // lives for the process
      created->moveToThread(QCoreApplication::instance()->thread());
      return created;
    }();
    return *queue;
  }

  void post(Block block) {
    bool wake = false;
    {
      std::lock_guard lock(m_mutex);
      m_blocks.push_back(std::move(block));
      wake = !m_wakePending;
      m_wakePending = true;
    }
    if (wake) QCoreApplication::postEvent(this, new QEvent(QEvent::User));
  }

 protected:
  // Only wake-up events are posted here, so the event itself is never read.
  void customEvent(QEvent*) override {
    std::deque<Block> due;
    {
      std::lock_guard lock(m_mutex);
      due.swap(m_blocks);
      m_wakePending = false;
    }
    for (Block& block : due) block();
  }

 private:
  std::mutex m_mutex;
  std::deque<Block> m_blocks;  // guarded by m_mutex
  bool m_wakePending = false;  // guarded by m_mutex
};

// Made on the main thread as the application object is created, so that the
// first hand-over from a worker finds the queue ready.
void createMainQueue() { MainQueue::instance(); }
Q_COREAPP_STARTUP_FUNCTION(createMainQueue)

}  // namespace

bool isMainThread() {
  if (const QCoreApplication* application = QCoreApplication::instance())
    return application->thread() == QThread::currentThread();
  return std::this_thread::get_id() == processMainThread;
}

void asyncMain(Block block) {
  if (!QCoreApplication::instance()) {
    // No event loop to hand over to (a tool without an application object):
    // running now is the only way the work is not lost.
    block();
    return;
  }
  MainQueue::instance().post(std::move(block));
}

void performOnMainThread(Block block, bool waitUntilDone) {
  if (!waitUntilDone) {
    asyncMain(std::move(block));
    return;
  }
  if (isMainThread() || !QCoreApplication::instance()) {
    block();
    return;
  }
  auto done = std::make_shared<Completion>();
  asyncMain([&block, done] { done->run(block); });
  done->wait();  // rethrows what the block threw, on the caller's thread
}

void performAfterDelay(std::chrono::milliseconds delay, Block block) {
  asyncMain([delay, block = std::move(block)]() mutable {
    QTimer::singleShot(delay, QCoreApplication::instance(), std::move(block));
  });
}

}  // namespace dispatch
