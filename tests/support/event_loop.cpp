#include "tests/support/event_loop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace rp::test {

namespace {
constexpr int kSliceMilliseconds = 5;
}

bool runEventLoopUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  QDeadlineTimer deadline(timeout);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, kSliceMilliseconds);
    QThread::msleep(1);
  }
  return true;
}

void runEventLoopFor(std::chrono::milliseconds duration) {
  runEventLoopUntil([] { return false; }, duration);
}

}  // namespace rp::test
