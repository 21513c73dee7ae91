#pragma once
// TemporaryHome: points the per-user locations (configuration, data, cache,
// documents) at a fresh directory for the life of the object, and selects the
// offscreen window platform unless another is chosen.

#include <QString>
#include <QTemporaryDir>
#include <string>
#include <utility>
#include <vector>

namespace rp::test {

class TemporaryHome {
 public:
  TemporaryHome();
  std::string path() const { return m_directory.path().toStdString(); }

 private:
  QTemporaryDir m_directory;
};

// The per-user location variables (HOME, XDG_CONFIG_HOME, ...) and the folder
// each points at inside a home rooted at `root`.
std::vector<std::pair<QString, QString>> homeLocationsUnder(const QString& root);

// The shared test data folder (JSON conformance cases, benchmark documents):
// $RP_SHARED_DATA, else ../shared/data beside the repository; an empty string
// when it is not there, so that a test can skip with a clear message.
std::string sharedDataPath();

}  // namespace rp::test
