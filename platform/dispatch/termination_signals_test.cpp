#include "platform/dispatch/termination_signals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cstring>

namespace {

using namespace std::chrono_literals;

constexpr int kQuitByDeadline = 1;

// Runs the event loop, sends `signal` to this process from inside it, and
// answers the loop's exit code; the deadline's code when the loop went on.
int exitCodeAfterSignal(int signal) {
  QTimer::singleShot(0, [signal] { ::kill(::getpid(), signal); });
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(kQuitByDeadline); });
  deadline.start(10s);
  return QCoreApplication::exec();
}

// Runs first: it needs a process whose handlers were not used yet.
TEST(TerminationSignals, ASecondSignalEndsTheProcessAtOnce) {
  // A quit that hangs must not keep the process alive against the user's wish.
  int survived[2];
  ASSERT_EQ(pipe(survived), 0);
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    dispatch::quitOnTerminationSignals();
    ::kill(::getpid(), SIGTERM);  // handled: a quit is queued
    const char alive = 1;
    if (write(survived[1], &alive, 1) != 1) _exit(2);
    ::kill(::getpid(), SIGTERM);  // not handled any more
    _exit(0);
  }
  close(survived[1]);
  char alive = 0;
  EXPECT_EQ(read(survived[0], &alive, 1), 1) << "the first signal ended the process";
  close(survived[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

TEST(TerminationSignals, EachSignalEndsTheEventLoopThroughTheNormalQuit) {
  int quits = 0;
  QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [&quits] { ++quits; });
  dispatch::quitOnTerminationSignals();
  dispatch::quitOnTerminationSignals();  // a second call installs nothing more
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    EXPECT_EQ(exitCodeAfterSignal(signal), 0) << strsignal(signal);
  }
  EXPECT_EQ(quits, 3);
}

}  // namespace
