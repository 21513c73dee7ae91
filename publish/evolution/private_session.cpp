#include "publish/evolution/private_session.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace publish::evolution::test {

namespace {

constexpr const char* kHomeVariables[] = {"HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                          "XDG_CACHE_HOME", "XDG_STATE_HOME",  "XDG_RUNTIME_DIR"};
constexpr const char* kServiceFiles[] = {"dbus-1/services/org.gnome.evolution.dataserver.Sources5.service",
                                         "dbus-1/services/org.gnome.evolution.dataserver.AddressBook10.service"};

}  // namespace

QProcessEnvironment privateSessionEnvironment(const QTemporaryDir& home) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QString::fromLatin1(kInsidePrivateSession), QStringLiteral("1"));
  for (const char* variable : kHomeVariables) {
    const QString folder = home.filePath(QString::fromLatin1(variable).toLower());
    QDir().mkpath(folder);
    environment.insert(QString::fromLatin1(variable), folder);
  }
  // The bus and the services refuse a runtime folder others can read.
  QFile::setPermissions(environment.value(QStringLiteral("XDG_RUNTIME_DIR")),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  return environment;
}

QStringList privateSessionArguments(const QString& program, const QStringList& arguments) {
  return QStringList{QStringLiteral("--"), program} + arguments;
}

bool evolutionServicesInstalled() {
  for (const char* file : kServiceFiles) {
    if (QStandardPaths::locate(QStandardPaths::GenericDataLocation, QString::fromLatin1(file)).isEmpty()) return false;
  }
  return !QStandardPaths::findExecutable(QString::fromLatin1(kSessionRunner)).isEmpty();
}

}  // namespace publish::evolution::test
