#pragma once
// The five commands. Each drives the engine exactly as the windows do and turns its result
// code into the exit status.

#include "cli/arguments.h"

namespace tidemark::cli {

// 0 for success (1), otherwise the code's absolute value (11, 21, 41, 42, 43).
int ExitStatusOf(int resultCode);

// Runs a parsed command line (not --help). Returns the exit status; throws UsageError for a
// folder that does not exist or a name that is not in the folder.
int RunCommand(const Invocation& invocation);

}  // namespace tidemark::cli
