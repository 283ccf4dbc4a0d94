// The File menu's folder dialogs on real folders and tmk.ini histories, their helpers, and the
// "Sort Files" dialog.

#include <QCursor>
#include <QProgressDialog>

#include "platform/text.h"
#include "settings/app_settings.h"
#include "settings/folder_list.h"
#include "ui/dialog_ops_host.h"
#include "ui/folder_helper.h"
#include "ui/intelligent_merge_dialog.h"
#include "ui/move_on_length_dialog.h"
#include "ui/sort_files_dialog.h"

#include "tests/ui/ui_test_support.h"

namespace tidemark::ui {
namespace {

using namespace tidemark::testing;
using settings::FolderList;

const QString kSourceInvalid = QStringLiteral("The source directory is not valid.");
const QString kDestInvalid = QStringLiteral("The destination directory is not valid.");
const QString kTypedMissing = QStringLiteral("The directory you've typed in does not exist.");

void Pick(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

class MoveOnLengthDialogTest : public FolderDialogFixture {
  protected:
    void SetLists(const std::string& sources, const std::string& dests) {
        frame.Settings()->SetMoveOnLengthLists(sources, dests);
    }
    static std::pair<FolderList, FolderList> Stored(const app::CMainFrame& frame) {
        std::pair<FolderList, FolderList> lists;
        frame.Settings()->GetMoveOnLengthLists(lists.first, lists.second);
        return lists;
    }
    ModalRun Run(const std::function<void(CMoveOnLengthDlg&)>& drive) {
        return RunFromMenu<CMoveOnLengthDlg>(frame.MoveOnLengthAction(), drive);
    }

    std::string source = work.Folder("src");
    std::string other = work.Folder("other");
    std::string dest = work.Folder("dst");
    std::string oldDest = work.Folder("olddst");
    app::CMainFrame frame;
};

TEST_F(MoveOnLengthDialogTest, FromTheMenuMovesNamesLongerThanTheLengthAndStoresTheFolders) {
    work.File("src/abc.txt");
    work.File("src/abcde.txt");
    work.File("src/.hiddenname");  // left out of the list but still moved
    work.File("other/x");
    work.File("dst/z.txt");
    SetLists(other + ";" + source + ";", oldDest + ";");
    dialogs.picks.push_back(Q(dest));
    const auto run = Run([&](CMoveOnLengthDlg& dialog) {
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
        EXPECT_EQ(Items(Child<QListWidget>(dialog, "sourceList")), Texts({"x"}));
        EXPECT_EQ(Child<QLabel>(dialog, "destPathLabel")->text(), Q(oldDest));

        Pick(sourceCombo, 1);
        EXPECT_EQ(dialog.SourceFolder(), Q(source));
        EXPECT_EQ(Items(Child<QListWidget>(dialog, "sourceList")), Texts({"abc.txt", "abcde.txt"}));
        EXPECT_EQ(Child<QLabel>(dialog, "sourcePathLabel")->text(), Q(source));
        Click(&dialog, "destButton");
        EXPECT_EQ(dialog.DestinationFolder(), Q(dest));
        EXPECT_EQ(Child<QComboBox>(dialog, "destCombo")->currentText(), Q(dest));
        EXPECT_EQ(Items(Child<QListWidget>(dialog, "destList")), Texts({"z.txt"}));
        Edit(&dialog, "lengthEdit")->setText(QStringLiteral("8"));
        Click(&dialog, "previewButton");
        EXPECT_EQ(Items(Child<QListWidget>(dialog, "previewList")),
                  Texts({".hiddenname", "abcde.txt"}));
        Click(move);
    });
    ASSERT_TRUE(run.opened);
    EXPECT_EQ(run.result, QDialog::Accepted);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(work.Names("src"), Names{"abc.txt"});
    EXPECT_EQ(work.Names("dst"), (Names{".hiddenname", "abcde.txt", "z.txt"}));
    // The browse dialog started at the folder then chosen.
    ASSERT_EQ(dialogs.browseRequests.size(), 1u);
    EXPECT_EQ(dialogs.browseRequests[0],
              std::make_pair(QStringLiteral("Select a folder"), Q(oldDest)));
    EXPECT_EQ(Stored(frame), std::make_pair(FolderList{source, other}, FolderList{dest, oldDest}));
}

TEST_F(MoveOnLengthDialogTest, ChecksKeepTheDialogOpenAndMoveNothing) {
    work.File("src/Report.TXT", "new");
    work.File("dst/report.txt", "old");
    const QString three = QStringLiteral("3");
    const struct {
        std::string source;
        QString length;
        QString message;
    } cases[] = {
        {work / "missing", three, kSourceInvalid},
        {source, QStringLiteral("-4"),
         QStringLiteral("The move cannot be done.  A length larger than 0 must be entered in the "
                        "length editbox.")},
        {source, three,
         QStringLiteral("The move was not started. A file with the name Report.TXT already exists "
                        "in the destination directory.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " length " + ToStdString(c.length));
        frame.Settings()->SetMoveOnLengthLists("", "");
        dialogs.messages.clear();
        CMoveOnLengthDlg dialog;
        dialog.show();
        // The dialog is not active here, so the boxes get their texts the way a pick would.
        Child<QComboBox>(dialog, "sourceCombo")->addItem(Q(c.source));
        Pick(Child<QComboBox>(dialog, "sourceCombo"), 0);
        Child<QComboBox>(dialog, "destCombo")->addItem(Q(dest));
        Pick(Child<QComboBox>(dialog, "destCombo"), 0);
        QLineEdit* length = Edit(&dialog, "lengthEdit");
        length->setText(c.length);
        auto* previewList = Child<QListWidget>(dialog, "previewList");
        previewList->addItem(QStringLiteral("kept"));
        previewList->setFocus();
        dialog.OnPreview();
        Click(&dialog, "moveButton");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialogs.ErrorTexts(), Errors{c.message});
        if (c.length != three) {
            // A length not above 0 leaves the preview alone and takes the focus back.
            EXPECT_EQ(Items(previewList), Texts({"kept"}));
            EXPECT_EQ(dialog.focusWidget(), length);
        }
        // Once the folders pass, the source is stored.
        EXPECT_EQ(Stored(frame).first, c.source == source ? FolderList{source} : FolderList{});
        EXPECT_EQ(work.Names("src"), Names{"Report.TXT"});
        EXPECT_EQ(work.Read("dst/report.txt"), "old");
    }
}

TEST_F(MoveOnLengthDialogTest, MoveWithNothingLongerClosesAndStoresTheHistoriesUnlimited) {
    work.File("src/short.txt");
    std::string history;
    for (const char* name : {"h0", "h1", "h2", "h3", "h4", "h5"}) {
        history += work.Folder(name) + ";";
    }
    // The source is last of seven: it moves to the top, and none is dropped.
    SetLists(history + source + ";", oldDest + ";");
    const auto run = Run([&](CMoveOnLengthDlg& dialog) {
        Pick(Child<QComboBox>(dialog, "sourceCombo"), 6);
        Child<QComboBox>(dialog, "destCombo")->addItem(Q(dest));
        Pick(Child<QComboBox>(dialog, "destCombo"), 1);
        Edit(&dialog, "lengthEdit")->setText(QStringLiteral("20"));
        dialog.OnMove();
    });
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
    SetLists("", oldDest + ";");
    const auto run = Run([&](CMoveOnLengthDlg& dialog) {
        EXPECT_EQ(Child<QComboBox>(dialog, "sourceCombo")->count(), 0);
        EXPECT_EQ(Child<QListWidget>(dialog, "sourceList")->count(), 0);
        EXPECT_TRUE(dialog.SourceFolder().isEmpty());
        EXPECT_EQ(dialog.DestinationFolder(), Q(oldDest));
        Click(&dialog, "cancelButton");
    });
    EXPECT_EQ(run.result, QDialog::Rejected);
    EXPECT_EQ(Stored(frame), std::make_pair(FolderList{}, FolderList{oldDest}));
}

TEST_F(MoveOnLengthDialogTest, TypedFolderIsCheckedAtEveryLossOfFocusAndDoubleClickSetsLength) {
    work.File("src/déjà vu.txt");
    const auto run = Run([&](CMoveOnLengthDlg& dialog) {
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        auto* sourceCombo = Child<QComboBox>(dialog, "sourceCombo");
        QLineEdit* length = Edit(&dialog, "lengthEdit");
        TypeIntoBox(sourceCombo, Q(work / "nowhere"), length);
        EXPECT_EQ(dialogs.ErrorTexts(), Errors{kTypedMissing});
        EXPECT_TRUE(dialog.SourceFolder().isEmpty());
        // No new typing: the box is checked again all the same.
        sourceCombo->setFocus();
        length->setFocus();
        EXPECT_EQ(dialogs.messages.size(), 2u);
        TypeIntoBox(sourceCombo, Q(source), length);
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
        EXPECT_EQ(dialogs.messages[3].text, kDestInvalid);
    });
    EXPECT_TRUE(run.leftOpen);
}

class IntelligentMergeDialogTest : public FolderDialogFixture {
  protected:
    void SetLists(const std::string& sources, const std::string& dests) {
        frame.Settings()->SetMergeLists(sources, dests, "");
    }
    static std::vector<FolderList> Stored(const app::CMainFrame& frame) {
        std::vector<FolderList> lists(3);
        frame.Settings()->GetMergeLists(lists[0], lists[1], lists[2]);
        return lists;
    }
    ModalRun Run(const std::function<void(CIntelligentMergeDlg&)>& drive) {
        return RunFromMenu<CIntelligentMergeDlg>(frame.MergeAction(), drive);
    }

    std::string source = work.Folder("src");
    std::string dest = work.Folder("dst");
    std::string alt = work.Folder("alt");
    app::CMainFrame frame;
};

TEST_F(IntelligentMergeDialogTest, MergesFromTheMenuShowsTheSummaryAndRenewsTheHistories) {
    work.File("src/a.txt", "A");
    work.File("src/b.txt", "bb");
    work.File("src/c.txt", "ccc");
    work.File("src/sub/inner.txt");
    work.File("dst/b.txt", "BB");  // same size, other content: the same file
    work.File("dst/c.txt", "another size");
    std::string olderSources;
    for (const char* name : {"s1", "s2", "s3", "s4"}) {
        olderSources += work.Folder(name) + ";";
    }
    const std::string otherDest = work.Folder("d2");
    SetLists(olderSources, otherDest + ";" + dest + ";");
    bool normalCursorAtSummary = false;
    dialogs.picks.push_back(Q(source));
    const auto run = Run([&](CIntelligentMergeDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Intelligent Merge"));
        ExpectLabels(dialog,
                     {"Source:", "Destination:", "Alternate:",
                      "Files will be moved from Source to Destination.  If a file already exists "
                      "in Destination with the same name and size, the file will remain in "
                      "Source.  If a file with the same name, but a different size exists in "
                      "Destination, it will be moved to Alternate.",
                      "Subdirectories are not shown and their contents will not be touched."});
        auto* merge = Child<QPushButton>(dialog, "mergeButton");
        EXPECT_TRUE(merge->isDefault());
        EXPECT_EQ(merge->text(), QStringLiteral("Merge"));
        EXPECT_EQ(Child<QComboBox>(dialog, "sourceCombo")->count(), 4);
        EXPECT_EQ(Child<QComboBox>(dialog, "destCombo")->currentText(), Q(otherDest));
        // Source browsed for, destination picked from its history, alternate typed.
        Click(&dialog, "sourceButton");
        EXPECT_EQ(Items(Child<QListWidget>(dialog, "sourceList")),
                  Texts({"a.txt", "b.txt", "c.txt"}));
        Pick(Child<QComboBox>(dialog, "destCombo"), 1);
        EXPECT_EQ(Child<QLabel>(dialog, "destPathLabel")->text(), Q(dest));
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        TypeIntoBox(Child<QComboBox>(dialog, "altCombo"), Q(alt), merge);
        EXPECT_EQ(dialog.AlternateText(), Q(alt));
        SetMessageBoxFunction(
            [&](QWidget*, const QString& text, const QString& caption, QMessageBox::Icon) {
                normalCursorAtSummary = QApplication::overrideCursor() == nullptr;
                dialogs.messages.push_back({text, caption});
            });
        Click(merge);
    });
    EXPECT_EQ(run.result, QDialog::Accepted);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Merge Info"));
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("There were a total of 3 files.\n  1 were moved normally to the "
                             "destination folder.\n  1 existed in the destination folder with a "
                             "different size - moved to alternate directory)\n  1 existed in "
                             "the destination folder with the same size - not moved)"));
    EXPECT_TRUE(normalCursorAtSummary);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(work.Names("src"), (Names{"b.txt", "sub"}));
    EXPECT_EQ(work.Names("dst"), (Names{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(work.Names("alt"), Names{"c.txt"});
    // Each folder on top of its history; a full history loses its oldest entry.
    EXPECT_EQ(Stored(frame),
              (std::vector<FolderList>{
                  {source, work / "s1", work / "s2", work / "s3"}, {dest, otherDest}, {alt}}));
}

TEST_F(IntelligentMergeDialogTest, CancelAndRefusedMergesKeepOnlyTheFolderShownOfEachHistory) {
    work.File("src/a.txt", "A");
    const std::string d2 = work.Folder("d2");
    SetLists(source + ";" + work.Folder("s2") + ";", dest + ";" + d2 + ";");
    const auto run = Run([&](CIntelligentMergeDlg& dialog) {
        EXPECT_EQ(Entries(Child<QComboBox>(dialog, "destCombo")), QStringList({Q(dest), Q(d2)}));
        Click(&dialog, "cancelButton");
    });
    EXPECT_EQ(run.result, QDialog::Rejected);
    EXPECT_EQ(Stored(frame), (std::vector<FolderList>{{source}, {dest}, {}}));

    // Every folder problem is reported, and the dialog stays open.
    const std::string missing = work / "missing";
    frame.Settings()->SetMergeLists(missing, missing + "2", missing + "3");
    {
        CIntelligentMergeDlg dialog;
        dialog.show();
        EXPECT_EQ(dialog.SourceText(), Q(missing));
        Click(&dialog, "mergeButton");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialogs.ErrorTexts(),
                  (Errors{kSourceInvalid, kDestInvalid,
                          QStringLiteral("The alternate directory is not valid.")}));
    }
    EXPECT_EQ(work.Names("src"), Names{"a.txt"});
    EXPECT_EQ(Stored(frame),
              (std::vector<FolderList>{{missing}, {missing + "2"}, {missing + "3"}}));
}

TEST_F(IntelligentMergeDialogTest, TypedFolderIsCheckedOnceAfterTyping) {
    work.File("alt/old.txt");
    const auto run = Run([&](CIntelligentMergeDlg& dialog) {
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        auto* altCombo = Child<QComboBox>(dialog, "altCombo");
        auto* merge = Child<QPushButton>(dialog, "mergeButton");
        TypeIntoBox(altCombo, Q(work / "nowhere"), merge);
        EXPECT_EQ(dialogs.ErrorTexts(), Errors{kTypedMissing});
        // Leaving the box again without typing checks nothing.
        altCombo->setFocus();
        merge->setFocus();
        EXPECT_EQ(dialogs.messages.size(), 1u);
        EXPECT_TRUE(dialog.AlternateText().isEmpty());
        // A typed file path is taken too: only its existence is checked.
        TypeIntoBox(altCombo, Q(work / "alt/old.txt"), merge);
        EXPECT_EQ(dialog.AlternateText(), Q(work / "alt/old.txt"));
        TypeIntoBox(altCombo, Q(alt), merge);
        EXPECT_EQ(dialog.AlternateText(), Q(alt));
        EXPECT_EQ(Items(Child<QListWidget>(dialog, "altList")), Texts({"old.txt"}));
        EXPECT_EQ(Child<QLabel>(dialog, "altPathLabel")->text(), Q(alt));
        EXPECT_EQ(dialogs.messages.size(), 1u);
        // Enter in a folder box is the Merge button; the other folders are empty: missing,
        // and the same.
        altCombo->setFocus();
        QTest::keyClick(altCombo->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(dialogs.ErrorTexts(),
                  (Errors{kTypedMissing, kSourceInvalid, kDestInvalid,
                          QStringLiteral("The source and destination directories are the same. "
                                         "You must change one.")}));
    });
    EXPECT_TRUE(run.leftOpen);
    EXPECT_EQ(Stored(frame)[2], FolderList{alt});
}

TEST(FolderHelperTest, HistoriesListingsAndTheFolderButton) {
    EnsureApplication();
    DialogRecorder dialogs;
    TempFolder folder;
    ScopedCurrentFolder here(folder.Path());
    QComboBox box;
    box.setEditable(true);
    for (const char* name : {"/a", "/b", "/c", "/d", "/e"}) {
        FolderHelper::AddToHistory(&box, QString::fromUtf8(name));
    }
    EXPECT_EQ(Entries(&box), Texts({"/e", "/d", "/c", "/b"}));
    FolderHelper::AddToHistory(&box, QStringLiteral("/C"));
    EXPECT_EQ(FolderHelper::JoinFolderCombo(&box), QStringLiteral("/C;/e;/d;/b;"));
    // A box filled from six entries keeps six until the next addition, which leaves six.
    QComboBox six;
    FolderHelper::FillHistory({"/1", "/2", "/3", "/4", "/5", "/6"}, &six);
    EXPECT_EQ(six.currentIndex(), 0);
    FolderHelper::AddToHistory(&six, QStringLiteral("/7"));
    EXPECT_EQ(Entries(&six), Texts({"/7", "/1", "/2", "/3", "/5", "/6"}));

    // Plain visible files only, sorted; the listing makes the folder current.
    folder.File("b.txt");
    folder.File("A.txt");
    folder.File(".hidden");
    folder.Folder("sub");
    QListWidget list;
    QLabel label;
    FolderHelper helper(nullptr);
    helper.ListFolder(Q(folder.Path()), &list, &label);
    EXPECT_EQ(Items(&list), Texts({"A.txt", "b.txt"}));
    EXPECT_EQ(label.text(), Q(folder.Path()));
    EXPECT_EQ(std::filesystem::current_path(), folder.Path());
    std::vector<std::string> folders;
    std::vector<std::string> files;
    EXPECT_TRUE(FolderHelper::ScanFolderNames(folder.Path(), folders, files));
    EXPECT_EQ(folders.size(), 3U);  // ".", ".." and "sub"
    EXPECT_EQ(files.size(), 3U);
    EXPECT_TRUE(FolderHelper::ScanFolderNames(folder / "missing", folders, files));
    EXPECT_TRUE(folders.empty() && files.empty());
    std::vector<std::string> names = {"b", "C", "a", "B", "A"};
    FolderHelper::SortNames(names, 1, 4);
    EXPECT_EQ(names[0], "b");
    EXPECT_EQ(platform::NoCaseCompare(names[1], "a"), 0);
    EXPECT_EQ(platform::NoCaseCompare(names[3], "b"), 0);
    EXPECT_EQ(names[4], "C");

    QString chosen = QStringLiteral("/start");
    dialogs.picks = {QString(), Q(folder.Path())};
    EXPECT_FALSE(helper.OnFolderButton(&box, nullptr, nullptr, chosen));  // cancelled
    EXPECT_EQ(chosen, QStringLiteral("/start"));
    EXPECT_TRUE(helper.OnFolderButton(&box, nullptr, nullptr, chosen));
    EXPECT_EQ(chosen, Q(folder.Path()));
    EXPECT_EQ(box.currentText(), chosen);
    EXPECT_EQ(box.count(), 4);
    EXPECT_EQ(dialogs.browseRequests[0],
              std::make_pair(QStringLiteral("Select a folder"), QStringLiteral("/start")));
    QPushButton* button = FolderHelper::MakeFolderButton(&box);
    EXPECT_EQ(button->accessibleName(), QStringLiteral("OpenFldr"));
    EXPECT_FALSE(button->icon().isNull());
}

TEST(DialogOpsHostTest, WaitCursorAndProgressLastUntilTheOperationEndsOrSpeaks) {
    EnsureApplication();
    DialogRecorder dialogs;
    QWidget owner;
    const auto waiting = [] {
        return QApplication::overrideCursor() != nullptr &&
               QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    };
    {
        DialogOpsHost host(&owner, QStringLiteral("Intelligent Merge"),
                           QStringLiteral("Merging files..."));
        EXPECT_TRUE(waiting());
        QProgressDialog* progress = host.ProgressDialog();
        ASSERT_NE(progress, nullptr);
        EXPECT_EQ(progress->minimumDuration(), 500);
        EXPECT_EQ(progress->windowTitle(), QStringLiteral("Intelligent Merge"));
        EXPECT_FALSE(progress->isVisible());
        host.Progress(3, 10);
        EXPECT_EQ(progress->value(), 3);
        EXPECT_EQ(progress->labelText(), QStringLiteral("Merging files...\n3 of 10 files"));
        host.ShowMessage("summary", "Merge Info");
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("summary"));
        EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Merge Info"));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(host.ProgressDialog(), nullptr);
        // Work after a message is busy again.
        host.Progress(4, 10);
        EXPECT_TRUE(waiting());
        ASSERT_NE(host.ProgressDialog(), nullptr);
        EXPECT_EQ(host.ProgressDialog()->value(), 4);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

class SortFilesDialogTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
    void SetUp() override {
        dialog.SetItems({"one.txt", "two.txt", "three.txt", "four.txt"}, {5, 6, 7, 8});
        dialog.show();
    }
    void Select(QListWidget* list, const std::vector<int>& rows) {
        list->clearSelection();
        for (int row : rows) {
            list->item(row)->setSelected(true);
        }
    }
    // Clicks the button, with the rows selected first (none: as they are).
    void Press(const char* button, QListWidget* list = nullptr, const std::vector<int>& rows = {}) {
        if (list != nullptr) {
            Select(list, rows);
        }
        Click(&dialog, button);
    }
    bool MoveButtonsEnabled() {
        const bool up = Child<QPushButton>(dialog, "moveUpButton")->isEnabled();
        EXPECT_EQ(Child<QPushButton>(dialog, "moveDownButton")->isEnabled(), up);
        return up;
    }

    CSortFilesDlg dialog;
    QListWidget* available = Child<QListWidget>(dialog, "availableList");
    QListWidget* ordered = Child<QListWidget>(dialog, "orderedList");
};

TEST_F(SortFilesDialogTest, AddAndRemoveMoveSelectedEntriesInListOrder) {
    const QStringList start = Texts({"one.txt", "two.txt", "three.txt", "four.txt"});
    EXPECT_EQ(Items(available), start);
    EXPECT_FALSE(MoveButtonsEnabled());
    // Selected from the bottom up, they still arrive top to bottom.
    Press("addButton", available, {3, 1});
    EXPECT_EQ(Items(ordered), Texts({"two.txt", "four.txt"}));
    EXPECT_EQ(Items(available), Texts({"one.txt", "three.txt"}));
    Press("addAllButton");
    const QStringList all = Texts({"two.txt", "four.txt", "one.txt", "three.txt"});
    EXPECT_EQ(Items(ordered), all);
    Press("removeButton", ordered, {3});
    EXPECT_EQ(Items(available), Texts({"three.txt"}));
    Press("addButton", available, {0});
    EXPECT_EQ(Items(ordered), all);
    // Nothing selected: nothing moves.
    Press("addButton", available, {});
    Press("removeButton", ordered, {});
    EXPECT_EQ(Items(ordered), all);
    // Removing two leaves the move buttons off, as the two selected made them.
    Press("removeButton", ordered, {0, 1});
    EXPECT_FALSE(MoveButtonsEnabled());
    Press("removeAllButton", ordered, {0});
    EXPECT_FALSE(MoveButtonsEnabled());
    EXPECT_EQ(ordered->count(), 0);
    EXPECT_EQ(Items(available), start);
    EXPECT_EQ(available->item(3)->data(Qt::UserRole).toUInt(), 8u);
}

TEST_F(SortFilesDialogTest, MoveUpAndDownShiftTheSelectedEntryAndOkGivesTheOrder) {
    Press("addAllButton");
    const QStringList start = Items(ordered);
    // At the ends, and with nothing selected, nothing changes.
    Press("moveUpButton", ordered, {0});
    Press("moveDownButton", ordered, {3});
    ordered->clearSelection();
    EXPECT_TRUE(MoveButtonsEnabled());
    Press("moveUpButton");
    Press("moveDownButton");
    EXPECT_EQ(Items(ordered), start);
    // The moved entry stays selected, so it can be moved on.
    Press("moveUpButton", ordered, {2});
    Press("moveUpButton");
    EXPECT_EQ(Items(ordered), Texts({"three.txt", "one.txt", "two.txt", "four.txt"}));
    Press("moveDownButton");
    ASSERT_EQ(ordered->selectedItems().size(), 1);
    EXPECT_EQ(ordered->row(ordered->selectedItems().front()), 1);
    Select(ordered, {1, 2});
    EXPECT_FALSE(MoveButtonsEnabled());
    ordered->item(2)->setSelected(false);
    EXPECT_TRUE(MoveButtonsEnabled());

    Press("cancelButton");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.Result().empty());
    dialog.show();
    Press("removeAllButton");
    Press("okButton");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Result().empty());
    dialog.show();
    Press("addButton", available, {2});
    Press("addButton", available, {0});
    Press("okButton");
    // two.txt and four.txt stayed available and take no part.
    EXPECT_EQ(dialog.Result(), (catalogue::Order{7, 5}));
}

}  // namespace
}  // namespace tidemark::ui
