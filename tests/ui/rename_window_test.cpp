// The rename window driven as a user would, on real temporary folders.

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

#include "app/main_frame.h"
#include "tests/ui/ui_test_support.h"
#include "ui/dialog_hooks.h"
#include "ui/messages.h"
#include "ui/rename_list_pane.h"
#include "ui/rename_mstr_view.h"
#include "ui/rename_page.h"
#include "ui/rename_split_frm.h"

namespace tidemark::ui {
namespace {

using namespace tidemark::testing;
using Names = std::vector<std::string>;
using Rows = std::vector<int>;
using Selection = std::vector<std::uint32_t>;

class RenameWindowTest : public RenameWindowFixture {
  protected:
    void SetUp() override {
        // Folders Alpha and beta, four files of different sizes and types.
        folder.File("beta/inner.txt", "x");
        folder.Folder("Alpha");
        folder.File("c.txt", std::string(30, 'c'));
        folder.File("a.jpg", std::string(10, 'a'));
        folder.File("b.TXT", std::string(20, 'b'));
        folder.File("d", std::string(5, 'd'));
    }

    void ClickHeader(CRenameListPane* pane, int column) {
        QHeaderView* header = pane->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        ProcessPostedEvents();
    }

    void Drop(CRenameListPane* pane, const std::string& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(Q(path))});
        // A drop reaches the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane->viewport(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane->viewport(), &drop);
        ProcessPostedEvents();
    }

    void DoubleClickRow(CRenameListPane* pane, int row) {
        const QRect rect = pane->visualRect(pane->model()->index(row, 0));
        QTest::mouseDClick(pane->viewport(), Qt::LeftButton, {}, rect.center());
        ProcessPostedEvents();
    }

    CRenamePage* RenamePage() { return dynamic_cast<CRenamePage*>(view->Page(0)); }

    const Names all = {"Alpha", "beta", "a.jpg", "b.TXT", "c.txt", "d"};
};

