#pragma once
// history and undo: the kept batch journals listed, and one batch undone.

#include "cli/arguments.h"

namespace tidemark::cli {

int RunHistory(const Invocation& invocation);
// 0 when every step was undone; 1 when a step could not be, or the batch was refused.
int RunUndo(const Invocation& invocation);

}  // namespace tidemark::cli
