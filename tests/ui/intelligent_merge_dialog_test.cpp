// The Intelligent Merge dialog, from the File menu, on real folders and tmk.ini histories.

#include "ui/intelligent_merge_dialog.h"

#include <QCursor>
#include <QPushButton>

#include "app/main_frame.h"
#include "settings/app_settings.h"
#include "settings/folder_list.h"
#include "tests/ui/folder_dialog_test_support.h"
#include "ui/dialog_hooks.h"

namespace tidemark::ui {
namespace {

using namespace tidemark::testing;
using settings::FolderList;

const QString kSourceInvalid = QStringLiteral("The source directory is not valid.");
const QString kDestInvalid = QStringLiteral("The destination directory is not valid.");
const QString kAltInvalid = QStringLiteral("The alternate directory is not valid.");
const QString kSame =
    QStringLiteral("The source and destination directories are the same. You must change one.");

class IntelligentMergeDialogTest : public FolderDialogFixture {
  protected:
    void WriteLists(const std::string& sources, const std::string& dests, const std::string& alts) {
        WriteIni("[MERGE]\nSrcDir=" + sources + "\nDestDir=" + dests + "\nAltDir=" + alts + "\n");
    }

    // The source, destination and alternate histories stored.
    static std::vector<FolderList> Stored(const app::CMainFrame& frame) {
        std::vector<FolderList> lists(3);
        frame.Settings()->GetMergeLists(lists[0], lists[1], lists[2]);
        return lists;
    }

    ModalRun Run(app::CMainFrame& frame, const std::function<void(CIntelligentMergeDlg&)>& drive) {
        return RunFromMenu<CIntelligentMergeDlg>(frame.MergeAction(), drive);
    }

