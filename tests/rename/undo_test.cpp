#include "rename/undo.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "catalogue/file_catalogue.h"
#include "platform/fs_faults.h"
#include "rename/rename_execution.h"
#include "tests/rename/recorder.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tree_state.h"

namespace tidemark::rename {
namespace {

using testing::Names;
using testing::Recorder;
using tidemark::testing::ReadTreeState;
using tidemark::testing::TempFolder;
using tidemark::testing::TreeState;

// A tree (source "src" with odd names, destination "dst") and a journal folder.
struct Batch {
    TempFolder root;
    TempFolder state;
    const Names names{"a.txt", "b c%.txt", "\xff\xfe raw.txt", "d.txt"};

    Batch() {
        root.Folder("dst");
        root.File("dst/keep.txt", "keep");
        for (std::size_t i = 0; i < names.size(); ++i) {
            root.File("src/" + names[i], "content " + names[i]);
            root.SetTime("src/" + names[i], 1000000000 + static_cast<std::int64_t>(i) * 3600);
        }
    }
    // Runs the Number page (numbers before the names) with output mode 0, 1 or 2, the file-system
    // calls failing as faults say; whether one did. Without faults the batch must succeed.
    bool Run(std::uint16_t output, const std::vector<platform::Fault>& faults = {}) {
        catalogue::FileCatalogue catalogue;
        EXPECT_EQ(catalogue.LoadFolder(root / "src"), 1);
        Numbering numbering;
        numbering.Options().PosMode = kPosBefore;
        numbering.Options().Output = output;
        numbering.Options().DestDir = root / "dst";
        platform::JournalWriter journal(state.Path());
        Recorder host;
        platform::FaultInjection injection(faults);
        const int result = OnPerformFileRename(
            catalogue, {.tabIndex = kTabNumber, .numbering = &numbering, .journal = &journal},
            host);
        EXPECT_TRUE(!faults.empty() || (result == kRenameOk && host.messages.empty()));
        return injection.Fired();
    }
    std::vector<BatchSummary> History() const { return ListBatches(state.Path()); }
    UndoResult Undo(std::size_t n = 0) const {
        return UndoBatch(History().at(n).path, false, state.Path());
    }
};

// Rewrites a journal as damage, or a kill, could leave it.
void EditJournal(const std::string& path,
                 const std::function<std::string(const std::string&)>& edit) {
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    in.close();
    std::ofstream(path, std::ios::trunc) << edit(text);
}

TEST(Undo, RoundTripsRestoreNamesContentsAndTimes) {
    for (const std::uint16_t output : {kOutputRename, kOutputMove, kOutputCopy}) {
        SCOPED_TRACE(output);
        Batch batch;
        const TreeState before = ReadTreeState(batch.root.Path());
        batch.Run(output);
        const TreeState after = ReadTreeState(batch.root.Path());
        ASSERT_NE(after, before);
        const UndoResult undo = batch.Undo();
        EXPECT_EQ(undo.status, 0) << (undo.skipped.empty() ? undo.message : undo.skipped[0]);
        EXPECT_EQ(undo.undone, batch.names.size());
        EXPECT_EQ(ReadTreeState(batch.root.Path()), before);
        auto history = batch.History();
        ASSERT_EQ(history.size(), 2u);
        EXPECT_TRUE(history[0].isUndo);
        EXPECT_EQ(history[1].state, BatchState::Undone);
        EXPECT_EQ(LastUndoable(history), -1);

        // Undoing twice changes nothing; undoing the undo redoes the batch.
        EXPECT_EQ(UndoBatch(history[1].path, false, batch.state.Path()).status, 2);
        EXPECT_EQ(ReadTreeState(batch.root.Path()), before);
        const UndoResult redo = batch.Undo(0);
        EXPECT_EQ(redo.status, 0) << (redo.skipped.empty() ? redo.message : redo.skipped[0]);
        const TreeState redone = ReadTreeState(batch.root.Path());
        if (output == kOutputCopy) {
            EXPECT_EQ(redone.size(), after.size());  // copies made again, with new inodes
        } else {
            EXPECT_EQ(redone, after);
        }
        history = batch.History();
        EXPECT_EQ(history[2].state, BatchState::Complete);
        EXPECT_EQ(LastUndoable(history), 2);
    }
}

TEST(Undo, SkipsAndListsWhatChangedNeverOverwriting) {
    Batch batch;
    batch.Run(kOutputRename);
    // A record torn by a kill after the end changes nothing.
    EditJournal(batch.History()[0].path, [](const std::string& t) { return t + "D 0"; });
    batch.root.File("src/a.txt", "made since");    // the old name is taken again
    batch.root.File("src/other", "another file");  // 3d.txt replaced by another file
    std::rename((batch.root / "src/other").c_str(), (batch.root / "src/3d.txt").c_str());
    const UndoResult undo = batch.Undo();
    EXPECT_EQ(undo.status, 1);
    EXPECT_EQ(undo.undone, 2u);
    ASSERT_EQ(undo.skipped.size(), 2u);
    EXPECT_NE(undo.skipped[0].find("3d.txt: no longer the file"), std::string::npos);
    EXPECT_NE(undo.skipped[1].find("1a.txt: the old name a.txt is taken"), std::string::npos);
    EXPECT_EQ(batch.root.Names("src"),
              (Names{"1a.txt", "3d.txt", "a.txt", "b c%.txt", "\xff\xfe raw.txt"}));
    EXPECT_EQ(batch.root.Read("src/a.txt"), "made since");
    EXPECT_EQ(batch.root.Read("src/3d.txt"), "another file");

    // A copy edited since stays; the untouched copies go.
    Batch copies;
    copies.Run(kOutputCopy);
    std::ofstream(copies.root / "dst/1a.txt", std::ios::app) << " edited";
    const UndoResult uncopy = copies.Undo();
    EXPECT_EQ(uncopy.status, 1);
    ASSERT_EQ(uncopy.skipped.size(), 1u);
    EXPECT_NE(uncopy.skipped[0].find("1a.txt: changed since it was copied"), std::string::npos);
    EXPECT_EQ(copies.root.Names("dst"), (Names{"1a.txt", "keep.txt"}));
    EXPECT_EQ(copies.root.Names("src").size(), 4u);
}

TEST(Undo, BatchStoppedByAFaultIsUndoneCompletely) {
    for (const std::uint16_t output : {kOutputRename, kOutputMove, kOutputCopy}) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE(std::to_string(output) + " fault at call " + std::to_string(n));
            Batch batch;
            const TreeState before = ReadTreeState(batch.root.Path());
            const bool fired =
                batch.Run(output, {{.kind = platform::FsCallKind::Any, .failAt = n, .error = EIO}});
            // A batch refused by its checks wrote no journal and changed nothing.
            if (!batch.History().empty()) {
                const UndoResult undo = batch.Undo();
                EXPECT_EQ(undo.status, 0)
                    << (undo.skipped.empty() ? undo.message : undo.skipped[0]);
            }
            EXPECT_EQ(ReadTreeState(batch.root.Path()), before);
            if (!fired || n > 200) {
                break;
            }
        }
    }
}

