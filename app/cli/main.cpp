// ringeplagvern-cli: the protection cycle without a window, for terminals,
// scripts and timers. Same settings, list, address book and lock as the
// application.
#include <unistd.h>

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/bundle_info.h"
#include "app/cli/command_line.h"
#include "app/cli/command_session.h"
#include "app/constants.h"
#include "app/localizable.h"
#include "app/protection_publishing.h"
#include "app/user_data_lock.h"
#include "platform/dispatch/process_heap.h"
#include "platform/dispatch/termination_signals.h"
#include "platform/files/writer_lock.h"
#include "platform/foundation/localization.h"

namespace {

// How long a writing command waits for another writer to let go: a second
// command that is just finishing, not the application, which holds it while it runs.
constexpr std::chrono::seconds kLockWait{3};

std::unique_ptr<files::WriterLock> takeWriterLock() {
  std::optional<long> holder;
  std::unique_ptr<files::WriterLock> lock =
      files::WriterLock::acquire(app::userDataLockPath().toStdString(), kLockWait, &holder);
  if (lock) return lock;
  const QString who = holder ? QString::number(*holder) : Localizable::tr("ukjent");
  std::fprintf(
      stderr, "%s\n",
      qPrintable(app::fillFormat(Localizable::tr("Ringeplagvern skriver allerede i listen og kontakten (prosess "
                                                 "%@); avslutt programmet og prøv igjen. Låsfil: %@"),
                                 {who, app::userDataLockPath()})));
  return nullptr;
}

// Runs the command inside the application's event loop, so that a
// termination signal can end the waits; an interrupted command ends the
// process at once, since the work it waited for may still be running.
ExitCode run(const Invocation& invocation) {
  QTextStream out(stdout);
  CommandSession session(out, ::isatty(STDOUT_FILENO) == 1);
  session.setPublishConfig(invocation.publishing);
  std::optional<ExitCode> result;
  QTimer::singleShot(0, [&] {
    result = invocation.action(session);
    QCoreApplication::exit();
  });
  QCoreApplication::exec();
  if (!result || session.wasInterrupted()) {
    session.terminal().printLine(Localizable::tr("Avbrutt"));
    std::fflush(nullptr);
    std::_Exit(static_cast<int>(ExitCode::Failed));
  }
  return *result;
}

}  // namespace

int main(int argc, char** argv) {
  dispatch::shareOneHeapAcrossThreads();
  QCoreApplication application(argc, argv);
  // The application's name: its settings, number list and lock are this program's too.
  QCoreApplication::setApplicationName(QString::fromUtf8(app::ProductName.data(), app::ProductName.size()));
  QCoreApplication::setApplicationVersion(app::BundleInfo::main().shortVersion);
  fnd::installTranslations();

  const std::variant<Invocation, ExitCode> parsed = invocationFromCommandLine(QCoreApplication::arguments());
  if (const ExitCode* code = std::get_if<ExitCode>(&parsed)) return static_cast<int>(*code);
  const Invocation& invocation = std::get<Invocation>(parsed);
  app::setActiveListServiceConfig(invocation.config);
  // The cycle mirrors every save and removal to the places configured, as the application's does.
  app::setActivePublishConfig(invocation.publishing);

  std::unique_ptr<files::WriterLock> lock;
  if (invocation.command->writesUserData) {
    lock = takeWriterLock();
    if (!lock) return static_cast<int>(ExitCode::Failed);
  }
  dispatch::quitOnTerminationSignals();
  return static_cast<int>(run(invocation));
}
