// publish: mirrors the protection contact as the address book holds it now
// to every configured place, as the application does after each save, and
// says per place how it went. Without a contact (protection off) every place
// has it removed, as after the application's own removal. It takes the writer
// lock: the places keep state of their own (the CardDAV tag file), which two
// writers at once would corrupt.
#include <atomic>

#include "addressbook/address_book_manager_v2.h"
#include "app/cli/command.h"
#include "app/cli/command_session.h"
#include "app/localizable.h"
#include "publish/contact_snapshot.h"
#include "publish/target_factory.h"

namespace {

// The round's failure line for the place named `name`; empty when it succeeded.
QString failureOf(const QString& name, const QStringList& failures) {
  const QString prefix = name + QStringLiteral(": ");
  for (const QString& failure : failures)
    if (failure.startsWith(prefix)) return failure;
  return QString();
}

ExitCode publishContact(CommandSession& session) {
  TerminalHud& out = session.terminal();
  QStringList problems;
  publish::Publisher::Targets targets = publish::makeTargets(session.publishConfig(), problems);
  for (const QString& problem : problems) out.printLine(problem);
  if (targets.empty()) {
    if (problems.isEmpty())
      out.printLine(
          Localizable::tr("Ingen steder å publisere til er satt opp: bruk publish.conf, "
                          "RINGEPLAGVERN_PUBLISH_* eller --publish-*"));
    return ExitCode::Failed;
  }
  abm::AddressBookManagerV2& manager = session.cycle().addressBookManager();
  // Without access the contact only looks missing; every place would lose it.
  if (!manager.hasAccessToAddressBook()) {
    out.printLine(Localizable::tr("Ringeplagvern har ikke tilgang til adresseboken; ingenting er publisert"));
    return ExitCode::Failed;
  }

  QStringList names;
  for (const std::unique_ptr<publish::PublishTarget>& target : targets) names << target->displayName();
  std::optional<QStringList> failures;
  std::atomic<bool> contactFound = false;  // written by the round, read after its report
  publish::Publisher publisher(std::move(targets), [&failures, &session](const QStringList& lines) {
    failures = lines;
    session.noteReport();
  });
  out.setBlockTouches(true);
  out.setActivity(true);
  out.setCaption(Localizable::tr("Publiserer ringeplagvernkontakten …"));
  out.show();
  publisher.mirror([&manager, &contactFound] {
    std::optional<publish::ContactSnapshot> contact = publish::protectionContactSnapshot(manager);
    contactFound = contact.has_value();
    return contact;
  });
  const bool reported = session.waitUntil([&failures] { return failures.has_value(); });
  out.hide();
  if (!reported) return ExitCode::Failed;

  const QString done = contactFound ? Localizable::tr("%@: publisert") : Localizable::tr("%@: fjernet");
  for (const QString& name : names) {
    const QString failure = failureOf(name, *failures);
    out.printLine(failure.isEmpty() ? app::fillFormat(done, {name}) : failure);
  }
  return failures->isEmpty() && problems.isEmpty() ? ExitCode::Done : ExitCode::Failed;
}

}  // namespace

Command publishCommand() {
  return {"publish", "",
          "Mirror the protection contact to every configured place (a vCard folder, CardDAV,\n"
          "      Evolution), or remove it there while protection is off. One line per place.",
          true, [](const QStringList& arguments) {
            if (!arguments.isEmpty()) return PreparedCommand::refused(Localizable::tr("publish tar ingen argumenter"));
            return PreparedCommand{publishContact, {}};
          }};
}
