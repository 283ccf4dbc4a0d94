#include "platform/file_system.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <regex>

#include <gtest/gtest.h>

#include "platform/folder_fd.h"
#include "platform/fs_faults.h"
#include "platform/journal.h"
#include "platform/runlog.h"
#include "platform/text.h"
#include "tests/support/temp_folder.h"

namespace tidemark::platform {
namespace {

using tidemark::testing::TempFolder;
using Names = std::vector<std::string>;

// Moves by path and without the flag (where renameat2 lacks RENAME_NOREPLACE: EINVAL) never land on
// an existing name; unchanged or case-only names are fine; a missing source says why.
TEST(FileSystem, MovesNeverOverwriteWithOrWithoutTheNoReplaceFlag) {
    const struct {
        const char* from;
        const char* to;
        int error;
        Names names;
    } cases[] = {
        {"file", "file", 0, {"dir", "file", "other"}},
        {"file", "FILE", 0, {"FILE", "dir", "other"}},
        {"file", "new", 0, {"dir", "new", "other"}},
        {"file", "other", EEXIST, {"dir", "file", "other"}},
        {"file", "dir", EEXIST, {"dir", "file", "other"}},
        {"dir", "DIR", 0, {"DIR", "file", "other"}},
        {"dir", "other", EEXIST, {"dir", "file", "other"}},
        {"missing", "x", ENOENT, {"dir", "file", "other"}},
    };
    for (const bool withFlag : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(withFlag ? "with: " : "without: ") + c.from + " -> " + c.to);
            TempFolder dir;
            dir.Folder("dir");
            dir.File("file", "f");
            dir.File("other", "o");
            FaultInjection noFlag(withFlag ? std::vector<Fault>{}
                                           : std::vector<Fault>{{FsCallKind::Rename, 1, EINVAL,
                                                                 true, RENAME_NOREPLACE}});
            const FolderFd folder = FolderFd::Open(dir.Path());
            EXPECT_EQ(withFlag ? MoveFileNoReplace(dir / c.from, dir / c.to)
                               : MoveEntryAt(folder.Get(), c.from, folder.Get(), c.to),
                      c.error);
            EXPECT_EQ(dir.Names(), c.names);
            EXPECT_EQ(dir.Read("other"), "o");
            EXPECT_EQ(dir.Read(c.error == 0 && c.from == std::string("file") ? c.to : "file"), "f");
            EXPECT_EQ(noFlag.Fired(), !withFlag);
        }
    }
}

