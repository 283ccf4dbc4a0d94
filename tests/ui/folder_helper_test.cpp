// The folder boxes: history limits, the typed-folder check, the listing and the browse dialog.

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/ui_test_support.h"
#include "ui/folder_helper.h"
#include "ui/qt_text.h"

namespace tidemark::ui {
namespace {

using testing::DialogRecorder;
using testing::TempFolder;

QStringList Texts(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts) {
        list << QString::fromUtf8(text);
    }
    return list;
}

QStringList Items(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i) {
        items << box.itemText(i);
    }
    return items;
}

class FolderHelperTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::EnsureApplication(); }
    DialogRecorder dialogs;
};

TEST_F(FolderHelperTest, HistoryKeepsFourAndMovesARepeatedFolderToTheTopWhateverItsCase) {
    QComboBox box;
    box.setEditable(true);
    for (const char* folder : {"/a", "/b", "/c", "/d"}) {
        FolderHelper::AddToHistory(&box, QString::fromUtf8(folder));
    }
    EXPECT_EQ(Items(box), Texts({"/d", "/c", "/b", "/a"}));
    FolderHelper::AddToHistory(&box, QStringLiteral("/e"));
    EXPECT_EQ(Items(box), Texts({"/e", "/d", "/c", "/b"}));
    FolderHelper::AddToHistory(&box, QStringLiteral("/C"));
    EXPECT_EQ(Items(box), Texts({"/C", "/e", "/d", "/b"}));
    EXPECT_EQ(FolderHelper::JoinFolderCombo(&box), QStringLiteral("/C;/e;/d;/b;"));

    // A box filled from six entries keeps six until the next addition, which leaves six.
    QComboBox six;
    FolderHelper::FillHistory({"/1", "/2", "/3", "/4", "/5", "/6"}, &six);
    EXPECT_EQ(six.count(), 6);
    EXPECT_EQ(six.currentIndex(), 0);
    FolderHelper::AddToHistory(&six, QStringLiteral("/7"));
    EXPECT_EQ(Items(six), Texts({"/7", "/1", "/2", "/3", "/5", "/6"}));
    QComboBox empty;
    EXPECT_TRUE(FolderHelper::JoinFolderCombo(&empty).isEmpty());
}

TEST_F(FolderHelperTest, TypedFolderIsCheckedOnceOnLosingFocus) {
    TempFolder folder;
    const std::string file = folder.File("plain.txt");
    FolderHelper helper(nullptr);
    QComboBox box;
    box.setEditable(true);
    const QString before = QDir::currentPath();

    QString chosen = QStringLiteral("/old");
    bool edited = true;
    box.setEditText(ToQString(folder / "nowhere"));
    EXPECT_FALSE(helper.OnBoxLostFocus(&box, nullptr, nullptr, edited, chosen));
    EXPECT_FALSE(edited);
    EXPECT_EQ(chosen, QStringLiteral("/old"));
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("The directory you've typed in does not exist."));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Error"));
    // A second loss of focus without new typing does nothing.
    EXPECT_FALSE(helper.OnBoxLostFocus(&box, nullptr, nullptr, edited, chosen));
    EXPECT_EQ(dialogs.messages.size(), 1U);

    // Only existence is checked: the path of a file is taken too.
    edited = true;
    box.setEditText(ToQString(file));
    EXPECT_TRUE(helper.OnBoxLostFocus(&box, nullptr, nullptr, edited, chosen));
    EXPECT_EQ(chosen, ToQString(file));
    QDir::setCurrent(before);
}

TEST_F(FolderHelperTest, ListingShowsPlainVisibleFilesSortedAndTheFolderPath) {
    TempFolder folder;
    folder.File("b.txt");
    folder.File("A.txt");
    folder.File(".hidden");
    folder.Folder("sub");
    const QString before = QDir::currentPath();
    FolderHelper helper(nullptr);
    QListWidget list;
    QLabel label;
    helper.ListFolder(ToQString(folder.Path()), &list, &label);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.item(0)->text(), QStringLiteral("A.txt"));
    EXPECT_EQ(list.item(1)->text(), QStringLiteral("b.txt"));
    EXPECT_EQ(label.text(), ToQString(folder.Path()));
    EXPECT_EQ(QDir::currentPath(), ToQString(folder.Path()));
    QDir::setCurrent(before);

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
    TempFolder folder;
    FolderHelper helper(nullptr);
    QComboBox box;
    box.setEditable(true);
    const QString before = QDir::currentPath();
    QString chosen = QStringLiteral("/start");

    dialogs.picks.push_back(QString());
    EXPECT_FALSE(helper.OnFolderButton(&box, nullptr, nullptr, chosen));
    EXPECT_EQ(chosen, QStringLiteral("/start"));

    dialogs.picks.push_back(ToQString(folder.Path()));
    EXPECT_TRUE(helper.OnFolderButton(&box, nullptr, nullptr, chosen));
    EXPECT_EQ(chosen, ToQString(folder.Path()));
    EXPECT_EQ(box.currentText(), chosen);
    EXPECT_EQ(box.count(), 0);
    ASSERT_EQ(dialogs.browseRequests.size(), 2U);
    EXPECT_EQ(dialogs.browseRequests[0].first, QStringLiteral("Select a folder"));
    EXPECT_EQ(dialogs.browseRequests[0].second, QStringLiteral("/start"));
    QDir::setCurrent(before);

    QWidget parent;
    QPushButton* button = FolderHelper::MakeFolderButton(&parent);
    EXPECT_EQ(button->accessibleName(), QStringLiteral("OpenFldr"));
    EXPECT_FALSE(button->icon().isNull());
}

}  // namespace
}  // namespace tidemark::ui
