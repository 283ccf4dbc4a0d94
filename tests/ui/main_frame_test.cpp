// The main frame: start-up, "Rename...", its messages, the log marker and settings at exit.

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <fstream>
#include <sstream>

#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "help/help_window.h"
#include "platform/runlog.h"
#include "settings/app_settings.h"
#include "tests/ui/ui_test_support.h"
#include "ui/messages.h"
#include "ui/rename_mstr_view.h"
#include "ui/rename_page.h"

namespace tidemark::app {
namespace {

using namespace tidemark::testing;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// What the browser shows at its top: the text of the block holding the anchor it was sent to,
// or of the first block.
QString HeadingAt(const QTextBrowser* browser) {
    const QString anchor = browser->source().fragment();
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        if (anchor.isEmpty()) {
            return block.text().trimmed();
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorNames().contains(anchor)) {
                return block.text().trimmed();
            }
        }
    }
    return {};
}

// The pictures and the page links of a page (without their anchors).
QStringList LinkTargets(const QTextDocument* page) {
    QStringList targets;
    for (QTextBlock block = page->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QString target = format.isImageFormat() ? format.toImageFormat().name()
                                                          : format.anchorHref().section(u'#', 0, 0);
            if (!target.isEmpty()) {
                targets.push_back(target);
            }
        }
    }
    return targets;
}

class MainFrameTest : public ::testing::Test {
  protected:
    void SetUp() override { EnsureApplication(); }

    TempFolder work;
    ScopedEnv ini{"TMK_INI", work / "tmk.ini"};
    DialogRecorder dialogs;
};

TEST_F(MainFrameTest, StartsWithoutRenameWindowAndCtrlNOpensExactlyOne) {
    CMainFrame frame;
    frame.show();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tidemark"));
    EXPECT_EQ(frame.size(), QSize(800, 600));
    EXPECT_EQ(frame.minimumSize(), QSize(700, 400));
    EXPECT_EQ(frame.StatusText(), QStringLiteral("For Help, press F1"));
    EXPECT_TRUE(frame.MdiArea()->subWindowList().isEmpty());
    EXPECT_TRUE(frame.MoveOnLengthAction()->isEnabled());
    EXPECT_EQ(
        frame.MoveOnLengthAction()->statusTip(),
        QStringLiteral("Move files from source to destination folder based on length of filename"));
    EXPECT_TRUE(frame.MergeAction()->statusTip().isEmpty());
    EXPECT_EQ(frame.RenameAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));

    QApplication::setActiveWindow(&frame);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
    ProcessPostedEvents();
    ASSERT_EQ(frame.MdiArea()->subWindowList().size(), 1);
    ui::CRenameMstrView* view = frame.RenameView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->DocumentTitle(), QStringLiteral("Rename Files"));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tidemark - [Rename Files]"));
    EXPECT_FALSE(frame.RenameAction()->isEnabled());

    QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
    frame.RenameAction()->trigger();
    ProcessPostedEvents();
    EXPECT_EQ(frame.MdiArea()->subWindowList().size(), 1);
    view->TabControl()->setCurrentIndex(1);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tidemark - [Rename File Extensions]"));

    // Once the rename window is gone, "Rename..." comes back and the two folder commands of
    // the frame's own menu are greyed.
    frame.MdiArea()->closeAllSubWindows();
    ProcessPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ProcessPostedEvents();
    EXPECT_TRUE(frame.MdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tidemark"));
    EXPECT_TRUE(frame.RenameAction()->isEnabled());
    EXPECT_FALSE(frame.MoveOnLengthAction()->isEnabled());
    EXPECT_FALSE(frame.MergeAction()->isEnabled());
}

TEST_F(MainFrameTest, AnswersStatusSettingsAndLogMessagesAndTheMarkerStartsTheLog) {
    CMainFrame frame;
    EXPECT_EQ(ui::MainFrameObject(), &frame);
    EXPECT_EQ(ui::SendUserMessage(&frame, ui::UM_GETSETTINGS),
              reinterpret_cast<std::intptr_t>(frame.Settings()));

    ui::PostUserMessage(&frame, ui::UM_SETSTATUSTEXT, 0, std::string("/some/folder"));
    EXPECT_EQ(frame.StatusText(), QStringLiteral("For Help, press F1"));
    ProcessPostedEvents();
    EXPECT_EQ(frame.StatusText(), QStringLiteral("/some/folder"));
    // A folder named like markup shows as it is named.
    EXPECT_EQ(frame.findChild<QLabel*>(QStringLiteral("messagePane"))->textFormat(), Qt::PlainText);
    EXPECT_EQ(ui::SendUserMessage(&frame, ui::UM_SETSTATUSTEXT, 0, std::string("sent")), 1);

    // Without the marker file no log was started, so LogMessage refuses the line; with it,
    // lines reach the log verbatim.
    EXPECT_EQ(ui::SendUserMessage(&frame, ui::UM_LOGTEXT, 0, std::string("line")), 0);
    work.File("tmklog");
    {
        ScopedCurrentFolder here(work.Path());
        CMainFrame logged;
        EXPECT_EQ(ui::SendUserMessage(&logged, ui::UM_LOGTEXT, 0, std::string("100% done %s")), 1);
        platform::RunLogShutdown();
    }
    EXPECT_NE(ReadAll(work / "tmk.log").find("100% done %s\n"), std::string::npos);
}

