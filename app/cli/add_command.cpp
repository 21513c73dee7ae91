// add NUMBER [FIRM] [URL]: stores a number of the person's own, as the
// new-number screen does, and while protection is on appends it to the
// protection contact.
#include "addressbook/address_book_manager_v2.h"
#include "app/cli/command.h"
#include "app/cli/command_session.h"
#include "app/cli/protection_outcome.h"
#include "app/hand_added_number.h"
#include "app/localizable.h"

namespace {

// The manager's answer to one append; it reports on the main thread.
class AppendReport final : public ManageAddressBookDelegate<AppendReport> {
 public:
  explicit AppendReport(CommandSession& session) : m_session(session) {}
  void didImportNewContact() override { settle(true); }
  void didFailImportNewContact() override { settle(false); }
  bool settled() const { return m_settled; }
  bool appended() const { return m_appended; }

 private:
  void settle(bool appended) {
    m_settled = true;
    m_appended = appended;
    m_session.noteReport();
  }
  CommandSession& m_session;
  bool m_settled = false;
  bool m_appended = false;
};

ExitCode appendToContact(CommandSession& session, const fnd::Ref<numberlist::Contact>& record) {
  AppendReport report(session);
  const std::shared_ptr<AddressBookManagerV2> manager = AddressBookManagerV2::initWithDelegate(&report);
  TerminalHud& out = session.terminal();
  if (!manager->hasAccessToAddressBook() || !manager->hasLocalSource()) {
    out.printLine(Localizable::tr("Nummeret er lagret, men kunne ikke legges til i ringeplagvernkontakten"));
    return ExitCode::Failed;
  }
  out.setBlockTouches(true);
  out.setActivity(true);
  out.setCaption(Localizable::tr("Legger til kontakten i addresseboken din!"));
  out.show();
  // The manager keeps itself alive until it has reported.
  manager->importNewLocalContactInBackground(record);
  const bool settled = session.waitUntil([&report] { return report.settled(); });
  out.hide();
  if (!settled || !report.appended()) {
    out.printLine(Localizable::tr("Nummeret er lagret, men kunne ikke legges til i ringeplagvernkontakten"));
    return ExitCode::Failed;
  }
  out.printLine(Localizable::tr("Nummeret er lagt til i ringeplagvernkontakten"));
  return ExitCode::Done;
}

ExitCode add(CommandSession& session, const QString& number, const QString& firm, const QString& homepage) {
  const fnd::Ref<numberlist::Contact> record = storeHandAddedNumber(number, firm, homepage);
  const fnd::Ref<fnd::String> storedFirm = record->firm();
  session.terminal().printLine(
      fillFormat(Localizable::tr("Lagret %@ (%@)"), {number, storedFirm ? storedFirm->toQString() : QString()}));
  if (!protectionEnabled()) return ExitCode::Done;
  return appendToContact(session, record);
}

}  // namespace

Command addCommand() {
  return {"add", "NUMBER [FIRM] [URL]",
          "Store a number of your own (firm \"Ukjent\" when none is given);\n"
          "      while protection is on it is added to the protection contact too.",
          true, [](const QStringList& arguments) {
            if (arguments.isEmpty() || arguments.size() > 3) {
              return PreparedCommand::refused(Localizable::tr("add tar NUMMER og eventuelt FIRMA og ADRESSE"));
            }
            const std::optional<QString> number = acceptedHandAddedNumber(arguments.at(0));
            if (!number) return PreparedCommand::refused(handAddedNumberRefusal());
            const QString firm = arguments.value(1);
            const QString homepage = arguments.value(2);
            return PreparedCommand{[number = *number, firm, homepage](CommandSession& session) {
                                     return add(session, number, firm, homepage);
                                   },
                                   {}};
          }};
}
