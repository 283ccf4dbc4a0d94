// history and undo of tidemark-cli on real folders, and a rename killed on the way undone.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/cli/run_cli.h"
#include "tests/support/temp_folder.h"

extern char** environ;

namespace tidemark::testing {
namespace {

using Strings = std::vector<std::string>;

// Points the program's journals at a folder of the test's own.
struct StateFolder {
    TempFolder dir;
    StateFolder() { setenv("TMK_STATE", dir.Path().c_str(), 1); }
    ~StateFolder() { unsetenv("TMK_STATE"); }
};

std::string Field(const std::string& line, std::size_t n) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < n; ++i) {
        start = line.find('\t', start) + 1;
    }
    return line.substr(start, line.find('\t', start) - start);
}

TEST(CliUndo, HistoryUndoAndRedo) {
    StateFolder state;
    TempFolder dir;
    dir.File("a1.txt", "one");
    dir.File("a2.txt", "two");
    dir.File("b.txt", "bee");
    const Strings before = dir.Names();

    ASSERT_EQ(RunCli({"rename", dir.Path(), "--replace", "a", "--with", "c"}).status, 0);
    const Strings renamed = dir.Names();
    const CliRun history = RunCli({"history"});
    ASSERT_EQ(Lines(history.out).size(), 1u);
    const std::string line = Lines(history.out)[0];
    EXPECT_EQ(Field(line, 0), "1");
    EXPECT_EQ(Field(line, 2), "rename");
    EXPECT_EQ(Field(line, 3), dir.Path());
    EXPECT_EQ(Field(line, 4), "3");
    EXPECT_EQ(Field(line, 5), "complete");

    const CliRun dry = RunCli({"undo", "--dry-run"});
    EXPECT_EQ(dry.status, 0);
    EXPECT_EQ(dry.out, "would undo 2 steps of rename in " + dir.Path() + "\n");
    EXPECT_EQ(dir.Names(), renamed);

    const CliRun undo = RunCli({"undo"});
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(undo.out, "undid 2 steps of rename in " + dir.Path() + "\n");
    EXPECT_EQ(dir.Names(), before);
    EXPECT_EQ(dir.Read("a1.txt"), "one");

    const CliRun json = RunCli({"history", "--json"});
    EXPECT_NE(json.out.find("\"operation\":\"undo\""), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"number\":2,"), std::string::npos);
    EXPECT_NE(json.out.find("\"state\":\"undone\""), std::string::npos);

    // Nothing left to undo; the same batch again is refused; the undo itself can be undone.
    EXPECT_EQ(RunCli({"undo"}).err, "tidemark-cli: there is no batch to undo\n");
    const CliRun again = RunCli({"undo", "2"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already been undone"), std::string::npos);
    EXPECT_EQ(RunCli({"undo", "1"}).status, 0);
    EXPECT_EQ(dir.Names(), renamed);

    // (b.txt kept its name: nothing to undo there.) A step whose old name is taken is skipped,
    // listed, and gives status 1.
    dir.File("a2.txt", "new");
    const CliRun blocked = RunCli({"undo", "--json"});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.out.find("\"undone\":1,\"skipped\":[\"" + dir.Path() +
                               "/c2.txt: the old name a2.txt is taken; not undone\"]"),
              std::string::npos)
        << blocked.out;
    EXPECT_EQ(dir.Read("a2.txt"), "new");
    EXPECT_EQ(RunCli({"undo", "0"}).status, 2);
}

// A rename of 32,767 files killed once it is under way (its journal's plan is on disk and the
// 2,000th file renamed): the undo restores every name.
TEST(CliUndo, KilledRenameIsUndoneCompletely) {
    StateFolder state;
    TempFolder dir;
    constexpr int kFiles = 32767;
    for (int i = 0; i < kFiles; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%05d", i);
        close(open((dir / name).c_str(), O_CREAT | O_WRONLY, 0644));
    }
    const Strings before = dir.Names();

    std::string program = TIDEMARK_CLI_PATH;
    Strings words{program, "rename", dir.Path(), "--replace", "f", "--with", "g"};
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    const std::string mark = dir / "g02000";
    struct stat st {};
    while (stat(mark.c_str(), &st) != 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
        usleep(50);
    }
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the rename ended before it could be killed";
    ASSERT_NE(dir.Names(), before);

    const CliRun history = RunCli({"history"});
    EXPECT_EQ(Field(Lines(history.out).at(0), 5), "stopped");
    const CliRun undo = RunCli({"undo"});
    EXPECT_EQ(undo.status, 0) << undo.out << undo.err;
    EXPECT_EQ(dir.Names(), before);
}

}  // namespace
}  // namespace tidemark::testing
