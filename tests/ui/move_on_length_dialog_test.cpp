// The Move On Length dialog, from the File menu, on real folders and tmk.ini histories.

#include "ui/move_on_length_dialog.h"

#include <QPushButton>

#include "app/main_frame.h"
#include "settings/app_settings.h"
#include "settings/folder_list.h"
#include "tests/ui/folder_dialog_test_support.h"
#include "ui/qt_text.h"

namespace tidemark::ui {
namespace {

using namespace tidemark::testing;
using settings::FolderList;
using Names = std::vector<std::string>;

class MoveOnLengthDialogTest : public FolderDialogFixture {
  protected:
    void WriteLists(const std::string& sources, const std::string& dests) {
        WriteIni("[MOVEONLEN]\nSrcDir=" + sources + "\nDestDir=" + dests + "\n");
    }

    // The source and destination histories stored.
    static std::pair<FolderList, FolderList> Stored(const app::CMainFrame& frame) {
        std::pair<FolderList, FolderList> lists;
        frame.Settings()->GetMoveOnLengthLists(lists.first, lists.second);
        return lists;
    }

    ModalRun Run(app::CMainFrame& frame, const std::function<void(CMoveOnLengthDlg&)>& drive) {
        return RunFromMenu<CMoveOnLengthDlg>(frame.MoveOnLengthAction(), drive);
    }

