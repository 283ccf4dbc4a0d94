// The rename pages, alone against a recording view and inside a real rename window.

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

#include "tests/ui/page_test_support.h"
#include "ui/rename_page.h"

namespace tidemark::ui {
namespace {

using namespace tidemark::testing;

using RenamePageTest = PageFixture<CRenameFilesPage>;

TEST_F(RenamePageTest, DeleteSwitchEnablesItsBoxesTakesTheFocusAndKeepsNumbersWhenOff) {
    auto& o = page.Rules().Options();
    auto* check = Child<QCheckBox>(&page, "deleteCheck");
    auto* pos = Child<QLineEdit>(&page, "delPosEdit");
    auto* count = Child<QLineEdit>(&page, "delNumEdit");
    EXPECT_FALSE(count->isEnabled());
    Click(check);
    EXPECT_TRUE(count->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), pos);
    ProcessPostedEvents();
    EXPECT_EQ(recorder.Count(UM_REFRESHPREVIEW), 1);

    // Typed numbers are read unsigned: "-3" stores 0, and so does "4x".
    const std::pair<const char*, int> typed[] = {{"-3", 0}, {"4x", 0}, {"12", 12}};
    for (const auto& [text, value] : typed) {
        Type(pos, QString::fromLatin1(text));
        EXPECT_EQ(o.DelPos, value) << text;
    }
    Type(count, QStringLiteral("2"));
    ProcessPostedEvents();
    EXPECT_GE(recorder.Count(UM_REFRESHPREVIEW), 5);

    Click(check);
    EXPECT_FALSE(o.DoDelete);
    EXPECT_FALSE(pos->isEnabled());
    EXPECT_EQ(o.DelPos, 12);
    EXPECT_EQ(o.DelNum, 2);

