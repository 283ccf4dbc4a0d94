#include "ui/sort_files_dialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"

namespace tidemark::ui {
namespace {

class SortFilesDialogTest : public ::testing::Test {
  protected:
    // The widgets below are members, so the application must exist before the fixture.
    static void SetUpTestSuite() { testing::EnsureApplication(); }

    void SetUp() override {
        testing::EnsureApplication();
        dialog_.SetItems({"one.txt", "two.txt", "three.txt", "four.txt"}, {5, 6, 7, 8});
        dialog_.show();
        available_ = dialog_.findChild<QListWidget*>(QStringLiteral("availableList"));
        ordered_ = dialog_.findChild<QListWidget*>(QStringLiteral("orderedList"));
        ASSERT_NE(available_, nullptr);
        ASSERT_NE(ordered_, nullptr);
    }

    QPushButton* Button(const char* name) {
        auto* button = dialog_.findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(button, nullptr) << name;
        return button;
    }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }

    static QStringList Texts(const QListWidget* list) {
        QStringList texts;
        for (int row = 0; row < list->count(); ++row) {
            texts << list->item(row)->text();
        }
        return texts;
    }
    static void Select(QListWidget* list, std::initializer_list<int> rows) {
        list->clearSelection();
        for (int row : rows) {
            list->item(row)->setSelected(true);
        }
    }

    CSortFilesDlg dialog_;
    QListWidget* available_ = nullptr;
    QListWidget* ordered_ = nullptr;
};

TEST_F(SortFilesDialogTest, StartsWithTheSelectionAvailableAndMoveButtonsDisabled) {
    EXPECT_EQ(Texts(available_),
              (QStringList{QStringLiteral("one.txt"), QStringLiteral("two.txt"),
                           QStringLiteral("three.txt"), QStringLiteral("four.txt")}));
    EXPECT_EQ(available_->item(2)->data(Qt::UserRole).toUInt(), 7u);
    EXPECT_EQ(ordered_->count(), 0);
    EXPECT_EQ(available_->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(ordered_->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_FALSE(Button("moveUpButton")->isEnabled());
    EXPECT_FALSE(Button("moveDownButton")->isEnabled());
}

TEST_F(SortFilesDialogTest, AddAndRemoveMoveSelectedEntriesInListOrder) {
    // Selected from the bottom up, they still arrive top to bottom.
    Select(available_, {3, 1});
    Click("addButton");
    EXPECT_EQ(Texts(ordered_),
              (QStringList{QStringLiteral("two.txt"), QStringLiteral("four.txt")}));
    EXPECT_EQ(Texts(available_),
              (QStringList{QStringLiteral("one.txt"), QStringLiteral("three.txt")}));

    Click("addAllButton");
    EXPECT_EQ(available_->count(), 0);
    EXPECT_EQ(Texts(ordered_),
              (QStringList{QStringLiteral("two.txt"), QStringLiteral("four.txt"),
                           QStringLiteral("one.txt"), QStringLiteral("three.txt")}));

    // Removing and adding the last one again leaves the same order as adding in turn.
    Select(ordered_, {3});
    Click("removeButton");
    EXPECT_EQ(Texts(available_), QStringList{QStringLiteral("three.txt")});
    Select(available_, {0});
    Click("addButton");
    EXPECT_EQ(Texts(ordered_),
              (QStringList{QStringLiteral("two.txt"), QStringLiteral("four.txt"),
                           QStringLiteral("one.txt"), QStringLiteral("three.txt")}));

    // Nothing selected: nothing moves.
    available_->clearSelection();
    ordered_->clearSelection();
    Click("addButton");
    Click("removeButton");
    EXPECT_EQ(ordered_->count(), 4);

    Select(ordered_, {0, 2});
    Click("removeAllButton");
    EXPECT_EQ(ordered_->count(), 0);
    EXPECT_EQ(Texts(available_),
              (QStringList{QStringLiteral("one.txt"), QStringLiteral("two.txt"),
                           QStringLiteral("three.txt"), QStringLiteral("four.txt")}));
    EXPECT_EQ(available_->item(3)->data(Qt::UserRole).toUInt(), 8u);
}

TEST_F(SortFilesDialogTest, MoveUpAndDownShiftTheLowestSelectedEntry) {
    Click("addAllButton");
    const QStringList start = Texts(ordered_);

    // At the ends, and with nothing selected, nothing changes.
    Select(ordered_, {0});
    Click("moveUpButton");
    EXPECT_EQ(Texts(ordered_), start);
    Select(ordered_, {3});
    Click("moveDownButton");
    EXPECT_EQ(Texts(ordered_), start);
    ordered_->clearSelection();
    EXPECT_TRUE(Button("moveUpButton")->isEnabled());
    Click("moveUpButton");
    Click("moveDownButton");
    EXPECT_EQ(Texts(ordered_), start);

    // The moved entry stays selected, so it can be moved on.
    Select(ordered_, {2});
    Click("moveUpButton");
    Click("moveUpButton");
    EXPECT_EQ(Texts(ordered_),
              (QStringList{QStringLiteral("three.txt"), QStringLiteral("one.txt"),
                           QStringLiteral("two.txt"), QStringLiteral("four.txt")}));
    Click("moveDownButton");
    EXPECT_EQ(ordered_->selectedItems().size(), 1);
    EXPECT_EQ(ordered_->selectedItems().front()->text(), QStringLiteral("three.txt"));
    EXPECT_EQ(ordered_->row(ordered_->selectedItems().front()), 1);

    // Two selected disable both buttons; back to one enables them.
    Select(ordered_, {1, 2});
    EXPECT_FALSE(Button("moveUpButton")->isEnabled());
    EXPECT_FALSE(Button("moveDownButton")->isEnabled());
    ordered_->item(2)->setSelected(false);
    EXPECT_TRUE(Button("moveUpButton")->isEnabled());
    EXPECT_TRUE(Button("moveDownButton")->isEnabled());
}

TEST_F(SortFilesDialogTest, OkGivesTheOrderedIndexesOnly) {
    Select(available_, {2});
    Click("addButton");
    Select(available_, {0});
    Click("addButton");
    Click("okButton");
    EXPECT_EQ(dialog_.result(), QDialog::Accepted);
    // two.txt and four.txt stayed available and take no part.
    EXPECT_EQ(dialog_.Result(), (catalogue::Order{7, 5}));
}

TEST_F(SortFilesDialogTest, OkWithNothingOrderedGivesAnEmptyOrderAndCancelGivesNone) {
    Click("okButton");
    EXPECT_EQ(dialog_.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog_.Result().empty());

    CSortFilesDlg other;
    other.SetItems({"a"}, {1});
    other.show();
    auto* add = other.findChild<QPushButton*>(QStringLiteral("addAllButton"));
    QTest::mouseClick(add, Qt::LeftButton);
    QTest::mouseClick(other.findChild<QPushButton*>(QStringLiteral("cancelButton")),
                      Qt::LeftButton);
    EXPECT_EQ(other.result(), QDialog::Rejected);
    EXPECT_TRUE(other.Result().empty());
}

}  // namespace
}  // namespace tidemark::ui
