// Move On Length and Intelligent Merge journalled and undone, within one file system and (when
// /dev/shm is another one) across two: the trees come back byte for byte with their times.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "folderops/intelligent_merge.h"
#include "folderops/move_on_length.h"
#include "platform/file_system.h"
#include "rename/undo.h"
#include "tests/folderops/folder_snapshot.h"
#include "tests/support/tree_state.h"

namespace tidemark::folderops::testing {
namespace {

using tidemark::testing::ReadTreeState;
using tidemark::testing::TempFolder;

// A folder on another file system, when the machine has one at hand.
struct OtherFileSystemFolder {
    std::string path;
    OtherFileSystemFolder() {
        char pattern[] = "/dev/shm/tidemark-test-XXXXXX";
        if (std::filesystem::is_directory("/dev/shm") && mkdtemp(pattern) != nullptr) {
            path = pattern;
        }
    }
    ~OtherFileSystemFolder() {
        if (!path.empty()) {
            std::filesystem::remove_all(path);
        }
    }
};

TEST(UndoFolderOps, MoveOnLengthAndMergeRoundTrips) {
    OtherFileSystemFolder other;
    for (const bool merge : {false, true}) {
        for (const bool across : {false, true}) {
            SCOPED_TRACE(std::string(merge ? "merge" : "move on length") +
                         (across ? " across file systems" : ""));
            TempFolder root;
            TempFolder state;
            if (across &&
                (other.path.empty() || platform::SameFileSystem(root.Path(), other.path))) {
                continue;
            }
            const std::string far = (across ? other.path : root.Path()) + (merge ? "/m" : "/l");
            std::filesystem::create_directories(far + "/dst");
            std::filesystem::create_directories(far + "/alt");
            Plant(root, "src/longer-name.txt=1|src/short=2|src/same.txt=3|src/other.txt=44");
            root.SetTime("src/longer-name.txt", 1200000000);
            root.SetTime("src/other.txt", 1300000000);
            std::filesystem::copy_file(root / "src/same.txt", far + "/dst/same.txt");
            if (merge) {  // a name that Move On Length would refuse as a clash
                std::filesystem::copy_file(root / "src/short", far + "/dst/OTHER.txt");
            }
            const auto before = ReadTreeState(root.Path());
            const auto farBefore = ReadTreeState(far);

            platform::JournalWriter journal(state.Path());
            RecordingHost host;
            if (merge) {
                MergeRequest request;
                request.source = root / "src";
                request.destination = far + "/dst";
                request.alternate = far + "/alt";
                request.journal = &journal;
                ASSERT_TRUE(RunMerge(request, host).merged);
            } else {
                MoveOnLengthRequest request;
                request.source = root / "src";
                request.destination = far + "/dst";
                request.lengthText = "8";
                request.journal = &journal;
                ASSERT_TRUE(RunMoveOnLength(request, host).close);
            }
            ASSERT_NE(ReadTreeState(root.Path()), before);

            const auto batches = rename::ListBatches(state.Path());
            ASSERT_EQ(batches.size(), 1u);
            EXPECT_EQ(batches[0].operation, merge ? "merge" : "move-on-length");
            const rename::UndoResult undo = rename::UndoBatch(batches[0].path, false, state.Path());
            EXPECT_EQ(undo.status, 0) << (undo.skipped.empty() ? undo.message : undo.skipped[0]);
            EXPECT_EQ(undo.undone, merge ? 3u : 2u);
            EXPECT_EQ(ReadTreeState(root.Path()), before);
            EXPECT_EQ(ReadTreeState(far), farBefore);
        }
    }
}

}  // namespace
}  // namespace tidemark::folderops::testing