    std::string source = work.Folder("src");
    std::string dest = work.Folder("dst");
    std::string alt = work.Folder("alt");
};

TEST_F(IntelligentMergeDialogTest, MergesFromTheMenuShowsTheSummaryAndRenewsTheHistories) {
    work.File("src/a.txt", "A");
    work.File("src/b.txt", "bb");
    work.File("src/c.txt", "ccc");
    work.File("src/sub/inner.txt", "never touched");
    work.File("dst/b.txt", "BB");  // same size, other content: the same file
    work.File("dst/c.txt", "another size");
    std::string olderSources;
    for (const char* name : {"s1", "s2", "s3", "s4"}) {
        olderSources += work.Folder(name) + ";";
    }
    const std::string otherDest = work.Folder("d2");
    WriteLists(olderSources, otherDest + ";" + dest + ";", "");

    app::CMainFrame frame;
    bool normalCursorAtSummary = false;
    dialogs.picks.push_back(Q(source));
    const auto run = Run(frame, [&](CIntelligentMergeDlg& dialog) {
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
        EXPECT_EQ(Child<QComboBox>(dialog, "altCombo")->count(), 0);

        // Source browsed for, destination picked from its history, alternate typed.
        QTest::mouseClick(Child<QPushButton>(dialog, "sourceButton"), Qt::LeftButton);
        EXPECT_EQ(Items(Child<QListWidget>(dialog, "sourceList")),
                  Texts({"a.txt", "b.txt", "c.txt"}));
        auto* destCombo = Child<QComboBox>(dialog, "destCombo");
        destCombo->setCurrentIndex(1);
        emit destCombo->activated(1);
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
        QTest::mouseClick(merge, Qt::LeftButton);
    });
    ASSERT_TRUE(run.opened);
    EXPECT_FALSE(run.leftOpen);
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
    EXPECT_EQ(work.Names("src"), (std::vector<std::string>{"b.txt", "sub"}));
    EXPECT_EQ(work.Names("src/sub"), std::vector<std::string>{"inner.txt"});
    EXPECT_EQ(work.Names("dst"), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(work.Read("dst/c.txt"), "another size");
    EXPECT_EQ(work.Names("alt"), std::vector<std::string>{"c.txt"});
    // Each folder on top of its history; a full history loses its oldest entry.
    EXPECT_EQ(Stored(frame),
              (std::vector<FolderList>{
                  {source, work / "s1", work / "s2", work / "s3"}, {dest, otherDest}, {alt}}));
}

TEST_F(IntelligentMergeDialogTest, CancelRightAfterOpeningKeepsOnlyTheFirstFolderOfEachHistory) {
    const std::string s2 = work.Folder("s2");
    const std::string d2 = work.Folder("d2");
    WriteLists(source + ";" + s2 + ";", dest + ";" + d2 + ";" + s2 + ";", "");
    {
        app::CMainFrame frame;
        const auto run = Run(frame, [&](CIntelligentMergeDlg& dialog) {
            EXPECT_EQ(Entries(Child<QComboBox>(dialog, "destCombo")),
                      QStringList({Q(dest), Q(d2), Q(s2)}));
            QTest::mouseClick(Child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
        });
        ASSERT_TRUE(run.opened);
        EXPECT_EQ(run.result, QDialog::Rejected);
        EXPECT_EQ(Stored(frame), (std::vector<FolderList>{{source}, {dest}, {}}));
    }
    const std::string text = IniText();
    EXPECT_NE(text.find("SrcDir=" + source + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("DestDir=" + dest + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("AltDir=\n"), std::string::npos) << text;
}

TEST_F(IntelligentMergeDialogTest, FolderChecksReportEveryProblemAndLeaveTheDialogOpen) {
    work.File("src/a.txt", "A");
    const std::string missing = work / "missing";
    const struct {
        std::string source, dest, alt;
        std::vector<QString> messages;
    } cases[] = {
        {missing, missing + "2", "", {kSourceInvalid, kDestInvalid, kAltInvalid}},
        {source, dest, missing, {kAltInvalid}},
        // Equal folders are reported even after a folder was found missing.
        {missing, work / "MISSING", alt, {kSourceInvalid, kDestInvalid, kSame}},
        {source, work.Folder("SRC"), source, {kSame}},
    };
    app::CMainFrame frame;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " | " + c.dest + " | " + c.alt);
        dialogs.messages.clear();
        WriteLists("", "", "");
        frame.Settings()->SetMergeLists(c.source, c.dest, c.alt);
        {
            CIntelligentMergeDlg dialog;
            dialog.show();
            EXPECT_EQ(dialog.SourceText(), Q(c.source));
            QTest::mouseClick(Child<QPushButton>(dialog, "mergeButton"), Qt::LeftButton);
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(Errors(), c.messages);
        }
        EXPECT_EQ(work.Names("src"), std::vector<std::string>{"a.txt"});
        // Gone without a Merge: each history is the single folder it was.
        const auto stored = Stored(frame);
        EXPECT_EQ(stored[0], FolderList{c.source});
        EXPECT_EQ(stored[2], c.alt.empty() ? FolderList{} : FolderList{c.alt});
    }
}

TEST_F(IntelligentMergeDialogTest, TypedFolderIsCheckedOnceAfterTyping) {
    work.File("alt/old.txt");
    app::CMainFrame frame;
    const auto run = Run(frame, [&](CIntelligentMergeDlg& dialog) {
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        auto* altCombo = Child<QComboBox>(dialog, "altCombo");
        auto* merge = Child<QPushButton>(dialog, "mergeButton");
        const QString typedMissing =
            QStringLiteral("The directory you've typed in does not exist.");

        TypeIntoBox(altCombo, Q(work / "nowhere"), merge);
        EXPECT_EQ(Errors(), std::vector<QString>{typedMissing});
        // Leaving the box again without typing checks nothing.
        altCombo->setFocus();
        merge->setFocus();
        EXPECT_EQ(dialogs.messages.size(), 1u);
        EXPECT_TRUE(dialog.AlternateText().isEmpty());

        // A typed file path is taken too: only its existence is checked.
        const std::string file = work / "alt/old.txt";
        TypeIntoBox(altCombo, Q(file), merge);
        EXPECT_EQ(dialog.AlternateText(), Q(file));
        TypeIntoBox(altCombo, Q(alt), merge);
        EXPECT_EQ(dialog.AlternateText(), Q(alt));
        EXPECT_EQ(Items(Child<QListWidget>(dialog, "altList")), Texts({"old.txt"}));
        EXPECT_EQ(Child<QLabel>(dialog, "altPathLabel")->text(), Q(alt));
        EXPECT_EQ(dialogs.messages.size(), 1u);

        // Enter in a folder box is the Merge button; both other folders are empty: missing
        // and the same.
        altCombo->setFocus();
        QTest::keyClick(altCombo->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(Errors(),
                  (std::vector<QString>{typedMissing, kSourceInvalid, kDestInvalid, kSame}));
    });
    ASSERT_TRUE(run.opened);
    EXPECT_TRUE(run.leftOpen);
    EXPECT_EQ(Stored(frame)[2], FolderList{alt});
}

}  // namespace
}  // namespace tidemark::ui
