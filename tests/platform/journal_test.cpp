#include "platform/journal.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <regex>
#include <string>

#include "platform/file_system.h"
#include "platform/runlog.h"
#include "tests/support/temp_folder.h"

namespace tidemark::platform {
namespace {

using testing::TempFolder;

TEST(Journal, NamesStepsAndEndReadBackExactly) {
    TempFolder state, dir;
    std::string allBytes;
    for (int b = 1; b < 256; ++b) {
        allBytes += b == '/' ? 'x' : static_cast<char>(b);
    }
    dir.File("a", "1");
    JournalPlan plan;
    plan.operation = "copy";
    plan.folders = {dir.Path(), "/other folder/%20"};
    plan.steps = {{StepKind::Rename, 0, 0, "a", allBytes, 0, 0},
                  {StepKind::Copy, 0, 1, "b c", "", 7, 42},
                  {StepKind::Rename, 0, 0, "kept", "kept", 0, 0}};
    JournalWriter writer(state.Path());
    ASSERT_EQ(writer.Begin(plan), 0);
    writer.Done(1, {1, 2, 3, -4});
    EXPECT_EQ(writer.Amend({StepKind::Move, 1, 0, "%", "d", 5, 6}), 3u);
    writer.Done(0);  // buffered until Finish
    writer.Done(2);  // a name left as it was is not a change
    EXPECT_EQ(writer.ChangedCount(), 2u);
    ASSERT_EQ(writer.Finish(true), 0);
    ASSERT_EQ(MarkUndone(writer.Path(), "batch-x.tmj"), 0);

    std::string error;
    const auto journal = ReadJournal(writer.Path(), error);
    ASSERT_TRUE(journal) << error;
    EXPECT_EQ(journal->plan.folders, plan.folders);
    ASSERT_EQ(journal->plan.steps.size(), 4u);
    EXPECT_EQ(journal->plan.steps[0].newName, allBytes);
    EXPECT_EQ(journal->plan.steps[0].inode, IdentifyEntry(dir.Path(), "a")->inode);
    EXPECT_EQ(journal->plan.steps[1].newName, "");
    EXPECT_EQ(journal->plan.steps[1].inode, 42u);
    EXPECT_EQ(journal->plan.steps[3].oldName, "%");
    EXPECT_EQ(journal->plan.steps[3].kind, StepKind::Move);
    EXPECT_EQ(journal->done, (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(journal->written[1], (FileIdentity{1, 2, 3, -4}));
    EXPECT_EQ(journal->end, BatchEnd::Complete);
    EXPECT_EQ(journal->undoneBy, (std::vector<std::string>{"batch-x.tmj"}));
}

TEST(Journal, StateFolderAndPruningToTheNewestFifty) {
    const struct {
        const char* state;
        const char* xdg;
        const char* expected;
    } cases[] = {
        {"/s/", "/x", "/s"},
        {nullptr, "/x", "/x/tidemark"},
        {nullptr, "relative", "/home/u/.local/state/tidemark"},
    };
    const char* home = getenv("HOME");
    const std::string savedHome = home != nullptr ? home : "";
    setenv("HOME", "/home/u", 1);
    for (const auto& c : cases) {
        c.state ? setenv("TMK_STATE", c.state, 1) : unsetenv("TMK_STATE");
        c.xdg ? setenv("XDG_STATE_HOME", c.xdg, 1) : unsetenv("XDG_STATE_HOME");
        EXPECT_EQ(StateFolder(), c.expected);
    }
    setenv("HOME", savedHome.c_str(), 1);
    unsetenv("TMK_STATE");
    unsetenv("XDG_STATE_HOME");

    TempFolder state;
    std::vector<std::string> made;
    JournalPlan empty;
    empty.operation = "rename";
    for (std::size_t i = 0; i < kJournalsKept + 2; ++i) {
        JournalWriter writer(state / "nested");
        ASSERT_EQ(writer.Begin(empty), 0);
        made.push_back(writer.Path());
    }
    const std::vector<std::string> kept = ListJournals(state / "nested");
    ASSERT_EQ(kept.size(), kJournalsKept);
    EXPECT_EQ(kept.front(), made.back());
    EXPECT_EQ(kept.back(), made[2]);
}

// With a temporary folder as the current folder: lines are appended verbatim after a time stamp,
// only while the log is open; a log that cannot be opened refuses lines.
TEST(RunLog, LinesAreAppendedVerbatimWithATimeStamp) {
    TempFolder temp;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(temp.Path());
    RunLogShutdown();
    EXPECT_FALSE(LogMessage("before the start"));
    EXPECT_FALSE(temp.Exists("tmk.log"));

    temp.File("tmk.log", "earlier run\n");
    EXPECT_TRUE(RunLogInitialize(0x1234, 2));
    EXPECT_TRUE(LogMessage("Stage 1: 50% of %s %d done"));
    EXPECT_TRUE(LogMessage(""));
    RunLogShutdown();
    EXPECT_FALSE(LogMessage("after the end"));
    const std::string stamp = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z )";
    EXPECT_TRUE(std::regex_match(
        temp.Read("tmk.log"),
        std::regex("earlier run\n" + stamp + "Stage 1: 50% of %s %d done\n" + stamp + "\n")))
        << temp.Read("tmk.log");

    TempFolder blocked;
    blocked.Folder("tmk.log");
    std::filesystem::current_path(blocked.Path());
    EXPECT_FALSE(RunLogInitialize(0, 2));
    EXPECT_FALSE(LogMessage("nowhere to go"));
    std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace tidemark::platform
