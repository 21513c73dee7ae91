// add NUMBER [FIRM] [URL]: stores a number of the person's own, as the
// new-number screen does, and while protection is on appends it to the
// protection contact.
// add --from FILE.vcf: every number of an address-book file, firm from each
// card's organisation or name, stored and appended the same way. Appending
// rather than rebuilding the contact: a rebuild leaves numbers added by hand
// out unless unapproved numbers are imported too, and appends leave the rest
// of the contact untouched (a few hundred take well under a second).
#include "addressbook/address_book_manager_v2.h"
#include "app/cli/command.h"
#include "app/cli/command_session.h"
#include "app/cli/protection_outcome.h"
#include "app/hand_added_import.h"
#include "app/hand_added_number.h"
#include "app/localizable.h"
#include "platform/files/whole_file.h"

namespace {

// The manager's answer to the latest append; it reports on the main thread.
class AppendReport final : public abm::ManageAddressBookDelegate<AppendReport> {
 public:
  explicit AppendReport(CommandSession& session) : m_session(session) {}
  void didImportNewContact() override { settle(true); }
  void didFailImportNewContact() override { settle(false); }
  void expectAnswer() { m_settled = false; }
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

// Appends the records to the protection contact one after another, each as
// the new-number screen appends one, and stops at the first that fails.
// Returns how many reached the contact.
std::size_t appendToContact(CommandSession& session, const numberlist::Contact::List& records) {
  AppendReport report(session);
  const std::shared_ptr<abm::AddressBookManagerV2> manager = abm::AddressBookManagerV2::initWithDelegate(&report);
  if (!manager->hasAccessToAddressBook() || !manager->hasLocalSource()) return 0;
  TerminalHud& out = session.terminal();
  out.setBlockTouches(true);
  out.setActivity(true);
  out.setCaption(Localizable::tr("Legger til kontakten i addresseboken din!"));
  out.show();
  std::size_t appended = 0;
  for (const fnd::Ref<numberlist::Contact>& record : records) {
    report.expectAnswer();
    // The manager keeps itself alive until it has reported.
    manager->importNewLocalContactInBackground(record);
    if (!session.waitUntil([&report] { return report.settled(); }) || !report.appended()) break;
    ++appended;
  }
  out.hide();
  if (appended > 0) {
    // The numbers went into the protection contact: the configured places get it too.
    session.cycle().publishProtectionContact({});
    session.cycle().waitForPublishing();
  }
  return appended;
}

ExitCode add(CommandSession& session, const QString& number, const QString& firm, const QString& homepage) {
  const fnd::Ref<numberlist::Contact> record = app::storeHandAddedNumber(number, firm, homepage);
  const fnd::Ref<fnd::String> storedFirm = record->firm();
  session.terminal().printLine(
      app::fillFormat(Localizable::tr("Lagret %@ (%@)"), {number, storedFirm ? storedFirm->toQString() : QString()}));
  if (!protectionEnabled()) return ExitCode::Done;
  if (appendToContact(session, {record}) != 1) {
    session.terminal().printLine(
        Localizable::tr("Nummeret er lagret, men kunne ikke legges til i ringeplagvernkontakten"));
    return ExitCode::Failed;
  }
  session.terminal().printLine(Localizable::tr("Nummeret er lagt til i ringeplagvernkontakten"));
  return ExitCode::Done;
}

void printSkipped(TerminalHud& out, const char* why, const std::vector<publish::LabelledNumber>& numbers) {
  for (const publish::LabelledNumber& entry : numbers)
    out.printLine(app::fillFormat(Localizable::tr(why), {entry.number, entry.label}));
}

ExitCode addFromFile(CommandSession& session, const QString& path) {
  TerminalHud& out = session.terminal();
  const std::optional<std::string> content = files::readWholeFile(path.toStdString());
  if (!content) {
    out.printLine(app::fillFormat(Localizable::tr("Kan ikke lese filen %@"), {path}));
    return ExitCode::Failed;
  }
  const publish::VCardNumbers read = publish::readVCardNumbers(*content);
  if (read.numbers.empty()) {
    out.printLine(app::fillFormat(Localizable::tr("Fant ingen telefonnummer i %@"), {path}));
    return ExitCode::Failed;
  }
  const app::HandAddedImport imported = app::storeHandAddedNumbers(read);
  printSkipped(out, QT_TRANSLATE_NOOP("Localizable", "Allerede i listen: %@ (%@)"), imported.alreadyListed);
  printSkipped(out, QT_TRANSLATE_NOOP("Localizable", "For kort til å være et telefonnummer: %@ (%@)"),
               imported.refused);
  out.printLine(app::fillFormat(Localizable::tr("Lagt til: %@, allerede i listen: %@, uten nummer: %@"),
                                {QString::number(imported.added.size()), QString::number(imported.alreadyListed.size()),
                                 QString::number(imported.cardsWithoutNumber)}));
  if (imported.added.empty() || !protectionEnabled()) return ExitCode::Done;
  const std::size_t appended = appendToContact(session, imported.added);
  const QString total = QString::number(imported.added.size());
  if (appended != imported.added.size()) {
    out.printLine(app::fillFormat(
        Localizable::tr("Numrene er lagret, men bare %@ av %@ kunne legges til i ringeplagvernkontakten"),
        {QString::number(appended), total}));
    return ExitCode::Failed;
  }
  out.printLine(app::fillFormat(Localizable::tr("%@ nummer er lagt til i ringeplagvernkontakten"), {total}));
  return ExitCode::Done;
}

PreparedCommand prepareAddFromFile(const QStringList& arguments) {
  if (arguments.size() != 2 || arguments.at(1).isEmpty())
    return PreparedCommand::refused(Localizable::tr("add --from tar én vCard-fil"));
  return PreparedCommand{[path = arguments.at(1)](CommandSession& session) { return addFromFile(session, path); }, {}};
}

}  // namespace

Command addCommand() {
  return {"add", "NUMBER [FIRM] [URL] | --from FILE.vcf",
          "Store a number of your own (firm \"Ukjent\" when none is given);\n"
          "      while protection is on it is added to the protection contact too.\n"
          "      --from: every number of a vCard file, firm from each card's organisation or name;\n"
          "      numbers already stored are skipped.",
          true, [](const QStringList& arguments) {
            if (arguments.value(0) == QLatin1String("--from")) return prepareAddFromFile(arguments);
            if (arguments.isEmpty() || arguments.size() > 3) {
              return PreparedCommand::refused(Localizable::tr("add tar NUMMER og eventuelt FIRMA og ADRESSE"));
            }
            const std::optional<QString> number = app::acceptedHandAddedNumber(arguments.at(0));
            if (!number) return PreparedCommand::refused(app::handAddedNumberRefusal());
            const QString firm = arguments.value(1);
            const QString homepage = arguments.value(2);
            return PreparedCommand{[number = *number, firm, homepage](CommandSession& session) {
                                     return add(session, number, firm, homepage);
                                   },
                                   {}};
          }};
}
