#include "tests/cli/run_cli.h"

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "tests/support/temp_folder.h"

namespace tidemark::testing {

std::string CliCommand(const Strings& args) {
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

CliRun RunCli(const Strings& args) {
    // Batch journals go to a folder of this test run unless a test names its own, never to the
    // user's state folder.
    static const TempFolder state;
    setenv("TMK_STATE", state.Path().c_str(), 0);
    static const TempFolder capture;
    const int status = std::system(
        (CliCommand(args) + " </dev/null >" + (capture / "out") + " 2>" + (capture / "err"))
            .c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, capture.Read("out"), capture.Read("err")};
}

Strings Lines(const std::string& text, char end) {
    Strings lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line, end);) {
        lines.push_back(line);
    }
    return lines;
}

std::string Field(const std::string& line, std::size_t n) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < n; ++i) {
        start = line.find('\t', start) + 1;
    }
    return line.substr(start, line.find('\t', start) - start);
}

Strings With(Strings head, const Strings& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

Strings Words(const std::string& line, const std::string& folder) {
    Strings words;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        words.push_back(word[0] == 'F' ? folder + word.substr(1) : word);
    }
    return words;
}

}  // namespace tidemark::testing
