// Every file operation on a small batch, failing its 1st, 2nd, ... file-system call until a run
// meets none. Then every original byte is under exactly one name (a copy adds at most one whole
// copy), nothing partial or temporary shows, and results, messages and logs fit the step.

#include <sys/mount.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "folderops/intelligent_merge.h"
#include "folderops/move_on_length.h"
#include "platform/fs_faults.h"
#include "rename/rename_execution.h"
#include "tests/rename/recorder.h"
#include "tests/support/temp_folder.h"

namespace tidemark::rename {
namespace {

using folderops::testing::Plant;
using folderops::testing::Snapshot;
using folderops::testing::TakeSnapshot;
using platform::Fault;
using platform::FaultInjection;
using platform::FsCallKind;
using testing::FileError;
using testing::Message;
using testing::Messages;
using testing::Names;
using testing::Recorder;
using tidemark::testing::TempFolder;

const int kErrors[] = {EIO, ENOSPC, EXDEV, EINVAL, EPERM, EACCES};

// A tmpfs mounted on a folder (root only), unmounted when the object goes.
struct TmpfsMount {
    std::string at;
    bool ok = mount("tidemark-test", at.c_str(), "tmpfs", 0, "size=1m") == 0;
    ~TmpfsMount() { umount2(at.c_str(), MNT_DETACH); }
};

enum class Op { InPlace, Move, Copy, MoveOnLength, Merge };

struct Row {
    const char* name;
    Op op;
    std::vector<Fault> background;  // how the file system behaves besides the injected fault
    bool otherFileSystem = false;   // destination and alternate on a tmpfs of their own
};

struct Outcome {
    bool fired = false;  // the first fault of the list made a call fail
    int code = 1;
    Recorder host;
    Names moved, failed;  // Move On Length
};

// Runs the row's operation with faults in force (the catalogue is read before, without them).
void RunRow(const Row& row, const std::string& root, const std::vector<Fault>& faults, Outcome& out,
            const std::function<void()>& onFail = {}) {
    const std::string src = root + "/src", dst = root + "/dst", alt = root + "/alt";
    catalogue::FileCatalogue catalogue;
    catalogue.LoadFolder(src);
    RenameRules rules(PageKind::Files);  // a case-only change of every name
    rules.Options() = {.MatchCase = true, .DoReplace = true, .RepOrig = ".txt", .RepNew = ".TXT"};
    Numbering numbering;
    numbering.Options().PosMode = kPosBefore;
    numbering.Options().Output = row.op == Op::Copy ? kOutputCopy : kOutputMove;
    numbering.Options().DestDir = dst;
    FaultInjection injection(faults, onFail);
    if (row.op == Op::MoveOnLength) {
        const auto result = folderops::RunMoveOnLength({src, dst, "3", {}, {}}, out.host);
        out.moved = result.moved;
        out.failed = result.failed;
    } else if (row.op == Op::Merge) {
        folderops::RunMerge({src, dst, alt, {}, {}, {}}, out.host);
    } else {
        out.code = OnPerformFileRename(catalogue,
                                       row.op == Op::InPlace
                                           ? RenameRequest{kTabFiles, &rules, nullptr}
                                           : RenameRequest{kTabNumber, nullptr, &numbering},
                                       out.host);
    }
    out.fired = injection.Fired(0);
}

// Where each content may be after a run: where it was, or where a finished run put it, never more
// often than there (a move: once). A crash may leave a moved entry under both names, never none.
void ExpectNothingLost(const Snapshot& before, const Snapshot& done, const Snapshot& after,
                       bool crashed = false) {
    std::map<std::string, int> inDone, inAfter;
    for (const auto& [path, content] : done) {
        ++inDone[content];
    }
    for (const auto& [path, content] : after) {
        ++inAfter[content];
        const auto was = before.find(path);
        const auto will = done.find(path);
        EXPECT_TRUE((was != before.end() && was->second == content) ||
                    (will != done.end() && will->second == content))
            << "unexpected " << path << "=" << content;
    }
    for (const auto& [path, content] : before) {
        EXPECT_GE(inAfter[content], 1) << "lost " << path;
        EXPECT_TRUE(crashed || inAfter[content] <= inDone[content]) << "doubled " << path;
    }
}

bool IsFileError(const Message& message) {
    for (const char* name : {"a.txt", "bb.txt", "ccc.txt"}) {
        for (const int error : kErrors) {
            if (message == FileError(name, error)) {
                return true;
            }
        }
    }
    return false;
}

// A fault while checking that folders exist reads as a missing folder: refused, nothing changed.
bool IsFolderRefusal(const Outcome& clean, const Outcome& got, bool changed) {
    const Messages& messages = got.host.messages;
    if (messages.empty() || changed) {
        return false;
    }
    if (got.code == kRenameWrongSelection) {
        const Names& logs = clean.host.logs;
        static const Messages kMissingDestination{
            {"You have chosen to move or copy the files to a different "
             "directory.  So, you must provide a destination directory.",
             "Error"}};
        return messages == kMissingDestination && logs.size() >= 3 &&
               std::equal(logs.begin(), logs.begin() + 3, got.host.logs.begin(),
                          got.host.logs.end());
    }
    return std::all_of(messages.begin(), messages.end(), [](const Message& message) {
        return message.caption == "Error" && message.text.starts_with("The ") &&
               message.text.ends_with(" directory is not valid.");
    });
}

void ExpectReported(const Row& row, const Outcome& clean, const Outcome& got, const Snapshot& done,
                    const Snapshot& after, const std::string& root) {
    const Messages& messages = got.host.messages;
    if (row.op == Op::MoveOnLength) {
        EXPECT_TRUE(messages.empty());
        for (const std::string& name : got.moved) {
            EXPECT_FALSE(std::filesystem::exists(root + "/src/" + name)) << name;
        }
        for (const std::string& name : got.failed) {
            EXPECT_TRUE(std::filesystem::exists(root + "/src/" + name)) << name;
        }
    } else if (row.op == Op::Merge) {
        // Failed transfers count too; an unlistable source: no summary, nothing moved.
        if (messages.empty()) {
            EXPECT_EQ(after.count("src/a.txt"), 1u);
        } else {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].caption, "Merge Info");
            EXPECT_TRUE(messages[0].text.starts_with("There were a total of 3 files."));
        }
    } else if (got.code == kRenameOk) {
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(got.host.logs, clean.host.logs);
        EXPECT_EQ(after, done);
    } else {
        EXPECT_EQ(got.code, kRenameFileOpFailed);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(IsFileError(messages[0])) << messages[0].text;
        EXPECT_EQ(got.host.logs, Names(clean.host.logs.begin(), clean.host.logs.end() - 1));
    }
}

