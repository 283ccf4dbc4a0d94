// The Move On Length dialog on real folders: opened from the File menu with the histories of
// tmk.ini, the length boundary, the checks that keep it open, the collision that moves
// nothing, the folder boxes' typed-folder check, and what it stores.

#include "ui/move_on_length_dialog.h"

#include <QPushButton>

#include <fstream>
#include <string>

#include "app/main_frame.h"
#include "settings/app_settings.h"
#include "settings/folder_list.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/folder_dialog_test_support.h"
#include "tests/ui/ui_test_support.h"
#include "ui/qt_text.h"

namespace tidemark::ui {
namespace {

using tidemark::testing::Child;
using tidemark::testing::DialogRecorder;
using tidemark::testing::Entries;
using tidemark::testing::HasLabel;
using tidemark::testing::Items;
using tidemark::testing::RunFromMenu;
using tidemark::testing::ScopedCurrentFolder;
using tidemark::testing::ScopedEnv;
using tidemark::testing::TempFolder;
using tidemark::testing::TypeIntoBox;

QString Q(const std::string& text) {
    return ToQString(text);
}

class MoveOnLengthDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { tidemark::testing::EnsureApplication(); }

    void WriteIni(const std::string& sourceText, const std::string& destText) {
        std::ofstream(work / "tmk.ini")
            << "[MOVEONLEN]\nSrcDir=" << sourceText << "\nDestDir=" << destText << "\n";
    }

    settings::FolderList StoredSources(const app::CMainFrame& frame) {
        settings::FolderList source;
        settings::FolderList dest;
        frame.Settings()->GetMoveOnLengthLists(source, dest);
        return source;
    }
    settings::FolderList StoredDestinations(const app::CMainFrame& frame) {
        settings::FolderList source;
        settings::FolderList dest;
        frame.Settings()->GetMoveOnLengthLists(source, dest);
        return dest;
    }