    static void Pick(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

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
    WriteLists(other + ";" + source + ";", oldDest + ";");

    app::CMainFrame frame;
    dialogs.picks.push_back(Q(dest));
    const auto run = Run(frame, [&](CMoveOnLengthDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Move On Length"));
        ExpectLabels(dialog, {"Files with names longer than",
                              "chars (name + \".\" + extension) will be moved to the destination "
                              "folder.",
                              "Source Folder:", "Destination Folder:", "Preview"});
        auto* move = Child<QPushButton>(dialog, "moveButton");
        EXPECT_TRUE(move->isDefault());
        EXPECT_EQ(move->text(), QStringLiteral("Move"));

        // The start: first entries of the histories, listed with their plain files.
        auto* sourceCombo = Child<QComboBox>(dialog, "sourceCombo");
        EXPECT_EQ(Entries(sourceCombo), QStringList({Q(other), Q(source)}));
        EXPECT_EQ(sourceCombo->currentText(), Q(other));
        EXPECT_EQ(Items(Child<QListWidget>(dialog, "sourceList")), Texts({"x"}));
        EXPECT_EQ(Child<QLabel>(dialog, "destPathLabel")->text(), Q(oldDest));

        // The second history entry picked in the box, the destination browsed for.
        Pick(sourceCombo, 1);
        EXPECT_EQ(dialog.SourceFolder(), Q(source));
        EXPECT_EQ(Items(Child<QListWidget>(dialog, "sourceList")),
                  Texts({"abc.txt", "abcd.txt", "abcde.txt", "ünïcode.md"}));
        EXPECT_EQ(Child<QLabel>(dialog, "sourcePathLabel")->text(), Q(source));
        QTest::mouseClick(Child<QPushButton>(dialog, "destButton"), Qt::LeftButton);
        EXPECT_EQ(dialog.DestinationFolder(), Q(dest));
        EXPECT_EQ(Child<QComboBox>(dialog, "destCombo")->currentText(), Q(dest));
        EXPECT_EQ(Items(Child<QListWidget>(dialog, "destList")), Texts({"z.txt"}));

        Child<QLineEdit>(dialog, "lengthEdit")->setText(QStringLiteral("8"));
        QTest::mouseClick(Child<QPushButton>(dialog, "previewButton"), Qt::LeftButton);
        EXPECT_EQ(Items(Child<QListWidget>(dialog, "previewList")),
                  Texts({".hiddenname", "abcde.txt", "ünïcode.md"}));
        QTest::mouseClick(move, Qt::LeftButton);
    });
    ASSERT_TRUE(run.opened);
    EXPECT_FALSE(run.leftOpen);
    EXPECT_EQ(run.result, QDialog::Accepted);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(work.Names("src"), (Names{"a-long-folder-name", "abc.txt", "abcd.txt"}));
    EXPECT_EQ(work.Names("dst"), (Names{".hiddenname", "abcde.txt", "z.txt", "ünïcode.md"}));
    // The browse dialog started at the folder then chosen.
    ASSERT_EQ(dialogs.browseRequests.size(), 1u);
    EXPECT_EQ(dialogs.browseRequests[0],
              std::make_pair(QStringLiteral("Select a folder"), Q(oldDest)));
    EXPECT_EQ(Stored(frame), std::make_pair(FolderList{source, other}, FolderList{dest, oldDest}));
}

TEST_F(MoveOnLengthDialogTest, ChecksKeepTheDialogOpenAndMoveNothing) {
    work.File("src/Report.TXT", "new");
    work.File("src/another-long-name.txt");
    work.File("dst/report.txt", "old");
    const std::string upper = work.Folder("SRC");
    const std::string missing = work / "missing";
    const QString sourceInvalid = QStringLiteral("The source directory is not valid.");
    const QString destInvalid = QStringLiteral("The destination directory is not valid.");
    const QString same = QStringLiteral(
        "The Move cannot be done - the source and destination folders are the same.");
    const QString badLength = QStringLiteral(
        "The move cannot be done.  A length larger than 0 must be entered in the length editbox.");
    const QString collision = QStringLiteral(
        "The move was not started. A file with the name Report.TXT already exists in the "
        "destination directory.");
    const QString three = QStringLiteral("3");
    app::CMainFrame frame;

    // Folder problems store nothing; once the folders pass, the source is stored.
    const struct {
        std::string source, dest;
        QString length;
        std::vector<QString> messages;
        bool stored;
    } cases[] = {
        {missing, missing, three, {sourceInvalid, destInvalid}, false},
        {source, missing, three, {destInvalid}, false},
        {missing, dest, three, {sourceInvalid}, false},
        {source, upper, three, {same}, false},
        {source, dest, QStringLiteral("0"), {badLength}, true},
        {source, dest, QStringLiteral("-4"), {badLength}, true},
        {source, dest, QStringLiteral("ten"), {badLength}, true},
        {source, dest, three, {collision}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " -> " + c.dest + " length " + ToStdString(c.length));
        frame.Settings()->SetMoveOnLengthLists("", "");
        dialogs.messages.clear();
        CMoveOnLengthDlg dialog;
        dialog.show();
        // The dialog is not active here, so the boxes get their texts the way a pick would.
        auto* sourceCombo = Child<QComboBox>(dialog, "sourceCombo");
        auto* destCombo = Child<QComboBox>(dialog, "destCombo");
        sourceCombo->addItem(Q(c.source));
        Pick(sourceCombo, 0);
        destCombo->addItem(Q(c.dest));
        Pick(destCombo, 0);
        auto* length = Child<QLineEdit>(dialog, "lengthEdit");
        length->setText(c.length);
        auto* previewList = Child<QListWidget>(dialog, "previewList");
        previewList->addItem(QStringLiteral("kept as it was"));
        previewList->setFocus();

        dialog.OnPreview();
        QTest::mouseClick(Child<QPushButton>(dialog, "moveButton"), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(Errors(), c.messages);
        if (c.length != three) {
            // A length not above 0 leaves the preview alone and takes the focus back.
            EXPECT_EQ(Items(previewList), Texts({"kept as it was"}));
            EXPECT_EQ(dialog.focusWidget(), length);
        }
        EXPECT_EQ(Stored(frame).first, c.stored ? FolderList{c.source} : FolderList{});
        EXPECT_EQ(work.Names("src"), (Names{"Report.TXT", "another-long-name.txt"}));
        EXPECT_EQ(work.Read("dst/report.txt"), "old");
    }
}

TEST_F(MoveOnLengthDialogTest, MoveWithNothingLongerClosesAndStoresTheHistoriesUnlimited) {
    work.File("src/short.txt");
    std::string history;
    for (const char* name : {"h0", "h1", "h2", "h3", "h4", "h5"}) {
        history += work.Folder(name) + ";";
    }
    // The source is last in a history of seven: it moves to the top, and none is dropped.
    WriteLists(history + source + ";", oldDest + ";");
    app::CMainFrame frame;
    const auto run = Run(frame, [&](CMoveOnLengthDlg& dialog) {
        auto* sourceCombo = Child<QComboBox>(dialog, "sourceCombo");
        ASSERT_EQ(sourceCombo->count(), 7);
        Pick(sourceCombo, 6);
        auto* destCombo = Child<QComboBox>(dialog, "destCombo");
        destCombo->addItem(Q(dest));
        Pick(destCombo, 1);
        Child<QLineEdit>(dialog, "lengthEdit")->setText(QStringLiteral("20"));
        dialog.OnMove();
    });
    ASSERT_TRUE(run.opened);
    EXPECT_EQ(run.result, QDialog::Accepted);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(work.Exists("src/short.txt"));
    const auto [sources, dests] = Stored(frame);
    ASSERT_EQ(sources.size(), 7u);
    EXPECT_EQ(sources.front(), source);
    EXPECT_EQ(sources.back(), work / "h5");
    EXPECT_EQ(dests, (FolderList{dest, oldDest}));
}

TEST_F(MoveOnLengthDialogTest, CancelStoresNothingAndAnEmptyHistoryStartsEmpty) {
    WriteLists("", oldDest + ";");
    {
        app::CMainFrame frame;
        const auto run = Run(frame, [&](CMoveOnLengthDlg& dialog) {
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
    EXPECT_NE(IniText().find("DestDir=" + oldDest + ";"), std::string::npos) << IniText();
}

TEST_F(MoveOnLengthDialogTest, TypedFolderIsCheckedAtEveryLossOfFocusAndDoubleClickSetsLength) {
    work.File("src/déjà vu.txt");
    app::CMainFrame frame;
    const auto run = Run(frame, [&](CMoveOnLengthDlg& dialog) {
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        auto* sourceCombo = Child<QComboBox>(dialog, "sourceCombo");
        auto* length = Child<QLineEdit>(dialog, "lengthEdit");
        const QString typedMissing =
            QStringLiteral("The directory you've typed in does not exist.");

        TypeIntoBox(sourceCombo, Q(work / "nowhere"), length);
        EXPECT_EQ(Errors(), std::vector<QString>{typedMissing});
        EXPECT_TRUE(dialog.SourceFolder().isEmpty());
        // No new typing: the box is checked again all the same.
        sourceCombo->setFocus();
        length->setFocus();
        EXPECT_EQ(dialogs.messages.size(), 2u);

        TypeIntoBox(sourceCombo, Q(source), length);
        EXPECT_EQ(dialogs.messages.size(), 2u);
        EXPECT_EQ(dialog.SourceFolder(), Q(source));
        auto* list = Child<QListWidget>(dialog, "sourceList");
        ASSERT_EQ(Items(list), Texts({"déjà vu.txt"}));

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
        EXPECT_EQ(Errors()[3], QStringLiteral("The destination directory is not valid."));
    });
    ASSERT_TRUE(run.opened);
    EXPECT_TRUE(run.leftOpen);
}

}  // namespace
}  // namespace tidemark::ui
