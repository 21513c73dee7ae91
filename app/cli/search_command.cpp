// search NUMBER: whether a number is on the stored list, by the main
// screen's rule. Like grep, the exit code answers: 0 listed, 1 not listed.
#include "app/cli/command.h"
#include "app/cli/command_session.h"
#include "app/localizable.h"
#include "app/number_search.h"

namespace {

ExitCode search(CommandSession& session, const QString& normalised) {
  TerminalHud& out = session.terminal();
  const std::optional<app::ListedNumber> listed = app::findListedNumber(normalised);
  if (!listed) {
    out.printLine(Localizable::tr("Ingen treff"));
    return ExitCode::Failed;
  }
  out.printLine(listed->firm);
  out.printLine(listed->numberAndCategory);
  return ExitCode::Done;
}

}  // namespace

Command searchCommand() {
  return {"search", "NUMBER",
          "Tell whether NUMBER is listed (spaces are ignored; * and ? are wildcards).\n"
          "      Exit code 0: listed, 1: not listed.",
          false, [](const QStringList& arguments) {
            // A number typed with spaces may arrive as several arguments.
            const QString normalised = app::normalisedSearchText(arguments.join(QString()));
            if (normalised.isEmpty()) return PreparedCommand::refused(Localizable::tr("Ingen nummer spesifisert"));
            return PreparedCommand{[normalised](CommandSession& session) { return search(session, normalised); }, {}};
          }};
}
