#include "folderops/move_on_length.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "folderops/intelligent_merge.h"
#include "platform/text.h"
#include "tests/folderops/folder_snapshot.h"

namespace tidemark::folderops {
namespace {

using testing::Message;
using testing::Plant;
using testing::RecordingHost;
using testing::Snapshot;
using testing::TakeSnapshot;
using testing::Tree;
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

// The length box reads a leading signed number, else 0; lengths count user-perceived characters.
TEST(MoveOnLengthTextTest, LengthTextsAndNameLengths) {
    const std::pair<const char*, std::int32_t> texts[] = {
        {"8", 8},          {"  12", 12}, {"+5", 5}, {"-7", -7}, {"12abc", 12},
        {"abc", 0},        {"", 0},      {"-", 0},  {"0", 0},   {"2147483647", 2147483647},
        {"99999999999", 0}};
    for (const auto& [text, length] : texts) {
        EXPECT_EQ(ParseLength(text), length) << '"' << text << '"';
    }
    const std::pair<const char*, std::int32_t> names[] = {
        {"cafe\u0301.txt", 8},
        {"\U0001F44D\U0001F3FD\U0001F469\u200D\U0001F4BB", 2},  // skin tone; joined emoji
        {"\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7", 2},        // two flags
        {"\u1100\u1161\u11A8", 1},                              // jamo of one syllable
        {"a\r\nb", 3},
        {"e\u0301\xFF\xC3", 3}};  // invalid bytes count one each
    for (const auto& [name, length] : names) {
        EXPECT_EQ(NameLength(name), length) << '"' << name << '"';
    }
}

TEST_F(MoveOnLengthTest, MovesFilesLongerThanLengthCountedInCharacters) {
    Plant(root,
          "src/abc.txt=7|src/abcd.txt=8|src/abcde.txt=9|src/\xC3\xA4"
          "bcd.txt=8 chars, 9 bytes|"
          "src/.hidden-file=hidden|src/longsubfolder/inside-a-folder.txt=untouched|"
          "dst/already-here.txt=old|src/blocked.txt=stays|dst/blocked.txt/keep=inside");
    // "äbcd.txt": 8 characters, 9 bytes. A folder in the way passes the check; the move refuses it.
    EXPECT_EQ(PreviewMoveOnLength(source, "8"),
              (std::vector<std::string>{".hidden-file", "abcde.txt", "blocked.txt"}));
    const MoveOnLengthResult result = RunMoveOnLength(Request("8"), host);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(result.close && result.storeHistories && !result.focusLength);
    EXPECT_EQ(result.failed, std::vector<std::string>{"blocked.txt"});
    EXPECT_EQ(result.moved.size(), 2u);
    EXPECT_EQ(host.progress.back(), std::make_pair(std::size_t{3}, std::size_t{3}));
    EXPECT_EQ(TakeSnapshot(root.Path()),
              Tree("src/|src/abc.txt=7|src/abcd.txt=8|src/\xC3\xA4"
                   "bcd.txt=8 chars, 9 bytes|"
                   "src/longsubfolder/|src/longsubfolder/inside-a-folder.txt=untouched|dst/|"
                   "dst/already-here.txt=old|dst/abcde.txt=9|dst/.hidden-file=hidden|"
                   "src/blocked.txt=stays|dst/blocked.txt/|dst/blocked.txt/keep=inside"));
    EXPECT_EQ(result.sourceHistory, (settings::FolderList{source, "/elsewhere"}));
    EXPECT_EQ(result.destinationHistory, (settings::FolderList{destination}));

    // Nothing long enough left (folders never count): the dialog closes silently.
    const Snapshot after = TakeSnapshot(root.Path());
    EXPECT_TRUE(RunMoveOnLength(Request("30"), host).close);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(TakeSnapshot(root.Path()), after);
}

// Both tools' checks in order (the merge compares the texts even after missing folders) stop the
// tool before anything moves; a length not above 0 keeps the dialog open on the length.
TEST_F(MoveOnLengthTest, FolderChecksOfBothToolsInOrder) {
    root.File("src/long-enough.txt", "x");
    root.Folder("SRC");
    const std::string missing = root / "missing";
    const Message srcBad{"The source directory is not valid.", "Error"};
    const Message dstBad{"The destination directory is not valid.", "Error"};
    const Message altBad{"The alternate directory is not valid.", "Error"};
    const Message same{"The Move cannot be done - the source and destination folders are the same.",
                       "Error"};
    const Message mergeSame{
        "The source and destination directories are the same. You must change one.", "Error"};
    const struct {
        bool merge;
        std::string source, destination, third;  // the alternate, or the length text
        std::vector<Message> messages;
    } cases[] = {{false, missing, missing, "3", {srcBad, dstBad}},
                 {false, missing, destination, "3", {srcBad}},
                 {false, source, missing, "3", {dstBad}},
                 {false, source, root / "SRC", "3", {same}},
                 {false, source, destination, "0", {{kNoLength, "Error"}}},
                 {false, source, destination, "abc", {{kNoLength, "Error"}}},
                 {true, missing, missing + "2", missing + "3", {srcBad, dstBad, altBad}},
                 {true, source, destination, missing, {altBad}},
                 {true, source, root / "SRC", destination, {mergeSame}},
                 {true, missing, missing, destination, {srcBad, dstBad, mergeSame}}};
    const Snapshot before = TakeSnapshot(root.Path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " -> " + c.destination + " | " + c.third);
        host.messages.clear();
        if (!c.merge) {
            const MoveOnLengthResult result =
                RunMoveOnLength({c.source, c.destination, c.third, {}, {}}, host);
            const bool badLength = c.third != "3";
            EXPECT_FALSE(result.close);
            EXPECT_EQ(result.focusLength, badLength);
            EXPECT_EQ(result.storeHistories, badLength);
            if (badLength) {
                EXPECT_FALSE(PreviewMoveOnLength(c.source, c.third).has_value());
            }
        } else {
            const MergeResult result =
                RunMerge({c.source, c.destination, c.third, {"/h"}, {}, {}}, host);
            EXPECT_FALSE(result.merged || result.counts || !result.sourceHistory.empty());
        }
        EXPECT_EQ(host.messages, c.messages);
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
