#pragma once
// What the commands that drive the protection cycle read back once it is at
// rest: the stored settings are what the cycle leaves behind, so a command's
// result is read there rather than from the captions. Main thread only.

#include "app/cli/exit_code.h"

class CommandSession;

bool protectionEnabled();
// Done when protection is on and the contact could be written.
ExitCode protectionBuilt(const CommandSession& session);
// Prints the information text, as the main screen shows it.
void printInformation(CommandSession& session);
