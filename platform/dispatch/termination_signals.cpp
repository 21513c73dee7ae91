#include "platform/dispatch/termination_signals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <cerrno>

namespace dispatch {

namespace {

constexpr std::array kTerminationSignals{SIGTERM, SIGINT, SIGHUP};

// The handler may only do what is safe inside a signal: it writes the signal
// to a socket, whose reading end the event loop watches.
int g_signalSocket[2] = {-1, -1};

void writeSignal(int signal) {
  const int savedErrno = errno;
  // The next such signal ends the process, should the quit itself hang.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigaction(signal, &fallback, nullptr);
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t written = write(g_signalSocket[0], &byte, 1);
  errno = savedErrno;
}

}  // namespace

void quitOnTerminationSignals() {
  auto* application = QCoreApplication::instance();
  if (!application || g_signalSocket[0] != -1) return;
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalSocket) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, application);
  QObject::connect(notifier, &QSocketNotifier::activated, application, [] {
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(g_signalSocket[1], &byte, 1);
    QCoreApplication::quit();
  });
  struct sigaction action {};
  action.sa_handler = writeSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kTerminationSignals) sigaction(signal, &action, nullptr);
}

}  // namespace dispatch
