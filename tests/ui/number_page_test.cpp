// The "Number Files" page, alone against a recording view and inside a real rename window.

#include <QTimer>

#include "settings/ini_file.h"
#include "tests/ui/page_test_support.h"
#include "ui/number_page.h"
#include "ui/sort_files_dialog.h"

namespace tidemark::ui {
namespace {

using namespace tidemark::testing;

using NumberPageTest = PageFixture<CNumberPage>;

TEST_F(NumberPageTest, NumberBoxesCheckTheirRangesAndReturnTheFocus) {
    const rename::NumberOptions& o = page.GetNumbering().Options();
    EXPECT_EQ(Child<QLineEdit>(&page, "startEdit")->text(), QStringLiteral("1"));

    // Emptying the increment box complains at once and keeps the value.
    auto* incr = Child<QLineEdit>(&page, "incrEdit");
    Type(incr, QString());
    EXPECT_EQ(
        dialogs.Errors(),
        std::vector<QString>{QStringLiteral("Please input an increment between 1 and 1000.")});
    EXPECT_EQ(QApplication::focusWidget(), incr);
    EXPECT_EQ(o.Incr, 1);
    QTest::keyClicks(incr, QStringLiteral("3"));
    EXPECT_EQ(o.Incr, 3);
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // Emptying the start box silently starts at 1 and numbers nothing.
    auto* start = Child<QLineEdit>(&page, "startEdit");
    Type(start, QStringLiteral("7"));
    EXPECT_EQ(o.Start, 7);
    Type(start, QString());
    EXPECT_EQ(o.Start, 1);
    EXPECT_TRUE(page.GetNumbering().StartBoxEmpty());
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // Typing digit by digit past the top of each range: the last digit is refused.
    const struct {
        const char *edit, *typed, *message;
    } cases[] = {
        {"startEdit", "10002", "Please input a start number between 0 and 10,001."},
        {"incrEdit", "1001", "Please input an increment between 1 and 1000."},
        {"widthEdit", "11", "Please input a number width between 0 and 10."},
        {"startEdit", "x", "Please input a start number between 0 and 10,001."},
    };
    for (const auto& c : cases) {
        dialogs.messages.clear();
        auto* edit = Child<QLineEdit>(&page, c.edit);
        Type(edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(dialogs.Errors(), std::vector{QString::fromLatin1(c.message)}) << c.typed;
        EXPECT_EQ(QApplication::focusWidget(), edit);
    }
    EXPECT_FALSE(page.GetNumbering().StartBoxEmpty());
    EXPECT_EQ(o.Start, 1000);
    EXPECT_EQ(o.Incr, 100);
    EXPECT_EQ(o.Width, 1);
}

TEST_F(NumberPageTest, PositionRadiosSetPosAndThePatternSetsPosAndWidth) {
    const rename::NumberOptions& o = page.GetNumbering().Options();
    auto* renumber = Child<QPushButton>(&page, "renumberButton");
    auto* pos = Child<QLineEdit>(&page, "posEdit");
    auto* pattern = Child<QLineEdit>(&page, "patternEdit");
    EXPECT_FALSE(renumber->isEnabled());

    // "At position" with an empty box numbers nothing until a position is typed.
    Click(Child<QRadioButton>(&page, "posAtRadio"));
    EXPECT_EQ(o.PosMode, rename::kPosAt);
    EXPECT_EQ(o.Pos, -1);
    EXPECT_TRUE(pos->isEnabled());
    EXPECT_FALSE(pattern->isEnabled());
    EXPECT_TRUE(renumber->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), pos);
    QTest::keyClicks(pos, QStringLiteral("5"));
    EXPECT_EQ(o.Pos, 5);

    Click(Child<QRadioButton>(&page, "posAfterRadio"));
    EXPECT_EQ(o.Pos, -1);
    EXPECT_FALSE(pos->isEnabled());
    Click(Child<QRadioButton>(&page, "posBeforeRadio"));
    EXPECT_EQ(o.Pos, 0);

    Type(Child<QLineEdit>(&page, "widthEdit"), QStringLiteral("5"));
    Click(Child<QRadioButton>(&page, "posPatternRadio"));
    EXPECT_EQ(QApplication::focusWidget(), pattern);
    QTest::keyClicks(pattern, QStringLiteral("img???.jpg"));
    EXPECT_EQ(o.Pattern, "img???.jpg");
    EXPECT_EQ(o.Pos, 3);
    EXPECT_EQ(o.Width, 3);
    // The width box follows the pattern.
    EXPECT_EQ(Child<QLineEdit>(&page, "widthEdit")->text(), QStringLiteral("3"));
    EXPECT_TRUE(dialogs.messages.empty());

    Click(Child<QRadioButton>(&page, "posNoneRadio"));
    EXPECT_FALSE(renumber->isEnabled());
    EXPECT_FALSE(pattern->isEnabled());
    ProcessPostedEvents();
    EXPECT_GE(recorder.Count(UM_REFRESHPREVIEW), 6);
}

TEST_F(NumberPageTest, OutputRadiosEnableTheDestinationWhichIsCheckedOnLeavingItOrBrowsed) {
    auto* dest = page.DestCombo();
    auto* destBrowse = Child<QPushButton>(&page, "destBrowseButton");
    const auto& options = page.GetNumbering().Options();
    EXPECT_FALSE(dest->isEnabled());
    Click(Child<QRadioButton>(&page, "outputMoveRadio"));
    EXPECT_EQ(options.Output, rename::kOutputMove);
    EXPECT_TRUE(destBrowse->isEnabled());
    Click(Child<QRadioButton>(&page, "outputRenameRadio"));
    EXPECT_FALSE(dest->isEnabled());
    EXPECT_FALSE(destBrowse->isEnabled());
    Click(Child<QRadioButton>(&page, "outputCopyRadio"));
    EXPECT_TRUE(dest->isEnabled());
    // Output choices do not change the preview.
    ProcessPostedEvents();
    EXPECT_EQ(recorder.Count(UM_REFRESHPREVIEW), 0);

    TempFolder target;
    Type(dest->lineEdit(), QStringLiteral("/no/such/folder"));
    Click(Child<QCheckBox>(&page, "selOnlyCheck"));
    EXPECT_EQ(dialogs.Errors(),
              std::vector<QString>{QStringLiteral("The destination directory is not valid.")});
    EXPECT_EQ(options.DestDir, "");
    EXPECT_EQ(recorder.Count(UM_SETDESTFOLDER), 0);
    Type(dest->lineEdit(), Q(target.Path()));
    Click(Child<QCheckBox>(&page, "selOnlyCheck"));
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(options.DestDir, target.Path());
    EXPECT_EQ(recorder.LastText(UM_SETDESTFOLDER), target.Path());
    // Enter in the box takes the folder, twice, and never runs "Renumber".
    Click(Child<QRadioButton>(&page, "posBeforeRadio"));
    ProcessPostedEvents();
    recorder.messages.clear();
    dest->setFocus();
    QTest::keyClick(dest, Qt::Key_Return);
    QTest::keyClick(dest, Qt::Key_Return);
    ProcessPostedEvents();
    EXPECT_EQ(recorder.Numbers(), (std::vector<int>{UM_SETDESTFOLDER, UM_SETDESTFOLDER}));
    page.setFocus();

    // The folder button changes the folder; the destination button starts at the destination.
    recorder.folder = "/current";
    dialogs.picks = {QStringLiteral("/picked/source"), QString(), QStringLiteral("/picked/dest")};
    recorder.messages.clear();
    Click(Child<QPushButton>(&page, "browseButton"));
    EXPECT_EQ(recorder.Numbers(), (std::vector<int>{UM_GETFOLDER, UM_CHANGEFOLDER}));
    EXPECT_EQ(recorder.LastText(UM_CHANGEFOLDER), "/picked/source");
    Click(destBrowse);  // cancelled
    EXPECT_EQ(options.DestDir, target.Path());
    Click(destBrowse);
    EXPECT_EQ(options.DestDir, "/picked/dest");
    EXPECT_EQ(dest->currentText(), QStringLiteral("/picked/dest"));
    EXPECT_EQ(recorder.LastText(UM_SETDESTFOLDER), "/picked/dest");
    ASSERT_EQ(dialogs.browseRequests.size(), 3u);
    EXPECT_EQ(dialogs.browseRequests[0],
              std::make_pair(QStringLiteral("Select a folder"), QStringLiteral("/current")));
    EXPECT_EQ(dialogs.browseRequests[1].second, Q(target.Path()));
}

TEST_F(NumberPageTest, RenumberPostsTheRenameThenTheDestinationUnlessAFolderWasTyped) {
    page.GetNumbering().Options().DestDir = "/out";
    Click(Child<QRadioButton>(&page, "posBeforeRadio"));
    ProcessPostedEvents();
    recorder.messages.clear();
    Click(Child<QPushButton>(&page, "renumberButton"));
    EXPECT_TRUE(recorder.messages.empty());
    ProcessPostedEvents();
    EXPECT_EQ(recorder.Numbers(), (std::vector<int>{UM_PERFORMRENAME, UM_ADDDESTFOLDER}));
    EXPECT_EQ(recorder.LastText(UM_ADDDESTFOLDER), "/out");

    // A folder typed into the box: the first click only clears that state.
    TempFolder other;
    recorder.messages.clear();
    Type(page.FolderCombo()->lineEdit(), Q(other.Path()));
    Click(Child<QPushButton>(&page, "renumberButton"));
    ProcessPostedEvents();
    EXPECT_EQ(recorder.Numbers(), std::vector<int>{UM_CHANGEFOLDER});
    Click(Child<QPushButton>(&page, "renumberButton"));
    ProcessPostedEvents();
    EXPECT_EQ(recorder.Count(UM_PERFORMRENAME), 1);
}

// The page inside a real rename window, on a folder of files and one subfolder.
class NumberPageWindowTest : public RenameWindowFixture {
  protected:
    void SetUp() override {
        folder.Folder("sub");
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            folder.File(name, name);
        }
        ASSERT_NE(OpenWindow(), nullptr);
        view->TabControl()->setCurrentIndex(3);
        ProcessPostedEvents();
        page = dynamic_cast<CNumberPage*>(view->Page(3));
        ASSERT_NE(page, nullptr);
    }

