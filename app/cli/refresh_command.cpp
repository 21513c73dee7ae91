// refresh [--if-expired]: downloads and stores the number list, and rebuilds
// the protection contact while protection is on, as the main screen's
// refresh button does; with --if-expired only under the main screen's
// refresh rule (the list is 7 days old, or none is stored).
#include "app/cli/command.h"
#include "app/cli/command_session.h"
#include "app/cli/protection_outcome.h"
#include "app/constants.h"
#include "app/localizable.h"
#include "platform/defaults/user_defaults.h"

namespace {

const QString kIfExpired = QStringLiteral("--if-expired");

std::optional<double> storedListDate() {
  const fnd::Ref<fnd::Date> updated = defaults::UserDefaults::standard().dateForKey(app::DateUpdatedDefaultKey);
  if (!updated) return std::nullopt;
  return updated->timeIntervalSince1970();
}

ExitCode refresh(CommandSession& session, bool onlyWhenExpired) {
  app::ProtectionCycle& cycle = session.cycle();
  const std::optional<double> before = storedListDate();
  const bool protectedBefore = protectionEnabled();
  bool started = false;
  const bool finished = session.runCycle([&cycle, &started, onlyWhenExpired] {
    started = onlyWhenExpired ? cycle.startDownloadIfDateIsExpired() : cycle.startDownload();
    return started;
  });
  if (!started && onlyWhenExpired && !session.wasInterrupted()) {
    session.terminal().printLine(Localizable::tr("Telefonnummerlisten er ikke utløpt; ingen nedlasting"));
    return ExitCode::Done;
  }
  if (!finished) return ExitCode::Failed;
  printInformation(session);
  // The date moves only when a list with records has been stored.
  const bool stored = storedListDate() != before;
  if (!stored) return ExitCode::Failed;
  return protectedBefore ? protectionBuilt(session) : ExitCode::Done;
}

}  // namespace

Command refreshCommand() {
  return {"refresh", "[--if-expired]",
          "Download the number list (with --if-expired only when it is 7 days old or empty);\n"
          "      rebuilds the protection contact while protection is on.",
          true, [](const QStringList& arguments) {
            if (arguments.size() > 1 || (arguments.size() == 1 && arguments.first() != kIfExpired)) {
              return PreparedCommand::refused(Localizable::tr("refresh tar bare valget --if-expired"));
            }
            const bool onlyWhenExpired = !arguments.isEmpty();
            return PreparedCommand{
                [onlyWhenExpired](CommandSession& session) { return refresh(session, onlyWhenExpired); }, {}};
          }};
}
