#pragma once
// The command line program's arguments: the list service's options, then a
// subcommand and its own arguments. Main thread; needs the application object,
// since the messages are translated.

#include <QStringList>
#include <variant>

#include "app/cli/command.h"
#include "app/list_service_config.h"
#include "publish/publish_config.h"

struct Invocation {
  app::ListServiceConfig config;
  // publish.conf and the environment, under the --publish-* options.
  publish::PublishConfig publishing;
  const Command* command = nullptr;
  CommandAction action;
};

// The invocation, or the exit code when the arguments asked for the help or
// the version (printed on the standard output) or were refused (said on the
// standard error).
std::variant<Invocation, ExitCode> invocationFromCommandLine(const QStringList& arguments);

// The help text: the options, every subcommand and the exit codes.
QString helpText(const QString& programName);
