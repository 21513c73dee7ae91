// export FILE.vcf: the protection contact as the address book holds it now,
// as one vCard 3.0 file, written atomically; "-" writes it to the standard
// output instead. Reads only, so it needs no writer lock.
#include <cstdio>

#include "app/cli/command.h"
#include "app/cli/command_session.h"
#include "app/localizable.h"
#include "publish/contact_snapshot.h"
#include "publish/folder_target.h"
#include "publish/vcard_writer.h"

namespace {

constexpr const char* kStandardOutput = "-";

ExitCode exportContact(CommandSession& session, const QString& path) {
  TerminalHud& out = session.terminal();
  const std::optional<publish::ContactSnapshot> contact =
      publish::protectionContactSnapshot(session.cycle().addressBookManager());
  if (!contact) {
    out.printLine(Localizable::tr("Det finnes ingen ringeplagvernkontakt å eksportere; slå på beskyttelsen først"));
    return ExitCode::Failed;
  }
  if (path == QLatin1String(kStandardOutput)) {
    const std::string card = publish::vCardForContact(*contact);
    const bool written = std::fwrite(card.data(), 1, card.size(), stdout) == card.size() && std::fflush(stdout) == 0;
    return written ? ExitCode::Done : ExitCode::Failed;
  }
  const publish::Failure failure = publish::writeCardFile(path, *contact);
  if (!failure.isEmpty()) {
    out.printLine(failure);
    return ExitCode::Failed;
  }
  out.printLine(app::fillFormat(Localizable::tr("Ringeplagvernkontakten med %@ nummer er skrevet til %@"),
                                {QString::number(contact->numbers.size()), path}));
  return ExitCode::Done;
}

}  // namespace

Command exportCommand() {
  return {"export", "FILE.vcf", "Write the protection contact as a vCard 3.0 file (- for standard output).", false,
          [](const QStringList& arguments) {
            if (arguments.size() != 1 || arguments.at(0).isEmpty())
              return PreparedCommand::refused(Localizable::tr("export tar én filsti (eller - for standard ut)"));
            return PreparedCommand{
                [path = arguments.at(0)](CommandSession& session) { return exportContact(session, path); }, {}};
          }};
}
