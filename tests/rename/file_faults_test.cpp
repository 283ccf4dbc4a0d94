// Every file operation on a small batch, with a failure at its 1st, 2nd, 3rd, ... file-system
// call until a run meets none. After each run: every original byte is still reachable under
// exactly one name (a copy adds at most one whole copy), nothing partial or temporary is
// visible, and the result, messages and log lines are the ones of a failed or finished step.

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "folderops/intelligent_merge.h"
#include "folderops/move_on_length.h"
#include "platform/file_system.h"
#include "platform/folder_fd.h"
#include "platform/fs_faults.h"
#include "rename/rename_execution.h"
#include "tests/folderops/folder_snapshot.h"
#include "tests/support/temp_folder.h"

namespace tidemark::rename {
namespace {

using folderops::testing::Plant;
using folderops::testing::Snapshot;
using folderops::testing::TakeSnapshot;
using platform::Fault;
using platform::FaultInjection;
using platform::FsCallKind;
using Names = std::vector<std::string>;

const int kErrors[] = {EIO, ENOSPC, EXDEV, EINVAL, EPERM, EACCES};
const char* const kShowVisuals = "OnPerformFileRename - Show Proper Visuals\n";
const char* const kMissingDestination =
    "You have chosen to move or copy the files to a different directory.  So, you must provide "
    "a destination directory.";

struct Message {
    std::string text;
    std::string caption;
    bool operator==(const Message&) const = default;
};

class Recorder : public RenameHost, public folderops::FolderOpsHost {
  public:
    void ShowMessage(const std::string& text, const std::string& caption) override {
        messages.push_back({text, caption});
    }
    void Log(const std::string& line) override { logs.push_back(line); }
    int ChangeFolder(const std::string&) override { return 1; }
    void RefreshPreview() override {}
    void ResetPage() override {}
    void AddSourceFolder(const std::string&) override {}
    void AddDestFolder(const std::string&) override {}

    std::vector<Message> messages;
    Names logs;
};

// A tmpfs mounted on a folder while the object lives (root only).
class TmpfsMount {
  public:
    TmpfsMount(const std::string& at, const char* options)
        : at_(at), ok_(mount("tidemark-test", at.c_str(), "tmpfs", 0, options) == 0) {}
    ~TmpfsMount() {
        if (ok_) {
            umount2(at_.c_str(), MNT_DETACH);
        }
    }
    bool Ok() const { return ok_; }

  private:
    std::string at_;
    bool ok_;
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
    std::vector<Message> messages;
    Names logs;
    Names moved, failed;  // Move On Length
};

// The batch in src; for the merge, dst holds one of its names with another size.
constexpr const char* kBatch =
    "src/a.txt=alpha|src/bb.txt=bravo bravo|src/ccc.txt=charlie charlie charlie|dst/keep.md=keep";
constexpr const char* kMergeBatch =
    "src/a.txt=alpha|src/bb.txt=bravo bravo|src/ccc.txt=charlie charlie charlie|dst/ccc.txt=x";

// Runs the row's operation with faults in force (the catalogue is read before, without them).
Outcome RunRow(const Row& row, const std::string& root, const std::vector<Fault>& faults,
               const std::function<void()>& onFail = {}) {
    Outcome out;
    Recorder host;
    const std::string src = root + "/src", dst = root + "/dst", alt = root + "/alt";
    if (row.op == Op::MoveOnLength) {
        FaultInjection injection(faults, onFail);
        const auto result = folderops::RunMoveOnLength({src, dst, "3", {}, {}}, host);
        out.moved = result.moved;
        out.failed = result.failed;
        out.fired = injection.Fired(0);
    } else if (row.op == Op::Merge) {
        FaultInjection injection(faults, onFail);
        folderops::RunMerge({src, dst, alt, {}, {}, {}}, host);
        out.fired = injection.Fired(0);
    } else {
        catalogue::FileCatalogue catalogue;
        catalogue.LoadFolder(src);
        RenameRules rules(PageKind::Files);
        rules.Options().DoReplace = true;
        rules.Options().MatchCase = true;
        rules.Options().RepOrig = ".txt";  // a case-only change of every name
        rules.Options().RepNew = ".TXT";
        Numbering numbering;
        numbering.Options().PosMode = kPosBefore;
        numbering.Options().Output = row.op == Op::Copy ? kOutputCopy : kOutputMove;
        numbering.Options().DestDir = dst;
        const RenameRequest request = row.op == Op::InPlace
                                          ? RenameRequest{kTabFiles, &rules, nullptr}
                                          : RenameRequest{kTabNumber, nullptr, &numbering};
        FaultInjection injection(faults, onFail);
        out.code = OnPerformFileRename(catalogue, request, host);
        out.fired = injection.Fired(0);
    }
    out.messages = host.messages;
    out.logs = host.logs;
    return out;
}

void Reset(const testing::TempFolder& root, const char* batch) {
    for (const char* folder : {"src", "dst", "alt"}) {
        for (const auto& entry : std::filesystem::directory_iterator(root / folder)) {
            std::filesystem::remove_all(entry.path());
        }
    }
    Plant(root, batch);
}

// Where each content may be after a run: where it was, or where a finished run put it; never
// more often than the finished run holds it (a move: once). A crash may leave a moved entry
// under both names, never under none.
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
            if (message ==
                Message{ComposeFileErrorMessage(name, platform::SystemErrorText(error)), "Error"}) {
                return true;
            }
        }
    }
    return false;
}

