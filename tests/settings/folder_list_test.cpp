#include "settings/folder_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "settings/app_settings.h"
#include "settings/folder_names.h"
#include "tests/support/temp_folder.h"

namespace tidemark::settings {
namespace {

using Names = std::vector<std::string>;

Names Sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FolderListTest, SplitAndJoin) {
    const struct {
        const char* text;
        FolderList entries;
        const char* joined;  // the stored form of the entries
    } cases[] = {
        {"/a;/b", {"/a", "/b"}, "/a;/b;"},        {"", {}, ""},     {";/a", {"", "/a"}, ";/a;"},
        {"/a;;/b;", {"/a", "", "/b"}, "/a;;/b;"}, {";", {""}, ";"},
    };
    for (const auto& c : cases) {
        FolderList list{"left", "over"};
        AppSettings::SplitFolderList(c.text, list);
        EXPECT_EQ(list, c.entries) << c.text;
        EXPECT_EQ(JoinFolderList(list), c.joined) << c.text;
        EXPECT_EQ(SplitFolderList(c.joined), c.entries) << c.text;
    }
    const std::tuple<const char*, std::size_t, const char*> fitted[] = {
        {"/aa;/bb;/cc;", 12, "/aa;/bb;/cc;"},
        {"/aa;/bb;/cc;", 11, "/aa;/bb;"},
        {"/aa;/bb;/cc;", 7, "/aa;"},
        {"/aa;/bb;/cc", 10, "/aa;/bb;"},
        {"/toolong", 5, ""},
        {"\xC3\xA9;\xC3\xA9;", 4, "\xC3\xA9;\xC3\xA9;"},
    };
    for (const auto& [text, maxChars, expected] : fitted) {
        EXPECT_EQ(FitStoredText(text, maxChars), expected) << text << " " << maxChars;
    }
}

TEST(FolderListTest, AddToHistoryKeepsAtMostFourAndMovesEqualEntriesUp) {
    FolderList history;
    for (const char* folder : {"/1", "/2", "/3", "/4"}) {
        AddToHistory(history, folder);
    }
    EXPECT_EQ(history, (FolderList{"/4", "/3", "/2", "/1"}));
    AddToHistory(history, "/5");
    EXPECT_EQ(history, (FolderList{"/5", "/4", "/3", "/2"}));
    // An equal entry in another case moves to the top in the new spelling, without growth.
    for (const char* folder : {"/3", "/Work", "/WORK"}) {
        AddToHistory(history, folder);
    }
    EXPECT_EQ(history, (FolderList{"/WORK", "/3", "/5", "/4"}));

    // A longer history (as a hand-edited file gives) loses only its fifth entry each time.
    FolderList six{"/a", "/b", "/c", "/d", "/e", "/f"};
    AddToHistory(six, "/new");
    EXPECT_EQ(six, (FolderList{"/new", "/a", "/b", "/c", "/e", "/f"}));
    AddToHistory(six, "/F");
    EXPECT_EQ(six, (FolderList{"/F", "/new", "/a", "/b", "/e"}));
    FolderList unlimited{"/a", "/b", "/c", "/d", "/e"};
    AddToUnlimitedHistory(unlimited, "/f");
    AddToUnlimitedHistory(unlimited, "/C");
    EXPECT_EQ(unlimited, (FolderList{"/C", "/f", "/a", "/b", "/d", "/e"}));
    EXPECT_EQ(FirstFolder(unlimited), "/C");
    EXPECT_EQ(FirstFolder({}), "");
}

TEST(FolderNamesTest, ScanSplitsFoldersFromEverythingElse) {
    tidemark::testing::TempFolder temp;
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
    EXPECT_EQ(folders.size() + files.size(), 0u);
    EXPECT_EQ(ListPlainFiles(temp / "missing").size() + ListPlainFiles("").size(), 0u);
}

// Positions first to last (the last limited to the list) are sorted without regard to case: folded
// to lower case, letters sort after "_", which bytewise lies between the cases.
TEST(FolderNamesTest, SortNamesSortsTheRangeWithoutRegardToCase) {
    Names names{"zeta", "Z", "b", "_x", "A", "0", "\xC3\xA9", "Gamma"};
    SortNames(names, 1, 6);
    EXPECT_EQ(names, (Names{"zeta", "0", "_x", "A", "b", "Z", "\xC3\xA9", "Gamma"}));
    Names few{"b", "a"}, none;
    SortNames(few, 1, 0);  // an empty range
    EXPECT_EQ(few, (Names{"b", "a"}));
    SortNames(few, 0, 99);
    EXPECT_EQ(few, (Names{"a", "b"}));
    SortNames(none, 0, 5);
    EXPECT_TRUE(none.empty());
}

}  // namespace
}  // namespace tidemark::settings