TEST(Undo, DamagedOrCutShortJournalIsRefusedWhole) {
    const struct {
        const char* what;
        std::function<std::string(const std::string&)> damage;
        const char* why;
    } cases[] = {
        {"a byte of the plan changed",
         [](const std::string& t) {
             std::string d = t;
             d[d.find("2b")] = 'M';
             return d;
         },
         "check sum"},
        {"cut inside the plan", [](const std::string& t) { return t.substr(0, t.find("P ")); },
         "cut short"},
        {"a bad step line", [](const std::string& t) { return t + "D 99\nE complete\n"; }, "line"},
        {"a short added step", [](const std::string& t) { return t + "A R 0\n"; }, "line"},
        {"an added step in no folder", [](const std::string& t) { return t + "A R 1 a 0 b 0 0\n"; },
         "line"},
        {"a bad escape", [](const std::string& t) { return t + "A R 0 %G1 0 b 0 0\n"; }, "line"},
        {"an unknown end", [](const std::string& t) { return t + "E bogus\n"; }, "line"},
        {"a number with a tail", [](const std::string& t) { return t + "D 1x\n"; }, "line"},
        {"not a journal", [](const std::string&) { return std::string("hello\n"); },
         "not a journal"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Batch batch;
        batch.Run(kOutputRename);
        const TreeState after = ReadTreeState(batch.root.Path());
        const std::string path = batch.History()[0].path;
        EditJournal(path, c.damage);
        const UndoResult undo = UndoBatch(path, false, batch.state.Path());
        EXPECT_EQ(undo.status, 2);
        EXPECT_NE(undo.message.find("damaged"), std::string::npos) << undo.message;
        EXPECT_NE(undo.message.find(c.why), std::string::npos) << undo.message;
        EXPECT_EQ(ReadTreeState(batch.root.Path()), after);
        EXPECT_EQ(batch.History()[0].state, BatchState::Damaged);
    }
}

}  // namespace
}  // namespace tidemark::rename
