#pragma once
// A private address book file for one test: configures the service to use it
// for the life of the object.

#include <QTemporaryDir>

#include "platform/addressbook/configuration.h"
#include "platform/sqlite/transaction.h"

namespace ab::test {

class TestBookFile {
 public:
  explicit TestBookFile(Configuration configuration = {}) {
    configuration.filePath = m_directory.filePath("book.sqlite").toStdString();
    configuration.changePollInterval = std::chrono::milliseconds(20);
    setConfiguration(configuration);
    m_path = configuration.filePath;
  }
  ~TestBookFile() { setConfiguration(Configuration{}); }
  const std::string& path() const { return m_path; }

 private:
  QTemporaryDir m_directory;
  std::string m_path;
};

// Another program in the middle of a write: holds the file's write lock, so
// that saves wait out their busy timeout and fail, until it is destroyed.
class ForeignWriteLock {
 public:
  explicit ForeignWriteLock(const std::string& path) : m_database(sqlite::Database::open(path, {}, nullptr)) {
    if (m_database) m_write.emplace(*m_database, sqlite::Transaction::Lock::Exclusive);
  }
  bool held() const { return m_write && m_write->began(); }

 private:
  std::optional<sqlite::Database> m_database;
  std::optional<sqlite::Transaction> m_write;  // rolled back when the lock goes
};

}  // namespace ab::test
