#pragma once
// Runs the built tidemark-cli as a child process and collects what it wrote and its status.

#include <string>
#include <vector>

namespace tidemark::testing {

struct CliRun {
    int status = -1;  // the exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

CliRun RunCli(const std::vector<std::string>& args);

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

}  // namespace tidemark::testing
