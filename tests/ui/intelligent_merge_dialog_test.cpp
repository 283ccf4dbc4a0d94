// The Intelligent Merge dialog on real folders: opened from the File menu with the histories of
// tmk.ini, the merge and its summary, the folder checks, the typed-folder check that clears its
// flag, and the histories stored when the dialog goes away.

#include "ui/intelligent_merge_dialog.h"

#include <QCursor>
#include <QPushButton>

#include <fstream>
#include <string>

#include "app/main_frame.h"
#include "settings/app_settings.h"
#include "settings/folder_list.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/folder_dialog_test_support.h"
#include "tests/ui/ui_test_support.h"
#include "ui/dialog_hooks.h"
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

struct MergeLists {
    settings::FolderList source;
    settings::FolderList dest;
    settings::FolderList alt;
};

class IntelligentMergeDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { tidemark::testing::EnsureApplication(); }

    void WriteIni(const std::string& sourceText, const std::string& destText,
                  const std::string& altText) {
        std::ofstream(work / "tmk.ini")
            << "[MERGE]\nSrcDir=" << sourceText << "\nDestDir=" << destText
            << "\nAltDir=" << altText << "\n";
    }

    static MergeLists Stored(const app::CMainFrame& frame) {
        MergeLists lists;
        frame.Settings()->GetMergeLists(lists.source, lists.dest, lists.alt);
        return lists;
    }

    TempFolder work;
    ScopedEnv ini{"TMK_INI", work / "tmk.ini"};
    ScopedCurrentFolder here{work.Path()};
    DialogRecorder dialogs;
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
    for (int i = 1; i <= 4; ++i) {
        olderSources += work.Folder("s" + std::to_string(i)) + ";";
    }
    const std::string otherDest = work.Folder("d2");
    WriteIni(olderSources, otherDest + ";" + dest + ";", "");

    app::CMainFrame frame;
    bool normalCursorAtSummary = false;
    dialogs.picks.push_back(Q(source));
    const auto run =
        RunFromMenu<CIntelligentMergeDlg>(frame.MergeAction(), [&](CIntelligentMergeDlg& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Intelligent Merge"));
            EXPECT_TRUE(HasLabel(dialog, QStringLiteral("Source:")));
            EXPECT_TRUE(HasLabel(dialog, QStringLiteral("Destination:")));
            EXPECT_TRUE(HasLabel(dialog, QStringLiteral("Alternate:")));
            EXPECT_TRUE(HasLabel(
                dialog,
                QStringLiteral(
                    "Files will be moved from Source to Destination.  If a file already exists "
                    "in Destination with the same name and size, the file will remain in "
                    "Source.  If a file with the same name, but a different size exists in "
                    "Destination, it will be moved to Alternate.")));
            EXPECT_TRUE(HasLabel(dialog, QStringLiteral("Subdirectories are not shown and their "
                                                        "contents will not be touched.")));
            auto* merge = Child<QPushButton>(dialog, "mergeButton");
            EXPECT_TRUE(merge->isDefault());
            EXPECT_EQ(merge->text(), QStringLiteral("Merge"));

            EXPECT_EQ(Child<QComboBox>(dialog, "sourceCombo")->count(), 4);
            EXPECT_EQ(Child<QComboBox>(dialog, "destCombo")->currentText(), Q(otherDest));
            EXPECT_EQ(Child<QComboBox>(dialog, "altCombo")->count(), 0);

            // Source browsed for, destination picked from its history, alternate typed.
            QTest::mouseClick(Child<QPushButton>(dialog, "sourceButton"), Qt::LeftButton);
            EXPECT_EQ(Items(Child<QListWidget>(dialog, "sourceList")),
                      QStringList({QStringLiteral("a.txt"), QStringLiteral("b.txt"),
                                   QStringLiteral("c.txt")}));
            auto* destCombo = Child<QComboBox>(dialog, "destCombo");
            destCombo->setCurrentIndex(1);
            emit destCombo->activated(1);
            EXPECT_EQ(Child<QLabel>(dialog, "destPathLabel")->text(), Q(dest));
            QApplication::setActiveWindow(&dialog);
            ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
            TypeIntoBox(Child<QComboBox>(dialog, "altCombo"), Q(alt), merge);
            EXPECT_EQ(dialog.AlternateText(), Q(alt));

            SetMessageBoxFunction([&](QWidget*, const QString& text, const QString& caption) {
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
    EXPECT_EQ(work.Names("src/sub"), (std::vector<std::string>{"inner.txt"}));
    EXPECT_EQ(work.Names("dst"), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(work.Read("dst/c.txt"), "another size");
    EXPECT_EQ(work.Names("alt"), (std::vector<std::string>{"c.txt"}));

    // Each folder on top of its history; a full history loses its oldest entry.
    const MergeLists stored = Stored(frame);
    EXPECT_EQ(stored.source, (settings::FolderList{source, work / "s1", work / "s2", work / "s3"}));
    EXPECT_EQ(stored.dest, (settings::FolderList{dest, otherDest}));
    EXPECT_EQ(stored.alt, (settings::FolderList{alt}));
}

TEST_F(IntelligentMergeDialogTest, CancelRightAfterOpeningKeepsOnlyTheFirstFolderOfEachHistory) {
    const std::string s2 = work.Folder("s2");
    const std::string d2 = work.Folder("d2");
    WriteIni(source + ";" + s2 + ";", dest + ";" + d2 + ";" + s2 + ";", "");
    {
        app::CMainFrame frame;
        const auto run = RunFromMenu<CIntelligentMergeDlg>(
            frame.MergeAction(), [&](CIntelligentMergeDlg& dialog) {
                EXPECT_EQ(Entries(Child<QComboBox>(dialog, "destCombo")),
                          QStringList({Q(dest), Q(d2), Q(s2)}));
                QTest::mouseClick(Child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
            });
        ASSERT_TRUE(run.opened);
        EXPECT_EQ(run.result, QDialog::Rejected);
        const MergeLists stored = Stored(frame);
        EXPECT_EQ(stored.source, (settings::FolderList{source}));
        EXPECT_EQ(stored.dest, (settings::FolderList{dest}));
        EXPECT_TRUE(stored.alt.empty());
    }
    std::ifstream in(work / "tmk.ini");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("SrcDir=" + source + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("DestDir=" + dest + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("AltDir=\n"), std::string::npos) << text;
}

TEST_F(IntelligentMergeDialogTest, FolderChecksReportEveryProblemAndLeaveTheDialogOpen) {
    work.File("src/a.txt", "A");
    const std::string missing = work / "missing";
    const std::string missingUpper = work / "MISSING";
    const std::string sourceUpper = work.Folder("SRC");
    const QString sourceInvalid = QStringLiteral("The source directory is not valid.");
    const QString destInvalid = QStringLiteral("The destination directory is not valid.");
    const QString altInvalid = QStringLiteral("The alternate directory is not valid.");
    const QString same =
        QStringLiteral("The source and destination directories are the same. You must change one.");
    struct Case {
        std::string source;
        std::string dest;
        std::string alt;
        std::vector<QString> messages;
    };
    const Case cases[] = {
        {missing, missing + "2", "", {sourceInvalid, destInvalid, altInvalid}},
        {source, dest, missing, {altInvalid}},
        // Equal folders are reported even after a folder was found missing.
        {missing, missingUpper, alt, {sourceInvalid, destInvalid, same}},
        {source, sourceUpper, source, {same}},
    };
    app::CMainFrame frame;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source + " | " + c.dest + " | " + c.alt);
        dialogs.messages.clear();
        WriteIni("", "", "");
        frame.Settings()->SetMergeLists(c.source, c.dest, c.alt);
        {
            CIntelligentMergeDlg dialog;
            dialog.show();
            EXPECT_EQ(dialog.SourceText(), Q(c.source));
            QTest::mouseClick(Child<QPushButton>(dialog, "mergeButton"), Qt::LeftButton);
            EXPECT_TRUE(dialog.isVisible());
            ASSERT_EQ(dialogs.messages.size(), c.messages.size());
            for (std::size_t i = 0; i < c.messages.size(); ++i) {
                EXPECT_EQ(dialogs.messages[i].text, c.messages[i]);
                EXPECT_EQ(dialogs.messages[i].caption, QStringLiteral("Error"));
            }
        }
        EXPECT_EQ(work.Names("src"), (std::vector<std::string>{"a.txt"}));
        // Gone without a Merge: each history is the single folder it was.
        const MergeLists stored = Stored(frame);
        EXPECT_EQ(stored.source, (settings::FolderList{c.source}));
        EXPECT_EQ(stored.alt, c.alt.empty() ? settings::FolderList{} : settings::FolderList{c.alt});
    }
}

TEST_F(IntelligentMergeDialogTest, TypedFolderIsCheckedOnceAfterTyping) {
    work.File("alt/old.txt");
    app::CMainFrame frame;
    const auto run =
        RunFromMenu<CIntelligentMergeDlg>(frame.MergeAction(), [&](CIntelligentMergeDlg& dialog) {
            QApplication::setActiveWindow(&dialog);
            ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
            auto* altCombo = Child<QComboBox>(dialog, "altCombo");
            auto* merge = Child<QPushButton>(dialog, "mergeButton");

            TypeIntoBox(altCombo, Q(work / "nowhere"), merge);
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].text,
                      QStringLiteral("The directory you've typed in does not exist."));
            EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Error"));
            // Leaving the box again without typing checks nothing.
            altCombo->setFocus();
            merge->setFocus();
            EXPECT_EQ(dialogs.messages.size(), 1u);
            EXPECT_TRUE(dialog.AlternateText().isEmpty());

            // A typed file path is taken too: only its existence is checked.
            const std::string file = work / "alt/old.txt";
            TypeIntoBox(altCombo, Q(file), merge);
            EXPECT_EQ(dialog.AlternateText(), Q(file));
            EXPECT_EQ(dialogs.messages.size(), 1u);
            TypeIntoBox(altCombo, Q(alt), merge);
            EXPECT_EQ(dialog.AlternateText(), Q(alt));
            EXPECT_EQ(Items(Child<QListWidget>(dialog, "altList")),
                      QStringList({QStringLiteral("old.txt")}));
            EXPECT_EQ(Child<QLabel>(dialog, "altPathLabel")->text(), Q(alt));
            EXPECT_EQ(dialogs.messages.size(), 1u);

            // Enter in a folder box is the Merge button: here both other folders are empty,
            // so missing, and the same.
            altCombo->setFocus();
            QTest::keyClick(altCombo->lineEdit(), Qt::Key_Return);
            ASSERT_EQ(dialogs.messages.size(), 4u);
            EXPECT_EQ(dialogs.messages[1].text,
                      QStringLiteral("The source directory is not valid."));
            EXPECT_EQ(dialogs.messages[2].text,
                      QStringLiteral("The destination directory is not valid."));
            EXPECT_EQ(
                dialogs.messages[3].text,
                QStringLiteral("The source and destination directories are the same. You must "
                               "change one."));
        });
    ASSERT_TRUE(run.opened);
    EXPECT_TRUE(run.leftOpen);
    EXPECT_EQ(Stored(frame).alt, (settings::FolderList{alt}));
}

}  // namespace
}  // namespace tidemark::ui