// A fault met while checking that the folders exist reads as a folder that is not there: the
// operation's own refusal, with nothing changed.
bool IsFolderRefusal(const Outcome& clean, const Outcome& got, const Snapshot& before,
                     const Snapshot& after) {
    if (got.messages.empty() || after != before) {
        return false;
    }
    if (got.code == kRenameWrongSelection) {
        return got.messages == std::vector<Message>{{kMissingDestination, "Error"}} &&
               got.logs == Names(clean.logs.begin(), clean.logs.begin() + 3);
    }
    for (const Message& message : got.messages) {
        if (message.caption != "Error" || !message.text.starts_with("The ") ||
            !message.text.ends_with(" directory is not valid.")) {
            return false;
        }
    }
    return true;
}

// The result, messages and log lines of a run that met a fault, against the finished run.
void ExpectReported(const Row& row, const Outcome& clean, const Outcome& got,
                    const Snapshot& before, const Snapshot& done, const Snapshot& after,
                    const std::string& root) {
    if (IsFolderRefusal(clean, got, before, after)) {
        return;
    }
    if (row.op == Op::MoveOnLength) {
        EXPECT_TRUE(got.messages.empty());
        for (const std::string& name : got.moved) {
            EXPECT_FALSE(std::filesystem::exists(root + "/src/" + name)) << name;
        }
        for (const std::string& name : got.failed) {
            EXPECT_TRUE(std::filesystem::exists(root + "/src/" + name)) << name;
        }
        return;
    }
    if (row.op == Op::Merge) {
        // Counters grow whether or not a transfer worked; a source that cannot be listed gives
        // no summary and moves nothing.
        if (got.messages.empty()) {
            EXPECT_EQ(after.count("src/a.txt"), 1u);
        } else {
            ASSERT_EQ(got.messages.size(), 1u);
            EXPECT_EQ(got.messages[0].caption, "Merge Info");
            EXPECT_TRUE(got.messages[0].text.starts_with("There were a total of 3 files."));
        }
        return;
    }
    if (got.code == kRenameOk) {
        EXPECT_TRUE(got.messages.empty());
        EXPECT_EQ(got.logs, clean.logs);
        EXPECT_EQ(after, done);
        return;
    }
    EXPECT_EQ(got.code, kRenameFileOpFailed);
    ASSERT_EQ(got.messages.size(), 1u);
    EXPECT_TRUE(IsFileError(got.messages[0])) << got.messages[0].text;
    Names logs = clean.logs;
    logs.pop_back();
    EXPECT_EQ(got.logs, logs);
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
        testing::TempFolder root;
        for (const char* folder : {"src", "dst", "alt"}) {
            root.Folder(folder);
        }
        // Declared after root: unmounted before root is removed.
        std::unique_ptr<TmpfsMount> dstMount, altMount;
        if (row.otherFileSystem) {
            dstMount = std::make_unique<TmpfsMount>(root / "dst", "size=1m");
            altMount = std::make_unique<TmpfsMount>(root / "alt", "size=1m");
            if (!dstMount->Ok() || !altMount->Ok()) {
                std::printf("skipped \"%s\": mounting a tmpfs needs root\n", row.name);
                continue;
            }
        }
        const char* batch = row.op == Op::Merge ? kMergeBatch : kBatch;
        Reset(root, batch);
        const Snapshot before = TakeSnapshot(root.Path());
        const Outcome clean = RunRow(row, root.Path(), row.background);
        const Snapshot done = TakeSnapshot(root.Path());
        ASSERT_NE(done, before);
        ASSERT_EQ(clean.code, kRenameOk);
        ASSERT_TRUE(row.op != Op::InPlace || clean.logs.back() == kShowVisuals);

        int n = 1;
        for (;; ++n) {
            ASSERT_LT(n, 400) << "the operation never ran to its end";
            SCOPED_TRACE("failing call " + std::to_string(n));
            Reset(root, batch);
            const int error = kErrors[n % std::size(kErrors)];
            std::vector<Fault> faults{{FsCallKind::Any, n, error}};
            faults.insert(faults.end(), row.background.begin(), row.background.end());
            // Stopped right there (a crash): no name shows a partial file; only a hidden
            // temporary name may be left.
            const auto atCrash = [&] {
                Snapshot visible = TakeSnapshot(root.Path());
                std::erase_if(visible, [](const auto& entry) {
                    return entry.first.find("/.tidemark-") != std::string::npos;
                });
                ExpectNothingLost(before, done, visible, /*crashed=*/true);
            };
            const Outcome got = RunRow(row, root.Path(), faults, atCrash);
            const Snapshot after = TakeSnapshot(root.Path());
            if (!got.fired) {
                EXPECT_EQ(after, done);
                break;
            }
            ExpectNothingLost(before, done, after);
            ExpectReported(row, clean, got, before, done, after, root.Path());
        }
        EXPECT_GT(n, 3);
    }
}

}  // namespace
}  // namespace tidemark::rename