// A copy keeps the data, never replaces, leaves nothing behind when it fails; a link
// is copied as a link and a special entry never opened (reading it would block or never end).
TEST(FileSystem, CopiesAndSpecialEntries) {
    TempFolder dir;
    dir.Folder("far");
    chmod(dir.File("src.bin", "payload").c_str(), 06755);
    dir.SetTime("src.bin", 1275282662);
    dir.File("taken.bin", "keep me");
    EXPECT_EQ(CopyFileNoReplace(dir / "src.bin", dir / "taken.bin"), EEXIST);
    EXPECT_EQ(dir.Read("taken.bin"), "keep me");
    ASSERT_EQ(CopyFileNoReplace(dir / "src.bin", dir / "far/copy.bin"), 0);
    EXPECT_EQ(dir.Read("far/copy.bin"), "payload");
    EXPECT_EQ(CopyFileNoReplace(dir / "far", dir / "far-copy"), EISDIR);
    DeleteFile(dir / "far/copy.bin");
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", (dir / "zero").c_str()), 0);
    ASSERT_EQ(symlink("pipe", (dir / "to-pipe").c_str()), 0);
    EXPECT_EQ(StatPath(dir / "pipe")->kind, EntryKind::Special);
    EXPECT_EQ(StatPath(dir / "zero")->kind, EntryKind::Symlink);
    EXPECT_EQ(CopyFileNoReplace(dir / "pipe", dir / "far/pipe"), kNotCopyableError);
    ASSERT_EQ(CopyFileNoReplace(dir / "zero", dir / "far/zero"), 0);
    ASSERT_EQ(CopyFileNoReplace(dir / "to-pipe", dir / "far/to-pipe"), 0);
    EXPECT_EQ(std::filesystem::read_symlink(dir / "far/zero"), "/dev/zero");
    EXPECT_EQ(std::filesystem::read_symlink(dir / "far/to-pipe"), "pipe");
    EXPECT_EQ(CopyFileNoReplace(dir / "zero", dir / "far/zero"), EEXIST);
    EXPECT_EQ(dir.Names("far"), (Names{"to-pipe", "zero"}));
    {
        // Another file system, where the owner cannot be given (it is ours already).
        const FaultInjection across(
            {{FsCallKind::Rename, 1, EXDEV, true}, {FsCallKind::Owner, 1, EPERM, true}});
        EXPECT_EQ(MoveFileNoReplace(dir / "pipe", dir / "far/pipe"), kNotCopyableError);
        EXPECT_EQ(MoveFileNoReplace(dir / "src.bin", dir / "taken.bin"), EEXIST);
        EXPECT_EQ(dir.Read("src.bin") + dir.Read("taken.bin"), "payloadkeep me");
        EXPECT_EQ(MoveFileNoReplace(dir / "zero", dir / "far/zero2"), 0);
        EXPECT_EQ(MoveFileNoReplace(dir / "src.bin", dir / "far/src.bin"), 0);
    }
    struct stat st {};  // the moved copy keeps mode, set-ID bits and time
    ASSERT_EQ(stat((dir / "far/src.bin").c_str(), &st), 0);
    EXPECT_EQ(std::pair(st.st_mode & 07777, st.st_mtim.tv_sec), std::pair(06755u, 1275282662L));
    EXPECT_EQ(std::filesystem::read_symlink(dir / "far/zero2"), "/dev/zero");
    // Within one file system only the name changes, whatever the kind.
    EXPECT_EQ(MoveFileNoReplace(dir / "pipe", dir / "far/pipe"), 0);
    EXPECT_EQ(dir.Names(), (Names{"far", "taken.bin", "to-pipe"}));
}

TEST(FileSystem, PathTextsNameChecksAndNoCaseLookup) {
    const std::pair<std::string, std::string> texts[] = {
        {StripTrailingSeparator("/tmp/"), "/tmp"}, {StripTrailingSeparator("/tmp"), "/tmp"},
        {StripTrailingSeparator("/"), "/"},        {JoinPath("/", "etc"), "/etc"},
        {JoinPath("/tmp", "a"), "/tmp/a"},         {JoinPath("/tmp/", "a"), "/tmp/a"},
        {ParentFolder("/tmp/a"), "/tmp"},          {ParentFolder("/a"), "/"},
    };
    for (const auto& [got, expected] : texts) {
        EXPECT_EQ(got, expected);
    }
    const std::pair<std::string, int> names[] = {
        {"ok.txt", 0},
        {"", EINVAL},
        {".", EINVAL},
        {"..", EINVAL},
        {"a/b", EINVAL},
        {std::string("a\0b", 3), EINVAL},
        {std::string(255, 'x'), 0},
        {std::string(256, 'x'), ENAMETOOLONG},
    };
    for (const auto& [name, error] : names) {
        EXPECT_EQ(CheckEntryName(name), error) << name;
    }

    // The exact name wins over one equal but for case.
    TempFolder dir;
    dir.File("README.TXT", "upper");
    EXPECT_EQ(FindNameNoCase(dir.Path(), "readme.txt"), "README.TXT");
    dir.File("readme.txt", "lower");
    EXPECT_EQ(FindNameNoCase(dir.Path(), "readme.txt"), "readme.txt");
    EXPECT_EQ(FindNameNoCase(dir.Path(), "other.txt"), std::nullopt);
    EXPECT_EQ(FindNameNoCase(dir.Path(), "../x"), std::nullopt);
}