    // Showing a number below 1 shows "0", and the record then holds 0.
    o.LCrop = -5;
    o.DoLCrop = true;
    page.ShowOptions();
    EXPECT_EQ(Child<QLineEdit>(&page, "leftCropEdit")->text(), QStringLiteral("0"));
    EXPECT_TRUE(Child<QLineEdit>(&page, "leftCropEdit")->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>(&page, "leftCropCheck")->isChecked());
    EXPECT_EQ(o.LCrop, 0);
}

TEST_F(RenamePageTest, CaseRadiosGiveTheirValuesAndCloseKeepsCapsAndLowercase) {
    auto& o = page.Rules().Options();
    const std::pair<const char*, int> radios[] = {{"caseLowerRadio", 1},
                                                  {"caseUpperRadio", 2},
                                                  {"caseInitialRadio", 4},
                                                  {"caseCapsRadio", 3},
                                                  {"caseNoneRadio", 0}};
    for (const auto& [name, mode] : radios) {
        Click(Child<QRadioButton>(&page, name));
        EXPECT_EQ(o.CaseMode, mode) << name;
    }

    Click(Child<QRadioButton>(&page, "caseCapsRadio"));
    Click(Child<QCheckBox>(&page, "insertCheck"));
    Type(Child<QLineEdit>(&page, "insPosEdit"), QStringLiteral("-3"));
    EXPECT_EQ(o.InsPos, 0);
    Click(Child<QPushButton>(&page, "closeButton"));
    // "Close" reads the numbers signed, and asks the window holding the view to close.
    EXPECT_EQ(o.CaseMode, rename::kCaseCapsAndLower);
    EXPECT_EQ(o.InsPos, -3);
    EXPECT_TRUE(frame.isVisible());
    ProcessPostedEvents();
    EXPECT_FALSE(frame.isVisible());

    Click(Child<QRadioButton>(&page, "caseNoneRadio"));
    o.CaseMode = rename::kCaseCapsAndLower;
    page.ShowOptions();
    EXPECT_TRUE(Child<QRadioButton>(&page, "caseCapsRadio")->isChecked());
    EXPECT_FALSE(Child<QRadioButton>(&page, "caseNoneRadio")->isChecked());

    // After a rename the rule switches go off; the case choice stays.
    page.ResetPage();
    EXPECT_FALSE(o.DoInsert);
    EXPECT_FALSE(Child<QCheckBox>(&page, "insertCheck")->isChecked());
    EXPECT_FALSE(Child<QLineEdit>(&page, "insPosEdit")->isEnabled());
    EXPECT_TRUE(Child<QRadioButton>(&page, "caseCapsRadio")->isChecked());
}

TEST_F(RenamePageTest, RenameAddsTheFolderOnlyAfterASuccessfulRename) {
    auto* rename = Child<QPushButton>(&page, "renameButton");
    recorder.folder = "/some/folder";
    recorder.renameResult = rename::kRenameNothingToDo;
    Click(rename);
    ProcessPostedEvents();
    EXPECT_EQ(recorder.Numbers(), std::vector<int>{UM_PERFORMRENAME});

    recorder.messages.clear();
    recorder.renameResult = rename::kRenameOk;
    // Enter on a control that does not take it runs the default button.
    Child<QCheckBox>(&page, "selOnlyCheck")->setFocus();
    QTest::keyClick(Child<QCheckBox>(&page, "selOnlyCheck"), Qt::Key_Return);
    ProcessPostedEvents();
    EXPECT_EQ(recorder.Numbers(),
              (std::vector<int>{UM_PERFORMRENAME, UM_GETFOLDER, UM_ADDSOURCEFOLDER}));
    EXPECT_EQ(recorder.LastText(UM_ADDSOURCEFOLDER), "/some/folder");
}

TEST_F(RenamePageTest, FolderBoxChecksATypedPathAndTakesAPickedEntryAtOnce) {
    TempFolder other;
    auto* combo = page.FolderCombo();
    combo->addItem(QStringLiteral("/first"));
    combo->addItem(Q(other.Path()));
    combo->setCurrentIndex(0);

    Type(combo->lineEdit(), QStringLiteral("/no/such/folder"));
    Click(Child<QPushButton>(&page, "renameButton"));
    EXPECT_EQ(dialogs.Errors(), std::vector{QStringLiteral("That is not a valid path.")});
    // The click only cleared the typed-folder state.
    EXPECT_EQ(recorder.Count(UM_CHANGEFOLDER), 0);
    EXPECT_EQ(recorder.Count(UM_PERFORMRENAME), 0);

    recorder.messages.clear();
    combo->setCurrentIndex(0);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(recorder.Numbers(), std::vector<int>{UM_CHANGEFOLDER});
    EXPECT_EQ(recorder.LastText(UM_CHANGEFOLDER), other.Path());

    // Enter in the box takes a typed folder and does not rename.
    recorder.messages.clear();
    Type(combo->lineEdit(), Q(other.Path()) + QStringLiteral("/"));
    QTest::keyClick(combo, Qt::Key_Return);
    ProcessPostedEvents();
    EXPECT_EQ(recorder.Numbers(), std::vector<int>{UM_CHANGEFOLDER});
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // A typed text equal to a listed folder is still a typed folder, not a pick.
    recorder.messages.clear();
    combo->setCurrentIndex(0);
    Type(combo->lineEdit(), Q(other.Path()));
    Click(Child<QPushButton>(&page, "renameButton"));
    ProcessPostedEvents();
    EXPECT_EQ(recorder.Numbers(), std::vector<int>{UM_CHANGEFOLDER});
}

// The page inside a real rename window, on a folder of files.
class RenamePageWindowTest : public RenameWindowFixture {
  protected:
    void SetUp() override {
        folder.File("Alpha one.txt", "1");
        folder.File("beta.TXT", "2");
        ASSERT_NE(OpenWindow(), nullptr);
        page = dynamic_cast<CRenamePage*>(view->Page(0));
        ASSERT_NE(page, nullptr);
    }

    std::vector<std::string> Preview() { return ColumnTexts(view->ResultPane()); }

