#include "platform/file_system.h"

#include <stdio.h>
#include <sys/stat.h>

#include <unistd.h>

#include <cerrno>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "platform/folder_fd.h"
#include "platform/fs_faults.h"
#include "tests/support/temp_folder.h"

namespace tidemark::platform {
namespace {

using tidemark::testing::TempFolder;

TEST(FileSystem, MoveNeverOverwritesAndAllowsCaseOnlyRenames) {
    TempFolder dir;
    dir.File("a.txt", "first");
    dir.File("b.txt", "second");

    const int err = MoveFileNoReplace(dir / "a.txt", dir / "b.txt");
    EXPECT_EQ(err, EEXIST);
    EXPECT_FALSE(SystemErrorText(err).empty());
    EXPECT_EQ(dir.Read("a.txt"), "first");
    EXPECT_EQ(dir.Read("b.txt"), "second");

    EXPECT_EQ(MoveFileNoReplace(dir / "a.txt", dir / "A.TXT"), 0);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"A.TXT", "b.txt"}));
    EXPECT_EQ(dir.Read("A.TXT"), "first");

    // Renaming an entry to its own name is no change, not a failure.
    EXPECT_EQ(MoveFileNoReplace(dir / "b.txt", dir / "b.txt"), 0);
    EXPECT_EQ(dir.Read("b.txt"), "second");

    // Folders move too, and a missing source reports the system's reason.
    dir.Folder("sub");
    EXPECT_EQ(MoveFileNoReplace(dir / "sub", dir / "sub2"), 0);
    EXPECT_TRUE(IsDirectory(dir / "sub2"));
    EXPECT_EQ(MoveFileNoReplace(dir / "missing", dir / "x"), ENOENT);
}

TEST(FileSystem, CopyRefusesExistingTargetAndKeepsModeAndTime) {
    TempFolder dir;
    dir.File("src.bin", "payload");
    dir.SetTime("src.bin", 1275282662);
    chmod((dir / "src.bin").c_str(), 0640);
    dir.File("taken.bin", "keep me");

    EXPECT_EQ(CopyFileNoReplace(dir / "src.bin", dir / "taken.bin"), EEXIST);
    EXPECT_EQ(dir.Read("taken.bin"), "keep me");

    ASSERT_EQ(CopyFileNoReplace(dir / "src.bin", dir / "copy.bin"), 0);
    EXPECT_EQ(dir.Read("copy.bin"), "payload");
    EXPECT_EQ(dir.Read("src.bin"), "payload");
    struct stat st {};
    ASSERT_EQ(stat((dir / "copy.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1275282662);

    // A folder is not copied, and a failed copy leaves no partial target behind.
    dir.Folder("sub");
    EXPECT_EQ(CopyFileNoReplace(dir / "sub", dir / "sub-copy"), EISDIR);
    EXPECT_FALSE(dir.Exists("sub-copy"));
}

TEST(FileSystem, MoveAcrossFileSystemsCopiesThenDeletes) {
    TempFolder dir;
    const std::string shm = "/dev/shm";
    if (!IsDirectory(shm) || SameFileSystem(shm, dir.Path()) || access(shm.c_str(), W_OK) != 0) {
        GTEST_SKIP() << "no second writable file system at hand (/dev/shm)";
    }
    dir.File("far.txt", "travelling");
    const std::string target = shm + "/tidemark-move-test-" + std::to_string(getpid());
    ASSERT_EQ(MoveFileNoReplace(dir / "far.txt", target), 0);
    EXPECT_FALSE(dir.Exists("far.txt"));
    ASSERT_TRUE(PathExists(target));
    // Back again onto an existing name: refused, both kept.
    dir.File("far.txt", "new one");
    EXPECT_EQ(MoveFileNoReplace(target, dir / "far.txt"), EEXIST);
    EXPECT_EQ(dir.Read("far.txt"), "new one");
    EXPECT_TRUE(PathExists(target));
    DeleteFile(target);
}

// A move to another file system as the seam plays it: every rename answers EXDEV.
FaultInjection OtherFileSystem() {
    return FaultInjection({{FsCallKind::Rename, 1, EXDEV, true}});
}

std::string LinkTarget(const std::string& path) {
    char buffer[256];
    const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer);
    return n < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(n));
}

TEST(FileSystem, SpecialEntriesAreNeverOpenedAndLinksAreCopiedAsLinks) {
    TempFolder dir;
    dir.Folder("far");
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", (dir / "zero").c_str()), 0);
    ASSERT_EQ(symlink("pipe", (dir / "to-pipe").c_str()), 0);
    EXPECT_EQ(StatPath(dir / "pipe")->kind, EntryKind::Special);
    EXPECT_EQ(StatPath(dir / "zero")->kind, EntryKind::Symlink);
    EXPECT_EQ(StatPath(dir / "far")->kind, EntryKind::Directory);

    // Reading either would block or never end.
    EXPECT_EQ(CopyFileNoReplace(dir / "pipe", dir / "far/pipe"), kNotCopyableError);
    ASSERT_EQ(CopyFileNoReplace(dir / "zero", dir / "far/zero"), 0);
    ASSERT_EQ(CopyFileNoReplace(dir / "to-pipe", dir / "far/to-pipe"), 0);
    EXPECT_EQ(LinkTarget(dir / "far/zero"), "/dev/zero");
    EXPECT_EQ(LinkTarget(dir / "far/to-pipe"), "pipe");
    EXPECT_EQ(CopyFileNoReplace(dir / "zero", dir / "far/zero"), EEXIST);
    EXPECT_EQ(dir.Names("far"), (std::vector<std::string>{"to-pipe", "zero"}));
    {
        const FaultInjection across = OtherFileSystem();
        EXPECT_EQ(MoveFileNoReplace(dir / "pipe", dir / "far/pipe"), kNotCopyableError);
        EXPECT_EQ(MoveFileNoReplace(dir / "zero", dir / "far/zero2"), 0);
    }
    EXPECT_EQ(LinkTarget(dir / "far/zero2"), "/dev/zero");
    // Within one file system only the name changes, whatever the kind.
    EXPECT_EQ(MoveFileNoReplace(dir / "pipe", dir / "far/pipe"), 0);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"far", "to-pipe"}));
}

