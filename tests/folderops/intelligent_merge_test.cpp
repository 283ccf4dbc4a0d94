#include "folderops/intelligent_merge.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/file_system.h"
#include "tests/folderops/folder_snapshot.h"
#include "tests/support/temp_folder.h"

namespace tidemark::folderops {
namespace {

using testing::Message;
using testing::Plant;
using testing::RecordingHost;
using testing::Snapshot;
using testing::TakeSnapshot;
using testing::Tree;
using tidemark::testing::TempFolder;
using Names = std::vector<std::string>;

class MergeTest : public ::testing::Test {
  protected:
    MergeTest()
        : source(root.Folder("src")), destination(root.Folder("dst")), alt(root.Folder("alt")) {}

    MergeResult Merge(const std::string& from, const std::string& to, const std::string& other) {
        return RunMerge({from, to, other, {}, {}, {}}, host);
    }
    void ExpectSummary(int total, int moved, int alternate, int kept) {
        const std::string text =
            "There were a total of " + std::to_string(total) + " files.\n  " +
            std::to_string(moved) + " were moved normally to the destination folder.\n  " +
            std::to_string(alternate) +
            " existed in the destination folder with a different size - moved to alternate "
            "directory)\n  " +
            std::to_string(kept) +
            " existed in the destination folder with the same size - not moved)";
        EXPECT_EQ(host.messages, (std::vector<Message>{{text, "Merge Info"}}));
    }