namespace tidemark::rename {
namespace {

struct Window {
    catalogue::FileCatalogue catalogue;
    Recorder host;
    Numbering numbering;

    int Number(const std::string& folder, std::uint16_t output, const std::string& dest = {}) {
        catalogue.LoadFolder(folder);
        numbering.Options().PosMode = kPosBefore;
        numbering.Options().Output = output;
        numbering.Options().DestDir = dest;
        return OnPerformFileRename(catalogue, {kTabNumber, nullptr, &numbering}, host);
    }
};

Names Listed(const std::string& folder) {
    Names names;
    platform::ListFolder(folder, [&](const platform::DirEntry& entry) {
        if (entry.name != "." && entry.name != "..") {
            names.emplace_back(entry.name);
        }
        return true;
    });
    std::sort(names.begin(), names.end());
    return names;
}

// Real kernel faults: a full file system, a read-only one (or folder, without root).
TEST(FileFaults, FullAndReadOnlyFileSystemsReachTheUser) {
    testing::TempFolder root;
    root.Folder("src");
    root.Folder("dst");
    root.File("src/big.bin", std::string(256 * 1024, 'b'));
    const bool isRoot = geteuid() == 0;
    const TmpfsMount small(root / "dst", "size=64k");
    // One batch into dst fails on big.bin with error, told by the file-operation message.
    const auto failsWith = [&root](int mode, int error) {
        Window window;
        EXPECT_EQ(window.Number(root / "src", mode, root / "dst"), kRenameFileOpFailed);
        EXPECT_EQ(
            window.host.messages,
            (std::vector<Message>{
                {ComposeFileErrorMessage("big.bin", platform::SystemErrorText(error)), "Error"}}));
    };
    if (isRoot && small.Ok()) {
        failsWith(kOutputCopy, ENOSPC);
        EXPECT_TRUE(Listed(root / "dst").empty());
        ASSERT_EQ(
            mount(nullptr, (root / "dst").c_str(), nullptr, MS_REMOUNT | MS_RDONLY, "size=64k"), 0);
    } else {
        std::printf("full file system not tried: mounting a tmpfs needs root\n");
        chmod((root / "dst").c_str(), 0555);
    }
    const int denied = isRoot && small.Ok() ? EROFS : EACCES;
    if (!isRoot || small.Ok()) {
        failsWith(kOutputMove, denied);
        Recorder host;
        const auto result =
            folderops::RunMoveOnLength({root / "src", root / "dst", "1", {}, {}}, host);
        EXPECT_EQ(result.failed, Names{"big.bin"});
        EXPECT_EQ(Listed(root / "src"), Names{"big.bin"});
        EXPECT_TRUE(Listed(root / "dst").empty());
    }
    chmod((root / "dst").c_str(), 0755);
}

// A folder whose path is near PATH_MAX: every entry's full path is too long, yet the batch
// runs whole, in place and into another such folder.
TEST(FileFaults, LongFolderPathsDoNotSplitABatch) {
    testing::TempFolder root;
    std::string deep = root.Path();
    while (deep.size() < 3900) {
        deep += "/" + std::string(180, 'd');
    }
    const std::string src = deep + "/s", dst = deep + "/t";
    std::filesystem::create_directories(src);
    std::filesystem::create_directories(dst);
    const Names names = {std::string(200, 'a'), std::string(200, 'b'), std::string(200, 'c')};
    {
        const platform::FolderFd folder = platform::FolderFd::Open(src);
        for (const std::string& name : names) {
            close(openat(folder.Get(), name.c_str(), O_CREAT | O_WRONLY, 0644));
        }
    }
    Window inPlace;
    EXPECT_EQ(inPlace.Number(src, kOutputRename), kRenameOk);
    EXPECT_TRUE(inPlace.host.messages.empty());
    EXPECT_EQ(Listed(src), (Names{"1" + names[0], "2" + names[1], "3" + names[2]}));
    Window move;
    EXPECT_EQ(move.Number(src, kOutputMove, dst), kRenameOk);
    EXPECT_EQ(Listed(dst), (Names{"11" + names[0], "22" + names[1], "33" + names[2]}));
    Recorder host;
    const auto back = folderops::RunMoveOnLength({dst, src, "1", {}, {}}, host);
    EXPECT_EQ(back.moved.size(), 3u);
    EXPECT_EQ(Listed(src).size(), 3u);
    // Removed here: the temporary folder's own cleanup walks full paths.
    const platform::FolderFd folder = platform::FolderFd::Open(src);
    for (const std::string& name : Listed(src)) {
        unlinkat(folder.Get(), name.c_str(), 0);
    }
}

// Moving to another file system means copying: a FIFO stays, with a message.
TEST(FileFaults, FolderToolsSkipWhatCannotBeCopied) {
    for (const bool merge : {false, true}) {
        SCOPED_TRACE(merge ? "Intelligent Merge" : "Move On Length");
        testing::TempFolder root;
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
        const Message skipped{folderops::NotCopyableMessage({"a-pipe.fifo"}), "Error"};
        ASSERT_FALSE(host.messages.empty());
        EXPECT_EQ(host.messages[0], skipped);
        EXPECT_EQ(host.messages.size(), merge ? 2u : 1u);
        EXPECT_EQ(Listed(root / "src"), Names{"a-pipe.fifo"});
        EXPECT_EQ(Listed(root / "dst"), Names{"a-long-file.txt"});
    }
}

}  // namespace
}  // namespace tidemark::rename