    TempFolder work;
    ScopedEnv ini{"TMK_INI", work / "tmk.ini"};
    // The dialog's listings change the current folder; it comes back after each test.
    ScopedCurrentFolder here{work.Path()};
    DialogRecorder dialogs;
    std::string source = work.Folder("src");
    std::string other = work.Folder("other");
    std::string dest = work.Folder("dst");
    std::string oldDest = work.Folder("olddst");
};

TEST_F(MoveOnLengthDialogTest, FromTheMenuMovesNamesLongerThanTheLengthAndStoresTheFolders) {
    work.File("src/abc.txt");      // 7 characters: stays
    work.File("src/abcd.txt");     // 8: stays
    work.File("src/abcde.txt");    // 9: moves
    work.File("src/.hiddenname");  // 11, left out of the list but still moved
    work.File("src/ünïcode.md");   // 10 characters in 12 bytes: moves
    work.Folder("src/a-long-folder-name");
    work.File("other/x");
    work.File("dst/z.txt");
    WriteIni(other + ";" + source + ";", oldDest + ";");

    app::CMainFrame frame;
    DialogRecorder& recorded = dialogs;
    recorded.picks.push_back(Q(dest));
    const auto run =
        RunFromMenu<CMoveOnLengthDlg>(frame.MoveOnLengthAction(), [&](CMoveOnLengthDlg& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Move On Length"));
            EXPECT_TRUE(HasLabel(dialog, QStringLiteral("Files with names longer than")));
            EXPECT_TRUE(HasLabel(
                dialog, QStringLiteral("chars (name + \".\" + extension) will be moved to the "
                                       "destination folder.")));
            EXPECT_TRUE(HasLabel(dialog, QStringLiteral("Source Folder:")));
            EXPECT_TRUE(HasLabel(dialog, QStringLiteral("Destination Folder:")));
            EXPECT_TRUE(HasLabel(dialog, QStringLiteral("Preview")));
            auto* move = Child<QPushButton>(dialog, "moveButton");
            EXPECT_TRUE(move->isDefault());
            EXPECT_EQ(move->text(), QStringLiteral("Move"));

            // The start: first entries of the histories, listed with their plain files.
            auto* sourceCombo = Child<QComboBox>(dialog, "sourceCombo");
            EXPECT_EQ(Entries(sourceCombo), QStringList({Q(other), Q(source)}));
            EXPECT_EQ(sourceCombo->currentText(), Q(other));
            EXPECT_EQ(Items(Child<QListWidget>(dialog, "sourceList")),
                      QStringList({QStringLiteral("x")}));
            EXPECT_EQ(Child<QLabel>(dialog, "destPathLabel")->text(), Q(oldDest));

            // The second history entry picked in the box, the destination browsed for.
            sourceCombo->setCurrentIndex(1);
            emit sourceCombo->activated(1);
            EXPECT_EQ(dialog.SourceFolder(), Q(source));
            EXPECT_EQ(Items(Child<QListWidget>(dialog, "sourceList")),
                      QStringList({QStringLiteral("abc.txt"), QStringLiteral("abcd.txt"),
                                   QStringLiteral("abcde.txt"), QStringLiteral("ünïcode.md")}));
            EXPECT_EQ(Child<QLabel>(dialog, "sourcePathLabel")->text(), Q(source));
            QTest::mouseClick(Child<QPushButton>(dialog, "destButton"), Qt::LeftButton);
            EXPECT_EQ(dialog.DestinationFolder(), Q(dest));
            EXPECT_EQ(Child<QComboBox>(dialog, "destCombo")->currentText(), Q(dest));
            EXPECT_EQ(Items(Child<QListWidget>(dialog, "destList")),
                      QStringList({QStringLiteral("z.txt")}));

            Child<QLineEdit>(dialog, "lengthEdit")->setText(QStringLiteral("8"));
            QTest::mouseClick(Child<QPushButton>(dialog, "previewButton"), Qt::LeftButton);
            EXPECT_EQ(Items(Child<QListWidget>(dialog, "previewList")),
                      QStringList({QStringLiteral(".hiddenname"), QStringLiteral("abcde.txt"),
                                   QStringLiteral("ünïcode.md")}));
            QTest::mouseClick(move, Qt::LeftButton);
        });
    ASSERT_TRUE(run.opened);
    EXPECT_FALSE(run.leftOpen);
    EXPECT_EQ(run.result, QDialog::Accepted);
    EXPECT_TRUE(recorded.messages.empty());
    EXPECT_EQ(work.Names("src"),
              (std::vector<std::string>{"a-long-folder-name", "abc.txt", "abcd.txt"}));
    EXPECT_EQ(work.Names("dst"),
              (std::vector<std::string>{".hiddenname", "abcde.txt", "z.txt", "ünïcode.md"}));
    // The browse dialog started at the folder then chosen.
    ASSERT_EQ(recorded.browseRequests.size(), 1u);
    EXPECT_EQ(recorded.browseRequests[0].first, QStringLiteral("Select a folder"));
    EXPECT_EQ(recorded.browseRequests[0].second, Q(oldDest));
    EXPECT_EQ(StoredSources(frame), (settings::FolderList{source, other}));
    EXPECT_EQ(StoredDestinations(frame), (settings::FolderList{dest, oldDest}));
}

TEST_F(MoveOnLengthDialogTest, ChecksKeepTheDialogOpenAndMoveNothing) {
    work.File("src/Report.TXT", "new");
    work.File("src/another-long-name.txt");
    work.File("dst/report.txt", "old");
    const std::string upper = work.Folder("SRC");
    const std::string missing = work / "missing";
    app::CMainFrame frame;

    struct Case {
        std::string source;
        std::string dest;
        QString length;
        std::vector<QString> messages;
        bool stored;
    };
    const Case cases[] = {
        {missing,
         missing,
         QStringLiteral("3"),
         {QStringLiteral("The source directory is not valid."),
          QStringLiteral("The destination directory is not valid.")},
         false},
        {source,
         missing,
         QStringLiteral("3"),
         {QStringLiteral("The destination directory is not valid.")},
         false},
        {missing,
         dest,
         QStringLiteral("3"),
         {QStringLiteral("The source directory is not valid.")},
         false},
        {source,
         upper,
         QStringLiteral("3"),
         {QStringLiteral(
             "The Move cannot be done - the source and destination folders are the same.")},
         false},
        {source,
         dest,
         QStringLiteral("0"),
         {QStringLiteral("The move cannot be done.  A length larger than 0 must be entered in "
                         "the length editbox.")},
         true},
        {source,
         dest,
         QStringLiteral("-4"),
         {QStringLiteral("The move cannot be done.  A length larger than 0 must be entered in "
                         "the length editbox.")},
         true},
        {source,
         dest,
         QStringLiteral("ten"),
         {QStringLiteral("The move cannot be done.  A length larger than 0 must be entered in "
                         "the length editbox.")},
         true},
        {source,
         dest,
         QStringLiteral("3"),
         {QStringLiteral("The move was not started. A file with the name Report.TXT already "
                         "exists in the destination directory.")},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source + " -> " + c.dest + " length " + ToStdString(c.length));
        frame.Settings()->SetMoveOnLengthLists("", "");
        dialogs.messages.clear();
        CMoveOnLengthDlg dialog;
        dialog.show();
        // Typed folders taken when the box is left; the dialog is not active here, so the
        // boxes are given their texts the way a pick would.
        auto* sourceCombo = Child<QComboBox>(dialog, "sourceCombo");
        auto* destCombo = Child<QComboBox>(dialog, "destCombo");
        sourceCombo->addItem(Q(c.source));
        emit sourceCombo->activated(0);
        destCombo->addItem(Q(c.dest));
        emit destCombo->activated(0);
        auto* length = Child<QLineEdit>(dialog, "lengthEdit");
        length->setText(c.length);
        auto* previewList = Child<QListWidget>(dialog, "previewList");
        previewList->addItem(QStringLiteral("kept as it was"));
        previewList->setFocus();

        dialog.OnPreview();
        if (c.length != QStringLiteral("3")) {
            // A length that is not above 0 leaves the preview alone.
            EXPECT_EQ(Items(previewList), QStringList({QStringLiteral("kept as it was")}));
        }
        QTest::mouseClick(Child<QPushButton>(dialog, "moveButton"), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(dialogs.messages.size(), c.messages.size());
        for (std::size_t i = 0; i < c.messages.size(); ++i) {
            EXPECT_EQ(dialogs.messages[i].text, c.messages[i]);
            EXPECT_EQ(dialogs.messages[i].caption, QStringLiteral("Error"));
        }
        if (c.length != QStringLiteral("3")) {
            EXPECT_EQ(dialog.focusWidget(), length);
        }
        EXPECT_EQ(StoredSources(frame),
                  c.stored ? settings::FolderList{c.source} : settings::FolderList{});
        EXPECT_EQ(work.Names("src"),
                  (std::vector<std::string>{"Report.TXT", "another-long-name.txt"}));
        EXPECT_EQ(work.Read("dst/report.txt"), "old");
    }
}

TEST_F(MoveOnLengthDialogTest, MoveWithNothingLongerClosesAndStoresTheHistoriesUnlimited) {
    work.File("src/short.txt");
    std::string history;
    for (int i = 0; i < 6; ++i) {
        history += work.Folder("h" + std::to_string(i)) + ";";
    }
    // The source is last in a history of seven: it moves to the top, and none is dropped.
    WriteIni(history + source + ";", oldDest + ";");
    app::CMainFrame frame;
    const auto run =
        RunFromMenu<CMoveOnLengthDlg>(frame.MoveOnLengthAction(), [&](CMoveOnLengthDlg& dialog) {
            auto* sourceCombo = Child<QComboBox>(dialog, "sourceCombo");
            ASSERT_EQ(sourceCombo->count(), 7);
            sourceCombo->setCurrentIndex(6);
            emit sourceCombo->activated(6);
            auto* destCombo = Child<QComboBox>(dialog, "destCombo");
            destCombo->addItem(Q(dest));
            destCombo->setCurrentIndex(1);
            emit destCombo->activated(1);
            Child<QLineEdit>(dialog, "lengthEdit")->setText(QStringLiteral("20"));
            dialog.OnMove();
        });
    ASSERT_TRUE(run.opened);
    EXPECT_EQ(run.result, QDialog::Accepted);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(work.Exists("src/short.txt"));
    const settings::FolderList sources = StoredSources(frame);
    ASSERT_EQ(sources.size(), 7u);
    EXPECT_EQ(sources.front(), source);
    EXPECT_EQ(sources.back(), work / "h5");
    EXPECT_EQ(StoredDestinations(frame), (settings::FolderList{dest, oldDest}));
}

TEST_F(MoveOnLengthDialogTest, CancelStoresNothingAndAnEmptyHistoryStartsEmpty) {
    WriteIni("", oldDest + ";");
    {
        app::CMainFrame frame;
        const auto run = RunFromMenu<CMoveOnLengthDlg>(
            frame.MoveOnLengthAction(), [&](CMoveOnLengthDlg& dialog) {
                EXPECT_EQ(Child<QComboBox>(dialog, "sourceCombo")->count(), 0);
                EXPECT_TRUE(Child<QComboBox>(dialog, "sourceCombo")->currentText().isEmpty());
                EXPECT_EQ(Child<QListWidget>(dialog, "sourceList")->count(), 0);
                EXPECT_TRUE(dialog.SourceFolder().isEmpty());
                EXPECT_EQ(dialog.DestinationFolder(), Q(oldDest));
                QTest::mouseClick(Child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
            });
        ASSERT_TRUE(run.opened);
        EXPECT_FALSE(run.leftOpen);
        EXPECT_EQ(run.result, QDialog::Rejected);
    }
    std::ifstream in(work / "tmk.ini");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("DestDir=" + oldDest + ";"), std::string::npos) << text;
}

TEST_F(MoveOnLengthDialogTest, TypedFolderIsCheckedAtEveryLossOfFocusAndDoubleClickSetsLength) {
    work.File("src/déjà vu.txt");
    app::CMainFrame frame;
    const auto run =
        RunFromMenu<CMoveOnLengthDlg>(frame.MoveOnLengthAction(), [&](CMoveOnLengthDlg& dialog) {
            QApplication::setActiveWindow(&dialog);
            ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
            auto* sourceCombo = Child<QComboBox>(dialog, "sourceCombo");
            auto* length = Child<QLineEdit>(dialog, "lengthEdit");
            const std::string error = "The directory you've typed in does not exist.";

            TypeIntoBox(sourceCombo, Q(work / "nowhere"), length);
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].text, Q(error));
            EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Error"));
            EXPECT_TRUE(dialog.SourceFolder().isEmpty());
            // No new typing: the box is checked again all the same.
            sourceCombo->setFocus();
            length->setFocus();
            EXPECT_EQ(dialogs.messages.size(), 2u);

            TypeIntoBox(sourceCombo, Q(source), length);
            EXPECT_EQ(dialogs.messages.size(), 2u);
            EXPECT_EQ(dialog.SourceFolder(), Q(source));
            auto* list = Child<QListWidget>(dialog, "sourceList");
            ASSERT_EQ(Items(list), QStringList({QStringLiteral("déjà vu.txt")}));

            // Opening the box's own list is not leaving the box.
            TypeIntoBox(sourceCombo, Q(work / "nowhere"), sourceCombo);
            sourceCombo->showPopup();
            sourceCombo->hidePopup();
            EXPECT_EQ(dialogs.messages.size(), 2u);
            length->setFocus();
            EXPECT_EQ(dialogs.messages.size(), 3u);
            EXPECT_EQ(dialog.SourceFolder(), Q(source));

            const QRect item = list->visualItemRect(list->item(0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, item.center());
            EXPECT_EQ(length->text(), QStringLiteral("11"));

            // Enter in the length box is the Move button: here it finds no destination.
            length->setFocus();
            QTest::keyClick(length, Qt::Key_Return);
            ASSERT_EQ(dialogs.messages.size(), 4u);
            EXPECT_EQ(dialogs.messages[3].text,
                      QStringLiteral("The destination directory is not valid."));
        });
    ASSERT_TRUE(run.opened);
    EXPECT_TRUE(run.leftOpen);
}

}  // namespace
}  // namespace tidemark::ui