    std::vector<std::string> Preview() { return ColumnTexts(view->ResultPane()); }

    void SwitchTabAwayAndBack() {
        view->TabControl()->setCurrentIndex(0);
        view->TabControl()->setCurrentIndex(3);
        ProcessPostedEvents();
    }

    CNumberPage* page = nullptr;
};

TEST_F(NumberPageWindowTest, SwitchingTabsEmptiesThePositionAndTakesPosFromThePattern) {
    EXPECT_EQ(view->DocumentTitle(), QStringLiteral("Number Files"));
    EXPECT_EQ(page->FolderCombo()->currentText(), Q(folder.Path()));
    const rename::NumberOptions& o = page->GetNumbering().Options();
    auto* pos = Child<QLineEdit>(page, "posEdit");
    Click(Child<QRadioButton>(page, "posAtRadio"));
    EXPECT_EQ(Preview(), (std::vector<std::string>{"sub", "a.txt", "b.txt", "c.txt"}));
    QTest::keyClicks(pos, QStringLiteral("2"));
    EXPECT_EQ(Preview(), (std::vector<std::string>{"sub", "a1.txt", "b2.txt", "c3.txt"}));

    SwitchTabAwayAndBack();
    EXPECT_TRUE(pos->text().isEmpty());
    EXPECT_EQ(o.Pos, 0);
    EXPECT_EQ(Preview(), (std::vector<std::string>{"sub", "1a.txt", "2b.txt", "3c.txt"}));

    // The pattern's "?" wins over the emptied position box, and sets the width box.
    Click(Child<QRadioButton>(page, "posPatternRadio"));
    QTest::keyClicks(Child<QLineEdit>(page, "patternEdit"), QStringLiteral("img??.jpg"));
    EXPECT_EQ(Preview(), (std::vector<std::string>{"sub", "img01.jpg", "img02.jpg", "img03.jpg"}));
    Click(Child<QRadioButton>(page, "posAtRadio"));
    QTest::keyClicks(pos, QStringLiteral("1"));
    SwitchTabAwayAndBack();
    EXPECT_EQ(o.Pos, 3);
    EXPECT_EQ(o.Width, 2);
    EXPECT_EQ(Child<QLineEdit>(page, "widthEdit")->text(), QStringLiteral("2"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(NumberPageWindowTest, RenumbersInTheOrderLaidDownWithSortFiles) {
    // "Sort Files" follows the selection: not for one row, but for two.
    auto* customOrder = Child<QPushButton>(page, "customOrderButton");
    EXPECT_FALSE(customOrder->isEnabled());
    ClickRow(view->SourcePane(), 0);
    EXPECT_FALSE(customOrder->isEnabled());
    ClickRow(view->SourcePane(), 1, Qt::ControlModifier);
    EXPECT_TRUE(customOrder->isEnabled());
    ClickRow(view->SourcePane(), 1);
    for (int row = 2; row <= 3; ++row) {
        ClickRow(view->SourcePane(), row, Qt::ControlModifier);
    }
    ASSERT_TRUE(customOrder->isEnabled());

    // In the dialog: c.txt first, then a.txt, then b.txt.
    bool dialogSeen = false;
    QTimer::singleShot(0, page, [&] {
        auto* dialog = page->findChild<CSortFilesDlg*>();
        ASSERT_NE(dialog, nullptr);
        dialogSeen = true;
        auto* available = dialog->findChild<QListWidget*>(QStringLiteral("availableList"));
        auto* add = dialog->findChild<QPushButton*>(QStringLiteral("addButton"));
        for (const char* name : {"c.txt", "a.txt", "b.txt"}) {
            available->clearSelection();
            available->findItems(QString::fromLatin1(name), Qt::MatchExactly)
                .front()
                ->setSelected(true);
            Click(add);
        }
        Click(dialog->findChild<QPushButton*>(QStringLiteral("okButton")));
    });
    Click(customOrder);
    ASSERT_TRUE(dialogSeen);
    EXPECT_TRUE(view->Catalogue()->customOrder);
    EXPECT_EQ(ColumnTexts(view->SourcePane()),
              (std::vector<std::string>{"c.txt", "a.txt", "b.txt"}));

    Click(Child<QRadioButton>(page, "posBeforeRadio"));
    Type(Child<QLineEdit>(page, "widthEdit"), QStringLiteral("2"));
    EXPECT_EQ(Preview(), (std::vector<std::string>{"01c.txt", "02a.txt", "03b.txt"}));
    Click(Child<QPushButton>(page, "renumberButton"));
    ProcessPostedEvents();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"01c.txt", "02a.txt", "03b.txt", "sub"}));
    // After the renumbering the page is back at "No changes".
    EXPECT_EQ(page->GetNumbering().Options().PosMode, rename::kPosNone);
    EXPECT_FALSE(Child<QPushButton>(page, "renumberButton")->isEnabled());
}

// Cancelling "Sort Files" drops the custom order, and the lists show the column order again.
TEST_F(NumberPageWindowTest, CancellingSortFilesShowsTheColumnOrderAgain) {
    ClickRow(view->SourcePane(), 2);
    ClickRow(view->SourcePane(), 3, Qt::ControlModifier);
    const std::pair<const char*, std::vector<std::string>> endings[] = {
        {"okButton", {"b.txt", "c.txt"}},
        {"cancelButton", {"sub", "a.txt", "b.txt", "c.txt"}},
    };
    for (const auto& [button, shown] : endings) {
        QTimer::singleShot(0, page, [&] {
            auto* dialog = page->findChild<CSortFilesDlg*>();
            ASSERT_NE(dialog, nullptr);
            Click(Child<QPushButton>(dialog, "addAllButton"));
            Click(Child<QPushButton>(dialog, button));
        });
        Click(Child<QPushButton>(page, "customOrderButton"));
        EXPECT_EQ(ColumnTexts(view->SourcePane()), shown) << button;
        ClickRow(view->SourcePane(), 0);  // a selection for the next opening
    }
    EXPECT_FALSE(view->Catalogue()->customOrder);
}

// The destination shown from the history when the window opens is the one used: "Move" needs
// no visit to the box first.
TEST_F(NumberPageWindowTest, TheDestinationShownFromTheHistoryIsUsed) {
    TempFolder out;
    frame.reset();  // saves tmk.ini; the next window reads the history written here
    ASSERT_TRUE(settings::WriteProfileString("COMMON", "DestDir", out.Path() + ";/gone;",
                                             iniFolder / "tmk.ini"));
    ASSERT_NE(OpenWindow(), nullptr);
    view->TabControl()->setCurrentIndex(3);
    ProcessPostedEvents();
    page = dynamic_cast<CNumberPage*>(view->Page(3));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->DestCombo()->currentText(), Q(out.Path()));

    Click(Child<QRadioButton>(page, "outputMoveRadio"));
    Click(Child<QRadioButton>(page, "posBeforeRadio"));
    Click(Child<QPushButton>(page, "renumberButton"));
    ProcessPostedEvents();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(out.Names(), (std::vector<std::string>{"1a.txt", "2b.txt", "3c.txt"}));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"sub"});
}

}  // namespace
}  // namespace tidemark::ui
