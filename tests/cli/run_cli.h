#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace tidemark::testing {

using Strings = std::vector<std::string>;

struct CliRun {
    int status = -1;  // the exit status; 128 + the signal's number when the program was killed
    std::string out;
    std::string err;
};

inline Strings With(Strings head, const Strings& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// The shell's command line running the program with args, each word quoted.
inline std::string CliCommand(const Strings& args) {
    std::string line;
    for (const std::string& word : With({TIDEMARK_CLI_PATH}, args)) {
        line += " '";
        for (const char c : word) {
            line += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        line += "'";
    }
    return line;
}

inline CliRun RunCli(const Strings& args) {
    // Batch journals go to this test run's folder unless a test names its own, never the user's.
    static const TempFolder state;
    setenv("TMK_STATE", state.Path().c_str(), 0);
    static const TempFolder capture;
    const int status = std::system(
        (CliCommand(args) + " </dev/null >" + (capture / "out") + " 2>" + (capture / "err"))
            .c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, capture.Read("out"), capture.Read("err")};
}

// The lines of a text, without their line ends (or its fields, each ended by end).
inline Strings Lines(const std::string& text, char end = '\n') {
    Strings lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line, end);) {
        lines.push_back(line);
    }
    return lines;
}

// Field n (from 0) of a tab-separated line.
inline std::string Field(const std::string& line, std::size_t n) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < n; ++i) {
        start = line.find('\t', start) + 1;
    }
    return line.substr(start, line.find('\t', start) - start);
}

// Splits a command line at blanks, with folder put in for each word's leading "F".
inline Strings Words(const std::string& line, const std::string& folder = {}) {
    Strings words;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        words.push_back(word[0] == 'F' ? folder + word.substr(1) : word);
    }
    return words;
}

}  // namespace tidemark::testing
