#include "app/cli/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "app/bundle_info.h"
#include "app/list_service_options.h"
#include "app/localizable.h"
#include "publish/publish_config.h"

namespace {

QString commandsAndExitCodes(const QString& programName) {
  QString text = "\nCommands:\n";
  for (const Command& command : commands()) {
    text += "  " + command.name + (command.arguments.isEmpty() ? "" : " " + command.arguments) + "\n      " +
            command.summary + '\n';
  }
  text +=
      "\nOptions go before the command. The commands that write (refresh, protect, add, settings, publish)\n"
      "fail while the Ringeplagvern application runs: it is the one writer of the list and the contact then.\n"
      "publish reads its places from ~/.config/Ringeplagvern/publish.conf, the RINGEPLAGVERN_PUBLISH_*\n"
      "environment variables and the --publish-* options, in rising precedence.\n"
      "\nExit codes:\n"
      "  0  done (search: the number is listed)\n"
      "  1  failed (search: the number is not listed; publish: a place failed or none is configured;\n"
      "     export: no protection contact; add --from: the file cannot be read or holds no number)\n"
      "  2  bad usage\n"
      "\nExample: " +
      programName + " refresh --if-expired\n";
  return text;
}

void configure(QCommandLineParser& parser, const app::ListServiceOptions& listService) {
  parser.setApplicationDescription(
      "Ringeplagvern without a window: keeps the number list current and the protection contact in your "
      "address book,\nwith the settings and data of the Ringeplagvern application.");
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  parser.addHelpOption();
  parser.addVersionOption();
  listService.addTo(parser);
  publish::addPublishOptions(parser);
  parser.addPositionalArgument("command", "One of the commands below.", "COMMAND");
  parser.addPositionalArgument("arguments", "The command's arguments.", "[ARGUMENTS...]");
}

ExitCode refuse(const QString& why, const QString& programName) {
  std::fprintf(stderr, "%s: %s\n%s\n", qPrintable(programName), qPrintable(why),
               qPrintable(app::fillFormat(Localizable::tr("Se «%@ --help»."), {programName})));
  return ExitCode::BadUsage;
}

}  // namespace

QString helpText(const QString& programName) {
  QCommandLineParser parser;
  const app::ListServiceOptions listService;
  configure(parser, listService);
  // The usage line names the program as it was called, without its folder.
  return parser.helpText().replace(QCoreApplication::arguments().value(0), programName) +
         commandsAndExitCodes(programName);
}

std::variant<Invocation, ExitCode> invocationFromCommandLine(const QStringList& arguments) {
  const QString programName = QFileInfo(arguments.value(0)).fileName();
  QCommandLineParser parser;
  const app::ListServiceOptions listService;
  configure(parser, listService);
  if (!parser.parse(arguments)) return refuse(parser.errorText(), programName);
  if (parser.isSet("help")) {
    std::printf("%s", qPrintable(helpText(programName)));
    return ExitCode::Done;
  }
  if (parser.isSet("version")) {
    std::printf("%s %s\n", qPrintable(programName), qPrintable(app::BundleInfo::main().shortVersion));
    return ExitCode::Done;
  }

  QStringList positional = parser.positionalArguments();
  if (positional.isEmpty()) return refuse(Localizable::tr("Ingen kommando gitt"), programName);
  const QString name = positional.takeFirst();
  const Command* command = findCommand(name);
  if (!command) return refuse(app::fillFormat(Localizable::tr("Ukjent kommando «%@»"), {name}), programName);
  PreparedCommand prepared = command->prepare(positional);
  if (!prepared.action) return refuse(prepared.usageError, programName);
  publish::PublishConfig publishing = publish::PublishConfig::load();
  publish::applyPublishOptions(parser, publishing);
  return Invocation{listService.configFrom(parser), std::move(publishing), command, std::move(prepared.action)};
}
