// status: what is stored, how old the list is, whether protection is on and
// what the settings choose. Reads only.
#include <QDateTime>

#include "app/cli/command.h"
#include "app/cli/command_session.h"
#include "app/cli/protection_outcome.h"
#include "app/constants.h"
#include "app/list_service_config.h"
#include "app/localizable.h"
#include "platform/defaults/user_defaults.h"

namespace {

constexpr std::int64_t kEveryRecord = -1;
constexpr std::int64_t kNoChoiceYet = 0;
constexpr const char* kDateFormat = "yyyy-MM-dd HH:mm";

QString yesNo(bool yes) { return yes ? Localizable::tr("ja") : Localizable::tr("nei"); }

QString listLine(const app::ProtectionCycle& cycle) {
  const fnd::Ref<fnd::Date> updated = defaults::UserDefaults::standard().dateForKey(app::DateUpdatedDefaultKey);
  if (!updated) return Localizable::tr("Telefonnummerlisten: aldri hentet");
  const QString when = updated->toQDateTime().toLocalTime().toString(kDateFormat);
  return app::fillFormat(cycle.isListExpired() ? Localizable::tr("Telefonnummerlisten: hentet %@, utløpt")
                                               : Localizable::tr("Telefonnummerlisten: hentet %@, gjeldende"),
                         {when});
}

QString importCountLine() {
  const std::int64_t count = defaults::UserDefaults::standard().integerForKey(app::ImportNumberKey);
  QString value = QString::number(count);
  if (count == kEveryRecord) value = Localizable::tr("alle");
  if (count == kNoChoiceYet) value = Localizable::tr("ikke valgt ennå");
  return app::fillFormat(Localizable::tr("Antall nummer som importeres: %@"), {value});
}

ExitCode showStatus(CommandSession& session) {
  TerminalHud& out = session.terminal();
  const app::ListServiceConfig& hosts = app::activeListServiceConfig();
  out.printLine(listLine(session.cycle()));
  out.printLine(app::fillFormat(Localizable::tr("Beskyttelse: %@"),
                                {protectionEnabled() ? Localizable::tr("på") : Localizable::tr("av")}));
  printInformation(session);
  out.printLine(importCountLine());
  out.printLine(app::fillFormat(Localizable::tr("Importer også nummer som ikke er godkjent: %@"),
                                {yesNo(defaults::UserDefaults::standard().boolForKey(app::ImportApprovedKey))}));
  out.printLine(
      app::fillFormat(Localizable::tr("Listetjeneste: %@ (reserve: %@)"),
                      {QString::fromStdString(hosts.primaryUrl()), QString::fromStdString(hosts.backupUrl())}));
  return ExitCode::Done;
}

}  // namespace

Command statusCommand() {
  return {"status", "", "Show the stored list, its age, protection and the settings.", false,
          [](const QStringList& arguments) {
            if (!arguments.isEmpty()) return PreparedCommand::refused(Localizable::tr("status tar ingen argumenter"));
            return PreparedCommand{showStatus, {}};
          }};
}
