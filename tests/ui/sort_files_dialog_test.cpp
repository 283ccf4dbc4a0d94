// The "Sort Files" dialog's buttons moving entries between its two lists.

#include "ui/sort_files_dialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "tests/ui/ui_test_support.h"

namespace tidemark::ui {
namespace {

using namespace tidemark::testing;

class SortFilesDialogTest : public ::testing::Test {
  protected:
    // The dialog is a member, so the application must exist before the fixture.
    static void SetUpTestSuite() { EnsureApplication(); }

    void SetUp() override {
        dialog.SetItems({"one.txt", "two.txt", "three.txt", "four.txt"}, {5, 6, 7, 8});
        dialog.show();
        ASSERT_NE(available, nullptr);
        ASSERT_NE(ordered, nullptr);
    }

    QPushButton* Button(const char* name) {
        return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }

    static void Select(QListWidget* list, const std::vector<int>& rows) {
        list->clearSelection();
        for (int row : rows) {
            list->item(row)->setSelected(true);
        }
    }

    CSortFilesDlg dialog;
    QListWidget* available = dialog.findChild<QListWidget*>(QStringLiteral("availableList"));
    QListWidget* ordered = dialog.findChild<QListWidget*>(QStringLiteral("orderedList"));
};

TEST_F(SortFilesDialogTest, AddAndRemoveMoveSelectedEntriesInListOrder) {
    EXPECT_EQ(Items(available), Texts({"one.txt", "two.txt", "three.txt", "four.txt"}));
    EXPECT_EQ(ordered->count(), 0);
    EXPECT_FALSE(Button("moveUpButton")->isEnabled());
    EXPECT_FALSE(Button("moveDownButton")->isEnabled());

    // Selected from the bottom up, they still arrive top to bottom.
    Select(available, {3, 1});
    Click("addButton");
    EXPECT_EQ(Items(ordered), Texts({"two.txt", "four.txt"}));
    EXPECT_EQ(Items(available), Texts({"one.txt", "three.txt"}));
    Click("addAllButton");
    EXPECT_EQ(available->count(), 0);
    const QStringList all = Texts({"two.txt", "four.txt", "one.txt", "three.txt"});
    EXPECT_EQ(Items(ordered), all);

    // Removing and adding the last one again leaves the same order as adding in turn.
    Select(ordered, {3});
    Click("removeButton");
    EXPECT_EQ(Items(available), Texts({"three.txt"}));
    Select(available, {0});
    Click("addButton");
    EXPECT_EQ(Items(ordered), all);

    // Nothing selected: nothing moves.
    available->clearSelection();
    ordered->clearSelection();
    Click("addButton");
    Click("removeButton");
    EXPECT_EQ(ordered->count(), 4);

    // Removing two selected entries leaves "Move up" and "Move down" disabled, as the two
    // selected made them; "<< Remove all" restores the starting state, buttons included.
    const std::pair<const char*, std::vector<int>> removals[] = {{"removeButton", {0, 1}},
                                                                 {"removeAllButton", {0}}};
    for (const auto& [button, rows] : removals) {
        Select(ordered, rows);
        Click(button);
        EXPECT_FALSE(Button("moveUpButton")->isEnabled()) << button;
        EXPECT_FALSE(Button("moveDownButton")->isEnabled()) << button;
    }
    EXPECT_EQ(ordered->count(), 0);
    EXPECT_EQ(Items(available), Texts({"one.txt", "two.txt", "three.txt", "four.txt"}));
    EXPECT_EQ(available->item(3)->data(Qt::UserRole).toUInt(), 8u);
}

TEST_F(SortFilesDialogTest, MoveUpAndDownShiftTheLowestSelectedEntry) {
    Click("addAllButton");
    const QStringList start = Items(ordered);
    // At the ends, and with nothing selected, nothing changes.
    Select(ordered, {0});
    Click("moveUpButton");
    Select(ordered, {3});
    Click("moveDownButton");
    ordered->clearSelection();
    EXPECT_TRUE(Button("moveUpButton")->isEnabled());
    Click("moveUpButton");
    Click("moveDownButton");
    EXPECT_EQ(Items(ordered), start);

    // The moved entry stays selected, so it can be moved on.
    Select(ordered, {2});
    Click("moveUpButton");
    Click("moveUpButton");
    EXPECT_EQ(Items(ordered), Texts({"three.txt", "one.txt", "two.txt", "four.txt"}));
    Click("moveDownButton");
    ASSERT_EQ(ordered->selectedItems().size(), 1);
    EXPECT_EQ(ordered->row(ordered->selectedItems().front()), 1);
    EXPECT_EQ(ordered->selectedItems().front()->text(), QStringLiteral("three.txt"));

    // Two selected disable both buttons; back to one enables them.
    Select(ordered, {1, 2});
    EXPECT_FALSE(Button("moveUpButton")->isEnabled());
    EXPECT_FALSE(Button("moveDownButton")->isEnabled());
    ordered->item(2)->setSelected(false);
    EXPECT_TRUE(Button("moveUpButton")->isEnabled());
    EXPECT_TRUE(Button("moveDownButton")->isEnabled());
}

TEST_F(SortFilesDialogTest, OkGivesTheOrderedIndexesOnlyAndCancelGivesNone) {
    Click("addAllButton");
    Click("cancelButton");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.Result().empty());

    dialog.show();
    Click("removeAllButton");
    Click("okButton");  // nothing ordered
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Result().empty());

    dialog.show();
    for (int row : {2, 0}) {
        Select(available, {row});
        Click("addButton");
    }
    Click("okButton");
    // two.txt and four.txt stayed available and take no part.
    EXPECT_EQ(dialog.Result(), (catalogue::Order{7, 5}));
}

}  // namespace
}  // namespace tidemark::ui
