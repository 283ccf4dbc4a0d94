#pragma once
// The diagnostic log: lines appended to "tmk.log" in the folder that is current when the log is
// started, each prefixed with its UTC time stamp. Safe to call from any thread.

#include <cstdint>
#include <string_view>

namespace tidemark::platform {

// Opens tmk.log in the current folder for appending (creating it when missing). window is the
// caller's window handle and level the detail level; both are kept for the record only. A second
// call while the log is open changes nothing and returns true. False when the file cannot be
// opened.
bool RunLogInitialize(std::uintptr_t window, std::int32_t level);

// Writes one line: "YYYY-MM-DDTHH:MM:SS.mmmZ " followed by text exactly as given (a "%" means
// nothing) and a line feed, flushed at once. False before RunLogInitialize succeeded or when the
// write fails.
bool LogMessage(std::string_view text);

// Closes the log; later lines are refused until it is started again.
void RunLogShutdown();

}  // namespace tidemark::platform
