// The main frame and the application: start-up, messages, help, settings at exit.

#include <QPlainTextEdit>
#include <QTextBrowser>

#include "app/about_dlg.h"
#include "app/tmk_app.h"
#include "help/help_window.h"
#include "settings/app_settings.h"
#include "tests/ui/ui_test_support.h"
#include "ui/rename_page.h"

namespace tidemark::app {
namespace {

using namespace tidemark::testing;

using MainFrameTest = AppFixture;

TEST_F(MainFrameTest, StartsTitledAndAnswersStatusAndSettingsMessages) {
    CMainFrame frame;
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tidemark"));
    EXPECT_EQ(frame.minimumSize(), QSize(700, 400));
    EXPECT_EQ(
        frame.MoveOnLengthAction()->statusTip(),
        QStringLiteral("Move files from source to destination folder based on length of filename"));
    EXPECT_EQ(ui::MainFrameObject(), &frame);
    EXPECT_EQ(ui::SendUserMessage(&frame, ui::UM_GETSETTINGS),
              reinterpret_cast<std::intptr_t>(frame.Settings()));
    ui::PostUserMessage(&frame, ui::UM_SETSTATUSTEXT, 0, std::string("/some/folder"));
    EXPECT_EQ(frame.StatusText(), QStringLiteral("For Help, press F1"));
    ProcessPostedEvents();
    EXPECT_EQ(frame.StatusText(), QStringLiteral("/some/folder"));
    // A folder named like markup shows as it is named.
    EXPECT_EQ(Child<QLabel>(&frame, "messagePane")->textFormat(), Qt::PlainText);
}

TEST_F(MainFrameTest, ExitWritesThePagesOptionsAndHistoriesAndTheNextStartReadsThem) {
    TempFolder shown;
    {
        CMainFrame frame;
        frame.OnFileNew();
        ASSERT_NE(frame.RenameView(), nullptr);
        auto* page = dynamic_cast<ui::CRenamePage*>(frame.RenameView()->Page(0));
        page->Rules().Options().SelOnly = true;
        page->Rules().Options().RepOrig = "abc";
        ui::PostUserMessage(frame.RenameView(), ui::UM_ADDSOURCEFOLDER, 0, shown.Path());
        ProcessPostedEvents();
        EXPECT_FALSE(work.Exists("tmk.ini"));  // nothing is written during the run
    }
    const std::string text = work.Read("tmk.ini");
    for (const char* line : {"[NAME]", "ChkBox=TF", "RepOrig=abc", "Version=1.20"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    CMainFrame again;
    again.OnFileNew();
    ASSERT_NE(again.RenameView(), nullptr);
    EXPECT_EQ(again.RenameView()->CurrentFolder(), shown.Path());
    auto* page = dynamic_cast<ui::CRenamePage*>(again.RenameView()->Page(0));
    EXPECT_EQ(page->Rules().Options().RepOrig, "abc");
}

TEST_F(MainFrameTest, AboutBoxShowsTheNoticeAndF1OpensHelpOnTheTabInFront) {
    QString notice = CAboutDlg::NoticeText();
    EXPECT_TRUE(notice.contains(QStringLiteral("\r\n")));
    CAboutDlg about;
    auto* box = Child<QPlainTextEdit>(&about, "noticeText");
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->toPlainText().remove(u'\r'), notice.remove(u'\r'));

    // F1 opens the first page, or in the rename window the page of the tab in front; one help
    // window serves them all.
    CMainFrame frame;
    frame.show();
    const auto pressF1 = [&frame](QWidget* at) {
        QApplication::setActiveWindow(&frame);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        QTest::keyClick(at, Qt::Key_F1);
    };
    pressF1(&frame);
    auto* help = frame.findChild<help::HelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->Contents()->currentItem()->text(), QStringLiteral("Tidemark at a glance"));
    frame.OnFileNew();
    ui::CRenameMstrView* view = frame.RenameView();
    ASSERT_NE(view, nullptr);
    const struct {
        int tab;
        const char *contents, *anchor;
    } tabs[] = {
        {3, "Numbering files", ""},
        {1, "Renaming by rules", "extensions"},
        {0, "Renaming by rules", "files"},
        {2, "Renaming by rules", "folders"},
    };
    for (const auto& t : tabs) {
        view->TabControl()->setCurrentIndex(t.tab);
        pressF1(view->TabControl()->currentWidget());
        EXPECT_EQ(frame.findChildren<help::HelpWindow*>().size(), 1);
        EXPECT_EQ(help->Contents()->currentItem()->text(), Q(t.contents)) << t.tab;
        EXPECT_EQ(help->Browser()->source().fragment(), Q(t.anchor)) << t.tab;
    }
}

TEST_F(MainFrameTest, TheAppOpensTheFolderOfTheCommandLineOrSaysThePathIsNotValid) {
    const std::string photos = work.Folder("photos");
    work.File("photos/a.jpg");
    const std::pair<std::string, std::string> cases[] = {
        {photos, photos},
        {photos + "/", photos},
        {photos + "/a.jpg", photos},  // a file: its folder, as a drop does
        {work / "missing", ""},       // no rename window, an error instead
    };
    for (const auto& [path, opened] : cases) {
        SCOPED_TRACE(path);
        messages.clear();
        CTMKApp app;
        ASSERT_TRUE(app.InitInstance());
        app.OpenPath(path);
        ProcessPostedEvents();
        ui::CRenameMstrView* view = app.MainFrame()->RenameView();
        EXPECT_EQ(view != nullptr, !opened.empty());
        EXPECT_EQ(ErrorTexts(),
                  opened.empty() ? Errors{QStringLiteral("That is not a valid path.")} : Errors{});
        if (view != nullptr) {
            EXPECT_EQ(view->CurrentFolder(), opened);
            EXPECT_EQ(ColumnTexts(view->SourcePane()), Names{"a.jpg"});
        }
    }
}

}  // namespace
}  // namespace tidemark::app