TEST_F(RenameWindowTest, BothListsShowTheFolderInNameOrderWithSevenAndOneColumns) {
    ASSERT_NE(OpenWindow(), nullptr);
    QAbstractItemModelTester sourceTester(view->SourcePane()->model(),
                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester resultTester(view->ResultPane()->model(),
                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    view->Refresh();
    EXPECT_EQ(ColumnTexts(view->SourcePane()), all);
    EXPECT_EQ(ColumnTexts(view->ResultPane()), all);
    EXPECT_EQ(view->SourcePane()->model()->columnCount(), 7);
    EXPECT_EQ(view->ResultPane()->model()->columnCount(), 1);
    EXPECT_EQ(ColumnTexts(view->SourcePane(), 1)[3], ".TXT");
    EXPECT_EQ(ColumnTexts(view->SourcePane(), 2)[4], "30");
    EXPECT_EQ(view->SourcePane()->model()->index(2, 0).data(Qt::UserRole).toInt(), 2);
    EXPECT_EQ(view->SourcePane()->model()->headerData(6, Qt::Horizontal).toString(),
              QStringLiteral("Type"));
    // Widths come from the width of "00-00-00 00:00:00" in the list's font.
    const int unit = view->SourcePane()->ColumnUnit();
    EXPECT_EQ(view->SourcePane()->header()->sectionSize(0), unit * 13 / 10);
    EXPECT_EQ(view->SourcePane()->header()->sectionSize(1), unit * 6 / 10);
    EXPECT_TRUE(dialogs.messages.empty());
    // Tabs in a 280-pixel band; the lists below, the source list three quarters wide.
    EXPECT_EQ(view->TabControl()->geometry(), QRect(0, 0, view->width(), kTabBandHeight));
    EXPECT_EQ(view->SplitFrame()->geometry(),
              QRect(0, kTabBandHeight, view->width(), view->height() - kTabBandHeight));
    EXPECT_NEAR(view->SourcePane()->width(), view->width() * 3 / 4, 12);
}

TEST_F(RenameWindowTest, OnlyReleasingUpOrDownUpdatesTheSelectionFromKeys) {
    ASSERT_NE(OpenWindow(), nullptr);
    ClickRow(view->SourcePane(), 2);
    // End moves the list's selection, but neither the catalogue nor the other list hears of it.
    const struct {
        Qt::Key key;
        int sourceRow;
        std::uint32_t selected;
    } steps[] = {{Qt::Key_Down, 3, 3}, {Qt::Key_End, 5, 3}, {Qt::Key_Up, 4, 4}};
    for (const auto& step : steps) {
        QTest::keyClick(view->SourcePane(), step.key);
        ProcessPostedEvents();
        EXPECT_EQ(view->SourcePane()->SelectedRows(), Rows{step.sourceRow});
        EXPECT_EQ(view->Catalogue()->selection, Selection{step.selected});
        EXPECT_EQ(view->ResultPane()->SelectedRows(), Rows{int(step.selected)});
    }
}

TEST_F(RenameWindowTest, ColumnClicksSortBothListsAndTheResultHeaderDoesNothing) {
    ASSERT_NE(OpenWindow(), nullptr);
    ClickHeader(view->SourcePane(), catalogue::kKeySize);
    // Ascending by size keeps folders first; so does ascending by type ("File" before ".jpg").
    const Names ascending = {"Alpha", "beta", "d", "a.jpg", "b.TXT", "c.txt"};
    EXPECT_EQ(ColumnTexts(view->SourcePane()), ascending);
    ClickHeader(view->SourcePane(), catalogue::kKeySize);
    const Names descending = {"c.txt", "b.TXT", "a.jpg", "d", "beta", "Alpha"};
    EXPECT_EQ(ColumnTexts(view->ResultPane()), descending);
    ClickHeader(view->ResultPane(), 0);
    EXPECT_EQ(ColumnTexts(view->SourcePane()), descending);
    EXPECT_EQ(view->Catalogue()->sortKey, catalogue::kKeySize);
    ClickHeader(view->SourcePane(), catalogue::kKeyType);
    EXPECT_TRUE(view->Catalogue()->ascending);
    EXPECT_EQ(ColumnTexts(view->SourcePane()), ascending);
    EXPECT_EQ(ColumnTexts(view->ResultPane()), ascending);
}

TEST_F(RenameWindowTest, SelectionIsMirroredBothWaysAndThePreviewFollowsIt) {
    ASSERT_NE(OpenWindow(), nullptr);
    ASSERT_NE(RenamePage(), nullptr);
    auto& options = RenamePage()->Rules().Options();
    options.SelOnly = true;
    options.DoPrepend = true;
    options.Prepend = "x_";
    PostUserMessage(view, UM_REFRESHPREVIEW);
    // SelOnly with nothing selected: every name unchanged.
    EXPECT_EQ(ColumnTexts(view->ResultPane()), all);

    ClickRow(view->ResultPane(), 2);
    ClickRow(view->SourcePane(), 4, Qt::ControlModifier);
    EXPECT_EQ(view->SourcePane()->SelectedRows(), (Rows{2, 4}));
    EXPECT_EQ(view->ResultPane()->SelectedRows(), (Rows{2, 4}));
    EXPECT_EQ(view->Catalogue()->selection, (Selection{2, 4}));
    EXPECT_EQ(ColumnTexts(view->ResultPane()),
              (Names{"Alpha", "beta", "x_a.jpg", "b.TXT", "x_c.txt", "d"}));

    ClickRow(view->ResultPane(), 3);
    EXPECT_EQ(view->SourcePane()->SelectedRows(), Rows{3});
    EXPECT_EQ(ColumnTexts(view->ResultPane()),
              (Names{"Alpha", "beta", "a.jpg", "x_b.TXT", "c.txt", "d"}));
}

TEST_F(RenameWindowTest, DoubleClickOpensAFolderRowAndDropOpensTheFolderHoldingTheItem) {
    ASSERT_NE(OpenWindow(), nullptr);
    DoubleClickRow(view->SourcePane(), 2);  // a file: ignored
    EXPECT_EQ(view->CurrentFolder(), folder.Path());
    EXPECT_EQ(view->SourcePane()->model()->rowCount(), 6);

    DoubleClickRow(view->ResultPane(), 1);
    EXPECT_EQ(view->CurrentFolder(), folder / "beta");
    EXPECT_EQ(ColumnTexts(view->SourcePane()), Names{"inner.txt"});
    EXPECT_EQ(ColumnTexts(view->ResultPane()), Names{"inner.txt"});
    EXPECT_EQ(frame->StatusText(), Q(folder / "beta"));

    // A dropped folder opens the folder that holds it, not the folder itself.
    Drop(view->SourcePane(), folder / "beta");
    EXPECT_EQ(view->CurrentFolder(), folder.Path());
    EXPECT_EQ(view->SourcePane()->model()->rowCount(), 6);
    Drop(view->ResultPane(), folder / "beta/inner.txt");
    EXPECT_EQ(view->CurrentFolder(), folder / "beta");
    EXPECT_EQ(view->SourcePane()->model()->rowCount(), 1);
}

TEST_F(RenameWindowTest, RefreshRereadsTheFolderAndClearsTheSelection) {
    ASSERT_NE(OpenWindow(), nullptr);
    ClickRow(view->SourcePane(), 2);
    ASSERT_FALSE(view->Catalogue()->selection.empty());
    folder.File("e.txt", "new");
    // F5 reaches the rename window wherever the focus is in the program.
    QTest::keyClick(view->Page(0), Qt::Key_F5);
    ProcessPostedEvents();
    Names withNew = all;
    withNew.push_back("e.txt");
    EXPECT_EQ(ColumnTexts(view->SourcePane()), withNew);
    EXPECT_EQ(view->ResultPane()->model()->rowCount(), 7);
    EXPECT_TRUE(view->Catalogue()->selection.empty());
    EXPECT_TRUE(view->SourcePane()->SelectedRows().empty());
}

TEST_F(RenameWindowTest, StatusBarShowsTheFolderOnlyAfterChangeFolderReturned) {
    ASSERT_NE(OpenWindow(), nullptr);
    EXPECT_EQ(frame->StatusText(), Q(folder.Path()));
    const std::string beta = folder / "beta";
    SendUserMessage(view, UM_CHANGEFOLDER, 0, beta);
    EXPECT_EQ(frame->StatusText(), Q(folder.Path()));  // posted, so not yet
    ProcessPostedEvents();
    EXPECT_EQ(frame->StatusText(), Q(beta));
    std::string asked;
    SendUserMessage(view, UM_GETFOLDER, 0, &asked);
    EXPECT_EQ(asked, beta);
}

TEST_F(RenameWindowTest, AFolderThatCannotBeReadStillBecomesCurrentAndShowsNoRows) {
    ASSERT_NE(OpenWindow(), nullptr);
    Names unreadable = {folder / "missing"};
    // Permissions do not stop the superuser, so a locked folder is only tried without it.
    if (geteuid() != 0) {
        unreadable.push_back(folder.Folder("locked"));
        folder.File("locked/hidden.txt");
        chmod(unreadable[1].c_str(), 0);
    }
    for (const std::string& path : unreadable) {
        SCOPED_TRACE(path);
        EXPECT_EQ(view->ChangeFolder(path), 1);
        ProcessPostedEvents();
        EXPECT_EQ(view->CurrentFolder(), path);
        EXPECT_EQ(frame->StatusText(), Q(path));
        EXPECT_EQ(view->SourcePane()->model()->rowCount(), 0);
        EXPECT_EQ(view->ResultPane()->model()->rowCount(), 0);
        view->ChangeFolder(folder / "beta");  // still usable
        EXPECT_EQ(view->SourcePane()->model()->rowCount(), 1);
    }
    if (unreadable.size() > 1) {
        chmod(unreadable[1].c_str(), 0755);
    }
}

TEST_F(RenameWindowTest, ScrollingOneListScrollsTheOther) {
    for (int i = 0; i < 300; ++i) {
        folder.File("file" + std::to_string(1000 + i));
    }
    ASSERT_NE(OpenWindow(), nullptr);
    view->resize(800, 600);
    ProcessPostedEvents();
    QScrollBar* source = view->SourcePane()->verticalScrollBar();
    QScrollBar* result = view->ResultPane()->verticalScrollBar();
    ASSERT_GT(source->maximum(), 10);
    source->triggerAction(QAbstractSlider::SliderPageStepAdd);
    ProcessPostedEvents();
    EXPECT_GT(source->value(), 0);
    EXPECT_EQ(result->value(), source->value());
    // Dragged to its end, the result list keeps the same row at the top of both lists.
    result->triggerAction(QAbstractSlider::SliderToMaximum);
    ProcessPostedEvents();
    const int top = view->ResultPane()->indexAt(QPoint(1, 1)).row();
    EXPECT_GT(top, 250);
    EXPECT_EQ(view->SourcePane()->indexAt(QPoint(1, 1)).row(), top);
}

TEST_F(RenameWindowTest, HistoriesKeepFourFoldersAndShowingAPageRefillsItsBox) {
    ASSERT_NE(OpenWindow(), nullptr);
    for (const char* name : {"/p1", "/p2", "/p3", "/p4", "/P2", "/p5"}) {
        PostUserMessage(view, UM_ADDSOURCEFOLDER, 0, std::string(name));
    }
    PostUserMessage(view, UM_ADDDESTFOLDER, 0, std::string("/out"));
    ProcessPostedEvents();
    EXPECT_EQ(view->SourceHistory(), (Names{"/p5", "/P2", "/p4", "/p3"}));
    EXPECT_EQ(view->DestHistory(), Names{"/out"});

    view->TabControl()->setCurrentIndex(2);
    ProcessPostedEvents();
    EXPECT_EQ(view->DocumentTitle(), QStringLiteral("Rename Folders"));
    QComboBox* box = view->Page(2)->FolderCombo();
    ASSERT_EQ(box->count(), 4);
    EXPECT_EQ(box->itemText(0), QStringLiteral("/p5"));
    EXPECT_EQ(box->currentText(), Q(folder.Path()));

    // Activating the window again shows the current page afresh.
    view->TabControl()->setCurrentIndex(0);
    box = view->Page(0)->FolderCombo();
    box->setEditText(QStringLiteral("half typed"));
    QMdiSubWindow* window = frame->MdiArea()->subWindowList().front();
    frame->MdiArea()->setActiveSubWindow(nullptr);
    frame->MdiArea()->setActiveSubWindow(window);
    ProcessPostedEvents();
    EXPECT_EQ(box->currentText(), Q(folder.Path()));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Tidemark - [Rename Files]"));
}

TEST_F(RenameWindowTest, PerformRenameRenamesOnDiskAndShowsCollisionsThroughTheWindow) {
    TempFolder journals;
    ScopedEnv state{"TMK_STATE", journals.Path()};
    ASSERT_NE(OpenWindow(), nullptr);
    ASSERT_NE(RenamePage(), nullptr);
    auto& options = RenamePage()->Rules().Options();
    // "d" and "c.txt" would both become "c.txt" (the changed name keeps the extension).
    options.DoChgName = true;
    options.ChgName = "c";
    EXPECT_EQ(SendUserMessage(view, UM_PERFORMRENAME), rename::kRenameCollision);
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("TMK"));
    EXPECT_EQ(folder.Names(), (Names{"Alpha", "a.jpg", "b.TXT", "beta", "c.txt", "d"}));

    options.DoChgName = false;
    options.DoPrepend = true;
    options.Prepend = "x_";
    EXPECT_EQ(SendUserMessage(view, UM_PERFORMRENAME), rename::kRenameOk);
    const Names renamed = {"Alpha", "beta", "x_a.jpg", "x_b.TXT", "x_c.txt", "x_d"};
    EXPECT_EQ(folder.Names(), renamed);
    // The folder is read again and the rule switches go off: the preview shows today's names.
    EXPECT_FALSE(options.DoPrepend);
    EXPECT_EQ(ColumnTexts(view->SourcePane()), renamed);
    EXPECT_EQ(ColumnTexts(view->ResultPane()), renamed);
    EXPECT_EQ(frame->StatusText(),
              QStringLiteral("4 entries changed. File > Undo Last Batch can undo this batch."));

    // "Undo Last Batch" (File menu, after "Rename...") asks with what it will undo, undoes it,
    // shows the outcome and re-reads the window; then there is nothing left to undo.
    auto* fileMenu = qobject_cast<QMenu*>(frame->UndoAction()->parent());
    ASSERT_NE(fileMenu, nullptr);
    Names texts;
    for (QAction* action : fileMenu->actions()) {
        texts.push_back(action->text().toStdString());
    }
    EXPECT_EQ(texts, (Names{"Move On Length...", "Intelligent Merge...", "Rename...",
                            "Undo Last Batch", "", "E&xit"}));
    QMetaObject::invokeMethod(fileMenu, "aboutToShow");
    EXPECT_TRUE(frame->UndoAction()->isEnabled());
    QString asked;
    ui::SetQuestionFunction([&](QWidget*, const QString& text, const QString&) {
        asked = text;
        return true;
    });
    dialogs.messages.clear();
    frame->UndoAction()->trigger();
    ui::SetQuestionFunction({});
    ProcessPostedEvents();
    EXPECT_EQ(asked, QStringLiteral("Undo this batch?\n\nOperation: rename\nFolder: ") +
                         Q(folder.Path()) + QStringLiteral("\nEntries: 4"));
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("4 entries were restored."));
    EXPECT_EQ(folder.Names(), (Names{"Alpha", "a.jpg", "b.TXT", "beta", "c.txt", "d"}));
    EXPECT_EQ(ColumnTexts(view->SourcePane()),
              (Names{"Alpha", "beta", "a.jpg", "b.TXT", "c.txt", "d"}));
    EXPECT_FALSE(frame->UndoAction()->isEnabled());
}

