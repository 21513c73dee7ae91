#pragma once
// ListService: a small HTTP/1.1 server that answers the number list's two
// paths with a given body on a loopback address, with switchable faults for
// tests. Other paths answer 404. Runs on the thread that owns it (its event loop).

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <chrono>

class QTcpServer;
class QTcpSocket;

class ListService : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kPrimaryPath = "/uke_alle/terrorliste.json";
  static constexpr const char* kBackupPath = "/iPhoneApp/ringeplagvern/updateData.php";

  struct Faults {
    int status = 200;                    // the status of every list answer
    std::chrono::milliseconds delay{0};  // wait before answering
    bool resetConnection = false;        // close without an answer
    bool truncateBody = false;           // promise the whole body, send half, close
    bool notJson = false;                // answer an HTML page instead of the list
  };

  explicit ListService(QObject* parent = nullptr);
  ~ListService() override;

  bool listen(const QHostAddress& address = QHostAddress::LocalHost, quint16 port = 0);
  quint16 port() const;
  // "127.0.0.1:port", as the application's host configuration takes it.
  QString hostAndPort() const;

  void setBody(QByteArray body) { m_body = std::move(body); }
  void setFaults(const Faults& faults) { m_faults = faults; }
  int requestCount() const { return m_requestCount; }

 signals:
  // One line per request, e.g. "GET /uke_alle/terrorliste.json -> 200 (1234 bytes)".
  void requestLogged(const QString& line);

 private:
  void serve(QTcpSocket* socket);
  void answer(QTcpSocket* socket, const QByteArray& path);

  QTcpServer* m_server;
  QByteArray m_body;
  Faults m_faults;
  int m_requestCount = 0;
};
