#include "publish/testing/radicale_server.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <chrono>

#include "platform/net/http_exchange.h"
#include "publish/testing/independent_reader.h"
#include "publish/testing/on_worker.h"
#include "tests/support/event_loop.h"

namespace publish::test {

namespace {

constexpr std::chrono::seconds kStartDeadline{20};
constexpr int kStopTimeoutMs = 10'000;

// A free loopback port: bound by the system, then let go for the server to take.
quint16 freePort() {
  QTcpServer probe;
  if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
  return probe.serverPort();
}

}  // namespace

RadicaleServer::RadicaleServer() { m_running = start() && makeAddressBook(); }

RadicaleServer::~RadicaleServer() { stop(); }

QString RadicaleServer::collectionUrl() const {
  return QStringLiteral("http://127.0.0.1:%1/%2/contacts/").arg(m_port).arg(QString::fromLatin1(kUser));
}

bool RadicaleServer::start() {
  m_port = freePort();
  const QString configPath = m_root.filePath(QStringLiteral("radicale.conf"));
  QFile config(configPath);
  if (!m_root.isValid() || m_port == 0 || !config.open(QIODevice::WriteOnly)) {
    m_error = QStringLiteral("no temporary folder or free port");
    return false;
  }
  config.write(QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n"
                              "[auth]\ntype = none\n"
                              "[storage]\nfilesystem_folder = %2\n"
                              "[logging]\nlevel = warning\n")
                   .arg(m_port)
                   .arg(m_root.filePath(QStringLiteral("collections")))
                   .toUtf8());
  config.close();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("HOME"), m_root.path());
  m_process.setProcessEnvironment(environment);
  m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  m_process.start(QString::fromLatin1(kSystemPython),
                  {QStringLiteral("-m"), QStringLiteral("radicale"), QStringLiteral("--config"), configPath});
  if (!m_process.waitForStarted()) {
    m_error = QStringLiteral("radicale did not start: ") + m_process.errorString();
    return false;
  }
  const bool listening = rp::test::runEventLoopUntil(
      [this] {
        if (m_process.state() != QProcess::Running) return true;
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        return socket.waitForConnected(100);
      },
      kStartDeadline);
  if (!listening || m_process.state() != QProcess::Running) {
    m_error = QStringLiteral("radicale is not listening on port %1").arg(m_port);
    return false;
  }
  return true;
}

bool RadicaleServer::makeAddressBook() {
  const QString url = collectionUrl();
  const QString failure = onWorker([url] {
    net::HttpRequest request;
    request.method = "MKCOL";
    request.url = url;
    request.user = QString::fromLatin1(kUser);
    request.headers = {{"Content-Type", "application/xml; charset=utf-8"}};
    request.body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
        "<mkcol xmlns=\"DAV:\" xmlns:CR=\"urn:ietf:params:xml:ns:carddav\"><set><prop>"
        "<resourcetype><collection/><CR:addressbook/></resourcetype>"
        "</prop></set></mkcol>";
    const net::HttpExchange exchange = net::exchange(request);
    if (!exchange.answer) return exchange.transportError;
    return exchange.answer->statusCode == 201 ? QString()
                                              : QStringLiteral("MKCOL: HTTP %1").arg(exchange.answer->statusCode);
  });
  if (!failure.isEmpty()) m_error = failure;
  return failure.isEmpty();
}

void RadicaleServer::stop() {
  if (m_process.state() == QProcess::NotRunning) return;
  m_process.terminate();
  if (!m_process.waitForFinished(kStopTimeoutMs)) {
    m_process.kill();
    m_process.waitForFinished(kStopTimeoutMs);
  }
  m_running = false;
}

}  // namespace publish::test
