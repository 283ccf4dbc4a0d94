// The rename window driven as a user would, on real temporary folders.

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
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
    // The column of new names fills its list, also after a resize.
    for (const QSize size : {QSize(800, 600), QSize(1000, 700)}) {
        frame->resize(size);
        ProcessPostedEvents();
        EXPECT_EQ(view->ResultPane()->header()->sectionSize(0),
                  view->ResultPane()->viewport()->width());
    }
}

TEST_F(RenameWindowTest, EverySelectionGestureSelectsWhatIsHighlighted) {
    ASSERT_NE(OpenWindow(), nullptr);
    CRenameListPane* source = view->SourcePane();
    CRenameListPane* result = view->ResultPane();
    // Rows are in name order, so each row shows the record of the same index.
    const struct {
        CRenameListPane* pane;
        Qt::Key key;  // 0: a click on row
        int row;
        Qt::KeyboardModifiers modifiers;
        Rows selected;
    } steps[] = {
        {source, Qt::Key(0), 2, {}, {2}},
        {source, Qt::Key_Down, 0, {}, {3}},
        {source, Qt::Key_End, 0, Qt::ShiftModifier, {3, 4, 5}},
        {source, Qt::Key_A, 0, Qt::ControlModifier, {0, 1, 2, 3, 4, 5}},
        {result, Qt::Key(0), 1, {}, {1}},
        {result, Qt::Key(0), 3, Qt::ShiftModifier, {1, 2, 3}},
        {result, Qt::Key(0), 2, Qt::ControlModifier, {1, 3}},
        {result, Qt::Key_PageDown, 0, Qt::ShiftModifier, {2, 3, 4, 5}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.selected.size());
        if (step.key == Qt::Key(0)) {
            ClickRow(step.pane, step.row, step.modifiers);
        } else {
            QTest::keyClick(step.pane, step.key, step.modifiers);
            ProcessPostedEvents();
        }
        EXPECT_EQ(source->SelectedRows(), step.selected);
        EXPECT_EQ(result->SelectedRows(), step.selected);
        EXPECT_EQ(view->Catalogue()->selection,
                  Selection(step.selected.begin(), step.selected.end()));
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
    EXPECT_EQ(view->SourcePane()->header()->sortIndicatorSection(), catalogue::kKeySize);
    EXPECT_EQ(view->SourcePane()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
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

    // A header click moves the selected records to new rows; both lists highlight them there,
    // and "selected only" renames exactly those.
    ClickRow(view->ResultPane(), 4, Qt::ControlModifier);
    ClickHeader(view->SourcePane(), catalogue::kKeySize);
    EXPECT_EQ(ColumnTexts(view->SourcePane()),
              (Names{"Alpha", "beta", "d", "a.jpg", "b.TXT", "c.txt"}));
    EXPECT_EQ(view->SourcePane()->SelectedRows(), (Rows{4, 5}));
    EXPECT_EQ(view->ResultPane()->SelectedRows(), (Rows{4, 5}));
    EXPECT_EQ(view->Catalogue()->selection, (Selection{3, 4}));
    EXPECT_EQ(SendUserMessage(view, UM_PERFORMRENAME), rename::kRenameOk);
    EXPECT_EQ(folder.Names(), (Names{"Alpha", "a.jpg", "beta", "d", "x_b.TXT", "x_c.txt"}));
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

TEST_F(RenameWindowTest, RowsStaySideBySideUnderEveryKindOfScrolling) {
    for (int i = 0; i < 300; ++i) {
        folder.File("file" + std::to_string(1000 + i));
    }
    ASSERT_NE(OpenWindow(), nullptr);
    CRenameListPane* source = view->SourcePane();
    CRenameListPane* result = view->ResultPane();
    // Seven columns need a horizontal scroll bar here, the one of new names none.
    frame->resize(800, 600);
    ProcessPostedEvents();
    ASSERT_TRUE(source->horizontalScrollBar()->isVisible());
    ASSERT_FALSE(result->horizontalScrollBar()->isVisible());
    const auto topRow = [](CRenameListPane* pane) { return pane->indexAt(QPoint(1, 1)).row(); };
    // The same top row and the same height show the same rows.
    const auto expectSideBySide = [&](const std::string& what) {
        ProcessPostedEvents();
        EXPECT_EQ(topRow(source), topRow(result)) << what;
        EXPECT_EQ(source->viewport()->height(), result->viewport()->height()) << what;
    };
    source->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_GT(result->verticalScrollBar()->value(), 0);
    expectSideBySide("page step");
    result->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    expectSideBySide("result dragged to its end");
    EXPECT_GT(topRow(source), 250);
    source->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    expectSideBySide("source dragged to its end");
    for (CRenameListPane* pane : {source, result}) {
        EXPECT_LE(pane->visualRect(pane->model()->index(305, 0)).bottom(),
                  pane->viewport()->height());
    }

    ClickRow(source, topRow(source));
    const std::pair<CRenameListPane*, Qt::Key> keys[] = {
        {source, Qt::Key_Home},     {source, Qt::Key_PageDown}, {source, Qt::Key_Down},
        {result, Qt::Key_PageDown}, {result, Qt::Key_End},      {source, Qt::Key_PageUp}};
    for (const auto& [pane, key] : keys) {
        QTest::keyClick(pane, key);
        expectSideBySide(QKeySequence(key).toString().toStdString());
    }
    for (const QSize size : {QSize(700, 400), QSize(1100, 800), QSize(760, 500)}) {
        frame->resize(size);
        expectSideBySide("resized");
    }
    QTest::keyClick(source, Qt::Key_End);
    expectSideBySide("end after resizes");
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
}

TEST_F(RenameWindowTest, EveryCaptionOfTheFourPagesIsWholeFromTheLeastSizeUpAndWithALargeFont) {
    const QFont normal = QApplication::font();
    ASSERT_NE(OpenWindow(), nullptr);
    ASSERT_EQ(frame->size(), QSize(800, 600));
    QFont large = normal;
    large.setPointSizeF(normal.pointSizeF() * 1.5);
    const struct {
        QSize size;
        const QFont& font;
    } layouts[] = {
        {{800, 600}, normal}, {{700, 400}, normal}, {{700, 400}, large}, {{1000, 700}, large}};
    for (const auto& layout : layouts) {
        QApplication::setFont(layout.font);
        frame->resize(layout.size);
        ProcessPostedEvents();
        const std::string where =
            std::to_string(layout.size.width()) + "x" + std::to_string(layout.font.pointSizeF());
        for (int tab = 0; tab < 4; ++tab) {
            view->TabControl()->setCurrentIndex(tab);
            ProcessPostedEvents();
            QWidget* page = view->CurrentPage();
            // A page given less than its least size squeezes its captions; at the starting size
            // it also fits without scrolling.
            EXPECT_GE(page->width(), page->minimumSizeHint().width()) << where << " " << tab;
            EXPECT_GE(page->height(), page->minimumSizeHint().height()) << where << " " << tab;
            if (&layout == &layouts[0]) {
                EXPECT_EQ(page->size(), page->parentWidget()->size()) << tab;
            }
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
                EXPECT_GE(widget->width(), widget->sizeHint().width()) << where << " " << text;
                EXPECT_TRUE(
                    page->rect().contains(QRect(widget->mapTo(page, QPoint(0, 0)), widget->size())))
                    << where << " " << text;
            }
            EXPECT_GT(captions, 10) << tab;
        }
        // The pattern box shows a typical pattern whole.
        auto* pattern = Child<QLineEdit>(view->Page(3), "patternEdit");
        EXPECT_GE(pattern->width(),
                  pattern->fontMetrics().horizontalAdvance(QStringLiteral("holiday_???.jpg")) + 8)
            << where;
    }
    QApplication::setFont(normal);
}

TEST_F(RenameWindowTest, AStoppedBatchLeavesTheListsShowingTheDisk) {
    ASSERT_NE(OpenWindow(), nullptr);
    auto& options = RenamePage()->Rules().Options();
    options.DoPrepend = true;
    options.Prepend = "x_";
    // b.TXT goes away after it was listed: a.jpg is renamed, then the batch stops on b.TXT.
    std::filesystem::remove(folder / "b.TXT");
    view->SetBusyDelay(0);
    QString progressAtMessage;
    const MessageBoxFunction recorder = SetMessageBoxFunction(
        [&](QWidget* owner, const QString& text, const QString& caption, QMessageBox::Icon icon) {
            if (auto* bar = frame->findChild<QProgressBar*>(QStringLiteral("batchProgress"))) {
                progressAtMessage = QStringLiteral("%1/%2").arg(bar->value()).arg(bar->maximum());
            }
            EXPECT_EQ(QApplication::overrideCursor(), nullptr);
            recorder(owner, text, caption, icon);
        });
    EXPECT_EQ(SendUserMessage(view, UM_PERFORMRENAME), rename::kRenameFileOpFailed);
    SetMessageBoxFunction(recorder);
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Error onb.TXT \r\n\r\n")));
    EXPECT_EQ(dialogs.messages[0].icon, QMessageBox::Information);
    EXPECT_EQ(progressAtMessage, QStringLiteral("1/4"));
    EXPECT_EQ(frame->findChild<QProgressBar*>(QStringLiteral("batchProgress")), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ColumnTexts(view->SourcePane()), (Names{"Alpha", "beta", "c.txt", "d", "x_a.jpg"}));
    // The rules stay on after a failure.
    EXPECT_EQ(ColumnTexts(view->ResultPane()),
              (Names{"Alpha", "beta", "x_c.txt", "x_d", "x_x_a.jpg"}));
}

TEST_F(RenameWindowTest, ACustomOrderEndsWithAFolderChangeOrARefresh) {
    ASSERT_NE(OpenWindow(), nullptr);
    const std::function<void()> leave[] = {[&] { view->Refresh(); },
                                           [&] { view->ChangeFolder(folder / "beta"); }};
    const Names after[] = {all, {"inner.txt"}};
    for (int i = 0; i < 2; ++i) {
        view->ChangeFolder(folder.Path());
        // "Sort Files" ended with OK and nothing chosen: an empty custom order.
        view->Catalogue()->customOrder = true;
        SendUserMessage(view, UM_SETCUSTOMORDER, 0, catalogue::Order{});
        EXPECT_EQ(view->SourcePane()->model()->rowCount(), 0);
        leave[i]();
        EXPECT_FALSE(view->Catalogue()->customOrder);
        EXPECT_EQ(ColumnTexts(view->SourcePane()), after[i]);
        EXPECT_EQ(ColumnTexts(view->ResultPane()), after[i]);
    }
}

TEST_F(RenameWindowTest, EnterInAFolderBoxOpensItAndNeverRenames) {
    ASSERT_NE(OpenWindow(), nullptr);
    auto& options = RenamePage()->Rules().Options();
    options.DoPrepend = true;
    options.Prepend = "x_";
    QComboBox* box = view->Page(0)->FolderCombo();
    box->setFocus();
    const struct {
        std::string typed;
        std::string current;
        QString note;
        std::size_t messages;
    } cases[] = {
        {folder / "beta", folder / "beta", {}, 0},
        {{}, folder / "beta", {}, 0},  // Enter again, nothing typed
        {folder / "c.txt", folder / "c.txt",
         Q(folder / "c.txt") + QStringLiteral(" is a file, not a folder"), 0},
        {folder / "gone", folder / "c.txt", {}, 1},  // "That is not a valid path."
        {folder.Path(), folder.Path(), {}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        if (!c.typed.empty()) {
            box->lineEdit()->selectAll();
            QTest::keyClicks(box, Q(c.typed));
        }
        frame->statusBar()->clearMessage();
        QTest::keyClick(box, Qt::Key_Return);
        ProcessPostedEvents();
        EXPECT_EQ(view->CurrentFolder(), c.current);
        EXPECT_EQ(frame->statusBar()->currentMessage(), c.note);
        EXPECT_EQ(dialogs.messages.size(), c.messages);
        EXPECT_EQ(folder.Names(), (Names{"Alpha", "a.jpg", "b.TXT", "beta", "c.txt", "d"}));
        EXPECT_TRUE(folder.Exists("beta/inner.txt"));
    }
}

TEST_F(RenameWindowTest, ARenameThatChangesNothingSaysSoInTheStatusBar) {
    ASSERT_NE(OpenWindow(), nullptr);
    auto& options = RenamePage()->Rules().Options();
    const struct {
        bool selOnly;
        bool prepend;
        const char* note;
    } cases[] = {
        {true, true, "Nothing was renamed: no entry is selected"},
        {false, false, "Nothing was renamed: the options change no name"},
        {false, true, ""},
    };
    for (const auto& c : cases) {
        options.SelOnly = c.selOnly;
        options.DoPrepend = c.prepend;
        options.Prepend = "x_";
        PostUserMessage(view, UM_REFRESHPREVIEW);
        ProcessPostedEvents();
        frame->statusBar()->clearMessage();
        SendUserMessage(view, UM_PERFORMRENAME);
        EXPECT_EQ(frame->statusBar()->currentMessage(), QString::fromUtf8(c.note));
    }
    EXPECT_TRUE(folder.Exists("x_a.jpg"));
}

TEST_F(RenameWindowTest, KeysOpenFoldersAndSwitchTabsAndTheTitleFollows) {
    ASSERT_NE(OpenWindow(), nullptr);
    view->ChangeFolder(folder / "beta");
    CRenameListPane* source = view->SourcePane();
    const struct {
        int currentRow;  // -1: as it is
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::string opened;
    } folderKeys[] = {
        {-1, Qt::Key_Backspace, {}, folder.Path()},
        {1, Qt::Key_Return, {}, folder / "beta"},  // the folder row "beta"
        {-1, Qt::Key_Up, Qt::AltModifier, folder.Path()},
        {2, Qt::Key_Return, {}, folder.Path()},  // a file row: nothing
    };
    for (const auto& k : folderKeys) {
        if (k.currentRow >= 0) {
            source->setCurrentIndex(source->model()->index(k.currentRow, 0));
        }
        QTest::keyClick(source, k.key, k.modifiers);
        ProcessPostedEvents();
        EXPECT_EQ(view->CurrentFolder(), k.opened) << k.key;
    }

    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int tab;
    } tabKeys[] = {
        {Qt::Key_Tab, Qt::ControlModifier, 1},
        {Qt::Key_PageDown, Qt::ControlModifier, 2},
        {Qt::Key_PageUp, Qt::ControlModifier, 1},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 0},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 3},
        {Qt::Key_Tab, Qt::ControlModifier, 0},
    };
    for (const auto& k : tabKeys) {
        QTest::keyClick(QApplication::focusWidget(), k.key, k.modifiers);
        ProcessPostedEvents();
        EXPECT_EQ(view->CurrentTab(), k.tab) << k.key;
        EXPECT_EQ(frame->windowTitle().toStdString(),
                  QStringLiteral("Tidemark - [%1]").arg(view->TabTitle(k.tab)).toStdString());
    }
    // A tab clicked gives the focus to its page's first box, where it can be seen.
    QTabBar* bar = view->TabControl()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    ProcessPostedEvents();
    EXPECT_EQ(QApplication::focusWidget(), view->Page(2)->FolderCombo());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Tidemark - [Rename Folders]"));
}

TEST(MessageBoxTest, ShowsPlainTextWithItsLineBreaksAndTheIconAskedFor) {
    EnsureApplication();
    const auto box =
        MakeMessageBox(nullptr, QStringLiteral("Error on<u>x.txt</u> \r\n\r\nNo such file"),
                       QStringLiteral("Error"), QMessageBox::Information);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), QStringLiteral("Error on<u>x.txt</u> \n\nNo such file"));
    EXPECT_EQ(box->icon(), QMessageBox::Information);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Error"));
}

}  // namespace
}  // namespace tidemark::ui
