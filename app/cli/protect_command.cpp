// protect on|off: builds the protection contact from the records the
// settings select, or removes it, as the main screen's switch does. The
// person asked in so many words, so "on" asks no question; with no list
// stored it fetches one first and then goes on to build the contact.
#include "app/cli/command.h"
#include "app/cli/command_session.h"
#include "app/cli/protection_outcome.h"
#include "app/localizable.h"

namespace {

ExitCode protectOn(CommandSession& session) {
  app::ProtectionCycle& cycle = session.cycle();
  const bool protectedBefore = protectionEnabled();
  if (!cycle.hasTerrorNumbers()) {
    if (!session.runCycle([&cycle] { return cycle.protectWithoutRecords(); }) || !cycle.hasTerrorNumbers()) {
      printInformation(session);
      return ExitCode::Failed;
    }
    // With protection already on, storing the list has rebuilt the contact.
    if (protectedBefore) {
      printInformation(session);
      return protectionBuilt(session);
    }
  }
  session.runCycle([&cycle] { return cycle.startImportOfContact(false); });
  printInformation(session);
  return protectionBuilt(session);
}

ExitCode protectOff(CommandSession& session) {
  app::ProtectionCycle& cycle = session.cycle();
  const bool finished = session.runCycle([&cycle] { return cycle.removeImportedContacts(); });
  printInformation(session);
  return finished && !protectionEnabled() ? ExitCode::Done : ExitCode::Failed;
}

}  // namespace

Command protectCommand() {
  return {"protect", "on|off", "Build the protection contact in the address book, or remove it.", true,
          [](const QStringList& arguments) {
            if (arguments == QStringList{"on"}) return PreparedCommand{protectOn, {}};
            if (arguments == QStringList{"off"}) return PreparedCommand{protectOff, {}};
            return PreparedCommand::refused(Localizable::tr("protect tar on eller off"));
          }};
}
