#include "platform/dispatch/main_thread.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <future>
#include <thread>

namespace dispatch {

namespace {

// The thread that ran static initialisation is the process's first thread,
// which is where the application object is created.
const std::thread::id processMainThread = std::this_thread::get_id();

}  // namespace

bool isMainThread() {
  if (const QCoreApplication* application = QCoreApplication::instance())
    return application->thread() == QThread::currentThread();
  return std::this_thread::get_id() == processMainThread;
}

void asyncMain(Block block) {
  QCoreApplication* application = QCoreApplication::instance();
  if (!application) {
    // No event loop to hand over to (a tool without an application object):
    // running now is the only way the work is not lost.
    block();
    return;
  }
  QMetaObject::invokeMethod(application, std::move(block), Qt::QueuedConnection);
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
  std::promise<void> done;
  std::future<void> finished = done.get_future();
  asyncMain([&block, &done] {
    try {
      block();
      done.set_value();
    } catch (...) {
      done.set_exception(std::current_exception());
    }
  });
  finished.get();  // rethrows what the block threw, on the caller's thread
}

void performAfterDelay(std::chrono::milliseconds delay, Block block) {
  asyncMain([delay, block = std::move(block)]() mutable {
    QTimer::singleShot(delay, QCoreApplication::instance(), std::move(block));
  });
}

}  // namespace dispatch
