#include "app/cli/protection_outcome.h"

#include "app/cli/command_session.h"
#include "app/constants.h"
#include "platform/defaults/user_defaults.h"

bool protectionEnabled() { return defaults::UserDefaults::standard().boolForKey(app::AutoImportEnabledKey); }

ExitCode protectionBuilt(const CommandSession& session) {
  return protectionEnabled() && !session.importErrorShown() && !session.wasInterrupted() ? ExitCode::Done
                                                                                         : ExitCode::Failed;
}

void printInformation(CommandSession& session) {
  session.terminal().printLine(session.cycle().applicationInformation());
}
