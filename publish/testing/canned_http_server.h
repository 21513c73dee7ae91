#pragma once
// Test support: a loopback HTTP server on the main thread's event loop that
// answers every request with one fixed status and an empty body, and
// remembers the requests' first lines. For servers that refuse (401, 507).

#include <QByteArrayList>
#include <QString>
#include <QTcpServer>

namespace publish::test {

class CannedHttpServer {
 public:
  explicit CannedHttpServer(int status);
  QString url() const;
  // "PUT /book/card.vcf HTTP/1.1", ... in the order they arrived.
  const QByteArrayList& requestLines() const { return m_requestLines; }

 private:
  void answer(QTcpSocket* socket);

  int m_status;
  QTcpServer m_server;
  QByteArrayList m_requestLines;
};

}  // namespace publish::test
