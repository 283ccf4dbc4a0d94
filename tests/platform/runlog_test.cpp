#include "platform/runlog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "tests/support/temp_folder.h"

namespace tidemark::platform {
namespace {

using tidemark::testing::TempFolder;

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
    EXPECT_TRUE(RunLogInitialize(0x1234, 2));  // a second start keeps the open log
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
