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

extern char** environ;

namespace tidemark::testing {
namespace {

// A file to catch one output stream; removed when done.
class CaptureFile {
  public:
    CaptureFile() {
        const char* tmp = std::getenv("TMPDIR");
        path_ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tidemark-cli-XXXXXX";
        const int fd = mkstemp(path_.data());
        if (fd < 0) {
            throw std::runtime_error("cannot create a capture file");
        }
        close(fd);
    }
    ~CaptureFile() { unlink(path_.c_str()); }
    CaptureFile(const CaptureFile&) = delete;
    CaptureFile& operator=(const CaptureFile&) = delete;

    const std::string& Path() const { return path_; }
    std::string Read() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

  private:
    std::string path_;
};

}  // namespace

CliRun RunCli(const std::vector<std::string>& args) {
    CaptureFile out;
    CaptureFile err;
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
    posix_spawn_file_actions_addopen(&actions, 1, out.Path().c_str(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_addopen(&actions, 2, err.Path().c_str(), O_WRONLY | O_TRUNC, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + words[0]);
    }
    int wstatus = 0;
    pid_t waited = 0;
    do {
        waited = waitpid(pid, &wstatus, 0);
    } while (waited < 0 && errno == EINTR);
    CliRun run;
    run.status = waited == pid && WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    run.out = out.Read();
    run.err = err.Read();
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
