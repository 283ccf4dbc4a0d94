// The rename and numbering pages inside a real rename window.

#include <QBrush>
#include <QCheckBox>
#include <QGuiApplication>
#include <QPalette>

#include <tuple>

#include "settings/ini_file.h"
#include "tests/ui/ui_test_support.h"
#include "ui/number_page.h"
#include "ui/rename_page.h"
#include "ui/sort_files_dialog.h"

namespace tidemark::ui {
namespace {

using namespace tidemark::testing;

class RenamePageTest : public RenameWindowFixture {
  protected:
    void SetUp() override {
        folder.File("Alpha one.txt", "1");
        folder.File("beta.TXT", "2");
        ASSERT_NE(OpenWindow(), nullptr);
        page = dynamic_cast<CRenamePage*>(view->Page(0));
        ASSERT_NE(page, nullptr);
    }

    CRenamePage* page = nullptr;
};

TEST_F(RenamePageTest, SwitchesEnableTheirBoxesClearEmptiesThemAndCloseReadsNumbersSigned) {
    auto& o = page->Rules().Options();
    QLineEdit* pos = Edit(page, "delPosEdit");
    EXPECT_FALSE(Edit(page, "delNumEdit")->isEnabled());
    Click(page, "deleteCheck");
    EXPECT_TRUE(Edit(page, "delNumEdit")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), pos);
    Type(pos, QStringLiteral("-3"));
    EXPECT_EQ(o.DelPos, 0);
    Type(pos, QStringLiteral("12"));
    Click(page, "deleteCheck");
    EXPECT_FALSE(o.DoDelete);
    EXPECT_FALSE(pos->isEnabled());
    EXPECT_EQ(o.DelPos, 12);
    const std::pair<const char*, int> radios[] = {{"caseLowerRadio", 1},
                                                  {"caseUpperRadio", 2},
                                                  {"caseInitialRadio", 4},
                                                  {"caseNoneRadio", 0},
                                                  {"caseCapsRadio", 3}};
    for (const auto& [name, mode] : radios) {
        Click(page, name);
        EXPECT_EQ(o.CaseMode, mode) << name;
    }
    // Showing a number below 1 shows "0", and the record then holds 0.
    o.LCrop = -5;
    o.DoLCrop = true;
    o.CaseMode = rename::kCaseUpper;
    page->ShowOptions();
    EXPECT_EQ(Edit(page, "leftCropEdit")->text(), QStringLiteral("0"));
    EXPECT_EQ(o.LCrop, 0);
    EXPECT_TRUE(Child<QAbstractButton>(page, "caseUpperRadio")->isChecked());
    // After a rename the rule switches go off; the case choice stays.
    page->ResetPage();
    EXPECT_FALSE(Child<QAbstractButton>(page, "leftCropCheck")->isChecked());
    EXPECT_TRUE(Child<QAbstractButton>(page, "caseUpperRadio")->isChecked());
    // "Clear" empties every box and restores the preview at once.
    Click(page, "prependCheck");
    QTest::keyClicks(Edit(page, "prependEdit"), QStringLiteral("p_"));
    EXPECT_EQ(Preview().front(), "P_ALPHA ONE.txt");
    Click(page, "clearButton");
    EXPECT_EQ(Preview(), (Names{"Alpha one.txt", "beta.TXT"}));
    EXPECT_EQ(o, rename::RenameOptions{});
    EXPECT_TRUE(Edit(page, "prependEdit")->text().isEmpty());
    EXPECT_FALSE(Edit(page, "prependEdit")->isEnabled());
    EXPECT_EQ(Edit(page, "delNumEdit")->text(), QStringLiteral("0"));
    for (QCheckBox* check : page->findChildren<QCheckBox*>()) {
        EXPECT_FALSE(check->isChecked()) << ToStdString(check->objectName());
    }
    EXPECT_TRUE(Child<QAbstractButton>(page, "caseNoneRadio")->isChecked());

