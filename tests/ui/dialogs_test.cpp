#include <QFile>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include "help/help_window.h"
#include "settings/app_settings.h"
#include "settings/folder_list.h"
#include "ui/intelligent_merge_dialog.h"
#include "ui/move_on_length_dialog.h"
#include "ui/sort_files_dialog.h"

#include "tests/ui/ui_test_support.h"

namespace tidemark::ui {
namespace {

using namespace tidemark::testing;
using settings::FolderList;
using MainFrameTest = RenameWindowFixture;

const QString kSourceInvalid = QStringLiteral("The source directory is not valid.");
const QString kDestInvalid = QStringLiteral("The destination directory is not valid.");
const QString kTypedMissing = QStringLiteral("The directory you've typed in does not exist.");

void Pick(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QStringList List(const QWidget* dialog, const char* name) {
    return Items(Child<QListWidget>(dialog, name));
}

class FolderDialogTest : public AppFixture {
  protected:
    std::pair<FolderList, FolderList> MoveLists() const {
        std::pair<FolderList, FolderList> lists;
        frame.Settings()->GetMoveOnLengthLists(lists.first, lists.second);
        return lists;
    }
    std::vector<FolderList> MergeLists() const {
        std::vector<FolderList> lists(3);
        frame.Settings()->GetMergeLists(lists[0], lists[1], lists[2]);
        return lists;
    }
    std::string source = work.Folder("src");
    std::string dest = work.Folder("dst");
    std::string alt = work.Folder("alt");
    std::string other = work.Folder("other");
    app::CMainFrame frame;
};

TEST_F(FolderDialogTest, MoveOnLengthMovesLongerNamesAndStoresTheFolders) {
    // ".hiddenname" is left out of the list but still moved.
    for (const char* name : {"src/abc.txt", "src/Abcd.txt", "src/abcde.txt", "src/.hiddenname",
                             "other/x", "dst/z.txt"}) {
        work.File(name);
    }
    // The source is last of seven: it moves to the top, and none is dropped.
    std::string history = other + ";";
    for (const char* name : {"h1", "h2", "h3", "h4", "h5"}) {
        history += work.Folder(name) + ";";
    }
    frame.Settings()->SetMoveOnLengthLists(history + source + ";", alt + ";");
    picks = {QString(), Q(dest)};
    const int result = RunFromMenu<CMoveOnLengthDlg>(frame.MoveOnLengthAction(), [&](auto& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Move On Length"));
        ExpectLabels(dialog, {"Files with names longer than",
                              "chars (name + \".\" + extension) will be moved to the destination "
                              "folder.",
                              "Source Folder:", "Destination Folder:", "Preview"});
        auto* move = Child<QPushButton>(&dialog, "moveButton");
        EXPECT_TRUE(move->isDefault() && move->text() == QStringLiteral("Move"));
        auto* sourceCombo = Child<QComboBox>(&dialog, "sourceCombo");
        ASSERT_EQ(Items(sourceCombo).size(), 7);
        EXPECT_EQ(sourceCombo->currentText(), Q(other));
        EXPECT_EQ(List(&dialog, "sourceList"), Texts({"x"}));
        EXPECT_EQ(Child<QLabel>(&dialog, "destPathLabel")->text(), Q(alt));
        Pick(sourceCombo, 6);
        EXPECT_EQ(List(&dialog, "sourceList"), Texts({"abc.txt", "Abcd.txt", "abcde.txt"}));
        Pick(Child<QComboBox>(&dialog, "destCombo"), 0);
        Click(&dialog, "destButton");  // cancelled
        EXPECT_EQ(dialog.DestinationFolder(), Q(alt));
        Click(&dialog, "destButton");
        EXPECT_EQ(dialog.DestinationFolder(), Q(dest));
        EXPECT_EQ(List(&dialog, "destList"), Texts({"z.txt"}));
        QLineEdit* length = Edit(&dialog, "lengthEdit");
        length->setText(QStringLiteral("8"));
        Click(&dialog, "previewButton");
        EXPECT_EQ(List(&dialog, "previewList"), Texts({".hiddenname", "abcde.txt"}));
        // A length not above 0 leaves the preview alone; Move refuses it and focuses the length.
        length->setText(QStringLiteral("-4"));
        Click(&dialog, "previewButton");
        EXPECT_EQ(List(&dialog, "previewList").size(), 2);
        Click(move);
        EXPECT_EQ(ErrorTexts(), Errors{QStringLiteral("The move cannot be done.  A length larger "
                                                      "than 0 must be entered in the length "
                                                      "editbox.")});
        EXPECT_EQ(dialog.focusWidget(), length);
        messages.clear();
        length->setText(QStringLiteral("8"));
        Click(move);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(work.Names("src"), (Names{"Abcd.txt", "abc.txt"}));
    EXPECT_EQ(browseRequests.at(0), std::make_pair(QStringLiteral("Select a folder"), Q(alt)));
    EXPECT_EQ(MoveLists(), std::make_pair(FolderList{source, other, work / "h1", work / "h2",
                                                     work / "h3", work / "h4", work / "h5"},
                                          FolderList{dest, alt}));
}

TEST_F(FolderDialogTest, MoveOnLengthChecksATypedFolderOnEveryExitAndADoubleClickSetsLength) {
    work.File("src/déjà vu.txt");
    RunFromMenu<CMoveOnLengthDlg>(frame.MoveOnLengthAction(), [&](auto& dialog) {
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        auto* sourceCombo = Child<QComboBox>(&dialog, "sourceCombo");
        QLineEdit* length = Edit(&dialog, "lengthEdit");
        TypeIntoBox(sourceCombo, Q(work / "nowhere"), length);
        // No new typing: the box is checked again all the same.
        sourceCombo->setFocus();
        length->setFocus();
        EXPECT_EQ(ErrorTexts(), (Errors{kTypedMissing, kTypedMissing}));
        TypeIntoBox(sourceCombo, Q(source), length);
        EXPECT_EQ(dialog.SourceFolder(), Q(source));
        auto* list = Child<QListWidget>(&dialog, "sourceList");
        ASSERT_EQ(Items(list), Texts({"déjà vu.txt"}));
        // Opening the box's own list is not leaving the box.
        TypeIntoBox(sourceCombo, Q(work / "nowhere"), sourceCombo);
        sourceCombo->showPopup();
        sourceCombo->hidePopup();
        EXPECT_EQ(messages.size(), 2u);
        length->setFocus();
        EXPECT_EQ(messages.size(), 3u);
        EXPECT_EQ(dialog.SourceFolder(), Q(source));
        const QRect item = list->visualItemRect(list->item(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, item.center());
        EXPECT_EQ(length->text(), QStringLiteral("11"));
        // Enter in the length box is the Move button: here it finds no destination.
        length->setFocus();
        QTest::keyClick(length, Qt::Key_Return);
        EXPECT_EQ(messages.at(3).text, kDestInvalid);
        EXPECT_TRUE(dialog.isVisible());
    });
}

TEST_F(FolderDialogTest, MergeShowsTheSummaryAndRenewsTheHistories) {
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
    frame.Settings()->SetMergeLists(olderSources, otherDest + ";" + dest + ";", "");
    picks.push_back(Q(source));
    const int result = RunFromMenu<CIntelligentMergeDlg>(frame.MergeAction(), [&](auto& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Intelligent Merge"));
        ExpectLabels(dialog,
                     {"Source:", "Destination:", "Alternate:",
                      "Files will be moved from Source to Destination.  If a file already exists "
                      "in Destination with the same name and size, the file will remain in "
                      "Source.  If a file with the same name, but a different size exists in "
                      "Destination, it will be moved to Alternate.",
                      "Subdirectories are not shown and their contents will not be touched."});
        auto* merge = Child<QPushButton>(&dialog, "mergeButton");
        EXPECT_TRUE(merge->isDefault() && merge->text() == QStringLiteral("Merge"));
        EXPECT_EQ(Child<QComboBox>(&dialog, "sourceCombo")->count(), 4);
        EXPECT_EQ(Child<QComboBox>(&dialog, "destCombo")->currentText(), Q(otherDest));
        Click(&dialog, "sourceButton");
        EXPECT_EQ(List(&dialog, "sourceList"), Texts({"a.txt", "b.txt", "c.txt"}));
        Pick(Child<QComboBox>(&dialog, "destCombo"), 1);
        EXPECT_EQ(Child<QLabel>(&dialog, "destPathLabel")->text(), Q(dest));
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        TypeIntoBox(Child<QComboBox>(&dialog, "altCombo"), Q(alt), merge);
        EXPECT_EQ(dialog.AlternateText(), Q(alt));
        Click(merge);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(messages.at(0).caption, QStringLiteral("Merge Info"));
    EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("There were a total of 3")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(work.Names("alt"), Names{"c.txt"});
    // Each folder on top of its history; a full history loses its oldest entry.
    EXPECT_EQ(MergeLists(),
              (std::vector<FolderList>{
                  {source, work / "s1", work / "s2", work / "s3"}, {dest, otherDest}, {alt}}));
}

TEST_F(FolderDialogTest, MergeChecksATypedFolderOnceAfterTyping) {
    work.File("alt/old.txt");
    RunFromMenu<CIntelligentMergeDlg>(frame.MergeAction(), [&](auto& dialog) {
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        auto* altCombo = Child<QComboBox>(&dialog, "altCombo");
        auto* merge = Child<QPushButton>(&dialog, "mergeButton");
        TypeIntoBox(altCombo, Q(work / "nowhere"), merge);
        // Leaving the box again without typing checks nothing.
        altCombo->setFocus();
        merge->setFocus();
        EXPECT_TRUE(dialog.AlternateText().isEmpty());
        // A typed file path is taken too: only its existence is checked.
        TypeIntoBox(altCombo, Q(work / "alt/old.txt"), merge);
        EXPECT_EQ(dialog.AlternateText(), Q(work / "alt/old.txt"));
        TypeIntoBox(altCombo, Q(alt), merge);
        EXPECT_EQ(dialog.AlternateText(), Q(alt));
        EXPECT_EQ(List(&dialog, "altList"), Texts({"old.txt"}));
        EXPECT_EQ(Child<QLabel>(&dialog, "altPathLabel")->text(), Q(alt));
        // Enter in a folder box is Merge; the other folders are empty: missing, and the same.
        altCombo->setFocus();
        QTest::keyClick(altCombo->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(ErrorTexts(),
                  (Errors{kTypedMissing, kSourceInvalid, kDestInvalid,
                          QStringLiteral("The source and destination directories are the same. "
                                         "You must change one.")}));
        EXPECT_TRUE(dialog.isVisible());
    });
    EXPECT_EQ(MergeLists()[2], FolderList{alt});
}

TEST_F(MainFrameTest, StartsWithItsTitleAndTipsAndF1OpensTheHelpPageOfTheTabOrDialogInFront) {
    frame = std::make_unique<app::CMainFrame>();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Tidemark"));
    EXPECT_EQ(frame->minimumSize(), QSize(700, 400));
    EXPECT_EQ(frame->StatusText(), QStringLiteral("For Help, press F1"));
    EXPECT_EQ(
        frame->MoveOnLengthAction()->statusTip(),
        QStringLiteral("Move files from source to destination folder based on length of filename"));
    // A folder named like markup shows as it is named.
    EXPECT_EQ(Child<QLabel>(frame.get(), "messagePane")->textFormat(), Qt::PlainText);
    ASSERT_NE(OpenWindow(), nullptr);
    // Dialog (null: the rename window with tab in front), tab, contents entry, section.
    const std::tuple<QDialog*, int, const char*, const char*> cases[] = {
        {nullptr, 3, "Numbering files", ""},
        {nullptr, 1, "Renaming by rules", "extensions"},
        {nullptr, 0, "Renaming by rules", "files"},
        {nullptr, 2, "Renaming by rules", "folders"},
        {new CMoveOnLengthDlg(frame.get()), 0, "Move On Length", ""},
        {new CIntelligentMergeDlg(frame.get()), 0, "Intelligent Merge", ""},
        {new CSortFilesDlg(frame.get()), 0, "Custom order", ""},
    };
    for (const auto& [dialog, tab, contents, section] : cases) {
        SCOPED_TRACE(contents);
        view->TabControl()->setCurrentIndex(tab);
        QWidget* owner = dialog != nullptr ? dialog : static_cast<QWidget*>(frame.get());
        if (dialog != nullptr) {
            dialog->open();
        }
        QApplication::setActiveWindow(owner);
        ASSERT_TRUE(QTest::qWaitForWindowActive(owner));
        QTest::keyClick(dialog != nullptr ? owner : view->TabControl()->currentWidget(),
                        Qt::Key_F1);
        auto* help = owner->findChild<help::HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        EXPECT_EQ(help->Contents()->currentItem()->text(), Q(contents));
        EXPECT_EQ(help->Browser()->source().fragment(), Q(section));
        EXPECT_EQ(
            frame->findChildren<help::HelpWindow*>(QString(), Qt::FindDirectChildrenOnly).size(),
            1);
        if (dialog != nullptr) {
            dialog->reject();
        }
    }
    // Every page is titled as listed, and its pictures and page links are there.
    auto* help = frame->findChild<help::HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    for (int row = 0; row < help->Contents()->count(); ++row) {
        help->Contents()->setCurrentRow(row);
        const QTextDocument* page = help->Browser()->document();
        EXPECT_EQ(page->metaInformation(QTextDocument::DocumentTitle),
                  help->Contents()->item(row)->text());
        for (QTextBlock block = page->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                const QString target = format.isImageFormat()
                                           ? format.toImageFormat().name()
                                           : format.anchorHref().section(u'#', 0, 0);
                const QUrl url = help->Browser()->source().resolved(QUrl(target));
                EXPECT_TRUE(target.isEmpty() || QFile::exists(url.path().prepend(u':')))
                    << qPrintable(target);
            }
        }
    }
}

TEST(SortFilesDialogTest, ButtonsMoveTheSelectedEntriesAndOkGivesTheOrderedIndexes) {
    EnsureApplication();
    CSortFilesDlg dialog;
    dialog.SetItems({"one", "two", "three", "four"}, {5, 6, 7, 8});
    dialog.show();
    auto* available = Child<QListWidget>(&dialog, "availableList");
    auto* ordered = Child<QListWidget>(&dialog, "orderedList");
    // Button (null: only the selection changes), list to select in (null: the selection stays),
    // rows, the ordered list then shown, and whether the move buttons are on (-1: either).
    const std::tuple<const char*, QListWidget*, std::vector<int>, const char*, int> steps[] = {
        // Selected from the bottom up, they still arrive top to bottom.
        {"addButton", available, {3, 1}, "two four", 0},
        {"removeButton", ordered, {0}, "four", -1},
        {"addAllButton", nullptr, {}, "four one three two", -1},
        {"removeAllButton", ordered, {0}, "", 0},
        {"addAllButton", nullptr, {}, "one two three four", -1},
        {"moveUpButton", ordered, {0}, "one two three four", 1},
        {"moveDownButton", ordered, {3}, "one two three four", 1},
        // The moved entry stays selected, so it can be moved on.
        {"moveUpButton", ordered, {2}, "one three two four", 1},
        {"moveUpButton", nullptr, {}, "three one two four", 1},
        {"moveDownButton", nullptr, {}, "one three two four", 1},
        {nullptr, ordered, {1, 2}, "one three two four", 0},
        {nullptr, ordered, {1}, "one three two four", 1},
    };
    for (const auto& [button, list, rows, shown, moveButtons] : steps) {
        SCOPED_TRACE(::testing::Message() << (button ? button : "select") << " " << shown);
        if (list != nullptr) {
            list->clearSelection();
            for (int row : rows) {
                list->item(row)->setSelected(true);
            }
        }
        if (button != nullptr) {
            Click(&dialog, button);
        }
        EXPECT_EQ(Items(ordered).join(u' '), QString::fromLatin1(shown));
        const bool up = Child<QPushButton>(&dialog, "moveUpButton")->isEnabled();
        EXPECT_EQ(Child<QPushButton>(&dialog, "moveDownButton")->isEnabled(), up);
        EXPECT_TRUE(moveButtons < 0 || up == (moveButtons == 1));
    }
    Click(&dialog, "okButton");
    EXPECT_EQ(dialog.Result(), (catalogue::Order{5, 7, 6, 8}));
    dialog.show();
    Click(&dialog, "removeAllButton");
    EXPECT_EQ(Items(available), Texts({"one", "two", "three", "four"}));
    Click(&dialog, "okButton");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Result().empty());
}

}  // namespace
}  // namespace tidemark::ui
