// settings count N|all, settings approved on|off: the settings screen's two
// choices. A change while protection is on rebuilds the protection contact,
// as closing the settings screen after a change does.
#include "app/cli/command.h"
#include "app/cli/command_session.h"
#include "app/cli/protection_outcome.h"
#include "app/constants.h"
#include "app/localizable.h"
#include "platform/defaults/user_defaults.h"

namespace {

// The settings screen offers counts in steps of this many numbers.
constexpr std::int64_t kCountStep = 100;
constexpr std::int64_t kEveryRecord = -1;

defaults::UserDefaults& settings() { return defaults::UserDefaults::standard(); }

ExitCode store(CommandSession& session, std::string_view key, std::int64_t value, const QString& confirmation) {
  // A key never written reads as 0: no count chosen yet, or unapproved numbers left out.
  const bool changed = settings().integerForKey(key) != value;
  settings().setInteger(key, value);
  settings().synchronize();
  session.terminal().printLine(confirmation);
  if (!changed || !protectionEnabled()) return ExitCode::Done;
  app::ProtectionCycle& cycle = session.cycle();
  session.runCycle([&cycle] { return cycle.startImportOfContact(false); });
  printInformation(session);
  return protectionBuilt(session);
}

PreparedCommand prepareCount(const QString& text) {
  if (text == "all" || text == "alle") {
    return {[](CommandSession& session) {
              return store(session, app::ImportNumberKey, kEveryRecord,
                           Localizable::tr("Antall nummer som importeres: alle"));
            },
            {}};
  }
  bool isNumber = false;
  const std::int64_t count = text.toLongLong(&isNumber);
  if (!isNumber || count <= 0 || count % kCountStep != 0) {
    return PreparedCommand::refused(Localizable::tr("Antallet må være 100, 200, 300 ... eller all"));
  }
  return {[count](CommandSession& session) {
            return store(
                session, app::ImportNumberKey, count,
                app::fillFormat(Localizable::tr("Antall nummer som importeres: %@"), {QString::number(count)}));
          },
          {}};
}

PreparedCommand prepareApproved(const QString& text) {
  if (text != "on" && text != "off") return PreparedCommand::refused(Localizable::tr("approved tar on eller off"));
  const bool on = text == "on";
  // Stored as the integer 1 or 0, as the settings screen stores it.
  return {[on](CommandSession& session) {
            return store(session, app::ImportApprovedKey, on ? 1 : 0,
                         app::fillFormat(Localizable::tr("Importer også nummer som ikke er godkjent: %@"),
                                         {on ? Localizable::tr("ja") : Localizable::tr("nei")}));
          },
          {}};
}

}  // namespace

Command settingsCommand() {
  return {"settings", "count N|all | approved on|off",
          "How many top-ranked numbers go into the contact (N in steps of 100, or all); whether numbers\n"
          "      the service has not approved go in too. A change rebuilds the contact while protection is on.",
          true, [](const QStringList& arguments) {
            if (arguments.size() == 2 && arguments.first() == "count") return prepareCount(arguments.at(1));
            if (arguments.size() == 2 && arguments.first() == "approved") return prepareApproved(arguments.at(1));
            return PreparedCommand::refused(Localizable::tr("settings tar «count N|all» eller «approved on|off»"));
          }};
}
