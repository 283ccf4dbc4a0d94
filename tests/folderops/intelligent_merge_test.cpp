#include "folderops/intelligent_merge.h"

#include <gtest/gtest.h>

#include "folderops/move_on_length.h"
#include "platform/file_system.h"
#include "rename/undo.h"
#include "tests/folderops/folder_snapshot.h"

namespace tidemark::folderops {
namespace {

using testing::Message;
using testing::Plant;
using testing::RecordingHost;
using testing::TakeSnapshot;
using testing::Tree;
using tidemark::testing::TempFolder;
using Names = std::vector<std::string>;

Message Summary(int total, int moved, int alternate, int kept) {
    return {"There were a total of " + std::to_string(total) + " files.\n  " +
                std::to_string(moved) + " were moved normally to the destination folder.\n  " +
                std::to_string(alternate) +
                " existed in the destination folder with a different size - moved to alternate "
                "directory)\n  " +
                std::to_string(kept) +
                " existed in the destination folder with the same size - not moved)",
            "Merge Info"};
}

// Every row of the merge table in one run: new, same size (other content still counts as the same),
// other size, name taken in the alternate too; lookup ignores case, an exact name wins; subfolders
// stay. Across file systems a move copies (last-write time kept) then deletes, and never replaces.
TEST(MergeTableTest, EveryCaseOfTheTableInOneRun) {
    const std::string other = tidemark::testing::OtherFileSystem();
    for (const bool across : {false, true}) {
        SCOPED_TRACE(across ? "across file systems" : "within one file system");
        if (across && other.empty()) {
            continue;
        }
        TempFolder root;
        const TempFolder far(across ? other : std::string());
        Plant(root,
              "src/a.txt=A|src/b.txt=bb|src/c.txt=ccc|src/d.txt=ddd|src/sub/a.txt=in a subfolder|"
              "src/readme.txt=longer text|src/Notes.md=1234|src/X.TXT=xx");
        root.SetTime("src/a.txt", 1000000000);
        Plant(far,
              "dst/b.txt=BB|dst/c.txt=cc|dst/d.txt=dd|alt/d.txt=d|dst/README.TXT=short|"
              "dst/NOTES.MD=abcd|dst/x.txt=x|dst/X.TXT=XX");
        RecordingHost host;
        const MergeResult result = RunMerge(
            {root / "src", far / "dst", far / "alt", {"/x", "/y"}, {}, {"/1", "/2", "/3", "/4"}},
            host);
        EXPECT_TRUE(result.merged);
        EXPECT_EQ(host.messages, (std::vector<Message>{Summary(7, 1, 3, 3)}));
        EXPECT_EQ(host.progress.back(), std::make_pair(std::size_t{7}, std::size_t{7}));
        EXPECT_EQ(TakeSnapshot(root.Path()),
                  Tree("src/|src/b.txt=bb|src/d.txt=ddd|src/sub/|src/sub/a.txt=in a subfolder|"
                       "src/Notes.md=1234|src/X.TXT=xx"));
        EXPECT_EQ(TakeSnapshot(far.Path()),
                  Tree("dst/|dst/a.txt=A|dst/b.txt=BB|dst/c.txt=cc|dst/d.txt=dd|"
                       "dst/README.TXT=short|dst/NOTES.MD=abcd|dst/x.txt=x|dst/X.TXT=XX|"
                       "alt/|alt/c.txt=ccc|alt/d.txt=d|alt/readme.txt=longer text"));
        EXPECT_EQ(platform::StatPath(far / "dst/a.txt")->modified,
                  platform::FileTimeFromUnix(1000000000, 0));
        EXPECT_EQ(result.sourceHistory, (Names{root / "src", "/x", "/y"}));
        EXPECT_EQ(result.destinationHistory, (Names{far / "dst"}));
        EXPECT_EQ(result.alternateHistory, (Names{far / "alt", "/1", "/2", "/3"}));
    }
}

// Case-sensitive: the first of New.txt and NEW.TXT moves in; the other meets it with another size.
TEST(MergeTest, SizesDifferingAbove32BitsAndNamesMovedEarlierInTheRun) {
    TempFolder root;
    RecordingHost host;
    root.Folder("alt");
    root.SizedFile("src/big.bin", 1);
    root.SizedFile("dst/big.bin", (std::uint64_t{1} << 32) + 1);
    root.File("src/New.txt", "1");
    root.File("src/NEW.TXT", "22");
    EXPECT_TRUE(RunMerge({root / "src", root / "dst", root / "alt", {}, {}, {}}, host).merged);
    EXPECT_EQ(host.messages, (std::vector<Message>{Summary(3, 1, 2, 0)}));
    EXPECT_TRUE(root.Names("src").empty());
    EXPECT_EQ(platform::StatPath(root / "alt/big.bin")->size, 1u);
    const Names inDestination = root.Names("dst"), inAlternate = root.Names("alt");
    ASSERT_EQ(inDestination.size(), 2u);
    EXPECT_NE(inDestination[0], inAlternate[0]);
    EXPECT_EQ(root.Read("alt/" + inAlternate[0]), inAlternate[0] == "New.txt" ? "1" : "22");
}

// Both undone from their journals, on one file system and across two: trees and times come back.
TEST(UndoFolderOps, MoveOnLengthAndMergeRoundTrips) {
    using tidemark::testing::ReadTreeState;
    const std::string other = tidemark::testing::OtherFileSystem();
    for (const bool merge : {false, true}) {
        for (const bool across : {false, true}) {
            SCOPED_TRACE(std::string(merge ? "merge" : "move on length") +
                         (across ? " across file systems" : ""));
            if (across && other.empty()) {
                continue;
            }
            TempFolder root, state;
            const TempFolder far(across ? other : root.Path());
            Plant(root, "src/longer-name.txt=1|src/short=2|src/same.txt=3|src/other.txt=44");
            root.SetTime("src/longer-name.txt", 1200000000);
            root.SetTime("src/other.txt", 1300000000);
            // OTHER.txt: a name that Move On Length would refuse as a clash.
            Plant(far, merge ? "dst/same.txt=3|alt/|dst/OTHER.txt=2" : "dst/same.txt=3|alt/");
            const auto before = ReadTreeState(root.Path());
            const auto farBefore = ReadTreeState(far.Path());
            platform::JournalWriter journal(state.Path());
            RecordingHost host;
            ASSERT_TRUE(
                merge
                    ? RunMerge({root / "src", far / "dst", far / "alt", {}, {}, {}, &journal}, host)
                          .merged
                    : RunMoveOnLength({root / "src", far / "dst", "8", {}, {}, &journal}, host)
                          .close);
            ASSERT_NE(ReadTreeState(root.Path()), before);
            EXPECT_EQ(journal.ChangedCount(), merge ? 3u : 2u);  // the window's "N entries changed"
            const auto batches = rename::ListBatches(state.Path());
            ASSERT_EQ(batches.size(), 1u);
            EXPECT_EQ(batches[0].operation, merge ? "merge" : "move-on-length");
            const rename::UndoResult undo = rename::UndoBatch(batches[0].path, false, state.Path());
            EXPECT_EQ(undo.status, 0) << (undo.skipped.empty() ? undo.message : undo.skipped[0]);
            EXPECT_EQ(undo.undone, merge ? 3u : 2u);
            EXPECT_EQ(ReadTreeState(root.Path()), before);
            EXPECT_EQ(ReadTreeState(far.Path()), farBefore);
        }
    }
}

}  // namespace
}  // namespace tidemark::folderops
