#include "app/cli/command.h"

const std::vector<Command>& commands() {
  static const std::vector<Command> table{statusCommand(), refreshCommand(),  protectCommand(), searchCommand(),
                                          addCommand(),    settingsCommand(), publishCommand(), exportCommand()};
  return table;
}

const Command* findCommand(const QString& name) {
  for (const Command& command : commands()) {
    if (command.name == name) return &command;
  }
  return nullptr;
}