    CRenamePage* page = nullptr;
};

TEST_F(RenamePageWindowTest, RulesShowInThePreviewAndClearRestoresItAtOnce) {
    Click(Child<QCheckBox>(page, "prependCheck"));
    QTest::keyClicks(Child<QLineEdit>(page, "prependEdit"), QStringLiteral("p_"));
    Click(Child<QRadioButton>(page, "caseCapsRadio"));
    Click(Child<QCheckBox>(page, "deleteCheck"));
    Type(Child<QLineEdit>(page, "delPosEdit"), QStringLiteral("1"));
    Type(Child<QLineEdit>(page, "delNumEdit"), QStringLiteral("2"));
    // Delete first, prepend after it, case last.
    EXPECT_EQ(Preview(), (std::vector<std::string>{"P_pha One.txt", "P_ta.txt"}));

    Click(Child<QCheckBox>(page, "deleteCheck"));
    EXPECT_EQ(Preview(), (std::vector<std::string>{"P_alpha One.txt", "P_beta.txt"}));

    Click(Child<QPushButton>(page, "clearButton"));
    EXPECT_EQ(Preview(), (std::vector<std::string>{"Alpha one.txt", "beta.TXT"}));
    EXPECT_EQ(page->Rules().Options(), rename::RenameOptions{});
    for (const char* name : {"prependEdit", "appendEdit", "changeEdit", "replaceOrigEdit"}) {
        EXPECT_TRUE(Child<QLineEdit>(page, name)->text().isEmpty()) << name;
        EXPECT_FALSE(Child<QLineEdit>(page, name)->isEnabled()) << name;
    }
    EXPECT_EQ(Child<QLineEdit>(page, "delNumEdit")->text(), QStringLiteral("0"));
    for (QCheckBox* check : page->findChildren<QCheckBox*>()) {
        EXPECT_FALSE(check->isChecked()) << ToStdString(check->objectName());
    }
    EXPECT_TRUE(Child<QRadioButton>(page, "caseNoneRadio")->isChecked());
}

// Rows that the rename would refuse are marked in the preview; the status bar counts them.
TEST_F(RenamePageWindowTest, PreviewMarksCollidingNamesAndTheStatusBarCountsThem) {
    const QAbstractItemModel* model = view->ResultPane()->model();
    const auto data = [model](int row, int role) { return model->index(row, 0).data(role); };
    Click(Child<QCheckBox>(page, "changeCheck"));
    QTest::keyClicks(Child<QLineEdit>(page, "changeEdit"), QStringLiteral("x"));
    EXPECT_EQ(Preview(), (std::vector<std::string>{"x.txt", "x.TXT"}));
    EXPECT_EQ(data(0, Qt::ToolTipRole), QStringLiteral("beta.TXT gets the same new name"));
    EXPECT_EQ(data(1, Qt::ToolTipRole), QStringLiteral("Alpha one.txt gets the same new name"));
    EXPECT_EQ(data(1, Qt::ForegroundRole).value<QBrush>(),
              QGuiApplication::palette().brush(QPalette::Link));
    EXPECT_EQ(frame->StatusText(), QStringLiteral("2 names collide"));

    Click(Child<QCheckBox>(page, "changeCheck"));
    EXPECT_EQ(Preview(), (std::vector<std::string>{"Alpha one.txt", "beta.TXT"}));
    for (const int role : {Qt::ToolTipRole, Qt::ForegroundRole}) {
        EXPECT_FALSE(data(0, role).isValid());
        EXPECT_FALSE(data(1, role).isValid());
    }
    EXPECT_EQ(frame->StatusText(), Q(folder.Path()));
}

TEST_F(RenamePageWindowTest,
       TypedFolderIsOpenedByTheFirstRenameClickRenamedByTheSecondAndCloseGoes) {
    TempFolder other;
    other.File("b1.txt");
    Click(Child<QCheckBox>(page, "prependCheck"));
    QTest::keyClicks(Child<QLineEdit>(page, "prependEdit"), QStringLiteral("x_"));

    Type(page->FolderCombo()->lineEdit(), Q(other.Path()));
    auto* rename = Child<QPushButton>(page, "renameButton");
    Click(rename);
    ProcessPostedEvents();
    EXPECT_EQ(view->CurrentFolder(), other.Path());
    EXPECT_EQ(other.Names(), std::vector<std::string>{"b1.txt"});
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"Alpha one.txt", "beta.TXT"}));

    Click(rename);
    ProcessPostedEvents();
    EXPECT_EQ(other.Names(), std::vector<std::string>{"x_b1.txt"});
    EXPECT_TRUE(dialogs.messages.empty());
    // The rule switches are off again and the folder heads the history.
    EXPECT_FALSE(page->Rules().Options().DoPrepend);
    EXPECT_EQ(page->FolderCombo()->itemText(0), Q(other.Path()));

    // "Close" posts the request: the window goes once the click has been handled.
    Click(Child<QPushButton>(page, "closeButton"));
    EXPECT_NE(frame->RenameView(), nullptr);
    ProcessPostedEvents();
    EXPECT_EQ(frame->RenameView(), nullptr);
}

}  // namespace
}  // namespace tidemark::ui
