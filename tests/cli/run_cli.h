#pragma once
// Runs the built tidemark-cli through the shell and collects what it wrote and its status.

#include <string>
#include <vector>

namespace tidemark::testing {

using Strings = std::vector<std::string>;

struct CliRun {
    int status = -1;  // the exit status; 128 + the signal's number when the program was killed
    std::string out;
    std::string err;
};

// The shell's command line running the program with args, each word quoted.
std::string CliCommand(const Strings& args);
CliRun RunCli(const Strings& args);

// The lines of a text, without their line ends (or its fields, each ended by end).
Strings Lines(const std::string& text, char end = '\n');
// Field n (from 0) of a tab-separated line.
std::string Field(const std::string& line, std::size_t n);
Strings With(Strings head, const Strings& tail);
// Splits a command line at blanks, with folder put in for each word's leading "F".
Strings Words(const std::string& line, const std::string& folder = {});

}  // namespace tidemark::testing