    Click(page, "insertCheck");
    Type(Edit(page, "insPosEdit"), QStringLiteral("-3"));
    EXPECT_EQ(o.InsPos, 0);
    // "Close" reads the numbers signed, and posts the request: the window goes after the click.
    Click(page, "closeButton");
    EXPECT_EQ(o.InsPos, -3);
    EXPECT_NE(frame->RenameView(), nullptr);
    EXPECT_FALSE(frame->RenameAction()->isEnabled());
    ProcessPostedEvents();
    EXPECT_EQ(frame->RenameView(), nullptr);
    EXPECT_TRUE(frame->RenameAction()->isEnabled());
    EXPECT_FALSE(frame->MergeAction()->isEnabled());
}

TEST_F(RenamePageTest, PreviewMarksCollidingNamesAndTheStatusBarCountsThem) {
    const auto data = [this](int row, int role) {
        return view->ResultPane()->model()->index(row, 0).data(role);
    };
    Click(page, "changeCheck");
    QTest::keyClicks(Edit(page, "changeEdit"), QStringLiteral("x"));
    ProcessPostedEvents();
    EXPECT_EQ(data(0, Qt::ToolTipRole), QStringLiteral("beta.TXT gets the same new name"));
    EXPECT_EQ(data(1, Qt::ToolTipRole), QStringLiteral("Alpha one.txt gets the same new name"));
    EXPECT_EQ(data(1, Qt::ForegroundRole).value<QBrush>(),
              QGuiApplication::palette().brush(QPalette::Link));
    EXPECT_EQ(frame->StatusText(), QStringLiteral("2 names collide"));

    Click(page, "changeCheck");
    ProcessPostedEvents();
    EXPECT_FALSE(data(0, Qt::ToolTipRole).isValid());
    EXPECT_FALSE(data(1, Qt::ForegroundRole).isValid());
    EXPECT_EQ(frame->StatusText(), Q(folder.Path()));
}

TEST_F(RenamePageTest, RenameOpensATypedFolderFirstAndAddsItToTheHistoryAfterASuccess) {
    TempFolder other;
    other.File("b1.txt");
    QComboBox* combo = page->FolderCombo();
    const Names history = view->SourceHistory();
    Type(combo->lineEdit(), QStringLiteral("/no/such/folder"));
    Click(page, "renameButton");
    EXPECT_EQ(ErrorTexts(), Errors{QStringLiteral("That is not a valid path.")});
    EXPECT_EQ(view->CurrentFolder(), folder.Path());
    // Nothing to rename: no history entry.
    page->Rules().Options().SelOnly = true;
    Click(page, "renameButton");
    ProcessPostedEvents();
    EXPECT_EQ(view->SourceHistory(), history);

    page->Rules().Options().SelOnly = false;
    Click(page, "prependCheck");
    QTest::keyClicks(Edit(page, "prependEdit"), QStringLiteral("x_"));
    Type(combo->lineEdit(), Q(other.Path()));
    Click(page, "renameButton");
    ProcessPostedEvents();
    EXPECT_EQ(view->CurrentFolder(), other.Path());
    EXPECT_EQ(other.Names(), Names{"b1.txt"});
    // Enter on a control that does not take it runs the default button.
    auto* check = Child<QCheckBox>(page, "selOnlyCheck");
    check->setFocus();
    QTest::keyClick(check, Qt::Key_Return);
    ProcessPostedEvents();
    EXPECT_EQ(other.Names(), Names{"x_b1.txt"});
    EXPECT_EQ(view->SourceHistory().front(), other.Path());

    // The history keeps four folders, a folder once whatever its case; Down in the box opens the
    // next entry at once.
    for (const std::string& name : Names{"/p1", "/p2", "/p3", "/P2", folder.Path(), other.Path()}) {
        PostUserMessage(view, UM_ADDSOURCEFOLDER, 0, name);
    }
    ProcessPostedEvents();
    EXPECT_EQ(view->SourceHistory(), (Names{other.Path(), folder.Path(), "/P2", "/p3"}));
    combo->setCurrentIndex(0);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    ProcessPostedEvents();
    EXPECT_EQ(view->CurrentFolder(), folder.Path());
}

class NumberPageTest : public RenameWindowFixture {
  protected:
    void SetUp() override {
        folder.Folder("sub");
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            folder.File(name, name);
        }
        Open();
    }
    void Open() {
        ASSERT_NE(OpenWindow(3), nullptr);
        page = dynamic_cast<CNumberPage*>(view->Page(3));
        ASSERT_NE(page, nullptr);
    }
    void SwitchTabAwayAndBack() {
        view->TabControl()->setCurrentIndex(0);
        view->TabControl()->setCurrentIndex(3);
        ProcessPostedEvents();
    }

    CNumberPage* page = nullptr;
};

