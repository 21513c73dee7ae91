#include "platform/addressbook/configuration.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <mutex>

namespace ab {

namespace {

// Under the generic data location so that every program of the user finds the same book.
constexpr const char* kDefaultFolder = "AddressBook";
constexpr const char* kDefaultFileName = "AddressBook.sqlite";

// Never destroyed: the address book's threads may still read it while the process exits.
struct Shared {
  std::mutex mutex;
  std::optional<Configuration> current;  // guarded by mutex
  AccessPrompt prompt;                   // guarded by mutex
};
Shared& shared() {
  static auto* const state = new Shared;
  return *state;
}

std::optional<SourceType> sourceTypeNamed(const QString& name) {
  const QString key = name.trimmed().toLower();
  if (key == "local") return kSourceTypeLocal;
  if (key == "exchange") return kSourceTypeExchange;
  if (key == "carddav") return kSourceTypeCardDAV;
  if (key == "ldap") return kSourceTypeLDAP;
  return std::nullopt;
}

}  // namespace

Configuration configurationFromEnvironment() {
  Configuration configuration;
  if (const char* file = std::getenv("RP_ADDRESSBOOK_FILE")) configuration.filePath = file;
  if (const char* sources = std::getenv("RP_ADDRESSBOOK_SOURCES")) {
    std::vector<SourceDescription> described;
    for (const QString& name : QString::fromUtf8(sources).split(',', Qt::SkipEmptyParts)) {
      if (const std::optional<SourceType> type = sourceTypeNamed(name))
        described.push_back({*type == kSourceTypeLocal ? std::string() : name.trimmed().toStdString(), *type});
    }
    if (!described.empty()) configuration.initialSources = std::move(described);
  }
  if (const char* access = std::getenv("RP_ADDRESSBOOK_ACCESS")) {
    const std::string answer = access;
    configuration.accessGrantedWithoutPrompt = answer != "denied" && answer != "restricted";
    configuration.accessRestricted = answer == "restricted";
  }
  return configuration;
}

Configuration configuration() {
  std::lock_guard lock(shared().mutex);
  if (!shared().current) shared().current = configurationFromEnvironment();
  return *shared().current;
}

void setConfiguration(Configuration configuration) {
  std::lock_guard lock(shared().mutex);
  shared().current = std::move(configuration);
}

std::string addressBookFilePath(const Configuration& configuration) {
  if (!configuration.filePath.empty()) return configuration.filePath;
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return QDir(folder).filePath(QStringLiteral("%1/%2").arg(kDefaultFolder, kDefaultFileName)).toStdString();
}

std::string applicationName(const Configuration& configuration) {
  if (!configuration.applicationName.empty()) return configuration.applicationName;
  const QString name = QCoreApplication::applicationName();
  return name.isEmpty() ? std::string("unnamed") : name.toStdString();
}

void setAccessPrompt(AccessPrompt newPrompt) {
  std::lock_guard lock(shared().mutex);
  shared().prompt = std::move(newPrompt);
}

AccessPrompt accessPrompt() {
  std::lock_guard lock(shared().mutex);
  return shared().prompt;
}

}  // namespace ab
