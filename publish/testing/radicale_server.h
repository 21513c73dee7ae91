#pragma once
// Test support: a Radicale CardDAV server on loopback, with its own home,
// configuration and storage in a temporary folder, no authentication (any
// user name is taken as given) and one address book collection made at
// start. stop() or the destructor ends it. Main thread.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace publish::test {

class RadicaleServer {
 public:
  static constexpr const char* kUser = "tester";

  RadicaleServer();
  ~RadicaleServer();
  RadicaleServer(const RadicaleServer&) = delete;
  RadicaleServer& operator=(const RadicaleServer&) = delete;

  // False when the server could not be started; error() says why.
  bool isRunning() const { return m_running; }
  const QString& error() const { return m_error; }

  // The address book collection, ending in '/'.
  QString collectionUrl() const;
  void stop();

 private:
  bool start();
  bool makeAddressBook();

  QTemporaryDir m_root;
  QProcess m_process;
  quint16 m_port = 0;
  bool m_running = false;
  QString m_error;
};

}  // namespace publish::test
