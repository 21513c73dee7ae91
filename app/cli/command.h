#pragma once
// Command: one subcommand of the command line program. Its arguments are
// checked before anything is opened, so that bad usage never waits for the
// writer lock or touches the user's data; the prepared action then runs in a
// CommandSession. Main thread only.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "app/cli/exit_code.h"

class CommandSession;

using CommandAction = std::function<ExitCode(CommandSession&)>;

// The action to run, or why the arguments were refused.
struct PreparedCommand {
  CommandAction action;
  QString usageError;

  static PreparedCommand refused(const QString& why) { return {{}, why}; }
};

struct Command {
  QString name;
  // The arguments as the help shows them, e.g. "NUMBER [FIRM] [URL]".
  QString arguments;
  // One line of help, in English like the rest of the help text.
  QString summary;
  // Whether the command writes the number list, the contact or the settings,
  // and so needs the writer lock.
  bool writesUserData = false;
  std::function<PreparedCommand(const QStringList& arguments)> prepare;
};

// Every subcommand, in the order the help lists them.
const std::vector<Command>& commands();
const Command* findCommand(const QString& name);

// The subcommands, each in a file of its own.
Command statusCommand();
Command refreshCommand();
Command protectCommand();
Command searchCommand();
Command addCommand();
Command settingsCommand();
Command publishCommand();
Command exportCommand();
