#pragma once
// A private address book file for one test: configures the service to use it
// for the life of the object.

#include <QTemporaryDir>

#include "platform/addressbook/configuration.h"
#include "platform/addressbook/sqlite_database.h"

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
  explicit ForeignWriteLock(const std::string& path)
      : m_database(SqliteDatabase::open(path, std::chrono::milliseconds(0), nullptr)) {
    m_held = m_database && m_database->execute("BEGIN EXCLUSIVE");
  }
  ~ForeignWriteLock() {
    if (m_held) m_database->execute("ROLLBACK");
  }
  ForeignWriteLock(const ForeignWriteLock&) = delete;
  ForeignWriteLock& operator=(const ForeignWriteLock&) = delete;
  bool held() const { return m_held; }

 private:
  std::optional<SqliteDatabase> m_database;
  bool m_held = false;
};

}  // namespace ab::test