TEST(Text, DecodeCountsCodePointsAndKeepsInvalidBytes) {
    // "É", the last 2-byte and a first-lead 3-byte character, "😀", a stray continuation byte, an
    // overlong "/", a cut 3-byte sequence at the end and an encoded surrogate (invalid, not an
    // escape): each invalid byte is a character of its own.
    const std::string name =
        "\xC3\x89t\xDF\xBF\xE0\xA4\xA6\xF0\x9F\x98\x80\x80\xC0\xAFz\xED\xB2\x80\xE2\x82";
    // An invalid byte b decodes to the escape 0xDC00 + b.
    const std::u32string expected =
        U"\u00C9t\u07FF\u0926\U0001F600\xDC80\xDCC0\xDCAFz\xDCED\xDCB2\xDC80\xDCE2\xDC82";
    ASSERT_EQ(kEscapeBase, 0xDC00U);
    EXPECT_EQ(DecodeUtf8(name), expected);
    EXPECT_EQ(CharCount(name), expected.size());
    EXPECT_EQ(EncodeUtf8(expected), name);
    // One character is what the user sees: e + accent; a control byte stays alone even before one.
    EXPECT_EQ(GraphemeCount("e\u0301\n\u0301\x7F\u0301"), 5u);
}

TEST(Text, CaseMappingAndNoCaseComparison) {
    // Unicode case mapping, but "ß" has no simple upper case and escapes stay as they are.
    const std::pair<char32_t, char32_t> upper[] = {
        {U'\u00E9', U'\u00C9'}, {U'\u03C9', U'\u03A9'}, {U'\u00DF', U'\u00DF'},
        {U'a', U'A'},           {U'1', U'1'},           {kEscapeBase + 0xE9, kEscapeBase + 0xE9},
    };
    for (const auto& [lower, expected] : upper) {
        EXPECT_EQ(ToUpperChar(lower), expected) << static_cast<std::uint32_t>(lower);
    }
    EXPECT_EQ(ToLowerChar(U'\u00C9'), U'\u00E9');
    EXPECT_EQ(ToLowerChar(U'Z'), U'z');

    // Only "A"-"Z" fold; bytes compare unsigned ("A" folds to 0x61, above "_" at 0x5F).
    const struct {
        const char* a;
        const char* b;
        int sign;
    } compares[] = {
        {"README.TXT", "readme.txt", 0},
        {"\xC3\x89", "\xC3\xA9", -1},
        {"abc", "abcd", -1},
        {"c", "B", 1},
        {"_", "A", -1},
        {"z", "\xC3\x89", -1},
    };
    for (const auto& c : compares) {
        const int result = NoCaseCompare(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " " << c.b;
        EXPECT_EQ(NoCaseEqual(c.a, c.b), c.sign == 0) << c.a << " " << c.b;
    }
    EXPECT_EQ(FoldAscii("AbC.\xC3\x89"), "abc.\xC3\x89");
}

TEST(Journal, NamesStepsAndEndReadBackExactly) {
    TempFolder state, dir;
    std::string allBytes;
    for (int b = 1; b < 256; ++b) {
        allBytes += b == '/' ? 'x' : static_cast<char>(b);
    }
    dir.File("a", "1");
    JournalPlan plan;
    plan.operation = "copy";
    plan.folders = {dir.Path(), "/other folder/%20"};
    plan.steps = {{StepKind::Rename, 0, 0, "a", allBytes, 0, 0},
                  {StepKind::Copy, 0, 1, "b c", "", 7, 42},
                  {StepKind::Rename, 0, 0, "kept", "kept", 0, 0}};
    JournalWriter writer(state.Path());
    ASSERT_EQ(writer.Begin(plan), 0);
    writer.Done(1, {1, 2, 3, -4});
    EXPECT_EQ(writer.Amend({StepKind::Move, 1, 0, "%", "d", 5, 6}), 3u);
    writer.Done(0);  // buffered until Finish
    writer.Done(2);  // a name left as it was is not a change
    EXPECT_EQ(writer.ChangedCount(), 2u);
    ASSERT_EQ(writer.Finish(true), 0);
    ASSERT_EQ(MarkUndone(writer.Path(), "batch-x.tmj"), 0);
    std::string error;
    const auto journal = ReadJournal(writer.Path(), error);
    ASSERT_TRUE(journal) << error;
    EXPECT_EQ(journal->plan.folders, plan.folders);
    ASSERT_EQ(journal->plan.steps.size(), 4u);
    EXPECT_EQ(journal->plan.steps[0].newName, allBytes);
    EXPECT_EQ(journal->plan.steps[0].inode, IdentifyEntry(dir.Path(), "a")->inode);
    EXPECT_EQ(journal->plan.steps[1].newName, "");
    EXPECT_EQ(journal->plan.steps[1].inode, 42u);
    EXPECT_EQ(journal->plan.steps[3].oldName, "%");
    EXPECT_EQ(journal->plan.steps[3].kind, StepKind::Move);
    EXPECT_EQ(journal->done, (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(journal->written[1], (FileIdentity{1, 2, 3, -4}));
    EXPECT_EQ(journal->end, BatchEnd::Complete);
    EXPECT_EQ(journal->undoneBy, (std::vector<std::string>{"batch-x.tmj"}));
}

TEST(Journal, StateFolderAndPruningToTheNewestFifty) {
    const struct {
        const char* state;
        const char* xdg;
        const char* expected;
    } cases[] = {
        {"/s/", "/x", "/s"},
        {nullptr, "/x", "/x/tidemark"},
        {nullptr, "relative", "/home/u/.local/state/tidemark"},
        {nullptr, nullptr, "/home/u/.local/state/tidemark"},
    };
    const char* home = getenv("HOME");
    const std::string savedHome = home != nullptr ? home : "";
    setenv("HOME", "/home/u", 1);
    for (const auto& c : cases) {
        c.state ? setenv("TMK_STATE", c.state, 1) : unsetenv("TMK_STATE");
        c.xdg ? setenv("XDG_STATE_HOME", c.xdg, 1) : unsetenv("XDG_STATE_HOME");
        EXPECT_EQ(StateFolder(), c.expected);
    }
    setenv("HOME", savedHome.c_str(), 1);
    unsetenv("TMK_STATE");
    unsetenv("XDG_STATE_HOME");
    TempFolder state;
    std::vector<std::string> made;
    JournalPlan empty;
    empty.operation = "rename";
    for (std::size_t i = 0; i < kJournalsKept + 2; ++i) {
        JournalWriter writer(state / "nested");
        ASSERT_EQ(writer.Begin(empty), 0);
        made.push_back(writer.Path());
    }
    const std::vector<std::string> kept = ListJournals(state / "nested");
    ASSERT_EQ(kept.size(), kJournalsKept);
    EXPECT_EQ(kept.front(), made.back());
    EXPECT_EQ(kept.back(), made[2]);
}

// With a temporary folder as the current folder: lines are appended verbatim after a time stamp,
// only while the log is open; a log that cannot be opened refuses lines.
TEST(RunLog, LinesAreAppendedVerbatimWithATimeStamp) {
    TempFolder temp;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(temp.Path());
    RunLogShutdown();
    EXPECT_FALSE(LogMessage("before the start"));
    EXPECT_FALSE(temp.Exists("tmk.log"));
    temp.File("tmk.log", "earlier run\n");
    EXPECT_TRUE(RunLogInitialize(0x1234, 2));
    EXPECT_TRUE(RunLogInitialize(0x1234, 2));  // a second start keeps the open log
    EXPECT_TRUE(LogMessage("Stage 1: 50% of %s %d done"));
    EXPECT_TRUE(LogMessage(""));
    RunLogShutdown();
    EXPECT_FALSE(LogMessage("after the end"));
    const std::string stamp = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z )";
    EXPECT_TRUE(std::regex_match(
        temp.Read("tmk.log"),
        std::regex("earlier run\n" + stamp + "Stage 1: 50% of %s %d done\n" + stamp + "\n")))
        << temp.Read("tmk.log");
    TempFolder blocked;
    blocked.Folder("tmk.log");
    std::filesystem::current_path(blocked.Path());
    EXPECT_FALSE(RunLogInitialize(0, 2));
    EXPECT_FALSE(LogMessage("nowhere to go"));
    std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace tidemark::platform
