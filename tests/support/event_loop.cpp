#include "tests/support/event_loop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

namespace rp::test {

namespace {
constexpr int kSliceMilliseconds = 5;
}

bool runEventLoopUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  QDeadlineTimer deadline(timeout);
  // Sleeps in the event loop until work arrives, as the application does, so
  // a hand-over to the main thread is served at once; the timer makes sure
  // the condition and the deadline are looked at every slice.
  QTimer slice;
  slice.start(kSliceMilliseconds);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

void runEventLoopFor(std::chrono::milliseconds duration) {
  runEventLoopUntil([] { return false; }, duration);
}

}  // namespace rp::test
