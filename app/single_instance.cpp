#include "app/single_instance.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>
#include <cstdio>

#include "app/user_data_lock.h"

namespace app {

namespace {

constexpr int kHandOverMilliseconds = 1000;

// The channel on which a later copy asks the running one to come forward:
// named after the lock file, so copies that share the data share it.
QString handOverName() {
  const QByteArray digest = QCryptographicHash::hash(SingleInstance::lockPath().toUtf8(), QCryptographicHash::Sha1);
  return QCoreApplication::applicationName() + "-" + QString::fromLatin1(digest.toHex().left(16));
}

// Asks the running copy to bring its window forward; false when it does not answer.
bool askRunningCopyToComeForward() {
  QLocalSocket socket;
  socket.connectToServer(handOverName());
  if (!socket.waitForConnected(kHandOverMilliseconds)) return false;
  socket.write("forward\n");
  return socket.waitForBytesWritten(kHandOverMilliseconds);
}

}  // namespace

QString SingleInstance::lockPath() { return userDataLockPath(); }

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim(std::chrono::milliseconds wait) {
  std::optional<long> holder;
  m_lock = files::WriterLock::acquire(lockPath().toStdString(), wait, &holder);
  if (m_lock) {
    listenForLaterCopies();
    return true;
  }
  const QString who = holder ? QString(" (prosess %1)").arg(*holder) : QString();
  if (askRunningCopyToComeForward()) {
    std::fprintf(stderr, "Ringeplagvern kjører allerede%s; vinduet er hentet fram.\n", qPrintable(who));
  } else {
    std::fprintf(stderr, "Ringeplagvern kjører allerede%s, eller låsfilen %s kan ikke brukes.\n", qPrintable(who),
                 qPrintable(lockPath()));
  }
  return false;
}

void SingleInstance::listenForLaterCopies() {
  m_server = new QLocalServer(this);
  // Holding the lock, this copy owns the name: a channel left by a copy that
  // was killed is stale and goes.
  QLocalServer::removeServer(handOverName());
  m_server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!m_server->listen(handOverName())) return;  // later copies then only say that this one runs
  connect(m_server, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      bringWindowsForward();
    }
  });
}

void SingleInstance::bringWindowsForward() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible() && !window->isMinimized()) continue;
    window->showNormal();
    window->raise();
    window->activateWindow();
  }
}

}  // namespace app