TEST_F(NumberPageTest, NumberBoxesRefuseTheKeyThatLeavesTheirRangeAndKeepTheFocus) {
    const rename::NumberOptions& o = page->GetNumbering().Options();
    // Emptying the start box silently starts at 1.
    Type(Edit(page, "startEdit"), QStringLiteral("7"));
    Type(Edit(page, "startEdit"), QString());
    EXPECT_EQ(o.Start, 1);
    EXPECT_TRUE(page->GetNumbering().StartBoxEmpty());
    EXPECT_TRUE(messages.empty());
    const struct {
        const char *edit, *typed, *message;
    } cases[] = {
        {"incrEdit", "", "Please input an increment between 1 and 1000."},
        {"startEdit", "10002", "Please input a start number between 0 and 10,001."},
        {"incrEdit", "1001", "Please input an increment between 1 and 1000."},
        {"widthEdit", "11", "Please input a number width between 0 and 10."},
        {"startEdit", "x", "Please input a start number between 0 and 10,001."},
    };
    for (const auto& c : cases) {
        messages.clear();
        QLineEdit* edit = Edit(page, c.edit);
        Type(edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(ErrorTexts(), Errors{QString::fromLatin1(c.message)}) << c.typed;
        EXPECT_EQ(QApplication::focusWidget(), edit);
    }
    EXPECT_FALSE(page->GetNumbering().StartBoxEmpty());
    EXPECT_EQ(o.Start, 1000);
    EXPECT_EQ(o.Incr, 100);
    EXPECT_EQ(o.Width, 1);
}

TEST_F(NumberPageTest, TheDestinationIsEnabledByOutputAndCheckedWhenLeftEnteredOrBrowsed) {
    QComboBox* dest = page->DestCombo();
    auto* destBrowse = Child<QPushButton>(page, "destBrowseButton");
    const auto& options = page->GetNumbering().Options();
    EXPECT_FALSE(dest->isEnabled());
    const std::tuple<const char*, int, bool> outputs[] = {
        {"outputMoveRadio", rename::kOutputMove, true},
        {"outputRenameRadio", rename::kOutputRename, false},
        {"outputCopyRadio", rename::kOutputCopy, true}};
    for (const auto& [radio, output, enabled] : outputs) {
        Click(page, radio);
        EXPECT_EQ(options.Output, output);
        EXPECT_EQ(dest->isEnabled(), enabled);
        EXPECT_EQ(destBrowse->isEnabled(), enabled);
    }
    TempFolder target;
    Type(dest->lineEdit(), QStringLiteral("/no/such/folder"));
    Click(page, "selOnlyCheck");
    EXPECT_EQ(ErrorTexts(), Errors{QStringLiteral("The destination directory is not valid.")});
    EXPECT_EQ(options.DestDir, "");
    Click(page, "selOnlyCheck");
    // Enter in the box takes the folder, twice, and never runs "Renumber".
    Click(page, "posBeforeRadio");
    Type(dest->lineEdit(), Q(target.Path()));
    QTest::keyClick(dest, Qt::Key_Return);
    QTest::keyClick(dest, Qt::Key_Return);
    ProcessPostedEvents();
    EXPECT_EQ(options.DestDir, target.Path());
    EXPECT_TRUE(target.Names().empty());

    // The folder button opens a folder; the destination button starts at the destination.
    // A destination that a renumber used goes to the front of its history.
    TempFolder copies;
    folder.File("sub/s.txt");
    picks = {Q(folder / "sub"), QString(), Q(copies.Path())};
    Click(page, "browseButton");
    ProcessPostedEvents();
    EXPECT_EQ(view->CurrentFolder(), folder / "sub");
    Click(destBrowse);  // cancelled
    EXPECT_EQ(options.DestDir, target.Path());
    Click(destBrowse);
    EXPECT_EQ(dest->currentText(), Q(copies.Path()));
    EXPECT_EQ(browseRequests.at(0),
              std::make_pair(QStringLiteral("Select a folder"), Q(folder.Path())));
    EXPECT_EQ(browseRequests.at(1).second, Q(target.Path()));
    Click(page, "renumberButton");
    ProcessPostedEvents();
    EXPECT_EQ(copies.Names(), Names{"1s.txt"});
    EXPECT_EQ(view->DestHistory().front(), copies.Path());
}

TEST_F(NumberPageTest, PositionRadiosAndThePatternSetPosAndWidthAndATabSwitchEmptiesThePosition) {
    const rename::NumberOptions& o = page->GetNumbering().Options();
    auto* renumber = Child<QPushButton>(page, "renumberButton");
    QLineEdit* pos = Edit(page, "posEdit");
    QLineEdit* pattern = Edit(page, "patternEdit");
    EXPECT_FALSE(renumber->isEnabled());
    // "At position" with an empty box numbers nothing until a position is typed.
    Click(page, "posAtRadio");
    EXPECT_EQ(o.Pos, -1);
    EXPECT_TRUE(pos->isEnabled());
    EXPECT_FALSE(pattern->isEnabled());
    EXPECT_TRUE(renumber->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), pos);
    QTest::keyClicks(pos, QStringLiteral("2"));
    EXPECT_EQ(Preview(), (Names{"sub", "a1.txt", "b2.txt", "c3.txt"}));
    SwitchTabAwayAndBack();
    EXPECT_TRUE(pos->text().isEmpty());
    EXPECT_EQ(Preview(), (Names{"sub", "1a.txt", "2b.txt", "3c.txt"}));
    Click(page, "posAfterRadio");
    EXPECT_EQ(o.Pos, -1);
    EXPECT_FALSE(pos->isEnabled());

    // The pattern sets the width box, and its "?" wins over an emptied position box.
    Type(Edit(page, "widthEdit"), QStringLiteral("5"));
    Click(page, "posPatternRadio");
    EXPECT_EQ(QApplication::focusWidget(), pattern);
    QTest::keyClicks(pattern, QStringLiteral("img??.jpg"));
    EXPECT_EQ(Edit(page, "widthEdit")->text(), QStringLiteral("2"));
    EXPECT_EQ(Preview(), (Names{"sub", "img01.jpg", "img02.jpg", "img03.jpg"}));
    Click(page, "posAtRadio");
    QTest::keyClicks(pos, QStringLiteral("1"));
    SwitchTabAwayAndBack();
    EXPECT_EQ(o.Pos, 3);
    EXPECT_EQ(o.Width, 2);
    Click(page, "posNoneRadio");
    EXPECT_FALSE(renumber->isEnabled());
    EXPECT_FALSE(pattern->isEnabled());
    EXPECT_TRUE(messages.empty());
}