TEST(FileSystem, MovesKeepOwnerModeAndTimesCopiesDropSetIdWithoutTheOwner) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "giving a file to another user needs root";
    }
    TempFolder dir;
    dir.Folder("far");
    for (const char* name : {"tool", "tool2"}) {
        dir.File(name, "#!/bin/sh\n");
        dir.SetTime(name, 1275282662);
        ASSERT_EQ(chown((dir / name).c_str(), 1234, 2345), 0);
        ASSERT_EQ(chmod((dir / name).c_str(), 06755), 0);
    }
    const auto owner = [&](const std::string& name) {
        struct stat st {};
        EXPECT_EQ(lstat((dir / name).c_str(), &st), 0);
        return std::vector<long>{long(st.st_uid), long(st.st_gid), long(st.st_mode & 07777),
                                 long(st.st_mtim.tv_sec)};
    };
    ASSERT_EQ(CopyFileNoReplace(dir / "tool", dir / "far/copy"), 0);
    EXPECT_EQ(owner("far/copy"), (std::vector<long>{0, 0, 0755, 1275282662}));
    {
        const FaultInjection across = OtherFileSystem();
        ASSERT_EQ(MoveFileNoReplace(dir / "tool", dir / "far/moved"), 0);
    }
    EXPECT_EQ(owner("far/moved"), (std::vector<long>{1234, 2345, 06755, 1275282662}));
    // The owner cannot be given back: the set-ID bits go with it.
    {
        FaultInjection across(
            {{FsCallKind::Rename, 1, EXDEV, true}, {FsCallKind::Owner, 1, EPERM, true}});
        ASSERT_EQ(MoveFileNoReplace(dir / "tool2", dir / "far/moved2"), 0);
    }
    EXPECT_EQ(owner("far/moved2"), (std::vector<long>{0, 0, 0755, 1275282662}));
}

TEST(FileSystem, MoveAcrossSyncsTheCopyAndItsFolderBeforeDeletingTheSource) {
    TempFolder dir;
    dir.Folder("far");
    dir.File("a.txt", "alpha");
    int syncsBeforeDelete = -1;
    FaultInjection* seen = nullptr;
    FaultInjection faults({{FsCallKind::Rename, 1, EXDEV, true}, {FsCallKind::Unlink, 1, EIO}},
                          [&] { syncsBeforeDelete = seen->Calls(FsCallKind::Sync); });
    seen = &faults;
    // The source cannot be deleted: the copy is taken back.
    EXPECT_EQ(MoveFileNoReplace(dir / "a.txt", dir / "far/a.txt"), EIO);
    EXPECT_EQ(syncsBeforeDelete, 2);
    EXPECT_EQ(dir.Read("a.txt"), "alpha");
    EXPECT_TRUE(dir.Names("far").empty());
}

