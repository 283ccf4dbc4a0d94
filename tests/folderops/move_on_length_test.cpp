#include "folderops/move_on_length.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "platform/text.h"
#include "tests/folderops/folder_snapshot.h"
#include "tests/support/temp_folder.h"

namespace tidemark::folderops {
namespace {

using testing::Message;
using testing::RecordingHost;
using testing::Snapshot;
using testing::TakeSnapshot;
using tidemark::testing::TempFolder;

const std::string kNoLength =
    "The move cannot be done.  A length larger than 0 must be entered in the length editbox.";

class MoveOnLengthTest : public ::testing::Test {
  protected:
    MoveOnLengthTest() : source(root.Folder("src")), destination(root.Folder("dst")) {}

    MoveOnLengthRequest Request(std::string length) const {
        return {source, destination, std::move(length), {"/elsewhere"}, {}};
    }

    TempFolder root;
    std::string source;
    std::string destination;
    RecordingHost host;
};

TEST(ParseLengthTest, ReadsLeadingSignedNumberAndZeroOtherwise) {
    const struct {
        const char* text;
        std::int32_t length;
    } cases[] = {{"8", 8},          {"  12", 12}, {"+5", 5}, {"-7", -7}, {"12abc", 12},
                 {"abc", 0},        {"", 0},      {"-", 0},  {"0", 0},   {"2147483647", 2147483647},
                 {"99999999999", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseLength(c.text), c.length) << '"' << c.text << '"';
    }
}

TEST_F(MoveOnLengthTest, MovesFilesLongerThanLengthCountedInCharacters) {
    root.File("src/abc.txt", "7");
    root.File("src/abcd.txt", "8");
    root.File("src/abcde.txt", "9");
    root.File(
        "src/\xC3\xA4"
        "bcd.txt",
        "8 chars, 9 bytes");  // "äbcd.txt"
    root.File("src/.hidden-file", "hidden");
    root.File("src/longsubfolder/inside-a-folder.txt", "untouched");
    root.File("dst/already-here.txt", "old");

    const auto preview = PreviewMoveOnLength(source, "8");
    ASSERT_TRUE(preview.has_value());
    EXPECT_EQ(*preview, (std::vector<std::string>{".hidden-file", "abcde.txt"}));

    const MoveOnLengthResult result = RunMoveOnLength(Request("8"), host);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(result.close);
    EXPECT_TRUE(result.storeHistories);
    EXPECT_FALSE(result.focusLength);
    EXPECT_TRUE(result.failed.empty());
    EXPECT_EQ(result.moved.size(), 2u);
    EXPECT_EQ(host.progress.back(), std::make_pair(std::size_t{2}, std::size_t{2}));
    EXPECT_EQ(TakeSnapshot(root.Path()), (Snapshot{
                                             {"src/", ""},
                                             {"src/abc.txt", "7"},
                                             {"src/abcd.txt", "8"},
                                             {"src/\xC3\xA4"
                                              "bcd.txt",
                                              "8 chars, 9 bytes"},
                                             {"src/longsubfolder/", ""},
                                             {"src/longsubfolder/inside-a-folder.txt", "untouched"},
                                             {"dst/", ""},
                                             {"dst/already-here.txt", "old"},
                                             {"dst/abcde.txt", "9"},
                                             {"dst/.hidden-file", "hidden"},
                                         }));
    EXPECT_EQ(result.sourceHistory, (settings::FolderList{source, "/elsewhere"}));
    EXPECT_EQ(result.destinationHistory, (settings::FolderList{destination}));
}

TEST_F(MoveOnLengthTest, LengthNotAboveZeroMovesNothingAndKeepsDialogOpen) {
    root.File("src/long-enough-name.txt", "a");
    const Snapshot before = TakeSnapshot(root.Path());
    for (const char* text : {"0", "-3", "abc", ""}) {
        SCOPED_TRACE(text);
        host.messages.clear();
        EXPECT_FALSE(PreviewMoveOnLength(source, text).has_value());
        const MoveOnLengthResult result = RunMoveOnLength(Request(text), host);
        EXPECT_EQ(host.messages, (std::vector<Message>{{kNoLength, "Error"}}));
        EXPECT_FALSE(result.close);
        EXPECT_TRUE(result.focusLength);
        EXPECT_TRUE(result.storeHistories);
        EXPECT_EQ(result.sourceHistory.front(), source);
        EXPECT_EQ(TakeSnapshot(root.Path()), before);
    }
}

TEST_F(MoveOnLengthTest, NothingQualifyingClosesWithoutMessage) {
    root.File("src/short.txt", "s");
    root.Folder("src/a-folder-with-a-very-long-name");
    const Snapshot before = TakeSnapshot(root.Path());

    EXPECT_EQ(PreviewMoveOnLength(source, "20"), std::vector<std::string>{});
    const MoveOnLengthResult result = RunMoveOnLength(Request("20"), host);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(result.close);
    EXPECT_TRUE(result.storeHistories);
    EXPECT_EQ(TakeSnapshot(root.Path()), before);
}

TEST_F(MoveOnLengthTest, NoCaseClashStopsTheWholeMove) {
    root.File("src/Report.TXT", "new report");
    root.File("src/another-long-one.dat", "other");
    root.File("dst/report.txt", "old report");
    const Snapshot before = TakeSnapshot(root.Path());

    const MoveOnLengthResult result = RunMoveOnLength(Request("5"), host);
    EXPECT_EQ(host.messages,
              (std::vector<Message>{{"The move was not started. A file with the name Report.TXT "
                                     "already exists in the destination directory.",
                                     "Error"}}));
    EXPECT_FALSE(result.close);
    EXPECT_TRUE(result.storeHistories);
    EXPECT_TRUE(result.moved.empty());
    EXPECT_EQ(TakeSnapshot(root.Path()), before);
}

TEST_F(MoveOnLengthTest, ClashOfTheOnlyTwoNamesAndClashWithinTheSource) {
    root.File("src/Report.TXT", "1");
    root.File("dst/report.txt", "2");
    RunMoveOnLength(Request("5"), host);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].text.find("Report.TXT"), std::string::npos);

