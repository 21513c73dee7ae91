#include "publish/publish_config.h"

#include <QCommandLineParser>
#include <array>
#include <cstring>

#include "platform/defaults/configuration_sources.h"
#include "platform/defaults/user_defaults.h"

namespace publish {

namespace {

constexpr const char* kConfigFile = "publish.conf";

// The password is not offered on the command line, where every user of the
// machine could read it; a password file is.
constexpr std::array<PublishConfig::Setting, 6> kSettings{{
    {"folder", "RINGEPLAGVERN_PUBLISH_FOLDER", "publish-folder",
     "Publish the protection contact as a vCard file in this folder ('kpeople': KPeople's folder)."},
    {"carddav", "RINGEPLAGVERN_PUBLISH_CARDDAV", "publish-carddav",
     "Publish the protection contact to this CardDAV address book collection (URL)."},
    {"carddavUser", "RINGEPLAGVERN_PUBLISH_CARDDAV_USER", "publish-carddav-user", "User name for the CardDAV server."},
    {"carddavPassword", "RINGEPLAGVERN_PUBLISH_CARDDAV_PASSWORD", nullptr, "Password for the CardDAV server."},
    {"carddavPasswordFile", "RINGEPLAGVERN_PUBLISH_CARDDAV_PASSWORD_FILE", "publish-carddav-password-file",
     "File holding the password for the CardDAV server."},
    {"evolution", "RINGEPLAGVERN_PUBLISH_EVOLUTION", "publish-evolution",
     "Publish the protection contact to Evolution's address book: 'system' or a book's name."},
}};

}  // namespace

std::span<const PublishConfig::Setting> PublishConfig::settings() { return kSettings; }

void PublishConfig::set(const char* fileKey, const QString& value) {
  if (value.isEmpty()) return;
  const auto is = [fileKey](const char* key) { return std::strcmp(fileKey, key) == 0; };
  if (is("folder"))
    folder = value;
  else if (is("carddav"))
    cardDavUrl = value;
  else if (is("carddavUser"))
    cardDavUser = value;
  else if (is("carddavPassword"))
    cardDavPassword = value;
  else if (is("carddavPasswordFile"))
    cardDavPasswordFile = value;
  else if (is("evolution"))
    evolutionBook = value;
}

PublishConfig PublishConfig::load() {
  PublishConfig config;
  const defaults::UserDefaults file(defaults::userConfigurationFile(kConfigFile));
  for (const Setting& setting : kSettings)
    if (const std::optional<std::string> value = file.stringForKey(setting.fileKey))
      config.set(setting.fileKey, QString::fromStdString(*value));
  for (const Setting& setting : kSettings)
    if (const std::optional<std::string> value = defaults::environmentValue(setting.environmentVariable))
      config.set(setting.fileKey, QString::fromStdString(*value));
  return config;
}

void addPublishOptions(QCommandLineParser& parser) {
  for (const PublishConfig::Setting& setting : kSettings)
    if (setting.commandLineOption)
      parser.addOption(QCommandLineOption(QString::fromLatin1(setting.commandLineOption),
                                          QString::fromLatin1(setting.description), QStringLiteral("value")));
}

void applyPublishOptions(const QCommandLineParser& parser, PublishConfig& config) {
  for (const PublishConfig::Setting& setting : kSettings)
    if (setting.commandLineOption && parser.isSet(QString::fromLatin1(setting.commandLineOption)))
      config.set(setting.fileKey, parser.value(QString::fromLatin1(setting.commandLineOption)));
}

}  // namespace publish
