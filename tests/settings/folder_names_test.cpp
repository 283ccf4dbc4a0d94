#include "settings/folder_names.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace tidemark::settings {
namespace {

using tidemark::testing::TempFolder;
using Names = std::vector<std::string>;

Names Sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FolderNamesTest, ScanSplitsFoldersFromEverythingElse) {
    TempFolder temp;
    for (const char* name : {"b.txt", "A.TXT", ".hidden"}) {
        temp.File(name);
    }
    temp.Folder("sub");
    temp.Folder(".git");
    ASSERT_EQ(mkfifo((temp / "pipe").c_str(), 0600), 0);

    Names folders{"stale"}, files{"stale"};
    EXPECT_TRUE(ScanFolderNames(temp.Path(), folders, files));
    EXPECT_EQ(Sorted(folders), (Names{".", "..", ".git", "sub"}));
    EXPECT_EQ(Sorted(files), (Names{".hidden", "A.TXT", "b.txt", "pipe"}));

    // The file list box shows plain, visible files only, sorted without regard to case.
    EXPECT_EQ(ListPlainFiles(temp.Path()), (Names{"A.TXT", "b.txt"}));

    EXPECT_TRUE(ScanFolderNames(temp / "missing", folders, files));
    EXPECT_TRUE(folders.empty());
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(ListPlainFiles(temp / "missing").empty());
    EXPECT_TRUE(ListPlainFiles("").empty());
}

TEST(FolderNamesTest, SortNamesSortsTheRangeWithoutRegardToCase) {
    Names names{"zeta", "Beta", "alpha", "BETA", "Alpha", "beta", "Gamma", "_x", "0"};
    SortNames(names, 1, 6);
    // Outside the range nothing moves; inside, names equal but for case end up side by side.
    ASSERT_EQ(names.size(), 9u);
    EXPECT_EQ(names[0] + names[7] + names[8], "zeta_x0");
    EXPECT_EQ(Sorted({names[1], names[2]}), (Names{"Alpha", "alpha"}));
    EXPECT_EQ(Sorted({names[3], names[4], names[5]}), (Names{"BETA", "Beta", "beta"}));
    EXPECT_EQ(names[6], "Gamma");

    // Folded to lower case, letters sort after "_", which bytewise lies between the cases.
    Names all{"_x", "b", "A", "0", "\xC3\xA9", "Z"};
    SortNames(all);
    EXPECT_EQ(all, (Names{"0", "_x", "A", "b", "Z", "\xC3\xA9"}));
    Names few{"b", "a"}, none;
    SortNames(few, 1, 0);  // an empty range
    EXPECT_EQ(few, (Names{"b", "a"}));
    SortNames(few, 0, 99);  // the end is limited to the list
    EXPECT_EQ(few, (Names{"a", "b"}));
    SortNames(none, 0, 5);
    EXPECT_TRUE(none.empty());
}

}  // namespace
}  // namespace tidemark::settings
