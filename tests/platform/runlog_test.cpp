#include "platform/runlog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace tidemark::platform {
namespace {

using tidemark::testing::TempFolder;

// Runs the test with a temporary folder as the current folder, and no log open.
class RunLogTest : public ::testing::Test {
  protected:
    RunLogTest() : previous_(std::filesystem::current_path()) {
        RunLogShutdown();
        std::filesystem::current_path(temp_.Path());
    }
    ~RunLogTest() override {
        RunLogShutdown();
        std::filesystem::current_path(previous_);
    }

    std::vector<std::string> LogLines() const {
        std::istringstream text(temp_.Read("tmk.log"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    TempFolder temp_;
    std::filesystem::path previous_;
};

TEST_F(RunLogTest, LinesAreAppendedVerbatimWithATimeStamp) {
    EXPECT_FALSE(LogMessage("before the start"));
    EXPECT_FALSE(temp_.Exists("tmk.log"));

    temp_.File("tmk.log", "earlier run\n");
    ASSERT_TRUE(RunLogInitialize(0x1234, 2));
    EXPECT_TRUE(RunLogInitialize(0x1234, 2));  // a second start keeps the open log
    EXPECT_TRUE(LogMessage("Stage 1: 50% of %s %d done"));
    EXPECT_TRUE(LogMessage(""));

    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "earlier run");
    const std::regex stamp(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z )");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(lines[1], match, stamp, std::regex_constants::match_continuous))
        << lines[1];
    EXPECT_EQ(lines[1].substr(match.length()), "Stage 1: 50% of %s %d done");
    ASSERT_TRUE(std::regex_search(lines[2], match, stamp, std::regex_constants::match_continuous));
    EXPECT_EQ(lines[2].size(), static_cast<std::size_t>(match.length()));

    RunLogShutdown();
    EXPECT_FALSE(LogMessage("after the end"));
    EXPECT_EQ(LogLines().size(), 3u);
}

TEST_F(RunLogTest, ALogThatCannotBeOpenedRefusesLines) {
    temp_.Folder("tmk.log");
    EXPECT_FALSE(RunLogInitialize(0, 2));
    EXPECT_FALSE(LogMessage("nowhere to go"));
}

}  // namespace
}  // namespace tidemark::platform
