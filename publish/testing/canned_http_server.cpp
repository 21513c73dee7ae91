#include "publish/testing/canned_http_server.h"

#include <QTcpSocket>

namespace publish::test {

CannedHttpServer::CannedHttpServer(int status) : m_status(status) {
  QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
      QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
  });
  m_server.listen(QHostAddress::LocalHost, 0);
}

QString CannedHttpServer::url() const { return QStringLiteral("http://127.0.0.1:%1/book/").arg(m_server.serverPort()); }

// Answers once the whole request (head and declared body) has arrived.
void CannedHttpServer::answer(QTcpSocket* socket) {
  const QByteArray received = socket->peek(socket->bytesAvailable());
  const qsizetype headEnd = received.indexOf("\r\n\r\n");
  if (headEnd < 0) return;
  qsizetype bodyLength = 0;
  for (const QByteArray& line : received.left(headEnd).split('\n'))
    if (line.toLower().startsWith("content-length:"))
      bodyLength = line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
  if (received.size() < headEnd + 4 + bodyLength) return;
  socket->read(headEnd + 4 + bodyLength);
  m_requestLines << received.left(received.indexOf("\r\n"));
  socket->write(
      QStringLiteral("HTTP/1.1 %1 Canned\r\nContent-Length: 0\r\nConnection: close\r\n\r\n").arg(m_status).toLatin1());
  socket->disconnectFromHost();
}

}  // namespace publish::test
