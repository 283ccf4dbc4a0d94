#include "folderops/intelligent_merge.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/file_system.h"
#include "tests/folderops/folder_snapshot.h"
#include "tests/support/temp_folder.h"

namespace tidemark::folderops {
namespace {

using testing::Message;
using testing::RecordingHost;
using testing::Snapshot;
using testing::TakeSnapshot;
using tidemark::testing::TempFolder;

class MergeTest : public ::testing::Test {
  protected:
    MergeTest()
        : source(root.Folder("src")),
          destination(root.Folder("dst")),
          alternate(root.Folder("alt")) {}

    MergeResult Merge() { return RunMerge({source, destination, alternate, {}, {}, {}}, host); }

    TempFolder root;
    std::string source;
    std::string destination;
    std::string alternate;
    RecordingHost host;
};

std::string Summary(int total, int moved, int alternate, int kept) {
    return "There were a total of " + std::to_string(total) + " files.\n  " +
           std::to_string(moved) + " were moved normally to the destination folder.\n  " +
           std::to_string(alternate) +
           " existed in the destination folder with a different size - moved to alternate "
           "directory)\n  " +
           std::to_string(kept) +
           " existed in the destination folder with the same size - not moved)";
}

TEST_F(MergeTest, NewGoesToDestinationOtherSizeToAlternateSameSizeStays) {
    root.File("src/a.txt", "A");
    root.File("src/b.txt", "bb");
    root.File("src/c.txt", "ccc");
    root.File("src/sub/a.txt", "inside a subfolder");
    root.File("dst/b.txt", "BB");  // same size, other content: counts as the same file
    root.File("dst/c.txt", "cc");

    const MergeResult result = RunMerge(
        {source, destination, alternate, {"/x", "/y"}, {}, {"/1", "/2", "/3", "/4"}}, host);

    EXPECT_TRUE(result.merged);
    EXPECT_EQ(host.messages, (std::vector<Message>{{Summary(3, 1, 1, 1), "Merge Info"}}));
    EXPECT_EQ(host.messages[0].text,
              "There were a total of 3 files.\n"
              "  1 were moved normally to the destination folder.\n"
              "  1 existed in the destination folder with a different size - moved to alternate "
              "directory)\n"
              "  1 existed in the destination folder with the same size - not moved)");
    EXPECT_EQ(host.progress.back(), std::make_pair(std::size_t{3}, std::size_t{3}));
    EXPECT_EQ(TakeSnapshot(root.Path()), (Snapshot{
                                             {"src/", ""},
                                             {"src/b.txt", "bb"},
                                             {"src/sub/", ""},
                                             {"src/sub/a.txt", "inside a subfolder"},
                                             {"dst/", ""},
                                             {"dst/a.txt", "A"},
                                             {"dst/b.txt", "BB"},
                                             {"dst/c.txt", "cc"},
                                             {"alt/", ""},
                                             {"alt/c.txt", "ccc"},
                                         }));
    EXPECT_EQ(result.sourceHistory, (settings::FolderList{source, "/x", "/y"}));
    EXPECT_EQ(result.destinationHistory, (settings::FolderList{destination}));
    EXPECT_EQ(result.alternateHistory, (settings::FolderList{alternate, "/1", "/2", "/3"}));
}

TEST_F(MergeTest, LookupIgnoresCaseAndPrefersExactName) {
    root.File("src/readme.txt", "longer text");  // README.TXT is there with another size
    root.File("src/Notes.md", "1234");           // NOTES.MD is there with the same size
    root.File("src/X.TXT", "xx");                // exact X.TXT matches, not x.txt
    root.File("dst/README.TXT", "short");
    root.File("dst/NOTES.MD", "abcd");
    root.File("dst/x.txt", "x");
    root.File("dst/X.TXT", "XX");

    const MergeResult result = Merge();
    ASSERT_TRUE(result.counts.has_value());
    EXPECT_EQ(result.counts->moved, 0);
    EXPECT_EQ(result.counts->alternate, 1);
    EXPECT_EQ(result.counts->kept, 2);
    EXPECT_EQ(TakeSnapshot(root.Path()), (Snapshot{
                                             {"src/", ""},
                                             {"src/Notes.md", "1234"},
                                             {"src/X.TXT", "xx"},
                                             {"dst/", ""},
                                             {"dst/README.TXT", "short"},
                                             {"dst/NOTES.MD", "abcd"},
                                             {"dst/x.txt", "x"},
                                             {"dst/X.TXT", "XX"},
                                             {"alt/", ""},
                                             {"alt/readme.txt", "longer text"},
                                         }));
}

TEST_F(MergeTest, FileMovedEarlierInTheRunIsFoundByLaterOnes) {
    // Only a case-sensitive file system holds both; whichever is listed first moves in and the
    // other then finds it with another size.
    root.File("src/New.txt", "1");
    root.File("src/NEW.TXT", "22");

    const MergeResult result = Merge();
    ASSERT_TRUE(result.counts.has_value());
    EXPECT_EQ(result.counts->moved, 1);
    EXPECT_EQ(result.counts->alternate, 1);
    EXPECT_TRUE(root.Names("src").empty());
    ASSERT_EQ(root.Names("dst").size(), 1u);
    ASSERT_EQ(root.Names("alt").size(), 1u);
    const std::string inDestination = root.Names("dst")[0];
    const std::string inAlternate = root.Names("alt")[0];
    EXPECT_NE(inDestination, inAlternate);
    EXPECT_EQ(root.Read("dst/" + inDestination), inDestination == "New.txt" ? "1" : "22");
    EXPECT_EQ(root.Read("alt/" + inAlternate), inAlternate == "New.txt" ? "1" : "22");
}

TEST_F(MergeTest, SizesDifferingAbove32BitsAreDifferent) {
    root.SizedFile("src/big.bin", 1);
    root.SizedFile("dst/big.bin", (std::uint64_t{1} << 32) + 1);

    const MergeResult result = Merge();
    ASSERT_TRUE(result.counts.has_value());
    EXPECT_EQ(result.counts->alternate, 1);
    EXPECT_EQ(root.Names("src"), std::vector<std::string>{});
    EXPECT_EQ(platform::StatPath(root / "alt/big.bin")->size, 1u);
    EXPECT_EQ(platform::StatPath(root / "dst/big.bin")->size, (std::uint64_t{1} << 32) + 1);
}

TEST_F(MergeTest, AlternateAlreadyHoldingTheNameKeepsFileInSourceButCountsIt) {
    root.File("src/c.txt", "ccc");
    root.File("dst/c.txt", "cc");
    root.File("alt/c.txt", "c");

    const MergeResult result = Merge();
    EXPECT_EQ(host.messages, (std::vector<Message>{{Summary(1, 0, 1, 0), "Merge Info"}}));
    EXPECT_EQ(TakeSnapshot(root.Path()), (Snapshot{
                                             {"src/", ""},
                                             {"src/c.txt", "ccc"},
                                             {"dst/", ""},
                                             {"dst/c.txt", "cc"},
                                             {"alt/", ""},
                                             {"alt/c.txt", "c"},
                                         }));
}

TEST_F(MergeTest, ChecksReportEveryMissingFolderAndEqualTexts) {
    root.File("src/a.txt", "a");
    root.Folder("SRC");
    const std::string missing = root / "missing";
    const std::string same =
        "The source and destination directories are the same. You must "
        "change one.";
    const Message srcInvalid{"The source directory is not valid.", "Error"};
    const Message dstInvalid{"The destination directory is not valid.", "Error"};
    const Message altInvalid{"The alternate directory is not valid.", "Error"};
    const struct {
        std::string source, destination, alternate;
        std::vector<Message> messages;
    } cases[] = {
        {missing, missing + "2", missing + "3", {srcInvalid, dstInvalid, altInvalid}},
        {source, destination, missing, {altInvalid}},
        {source, root / "SRC", alternate, {{same, "Error"}}},
        // The equal texts are reported even after the missing folders.
        {missing, missing, alternate, {srcInvalid, dstInvalid, {same, "Error"}}},
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

TEST_F(MergeTest, TrailingSeparatorMakesTextsDifferAndEverythingStays) {
    root.File("src/a.txt", "a");
    root.File("src/b.txt", "bb");
    root.Folder("src/sub");
    const Snapshot before = TakeSnapshot(root.Path());

    const MergeResult result = RunMerge({source + "/", source, alternate, {}, {}, {}}, host);
    EXPECT_TRUE(result.merged);
    EXPECT_EQ(host.messages, (std::vector<Message>{{Summary(2, 0, 0, 2), "Merge Info"}}));
    EXPECT_EQ(TakeSnapshot(root.Path()), before);
}

TEST_F(MergeTest, UnreadableSourceEndsWithoutSummaryButStoresHistories) {
    const std::string file = root.File("a-file", "not a folder");
    const MergeResult result = RunMerge({file, destination, alternate, {}, {}, {}}, host);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(result.merged);
    EXPECT_FALSE(result.counts.has_value());
    EXPECT_EQ(result.sourceHistory, settings::FolderList{file});
    EXPECT_EQ(root.Read("a-file"), "not a folder");
}

// A folder on another file system than the temporary directory, removed afterwards.
class OtherFileSystemFolder {
  public:
    explicit OtherFileSystemFolder(const std::string& base) {
        std::string pattern = base + "/tidemark-test-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~OtherFileSystemFolder() {
        if (!path_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path_, ignored);
        }
    }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

TEST_F(MergeTest, AcrossFileSystemsCopiesThenDeletesAndNeverReplaces) {
    OtherFileSystemFolder other("/dev/shm");
    if (other.Path().empty() || platform::SameFileSystem(other.Path(), source)) {
        GTEST_SKIP() << "no second file system at hand: /dev/shm is missing, not writable or "
                        "on the same file system as "
                     << root.Path();
    }
    const std::string farDestination = other.Path() + "/dst";
    const std::string farAlternate = other.Path() + "/alt";
    std::filesystem::create_directory(farDestination);
    std::filesystem::create_directory(farAlternate);
    root.File("src/new.txt", "new");
    root.File("src/other.txt", "other size");
    root.File("src/blocked.txt", "blocked!!");
    root.File("src/same.txt", "same");
    root.SetTime("src/new.txt", 1000000000);
    {
        std::ofstream(farDestination + "/OTHER.TXT") << "x";
        std::ofstream(farDestination + "/blocked.txt") << "b";
        std::ofstream(farAlternate + "/blocked.txt") << "kept";
        std::ofstream(farDestination + "/same.txt") << "SAME";
    }

    const MergeResult result = RunMerge({source, farDestination, farAlternate, {}, {}, {}}, host);
    EXPECT_EQ(host.messages, (std::vector<Message>{{Summary(4, 1, 2, 1), "Merge Info"}}));
    EXPECT_EQ(TakeSnapshot(root.Path()), (Snapshot{
                                             {"src/", ""},
                                             {"src/blocked.txt", "blocked!!"},
                                             {"src/same.txt", "same"},
                                             {"dst/", ""},
                                             {"alt/", ""},
                                         }));
    EXPECT_EQ(TakeSnapshot(other.Path()), (Snapshot{
                                              {"dst/", ""},
                                              {"dst/new.txt", "new"},
                                              {"dst/OTHER.TXT", "x"},
                                              {"dst/blocked.txt", "b"},
                                              {"dst/same.txt", "SAME"},
                                              {"alt/", ""},
                                              {"alt/other.txt", "other size"},
                                              {"alt/blocked.txt", "kept"},
                                          }));
    // The copy keeps the last-write time, as a move would.
    EXPECT_EQ(platform::StatPath(farDestination + "/new.txt")->modified,
              platform::FileTimeFromUnix(1000000000, 0));
}

}  // namespace
}  // namespace tidemark::folderops