TEST_F(NumberPageTest, RenumbersInTheOrderLaidDownWithSortFilesAndCancelDropsIt) {
    auto* customOrder = Child<QPushButton>(page, "customOrderButton");
    const auto sortFiles = [&](std::initializer_list<const char*> names, const char* button) {
        QTimer::singleShot(0, page, [&] {
            auto* dialog = page->findChild<CSortFilesDlg*>();
            ASSERT_NE(dialog, nullptr);
            auto* available = Child<QListWidget>(dialog, "availableList");
            for (const char* name : names) {
                available->clearSelection();
                available->findItems(QString::fromLatin1(name), Qt::MatchExactly)[0]->setSelected(
                    true);
                Click(dialog, "addButton");
            }
            Click(dialog, button);
        });
        Click(customOrder);
    };
    // "Sort Files" needs a selected file.
    EXPECT_FALSE(customOrder->isEnabled());
    ClickRow(view->SourcePane(), 0);
    EXPECT_FALSE(customOrder->isEnabled());
    ClickRow(view->SourcePane(), 2);
    ClickRow(view->SourcePane(), 3, Qt::ControlModifier);
    ASSERT_TRUE(customOrder->isEnabled());
    sortFiles({"c.txt", "b.txt"}, "cancelButton");
    EXPECT_FALSE(view->Catalogue()->customOrder);
    EXPECT_EQ(ColumnTexts(view->SourcePane()), (Names{"sub", "a.txt", "b.txt", "c.txt"}));

    ClickRow(view->SourcePane(), 1);
    ClickRow(view->SourcePane(), 2, Qt::ControlModifier);
    ClickRow(view->SourcePane(), 3, Qt::ControlModifier);
    sortFiles({"c.txt", "a.txt", "b.txt"}, "okButton");
    EXPECT_TRUE(view->Catalogue()->customOrder);
    EXPECT_EQ(ColumnTexts(view->SourcePane()), (Names{"c.txt", "a.txt", "b.txt"}));
    Click(page, "posBeforeRadio");
    Click(page, "renumberButton");
    ProcessPostedEvents();
    EXPECT_EQ(folder.Names(), (Names{"1c.txt", "2a.txt", "3b.txt", "sub"}));
    EXPECT_EQ(page->GetNumbering().Options().PosMode, rename::kPosNone);
}

// "Move" uses the destination shown from the history, with no visit to the box first.
TEST_F(NumberPageTest, TheDestinationShownFromTheHistoryIsUsed) {
    TempFolder out;
    frame.reset();  // saves tmk.ini; the next window reads the history written here
    ASSERT_TRUE(settings::WriteProfileString("COMMON", "DestDir", out.Path() + ";/gone;",
                                             work / "tmk.ini"));
    Open();
    EXPECT_EQ(page->DestCombo()->currentText(), Q(out.Path()));
    Click(page, "outputCopyRadio");
    Click(page, "posBeforeRadio");
    Click(page, "renumberButton");
    ProcessPostedEvents();
    EXPECT_EQ(out.Names(), (Names{"1a.txt", "2b.txt", "3c.txt"}));
}

}  // namespace
}  // namespace tidemark::ui
