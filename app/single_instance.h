#pragma once
// SingleInstance: makes this copy of the application the one writer of the
// user's number list and protection contact, or hands over to the copy that
// already is. Main thread only; lives as long as the application runs.

#include <QObject>
#include <QString>
#include <chrono>
#include <memory>

#include "platform/files/writer_lock.h"

class QLocalServer;

namespace app {

class SingleInstance : public QObject {
 public:
  // The lock file of the user's data; every program that writes the list or
  // the protection contact takes it first. A command without a window takes
  // it with a bounded wait and fails with a clear message when that passes.
  static QString lockPath();

  explicit SingleInstance(QObject* parent = nullptr);
  ~SingleInstance() override;

  // Takes the lock, waiting up to `wait`. When another copy holds it, asks
  // that copy to bring its window forward, tells the user on the standard
  // error and answers false: this copy must then exit without writing.
  bool claim(std::chrono::milliseconds wait = {});

 private:
  void listenForLaterCopies();
  static void bringWindowsForward();

  std::unique_ptr<files::WriterLock> m_lock;
  QLocalServer* m_server = nullptr;
};

}  // namespace app
