#include "platform/file_system.h"

#include <sys/stat.h>

#include <unistd.h>

#include <cerrno>
#include <map>
#include <string>

#include <gtest/gtest.h>

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