TEST(FileFaults, EveryStepOfEveryOperationFailsSafely) {
    const Fault noNoReplace{FsCallKind::Rename, 1, EINVAL, true, RENAME_NOREPLACE};
    const Fault noTmpfile{FsCallKind::Open, 1, EOPNOTSUPP, true, O_TMPFILE};
    const std::vector<Row> rows = {
        {"rename in place", Op::InPlace, {}},
        {"rename in place without RENAME_NOREPLACE", Op::InPlace, {noNoReplace}},
        {"move to a destination", Op::Move, {}},
        {"copy to a destination", Op::Copy, {}},
        {"copy without O_TMPFILE", Op::Copy, {noTmpfile}},
        {"copy without O_TMPFILE nor RENAME_NOREPLACE", Op::Copy, {noTmpfile, noNoReplace}},
        {"move to another file system", Op::Move, {}, true},
        {"Move On Length", Op::MoveOnLength, {}},
        {"Move On Length to another file system", Op::MoveOnLength, {}, true},
        {"Intelligent Merge", Op::Merge, {}},
        {"Intelligent Merge to another file system", Op::Merge, {}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder root;
        // Declared after root: unmounted before root is removed.
        std::optional<TmpfsMount> dstMount, altMount;
        if (row.otherFileSystem) {
            dstMount.emplace(root.Folder("dst"));
            altMount.emplace(root.Folder("alt"));
            if (!dstMount->ok || !altMount->ok) {
                std::printf("skipped \"%s\": mounting a tmpfs needs root\n", row.name);
                continue;
            }
        }
        // The batch in src; for the merge, dst holds one of its names with another size.
        const auto reset = [&] {
            for (const char* folder : {"src", "dst", "alt"}) {
                std::filesystem::create_directory(root / folder);
                for (const auto& entry : std::filesystem::directory_iterator(root / folder)) {
                    std::filesystem::remove_all(entry.path());
                }
            }
            Plant(root, "src/a.txt=alpha|src/bb.txt=bravo bravo|src/ccc.txt=charlie charlie");
            Plant(root, row.op == Op::Merge ? "dst/ccc.txt=x" : "dst/keep.md=keep");
        };
        reset();
        const Snapshot before = TakeSnapshot(root.Path());
        Outcome clean;
        RunRow(row, root.Path(), row.background, clean);
        const Snapshot done = TakeSnapshot(root.Path());
        ASSERT_NE(done, before);
        ASSERT_EQ(clean.code, kRenameOk);
        ASSERT_TRUE(row.op != Op::InPlace ||
                    clean.host.logs.back() == "OnPerformFileRename - Show Proper Visuals\n");
        int n = 1;
        for (;; ++n) {
            ASSERT_LT(n, 400) << "the operation never ran to its end";
            SCOPED_TRACE("failing call " + std::to_string(n));
            reset();
            std::vector<Fault> faults{{FsCallKind::Any, n, kErrors[n % std::size(kErrors)]}};
            faults.insert(faults.end(), row.background.begin(), row.background.end());
            // Stopped there (a crash): no partial file under any name, only a hidden temporary.
            const auto atCrash = [&] {
                Snapshot visible = TakeSnapshot(root.Path());
                std::erase_if(visible, [](const auto& entry) {
                    return entry.first.find("/.tidemark-") != std::string::npos;
                });
                ExpectNothingLost(before, done, visible, /*crashed=*/true);
            };
            Outcome got;
            RunRow(row, root.Path(), faults, got, atCrash);
            const Snapshot after = TakeSnapshot(root.Path());
            if (!got.fired) {
                EXPECT_EQ(after, done);
                break;
            }
            ExpectNothingLost(before, done, after);
            if (!IsFolderRefusal(clean, got, after != before)) {
                ExpectReported(row, clean, got, done, after, root.Path());
            }
        }
        EXPECT_GT(n, 3);
    }
}

// Moving to another file system means copying: a FIFO stays, with a message.
TEST(FileFaults, FolderToolsSkipWhatCannotBeCopied) {
    for (const bool merge : {false, true}) {
        SCOPED_TRACE(merge ? "Intelligent Merge" : "Move On Length");
        TempFolder root;
        Plant(root, "src/a-long-file.txt=data|dst/|alt/");
        ASSERT_EQ(mkfifo((root / "src/a-pipe.fifo").c_str(), 0644), 0);
        Recorder host;
        {
            FaultInjection otherFileSystem({{FsCallKind::Rename, 1, EXDEV, true}});
            if (merge) {
                folderops::RunMerge({root / "src", root / "dst", root / "alt", {}, {}, {}}, host);
            } else {
                folderops::RunMoveOnLength({root / "src", root / "dst", "3", {}, {}}, host);
            }
        }
        ASSERT_EQ(host.messages.size(), merge ? 2u : 1u);
        EXPECT_EQ(host.messages[0],
                  (Message{folderops::NotCopyableMessage({"a-pipe.fifo"}), "Error"}));
        EXPECT_EQ(root.Names("src"), Names{"a-pipe.fifo"});
        EXPECT_EQ(root.Names("dst"), Names{"a-long-file.txt"});
    }
}

}  // namespace
}  // namespace tidemark::rename