TEST_F(RenameWindowTest, EveryCaptionOfTheFourPagesIsWholeAtTheStartingSize) {
    ASSERT_NE(OpenWindow(), nullptr);
    ASSERT_EQ(frame->size(), QSize(800, 600));
    for (int tab = 0; tab < 4; ++tab) {
        view->TabControl()->setCurrentIndex(tab);
        ProcessPostedEvents();
        QWidget* page = view->TabControl()->currentWidget();
        // A page given less than its least size squeezes its captions.
        EXPECT_GE(page->width(), page->minimumSizeHint().width()) << tab;
        EXPECT_GE(page->height(), page->minimumSizeHint().height()) << tab;
        int captions = 0;
        for (QWidget* widget : page->findChildren<QWidget*>()) {
            // Texts on one line; the icon-only folder buttons have a fixed size of their own.
            auto* label = qobject_cast<QLabel*>(widget);
            auto* button = qobject_cast<QAbstractButton*>(widget);
            const bool caption = (button != nullptr && !button->text().isEmpty()) ||
                                 (label != nullptr && !label->wordWrap());
            if (!caption || widget->isHidden()) {
                continue;
            }
            ++captions;
            const std::string text = widget->property("text").toString().toStdString();
            EXPECT_GE(widget->width(), widget->sizeHint().width()) << tab << " " << text;
            EXPECT_TRUE(
                page->rect().contains(QRect(widget->mapTo(page, QPoint(0, 0)), widget->size())))
                << tab << " " << text;
        }
        EXPECT_GT(captions, 10) << tab;
    }
}

}  // namespace
}  // namespace tidemark::ui
