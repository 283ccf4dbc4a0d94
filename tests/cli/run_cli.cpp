#include "tests/cli/run_cli.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/temp_folder.h"

extern char** environ;

namespace tidemark::testing {

CliRun RunCli(const std::vector<std::string>& args) {
    // Batch journals go to a folder of this test run unless a test names its own, never to the
    // user's state folder.
    static const TempFolder state;
    setenv("TMK_STATE", state.Path().c_str(), 0);
    // Each output stream goes to a file of its own, read and removed afterwards.
    const char* tmp = std::getenv("TMPDIR");
    std::string paths[2];
    for (std::string& path : paths) {
        path = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tidemark-cli-XXXXXX";
        const int fd = mkstemp(path.data());
        if (fd < 0) {
            throw std::runtime_error("cannot create a capture file");
        }
        close(fd);
    }
    std::vector<std::string> words{TIDEMARK_CLI_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, paths[0].c_str(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_addopen(&actions, 2, paths[1].c_str(), O_WRONLY | O_TRUNC, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int wstatus = 0;
    pid_t waited = -1;
    while (spawned == 0 && (waited = waitpid(pid, &wstatus, 0)) < 0 && errno == EINTR) {
    }
    CliRun run;
    run.status = waited == pid && WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    std::string* texts[2] = {&run.out, &run.err};
    for (int i = 0; i < 2; ++i) {
        std::ostringstream text;
        text << std::ifstream(paths[i], std::ios::binary).rdbuf();
        *texts[i] = text.str();
        unlink(paths[i].c_str());
    }
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + words[0]);
    }
    return run;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace tidemark::testing
