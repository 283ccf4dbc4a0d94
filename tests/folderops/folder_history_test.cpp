#include "folderops/folder_history.h"

#include <gtest/gtest.h>

namespace tidemark::folderops {
namespace {

TEST(FolderHistoryTest, AddToHistoryKeepsFourAndMovesExistingEntryToTop) {
    FolderHistory history{"/a", "/b", "/c", "/d"};
    AddToHistory(history, "/e");
    EXPECT_EQ(history, (FolderHistory{"/e", "/a", "/b", "/c"}));
    AddToHistory(history, "/B");
    EXPECT_EQ(history, (FolderHistory{"/B", "/e", "/a", "/c"}));

    // A longer history read from the settings loses only its fifth entry per addition.
    FolderHistory six{"/1", "/2", "/3", "/4", "/5", "/6"};
    AddToHistory(six, "/new");
    EXPECT_EQ(six, (FolderHistory{"/new", "/1", "/2", "/3", "/5", "/6"}));
}

TEST(FolderHistoryTest, PutOnTopIsUnlimitedAndIgnoresCase) {
    FolderHistory history{"/a", "/b", "/c", "/d", "/e"};
    PutOnTop(history, "/f");
    EXPECT_EQ(history.size(), 6u);
    PutOnTop(history, "/C");
    EXPECT_EQ(history, (FolderHistory{"/C", "/f", "/a", "/b", "/d", "/e"}));
}

}  // namespace
}  // namespace tidemark::folderops
