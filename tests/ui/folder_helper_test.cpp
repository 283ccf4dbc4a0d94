// The folder boxes' helper; its typed-folder check is driven through the dialogs.

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "platform/text.h"
#include "tests/ui/ui_test_support.h"
#include "ui/folder_helper.h"

namespace tidemark::ui {
namespace {

using namespace tidemark::testing;

class FolderHelperTest : public ::testing::Test {
  protected:
    void SetUp() override { EnsureApplication(); }
    void TearDown() override { QDir::setCurrent(before); }

    DialogRecorder dialogs;
    TempFolder folder;
    FolderHelper helper{nullptr};
    const QString before = QDir::currentPath();
};

TEST_F(FolderHelperTest, HistoryKeepsFourAndMovesARepeatedFolderToTheTopWhateverItsCase) {
    QComboBox box;
    box.setEditable(true);
    for (const char* folder : {"/a", "/b", "/c", "/d", "/e"}) {
        FolderHelper::AddToHistory(&box, QString::fromUtf8(folder));
    }
    EXPECT_EQ(Entries(&box), Texts({"/e", "/d", "/c", "/b"}));
    FolderHelper::AddToHistory(&box, QStringLiteral("/C"));
    EXPECT_EQ(FolderHelper::JoinFolderCombo(&box), QStringLiteral("/C;/e;/d;/b;"));

    // A box filled from six entries keeps six until the next addition, which leaves six.
    QComboBox six;
    FolderHelper::FillHistory({"/1", "/2", "/3", "/4", "/5", "/6"}, &six);
    EXPECT_EQ(six.count(), 6);
    EXPECT_EQ(six.currentIndex(), 0);
    FolderHelper::AddToHistory(&six, QStringLiteral("/7"));
    EXPECT_EQ(Entries(&six), Texts({"/7", "/1", "/2", "/3", "/5", "/6"}));
    QComboBox empty;
    EXPECT_TRUE(FolderHelper::JoinFolderCombo(&empty).isEmpty());
}

TEST_F(FolderHelperTest, ListingShowsPlainVisibleFilesSortedAndScanTakesEverything) {
    folder.File("b.txt");
    folder.File("A.txt");
    folder.File(".hidden");
    folder.Folder("sub");
    QListWidget list;
    QLabel label;
    helper.ListFolder(Q(folder.Path()), &list, &label);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.item(0)->text(), QStringLiteral("A.txt"));
    EXPECT_EQ(list.item(1)->text(), QStringLiteral("b.txt"));
    EXPECT_EQ(label.text(), Q(folder.Path()));
    EXPECT_EQ(QDir::currentPath(), Q(folder.Path()));

    std::vector<std::string> folders;
    std::vector<std::string> files;
    EXPECT_TRUE(FolderHelper::ScanFolderNames(folder.Path(), folders, files));
    EXPECT_EQ(folders.size(), 3U);  // ".", ".." and "sub"
    EXPECT_EQ(files.size(), 3U);    // hidden files included
    EXPECT_TRUE(FolderHelper::ScanFolderNames(folder / "missing", folders, files));
    EXPECT_TRUE(folders.empty() && files.empty());

    std::vector<std::string> names = {"b", "C", "a", "B", "A"};
    FolderHelper::SortNames(names, 1, 4);
    EXPECT_EQ(names[0], "b");
    EXPECT_EQ(platform::NoCaseCompare(names[1], "a"), 0);
    EXPECT_EQ(platform::NoCaseCompare(names[3], "b"), 0);
    EXPECT_EQ(names[4], "C");
}

TEST_F(FolderHelperTest, FolderButtonBrowsesFromTheCurrentFolderAndSetsTheBox) {
    QComboBox box;
    box.setEditable(true);
    QString chosen = QStringLiteral("/start");
    dialogs.picks = {QString(), Q(folder.Path())};
    EXPECT_FALSE(helper.OnFolderButton(&box, nullptr, nullptr, chosen));  // cancelled
    EXPECT_EQ(chosen, QStringLiteral("/start"));
    EXPECT_TRUE(helper.OnFolderButton(&box, nullptr, nullptr, chosen));
    EXPECT_EQ(chosen, Q(folder.Path()));
    EXPECT_EQ(box.currentText(), chosen);
    EXPECT_EQ(box.count(), 0);
    ASSERT_EQ(dialogs.browseRequests.size(), 2U);
    EXPECT_EQ(dialogs.browseRequests[0],
              std::make_pair(QStringLiteral("Select a folder"), QStringLiteral("/start")));

    QWidget parent;
    QPushButton* button = FolderHelper::MakeFolderButton(&parent);
    EXPECT_EQ(button->accessibleName(), QStringLiteral("OpenFldr"));
    EXPECT_FALSE(button->icon().isNull());
}

}  // namespace
}  // namespace tidemark::ui
