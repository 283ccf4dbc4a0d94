// The main frame and the application: start-up, help and the command line.

#include <QTextBrowser>

#include "app/tmk_app.h"
#include "help/help_window.h"
#include "tests/ui/ui_test_support.h"

namespace tidemark::app {
namespace {

using namespace tidemark::testing;

using MainFrameTest = AppFixture;

TEST_F(MainFrameTest, StartsTitledAndF1OpensHelpOnTheTabInFront) {
    CMainFrame frame;
    frame.show();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tidemark"));
    EXPECT_EQ(frame.minimumSize(), QSize(700, 400));
    EXPECT_EQ(frame.StatusText(), QStringLiteral("For Help, press F1"));
    EXPECT_EQ(
        frame.MoveOnLengthAction()->statusTip(),
        QStringLiteral("Move files from source to destination folder based on length of filename"));
    // A folder named like markup shows as it is named.
    EXPECT_EQ(Child<QLabel>(&frame, "messagePane")->textFormat(), Qt::PlainText);
    // F1 opens the first page, or in the rename window the page of the tab in front; one help
    // window serves them all.
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
