#pragma once
// The worker threads of the rename window (collision marks, entry details) run below the thread
// that paints and takes typing, so that on a busy machine they never slow the window down.

#include <sys/resource.h>
#include <unistd.h>

namespace tidemark::ui {

// Lowers the calling thread alone: on Linux a thread's nice value is its own. A refusal leaves
// the thread as it was, which only costs speed.
inline void RunBelowForeground() {
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
}

}  // namespace tidemark::ui