// Where renameat2 refuses RENAME_NOREPLACE (EINVAL), every move ends as it does with the flag.
TEST(FileSystem, WithoutTheNoReplaceFlagMovesEndAsWithIt) {
    struct Case {
        const char* from;
        const char* to;
        int error;
        std::vector<std::string> names;
    };
    const std::vector<Case> cases = {
        {"file", "file", 0, {"dir", "file", "other"}},
        {"file", "FILE", 0, {"FILE", "dir", "other"}},
        {"file", "new", 0, {"dir", "new", "other"}},
        {"file", "other", EEXIST, {"dir", "file", "other"}},
        {"file", "dir", EEXIST, {"dir", "file", "other"}},
        {"dir", "dir", 0, {"dir", "file", "other"}},
        {"dir", "DIR", 0, {"DIR", "file", "other"}},
        {"dir", "other", EEXIST, {"dir", "file", "other"}},
        {"missing", "x", ENOENT, {"dir", "file", "other"}},
    };
    for (const bool withFlag : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(withFlag ? "with: " : "without: ") + c.from + " -> " + c.to);
            TempFolder dir;
            dir.Folder("dir");
            dir.File("file", "f");
            dir.File("other", "o");
            FaultInjection noFlag(withFlag ? std::vector<Fault>{}
                                           : std::vector<Fault>{{FsCallKind::Rename, 1, EINVAL,
                                                                 true, RENAME_NOREPLACE}});
            const FolderFd folder = FolderFd::Open(dir.Path());
            EXPECT_EQ(MoveEntryAt(folder.Get(), c.from, folder.Get(), c.to), c.error);
            EXPECT_EQ(dir.Names(), c.names);
            EXPECT_EQ(noFlag.Fired(), !withFlag);
        }
    }
}

TEST(FileSystem, ListingKeepsInvalidUtf8NamesAndMapsAttributes) {
    TempFolder dir;
    const std::string odd = "bad\xFF\xFEname.txt";
    dir.File(odd, "x");
    dir.File(".hidden");
    dir.File("locked.txt");
    chmod((dir / "locked.txt").c_str(), 0444);
    dir.Folder("sub");
    dir.SizedFile("big.bin", 5ULL << 30);
    dir.SetTime("big.bin", 1275282662);

    std::map<std::string, DirEntry> seen;
    std::vector<std::string> names;
    ASSERT_TRUE(ListFolder(dir.Path(), [&](const DirEntry& e) {
        names.emplace_back(e.name);
        DirEntry copy = e;
        copy.name = {};
        seen[std::string(e.name)] = copy;
        return true;
    }));
    ASSERT_TRUE(seen.count(odd));
    EXPECT_EQ(seen[odd].attributes, kAttrNormal);
    EXPECT_EQ(seen[".hidden"].attributes, kAttrHidden);
    EXPECT_EQ(seen["locked.txt"].attributes, kAttrReadOnly);
    EXPECT_EQ(seen["sub"].attributes & kAttrDirectory, kAttrDirectory);
    EXPECT_EQ(seen["sub"].size, 0u);
    EXPECT_EQ(seen["big.bin"].size, 5ULL << 30);
    // 2010-05-31 05:11:02 UTC in 100-ns ticks since 1601.
    EXPECT_EQ(seen["big.bin"].modified, (1275282662ULL + 11644473600ULL) * 10000000ULL);
    EXPECT_TRUE(seen.count(".") && seen.count(".."));

    // The odd name survives a rename byte for byte.
    EXPECT_EQ(MoveFileNoReplace(dir / odd, dir / (odd + ".moved")), 0);
    EXPECT_TRUE(dir.Exists(odd + ".moved"));
    EXPECT_FALSE(ListFolder(dir / "missing", [](const DirEntry&) { return true; }));
}

TEST(FileSystem, PathTextsAndNameChecks) {
    EXPECT_EQ(StripTrailingSeparator("/tmp/"), "/tmp");
    EXPECT_EQ(StripTrailingSeparator("/tmp"), "/tmp");
    EXPECT_EQ(StripTrailingSeparator("/"), "/");
    EXPECT_EQ(JoinPath("/", "etc"), "/etc");
    EXPECT_EQ(JoinPath("/tmp", "a"), "/tmp/a");
    EXPECT_EQ(JoinPath("/tmp/", "a"), "/tmp/a");
    EXPECT_EQ(ParentFolder("/tmp/a"), "/tmp");
    EXPECT_EQ(ParentFolder("/a"), "/");

    EXPECT_EQ(CheckEntryName("ok.txt"), 0);
    EXPECT_EQ(CheckEntryName(""), EINVAL);
    EXPECT_EQ(CheckEntryName("."), EINVAL);
    EXPECT_EQ(CheckEntryName(".."), EINVAL);
    EXPECT_EQ(CheckEntryName("a/b"), EINVAL);
    EXPECT_EQ(CheckEntryName(std::string("a\0b", 3)), EINVAL);
    EXPECT_EQ(CheckEntryName(std::string(255, 'x')), 0);
    EXPECT_EQ(CheckEntryName(std::string(256, 'x')), ENAMETOOLONG);
}

TEST(FileSystem, FindNameNoCasePrefersTheExactName) {
    TempFolder dir;
    dir.File("README.TXT", "upper");
    EXPECT_EQ(FindNameNoCase(dir.Path(), "readme.txt"), "README.TXT");
    dir.File("readme.txt", "lower");
    EXPECT_EQ(FindNameNoCase(dir.Path(), "readme.txt"), "readme.txt");
    EXPECT_EQ(FindNameNoCase(dir.Path(), "other.txt"), std::nullopt);
    EXPECT_EQ(FindNameNoCase(dir.Path(), "../x"), std::nullopt);
}

}  // namespace
}  // namespace tidemark::platform
