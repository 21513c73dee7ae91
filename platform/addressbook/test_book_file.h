#pragma once
// A private address book file for one test: configures the service to use it
// for the life of the object.

#include <QTemporaryDir>

#include "platform/addressbook/configuration.h"

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

}  // namespace ab::test
