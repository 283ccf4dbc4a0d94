#include "settings/folder_list.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/app_settings.h"

namespace tidemark::settings {
namespace {

TEST(FolderListTest, SplitAndJoin) {
    const struct {
        const char* text;
        FolderList entries;
        const char* joined;  // the stored form of the entries
    } cases[] = {
        {"/a;/b;", {"/a", "/b"}, "/a;/b;"},
        {"/a;/b", {"/a", "/b"}, "/a;/b;"},
        {"/only", {"/only"}, "/only;"},
        {"", {}, ""},
        {";/a", {"", "/a"}, ";/a;"},
        {"/a;;/b;", {"/a", "", "/b"}, "/a;;/b;"},
        {";", {""}, ";"},
        {";;", {"", ""}, ";;"},
        {"C:\\a;D:\\b;", {"C:\\a", "D:\\b"}, "C:\\a;D:\\b;"},
    };
    for (const auto& c : cases) {
        FolderList list{"left", "over"};
        AppSettings::SplitFolderList(c.text, list);
        EXPECT_EQ(list, c.entries) << c.text;
        EXPECT_EQ(JoinFolderList(list), c.joined) << c.text;
        EXPECT_EQ(SplitFolderList(c.joined), c.entries) << c.text;
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
    AddToHistory(history, "/3");
    AddToHistory(history, "/Work");
    AddToHistory(history, "/WORK");
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

TEST(FolderListTest, FitStoredTextDropsWholeEntriesFromTheEnd) {
    const struct {
        const char* text;
        std::size_t maxChars;
        const char* fitted;
    } cases[] = {
        {"/aa;/bb;/cc;", 12, "/aa;/bb;/cc;"},
        {"/aa;/bb;/cc;", 11, "/aa;/bb;"},
        {"/aa;/bb;/cc;", 8, "/aa;/bb;"},
        {"/aa;/bb;/cc;", 7, "/aa;"},
        {"/aa;/bb;/cc", 10, "/aa;/bb;"},
        {"/toolong", 5, ""},
        {"/aa;;", 4, "/aa;"},
        {"\xC3\xA9;\xC3\xA9;", 4, "\xC3\xA9;\xC3\xA9;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FitStoredText(c.text, c.maxChars), c.fitted) << c.text << " " << c.maxChars;
    }
}

}  // namespace
}  // namespace tidemark::settings
