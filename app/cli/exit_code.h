#pragma once
// How a command of the command line program ends, as its process exit code.

enum class ExitCode : int {
  Done = 0,
  // The work failed, or (for a search) the number is not listed.
  Failed = 1,
  BadUsage = 2,
};
