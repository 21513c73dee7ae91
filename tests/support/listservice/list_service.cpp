#include "tests/support/listservice/list_service.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

// A request head larger than this is refused; the service only answers GETs.
constexpr qsizetype kMaximumHeadBytes = 16 * 1024;
constexpr const char* kNotJsonBody = "<html><body><h1>Vedlikehold</h1><p>Prøv igjen senere.</p></body></html>";

QByteArray reasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    case 503:
      return "Service Unavailable";
    default:
      return "Status";
  }
}

}  // namespace

ListService::ListService(QObject* parent) : QObject(parent), m_server(new QTcpServer(this)) {
  connect(m_server, &QTcpServer::newConnection, this, [this] {
    while (QTcpSocket* socket = m_server->nextPendingConnection()) serve(socket);
  });
}

ListService::~ListService() = default;

bool ListService::listen(const QHostAddress& address, quint16 port) { return m_server->listen(address, port); }

quint16 ListService::port() const { return m_server->serverPort(); }

QString ListService::hostAndPort() const {
  return m_server->serverAddress().toString() + ':' + QString::number(m_server->serverPort());
}

void ListService::serve(QTcpSocket* socket) {
  connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
    const QByteArray head = socket->peek(kMaximumHeadBytes);
    if (!head.contains("\r\n\r\n")) {
      if (head.size() >= kMaximumHeadBytes) socket->abort();
      return;  // wait for the rest of the head
    }
    socket->disconnect(this);
    socket->readAll();
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QByteArray path = requestLine.size() >= 2 ? requestLine[1] : QByteArray("/");
    ++m_requestCount;
    if (m_faults.delay.count() > 0) {
      QTimer::singleShot(m_faults.delay, socket, [this, socket, path] { answer(socket, path); });
    } else {
      answer(socket, path);
    }
  });
}

void ListService::answer(QTcpSocket* socket, const QByteArray& path) {
  const bool isList = path == kPrimaryPath || path == kBackupPath;
  if (isList && m_faults.resetConnection) {
    emit requestLogged(QStringLiteral("GET %1 -> connection reset").arg(QString::fromLatin1(path)));
    socket->abort();
    return;
  }
  const int status = isList ? m_faults.status : 404;
  QByteArray body = !isList ? QByteArray("Not Found") : m_faults.notJson ? QByteArray(kNotJsonBody) : m_body;
  const qsizetype promised = body.size();
  if (isList && m_faults.truncateBody) body.truncate(body.size() / 2);

  QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
  response += "Content-Type: application/json; charset=utf-8\r\n";
  response += "Content-Length: " + QByteArray::number(promised) + "\r\n";
  response += "Connection: close\r\n\r\n";
  socket->write(response + body);
  emit requestLogged(QStringLiteral("GET %1 -> %2 (%3 bytes%4)")
                         .arg(QString::fromLatin1(path))
                         .arg(status)
                         .arg(body.size())
                         .arg(body.size() < promised ? QStringLiteral(", truncated") : QString()));
  socket->disconnectFromHost();
}
