#include "publish/target_factory.h"

#include <QStandardPaths>
#include <QUrl>

#include "platform/files/whole_file.h"
#include "publish/carddav_target.h"
#include "publish/evolution/evolution_target.h"
#include "publish/folder_target.h"
#include "publish/localized_text.h"

namespace publish {

namespace {

// The password file's first line; a trailing newline is not part of the password.
std::optional<QString> passwordFromFile(const QString& path) {
  const std::optional<std::string> content = files::readWholeFile(path.toStdString());
  if (!content) return std::nullopt;
  return QString::fromStdString(*content).section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r'));
}

std::unique_ptr<PublishTarget> makeCardDavTarget(const PublishConfig& config, QStringList& problems) {
  const QUrl url(*config.cardDavUrl, QUrl::StrictMode);
  if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
    problems << localizedText(QT_TRANSLATE_NOOP("Localizable", "CardDAV: «%1» er ingen http- eller https-adresse"))
                    .arg(*config.cardDavUrl);
    return nullptr;
  }
  CardDavSettings settings{*config.cardDavUrl, config.cardDavUser, config.cardDavPassword, cardDavStateFile()};
  if (settings.password.isEmpty() && !config.cardDavPasswordFile.isEmpty()) {
    const std::optional<QString> password = passwordFromFile(config.cardDavPasswordFile);
    if (!password) {
      problems << localizedText(QT_TRANSLATE_NOOP("Localizable", "CardDAV: passordfilen %1 kan ikke leses"))
                      .arg(config.cardDavPasswordFile);
      return nullptr;
    }
    settings.password = *password;
  }
  return std::make_unique<CardDavTarget>(std::move(settings));
}

}  // namespace

QString cardDavStateFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/Ringeplagvern/carddav-etag");
}

Publisher::Targets makeTargets(const PublishConfig& config, QStringList& problems) {
  Publisher::Targets targets;
  if (config.evolutionBook) targets.push_back(makeEvolutionTarget(*config.evolutionBook));
  if (config.folder) {
    const bool kpeople = *config.folder == QLatin1String(PublishConfig::kKPeopleFolder);
    targets.push_back(std::make_unique<FolderTarget>(kpeople ? FolderTarget::kpeopleFolder() : *config.folder));
  }
  if (config.cardDavUrl)
    if (auto target = makeCardDavTarget(config, problems)) targets.push_back(std::move(target));
  return targets;
}

}  // namespace publish