    // Two source names that only differ in case would land on one name elsewhere.
    root.File("src/data-file.bin", "a");
    root.File("src/DATA-FILE.bin", "b");
    std::filesystem::remove(root / "dst/report.txt");
    const Snapshot before = TakeSnapshot(root.Path());
    host.messages.clear();
    const MoveOnLengthResult result = RunMoveOnLength(Request("5"), host);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(platform::FoldAscii(host.messages[0].text).find(" data-file.bin already exists"),
              std::string::npos)
        << host.messages[0].text;
    EXPECT_FALSE(result.close);
    EXPECT_EQ(TakeSnapshot(root.Path()), before);
}

TEST_F(MoveOnLengthTest, FailingMoveIsSkippedAndNothingIsOverwritten) {
    root.File("src/blocked-name.txt", "stays");
    root.File("src/free-name.txt", "goes");
    // A folder of that name is not among the destination's files, so the check passes and
    // the move itself must refuse to replace it.
    root.File("dst/blocked-name.txt/keep.txt", "inside");

    const MoveOnLengthResult result = RunMoveOnLength(Request("3"), host);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(result.close);
    EXPECT_EQ(result.moved, std::vector<std::string>{"free-name.txt"});
    EXPECT_EQ(result.failed, std::vector<std::string>{"blocked-name.txt"});
    EXPECT_EQ(TakeSnapshot(root.Path()), (Snapshot{
                                             {"src/", ""},
                                             {"src/blocked-name.txt", "stays"},
                                             {"dst/", ""},
                                             {"dst/blocked-name.txt/", ""},
                                             {"dst/blocked-name.txt/keep.txt", "inside"},
                                             {"dst/free-name.txt", "goes"},
                                         }));
}

TEST_F(MoveOnLengthTest, FolderChecksInOrder) {
    root.File("src/long-enough.txt", "x");
    root.Folder("SRC");
    const std::string missing = root / "missing";
    const std::string same = root / "SRC";
    const std::string srcInvalid = "The source directory is not valid.";
    const std::string dstInvalid = "The destination directory is not valid.";
    const struct {
        std::string source;
        std::string destination;
        std::vector<Message> messages;
    } cases[] = {
        {missing, missing, {{srcInvalid, "Error"}, {dstInvalid, "Error"}}},
        {missing, destination, {{srcInvalid, "Error"}}},
        {source, missing, {{dstInvalid, "Error"}}},
        {source,
         same,
         {{"The Move cannot be done - the source and destination folders are the same.", "Error"}}},
    };
    const Snapshot before = TakeSnapshot(root.Path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " -> " + c.destination);
        host.messages.clear();
        const MoveOnLengthResult result =
            RunMoveOnLength({c.source, c.destination, "3", {}, {}}, host);
        EXPECT_EQ(host.messages, c.messages);
        EXPECT_FALSE(result.close);
        EXPECT_FALSE(result.storeHistories);
        EXPECT_EQ(TakeSnapshot(root.Path()), before);
    }
}

// The clash reported must be the one a no-case sort of the joined names meets first.
TEST(FirstNoCaseClashTest, AgreesWithSortedNeighbourScan) {
    std::mt19937 random(6);
    const std::string letters = "aAbB.";
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::string> names(1 + random() % 8);
        for (auto& name : names) {
            const std::size_t length = 1 + random() % 3;
            for (std::size_t i = 0; i < length; ++i) {
                name.push_back(letters[random() % letters.size()]);
            }
        }
        std::vector<std::string> sorted = names;
        std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
            return platform::NoCaseCompare(a, b) < 0;
        });
        std::optional<std::string> expected;
        for (std::size_t i = 0; i + 1 < sorted.size() && !expected; ++i) {
            if (platform::NoCaseEqual(sorted[i], sorted[i + 1])) {
                expected = sorted[i];
            }
        }
        ASSERT_EQ(FirstNoCaseClash(names), expected) << ::testing::PrintToString(names);
    }
}

}  // namespace
}  // namespace tidemark::folderops