    TempFolder root;
    std::string source, destination, alt;
    RecordingHost host;
};

// One run through every row of the merge table: new, same size (other content still counts as
// the same file), other size, name taken in the alternate too; lookup ignores case but an
// exact name wins; subfolders are not merged.
TEST_F(MergeTest, EveryCaseOfTheTableInOneRun) {
    Plant(root,
          "src/a.txt=A|src/b.txt=bb|src/c.txt=ccc|src/d.txt=ddd|src/sub/a.txt=in a subfolder|"
          "src/readme.txt=longer text|src/Notes.md=1234|src/X.TXT=xx|dst/b.txt=BB|"
          "dst/c.txt=cc|dst/d.txt=dd|alt/d.txt=d|dst/README.TXT=short|dst/NOTES.MD=abcd|"
          "dst/x.txt=x|dst/X.TXT=XX");

    const MergeResult result =
        RunMerge({source, destination, alt, {"/x", "/y"}, {}, {"/1", "/2", "/3", "/4"}}, host);
    EXPECT_TRUE(result.merged);
    ExpectSummary(7, 1, 3, 3);
    EXPECT_EQ(host.progress.back(), std::make_pair(std::size_t{7}, std::size_t{7}));
    EXPECT_EQ(TakeSnapshot(root.Path()),
              Tree("src/|src/b.txt=bb|src/d.txt=ddd|src/sub/|src/sub/a.txt=in a subfolder|"
                   "src/Notes.md=1234|src/X.TXT=xx|dst/|dst/a.txt=A|dst/b.txt=BB|dst/c.txt=cc|"
                   "dst/d.txt=dd|dst/README.TXT=short|dst/NOTES.MD=abcd|dst/x.txt=x|dst/X.TXT=XX|"
                   "alt/|alt/c.txt=ccc|alt/d.txt=d|alt/readme.txt=longer text"));
    EXPECT_EQ(result.sourceHistory, (Names{source, "/x", "/y"}));
    EXPECT_EQ(result.destinationHistory, (Names{destination}));
    EXPECT_EQ(result.alternateHistory, (Names{alt, "/1", "/2", "/3"}));
}

TEST_F(MergeTest, SizesDifferingAbove32BitsAndNamesMovedEarlierInTheRun) {
    root.SizedFile("src/big.bin", 1);
    root.SizedFile("dst/big.bin", (std::uint64_t{1} << 32) + 1);
    // Only a case-sensitive file system holds both: the first listed moves in, the other then
    // finds it with another size.
    root.File("src/New.txt", "1");
    root.File("src/NEW.TXT", "22");

    const MergeResult result = Merge(source, destination, alt);
    ASSERT_TRUE(result.counts.has_value());
    EXPECT_EQ(result.counts->moved, 1);
    EXPECT_EQ(result.counts->alternate, 2);
    EXPECT_TRUE(root.Names("src").empty());
    EXPECT_EQ(platform::StatPath(root / "alt/big.bin")->size, 1u);
    EXPECT_EQ(platform::StatPath(root / "dst/big.bin")->size, (std::uint64_t{1} << 32) + 1);
    const Names inDestination = root.Names("dst"), inAlternate = root.Names("alt");
    ASSERT_EQ(inDestination.size(), 2u);
    ASSERT_EQ(inAlternate.size(), 2u);
    EXPECT_NE(inDestination[0], inAlternate[0]);
    EXPECT_EQ(root.Read("dst/" + inDestination[0]), inDestination[0] == "New.txt" ? "1" : "22");
    EXPECT_EQ(root.Read("alt/" + inAlternate[0]), inAlternate[0] == "New.txt" ? "1" : "22");
}

TEST_F(MergeTest, ChecksReportEveryMissingFolderAndEqualTexts) {
    root.File("src/a.txt", "a");
    root.Folder("SRC");
    const std::string missing = root / "missing";
    const Message same{"The source and destination directories are the same. You must change one.",
                       "Error"};
    const Message srcBad{"The source directory is not valid.", "Error"};
    const Message dstBad{"The destination directory is not valid.", "Error"};
    const Message altBad{"The alternate directory is not valid.", "Error"};
    const struct {
        std::string source, destination, alternate;
        std::vector<Message> messages;
    } cases[] = {
        {missing, missing + "2", missing + "3", {srcBad, dstBad, altBad}},
        {source, destination, missing, {altBad}},
        {source, root / "SRC", alt, {same}},
        {missing, missing, alt, {srcBad, dstBad, same}},  // equal texts even after missing ones
    };
    const Snapshot before = TakeSnapshot(root.Path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " | " + c.destination + " | " + c.alternate);
        host.messages.clear();
        const MergeResult result =
            RunMerge({c.source, c.destination, c.alternate, {"/h"}, {}, {}}, host);
        EXPECT_EQ(host.messages, c.messages);
        EXPECT_FALSE(result.merged);
        EXPECT_FALSE(result.counts.has_value());
        EXPECT_TRUE(result.sourceHistory.empty());
        EXPECT_EQ(TakeSnapshot(root.Path()), before);
    }
}

TEST_F(MergeTest, TrailingSeparatorMakesTextsDifferAndUnreadableSourceEndsSilently) {
    root.File("src/a.txt", "a");
    root.File("src/b.txt", "bb");
    root.Folder("src/sub");
    const Snapshot before = TakeSnapshot(root.Path());
    EXPECT_TRUE(Merge(source + "/", source, alt).merged);
    ExpectSummary(2, 0, 0, 2);
    EXPECT_EQ(TakeSnapshot(root.Path()), before);

    host.messages.clear();
    const std::string file = root.File("a-file", "not a folder");
    const MergeResult result = Merge(file, destination, alt);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(result.merged);
    EXPECT_FALSE(result.counts.has_value());
    EXPECT_EQ(result.sourceHistory, Names{file});
    EXPECT_EQ(root.Read("a-file"), "not a folder");
}

TEST_F(MergeTest, AcrossFileSystemsCopiesThenDeletesAndNeverReplaces) {
    std::string other = "/dev/shm/tidemark-test-XXXXXX";
    if (mkdtemp(other.data()) == nullptr) {
        GTEST_SKIP() << "/dev/shm is missing or not writable";
    }
    const std::unique_ptr<const std::string, void (*)(const std::string*)> cleanup(
        &other, [](const std::string* p) { std::filesystem::remove_all(*p); });
    if (platform::SameFileSystem(other, source)) {
        GTEST_SKIP() << "/dev/shm is on the same file system as " << root.Path();
    }
    std::filesystem::create_directory(other + "/dst");
    std::filesystem::create_directory(other + "/alt");
    Plant(root,
          "src/new.txt=new|src/other.txt=other size|src/blocked.txt=blocked!!|src/same.txt=same");
    root.SetTime("src/new.txt", 1000000000);
    for (const auto& [name, content] :
         Tree("dst/OTHER.TXT=x|dst/blocked.txt=b|alt/blocked.txt=kept|dst/same.txt=SAME")) {
        std::ofstream(other + "/" + name) << content;
    }

    RunMerge({source, other + "/dst", other + "/alt", {}, {}, {}}, host);
    ExpectSummary(4, 1, 2, 1);
    EXPECT_EQ(TakeSnapshot(root.Path()),
              Tree("src/|src/blocked.txt=blocked!!|src/same.txt=same|dst/|alt/"));
    EXPECT_EQ(TakeSnapshot(other),
              Tree("dst/|dst/new.txt=new|dst/OTHER.TXT=x|dst/blocked.txt=b|dst/same.txt=SAME|alt/|"
                   "alt/other.txt=other size|alt/blocked.txt=kept"));
    // The copy keeps the last-write time, as a move would.
    EXPECT_EQ(platform::StatPath(other + "/dst/new.txt")->modified,
              platform::FileTimeFromUnix(1000000000, 0));
}

}  // namespace
}  // namespace tidemark::folderops