TEST_F(MainFrameTest, ExitWritesTheRenamePagesOptionsAndHistoriesToTheIniFile) {
    TempFolder shown;
    {
        CMainFrame frame;
        frame.OnFileNew();
        ui::CRenameMstrView* view = frame.RenameView();
        ASSERT_NE(view, nullptr);
        auto* page = dynamic_cast<ui::CRenamePage*>(view->Page(0));
        ASSERT_NE(page, nullptr);
        page->Rules().Options().SelOnly = true;
        page->Rules().Options().RepOrig = "abc";
        ui::PostUserMessage(view, ui::UM_ADDSOURCEFOLDER, 0, shown.Path());
        ProcessPostedEvents();
        // Nothing is written during the run.
        EXPECT_FALSE(work.Exists("tmk.ini"));
    }
    const std::string text = ReadAll(work / "tmk.ini");
    EXPECT_NE(text.find("[NAME]"), std::string::npos);
    EXPECT_NE(text.find("ChkBox=TF"), std::string::npos);
    EXPECT_NE(text.find("RepOrig=abc"), std::string::npos);
    EXPECT_NE(text.find("Version=1.20"), std::string::npos);

    // The next start opens the rename window on the folder used last.
    CMainFrame again;
    again.OnFileNew();
    ASSERT_NE(again.RenameView(), nullptr);
    EXPECT_EQ(again.RenameView()->CurrentFolder(), shown.Path());
    auto* page = dynamic_cast<ui::CRenamePage*>(again.RenameView()->Page(0));
    EXPECT_EQ(page->Rules().Options().RepOrig, "abc");
}

TEST_F(MainFrameTest, AboutBoxShowsTheNoticeAndF1OpensHelpOnTheTabInFront) {
    const QString notice = CAboutDlg::NoticeText();
    EXPECT_LT(notice.size(), 512);
    EXPECT_GT(notice.size(), 300);
    EXPECT_TRUE(notice.contains(QStringLiteral("\r\n")));
    CAboutDlg about;
    auto* box = about.findChild<QPlainTextEdit*>(QStringLiteral("noticeText"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->toPlainText().remove(QLatin1Char('\r')),
              QString(notice).remove(QLatin1Char('\r')));

    // F1 without a rename window opens the first page; in the rename window, the page of the
    // tab in front. One help window serves them all.
    CMainFrame frame;
    frame.show();
    EXPECT_EQ(Child<QAction>(frame, "actionHelpTopics")->shortcut(), QKeySequence(Qt::Key_F1));
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
        const char *contents, *heading;
    } tabs[] = {
        {3, "Numbering files", "Numbering files"},
        {1, "Renaming by rules", "Ext: Rename File Extensions"},
        {0, "Renaming by rules", "Name: Rename Files"},
        {2, "Renaming by rules", "Folder: Rename Folders"},
    };
    for (const auto& t : tabs) {
        view->TabControl()->setCurrentIndex(t.tab);
        pressF1(view->TabControl()->currentWidget());
        EXPECT_EQ(frame.findChildren<help::HelpWindow*>().size(), 1);
        EXPECT_EQ(help->Contents()->currentItem()->text(), Q(t.contents)) << t.tab;
        EXPECT_EQ(HeadingAt(help->Browser()), Q(t.heading)) << t.tab;
    }

    // Every page of the contents is titled as listed, and its pictures and links are there.
    for (int row = 0; row < help->Contents()->count(); ++row) {
        help->Contents()->setCurrentRow(row);
        const QTextDocument* page = help->Browser()->document();
        EXPECT_EQ(page->metaInformation(QTextDocument::DocumentTitle),
                  help->Contents()->item(row)->text());
        for (const QString& target : LinkTargets(page)) {
            EXPECT_TRUE(QFile::exists(
                help->Browser()->source().resolved(QUrl(target)).path().prepend(u':')))
                << qPrintable(target);
        }
    }
}

}  // namespace
}  // namespace tidemark::app
