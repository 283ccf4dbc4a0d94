// The rename window driven as a user would: folders read into both lists, column clicks,
// selections, double clicks, drops, F5 and the status bar, on real temporary folders.

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <memory>

#include "app/main_frame.h"
#include "catalogue/file_catalogue.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/ui_test_support.h"
#include "ui/catalogue_model.h"
#include "ui/messages.h"
#include "ui/number_page.h"
#include "ui/qt_text.h"
#include "ui/rename_list_pane.h"
#include "ui/rename_mstr_view.h"
#include "ui/rename_page.h"
#include "ui/rename_split_frm.h"

namespace tidemark::ui {
namespace {

using testing::DialogRecorder;
using testing::ProcessPostedEvents;
using testing::ScopedEnv;
using testing::TempFolder;

std::vector<std::string> ColumnTexts(const CRenameListPane* pane, int column = 0) {
    std::vector<std::string> texts;
    const QAbstractItemModel* model = pane->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        texts.push_back(ToStdString(model->index(row, column).data().toString()));
    }
    return texts;
}

class RenameWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::EnsureApplication();
        // Folders Alpha and beta, four files of different sizes and types.
        folder.Folder("beta");
        folder.File("beta/inner.txt", "x");
        folder.Folder("Alpha");
        folder.File("c.txt", std::string(30, 'c'));
        folder.File("a.jpg", std::string(10, 'a'));
        folder.File("b.TXT", std::string(20, 'b'));
        folder.File("d", std::string(5, 'd'));
    }

    void TearDown() override {
        frame.reset();
        ProcessPostedEvents();
    }

    CRenameMstrView* OpenWindow() {
        frame = std::make_unique<app::CMainFrame>();
        frame->show();
        frame->RenameAction()->trigger();
        view = frame->RenameView();
        if (view == nullptr) {
            return nullptr;
        }
        view->ChangeFolder(folder.Path());
        ProcessPostedEvents();
        return view;
    }

    void ClickRow(CRenameListPane* pane, int row, Qt::KeyboardModifiers modifiers = {}) {
        const QRect rect = pane->visualRect(pane->model()->index(row, 0));
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, modifiers, rect.center());
        ProcessPostedEvents();
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
        mime.setUrls({QUrl::fromLocalFile(ToQString(path))});
        // A drop reaches the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane->viewport(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane->viewport(), &drop);
        ProcessPostedEvents();
    }

    TempFolder folder;
    TempFolder iniFolder;
    ScopedEnv ini{"TMK_INI", iniFolder / "tmk.ini"};
    DialogRecorder dialogs;
    std::unique_ptr<app::CMainFrame> frame;
    CRenameMstrView* view = nullptr;
};

TEST_F(RenameWindowTest, BothListsShowTheFolderInNameOrderWithSevenAndOneColumns) {
    ASSERT_NE(OpenWindow(), nullptr);
    QAbstractItemModelTester sourceTester(view->SourcePane()->model(),
                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester resultTester(view->ResultPane()->model(),
                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    view->Refresh();
    ProcessPostedEvents();

    const std::vector<std::string> names = {"Alpha", "beta", "a.jpg", "b.TXT", "c.txt", "d"};
    EXPECT_EQ(ColumnTexts(view->SourcePane()), names);
    EXPECT_EQ(ColumnTexts(view->ResultPane()), names);
    EXPECT_EQ(view->SourcePane()->model()->columnCount(), 7);
    EXPECT_EQ(view->ResultPane()->model()->columnCount(), 1);
    EXPECT_EQ(ColumnTexts(view->SourcePane(), 1)[3], ".TXT");
    EXPECT_EQ(ColumnTexts(view->SourcePane(), 2)[4], "30");
    // Item data is the record's index; the header carries the column titles.
    EXPECT_EQ(view->SourcePane()->model()->index(2, 0).data(Qt::UserRole).toInt(), 2);
    EXPECT_EQ(view->SourcePane()->model()->headerData(6, Qt::Horizontal).toString(),
              QStringLiteral("Type"));
    // Widths come from the width of "00-00-00 00:00:00" in the list's font.
    const int unit = view->SourcePane()->ColumnUnit();
    EXPECT_EQ(view->SourcePane()->header()->sectionSize(0), unit * 13 / 10);
    EXPECT_EQ(view->SourcePane()->header()->sectionSize(1), unit * 6 / 10);
    EXPECT_TRUE(dialogs.messages.empty());
    // The tabs take a band of 280 pixels; the lists fill the rest, the source list three
    // quarters of the window's width.
    EXPECT_EQ(view->TabControl()->geometry(), QRect(0, 0, view->width(), kTabBandHeight));
    EXPECT_EQ(view->SplitFrame()->geometry(),
              QRect(0, kTabBandHeight, view->width(), view->height() - kTabBandHeight));
    EXPECT_NEAR(view->SourcePane()->width(), view->width() * 3 / 4, 12);
}

TEST_F(RenameWindowTest, OnlyReleasingUpOrDownUpdatesTheSelectionFromKeys) {
    ASSERT_NE(OpenWindow(), nullptr);
    ClickRow(view->SourcePane(), 2);
    ASSERT_EQ(view->Catalogue()->selection, (std::vector<std::uint32_t>{2}));

    QTest::keyClick(view->SourcePane(), Qt::Key_Down);
    ProcessPostedEvents();
    EXPECT_EQ(view->Catalogue()->selection, (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(view->ResultPane()->SelectedRows(), (std::vector<int>{3}));

    // End moves the list's selection, but neither the catalogue nor the other list hears of it.
    QTest::keyClick(view->SourcePane(), Qt::Key_End);
    ProcessPostedEvents();
    EXPECT_EQ(view->SourcePane()->SelectedRows(), (std::vector<int>{5}));
    EXPECT_EQ(view->Catalogue()->selection, (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(view->ResultPane()->SelectedRows(), (std::vector<int>{3}));

    QTest::keyClick(view->SourcePane(), Qt::Key_Up);
    ProcessPostedEvents();
    EXPECT_EQ(view->Catalogue()->selection, (std::vector<std::uint32_t>{4}));
    EXPECT_EQ(view->ResultPane()->SelectedRows(), (std::vector<int>{4}));
}

TEST_F(RenameWindowTest, ColumnClicksSortBothListsAndTheResultHeaderDoesNothing) {
    ASSERT_NE(OpenWindow(), nullptr);
    ClickHeader(view->SourcePane(), catalogue::kKeySize);
    EXPECT_EQ(ColumnTexts(view->SourcePane()),
              (std::vector<std::string>{"Alpha", "beta", "d", "a.jpg", "b.TXT", "c.txt"}));

    ClickHeader(view->SourcePane(), catalogue::kKeySize);
    const std::vector<std::string> descending = {"c.txt", "b.TXT", "a.jpg", "d", "beta", "Alpha"};
    EXPECT_EQ(ColumnTexts(view->SourcePane()), descending);
    EXPECT_EQ(ColumnTexts(view->ResultPane()), descending);
    EXPECT_FALSE(view->Catalogue()->ascending);

    ClickHeader(view->ResultPane(), 0);
    EXPECT_EQ(ColumnTexts(view->SourcePane()), descending);
    EXPECT_EQ(view->Catalogue()->sortKey, catalogue::kKeySize);

    // Type ascending: folders first, then "File" (no extension), the picture, the two texts.
    ClickHeader(view->SourcePane(), catalogue::kKeyType);
    EXPECT_TRUE(view->Catalogue()->ascending);
    const std::vector<std::string> byType = {"Alpha", "beta", "d", "a.jpg", "b.TXT", "c.txt"};
    EXPECT_EQ(ColumnTexts(view->SourcePane()), byType);
    EXPECT_EQ(ColumnTexts(view->ResultPane()), byType);
}

TEST_F(RenameWindowTest, SelectionIsMirroredBothWaysAndThePreviewFollowsIt) {
    ASSERT_NE(OpenWindow(), nullptr);
    auto* page = dynamic_cast<CRenamePage*>(view->Page(0));
    ASSERT_NE(page, nullptr);
    page->Rules().Options().SelOnly = true;
    page->Rules().Options().DoPrepend = true;
    page->Rules().Options().Prepend = "x_";
    PostUserMessage(view, UM_REFRESHPREVIEW);
    ProcessPostedEvents();
    // SelOnly with nothing selected: every name unchanged.
    EXPECT_EQ(ColumnTexts(view->ResultPane()),
              (std::vector<std::string>{"Alpha", "beta", "a.jpg", "b.TXT", "c.txt", "d"}));

    ClickRow(view->ResultPane(), 2);
    ClickRow(view->SourcePane(), 4, Qt::ControlModifier);
    EXPECT_EQ(view->SourcePane()->SelectedRows(), (std::vector<int>{2, 4}));
    EXPECT_EQ(view->ResultPane()->SelectedRows(), (std::vector<int>{2, 4}));
    EXPECT_EQ(view->Catalogue()->selection, (std::vector<std::uint32_t>{2, 4}));
    EXPECT_EQ(ColumnTexts(view->ResultPane()),
              (std::vector<std::string>{"Alpha", "beta", "x_a.jpg", "b.TXT", "x_c.txt", "d"}));

    // A row clicked in the result list moves the selection in the source list too.
    ClickRow(view->ResultPane(), 3);
    EXPECT_EQ(view->SourcePane()->SelectedRows(), (std::vector<int>{3}));
    EXPECT_EQ(ColumnTexts(view->ResultPane())[3], "x_b.TXT");
    EXPECT_EQ(ColumnTexts(view->ResultPane())[2], "a.jpg");
}

TEST_F(RenameWindowTest, NumberTabNumbersOnlyFilesAndCustomOrderButtonFollowsSelection) {
    ASSERT_NE(OpenWindow(), nullptr);
    auto* page = dynamic_cast<CNumberPage*>(view->Page(3));
    ASSERT_NE(page, nullptr);
    page->GetNumbering().Options().PosMode = rename::kPosBefore;
    view->TabControl()->setCurrentIndex(3);
    ProcessPostedEvents();
    EXPECT_EQ(view->DocumentTitle(), QStringLiteral("Number Files"));
    EXPECT_EQ(page->FolderCombo()->currentText(), ToQString(folder.Path()));
    // Folders keep their names; the files take 1, 2, 3, 4 in display order.
    const auto names = ColumnTexts(view->ResultPane());
    EXPECT_EQ(names[0], "Alpha");
    EXPECT_EQ(names[1], "beta");
    EXPECT_NE(names[2], "a.jpg");
    EXPECT_NE(names[5], "d");

    auto* button = page->findChild<QAbstractButton*>(QStringLiteral("customOrderButton"));
    ASSERT_NE(button, nullptr);
    ClickRow(view->SourcePane(), 1);
    EXPECT_FALSE(button->isEnabled());
    ClickRow(view->SourcePane(), 3, Qt::ControlModifier);
    EXPECT_TRUE(button->isEnabled());
}

TEST_F(RenameWindowTest, DoubleClickOpensAFolderRowAndIgnoresAFileRow) {
    ASSERT_NE(OpenWindow(), nullptr);
    const QRect fileRow = view->SourcePane()->visualRect(view->SourcePane()->model()->index(2, 0));
    QTest::mouseDClick(view->SourcePane()->viewport(), Qt::LeftButton, {}, fileRow.center());
    ProcessPostedEvents();
    EXPECT_EQ(view->CurrentFolder(), folder.Path());
    EXPECT_EQ(view->SourcePane()->model()->rowCount(), 6);

    const QRect folderRow =
        view->ResultPane()->visualRect(view->ResultPane()->model()->index(1, 0));
    QTest::mouseDClick(view->ResultPane()->viewport(), Qt::LeftButton, {}, folderRow.center());
    ProcessPostedEvents();
    EXPECT_EQ(view->CurrentFolder(), folder / "beta");
    EXPECT_EQ(ColumnTexts(view->SourcePane()), (std::vector<std::string>{"inner.txt"}));
    EXPECT_EQ(ColumnTexts(view->ResultPane()), (std::vector<std::string>{"inner.txt"}));
    EXPECT_EQ(frame->StatusText(), ToQString(folder / "beta"));
}

TEST_F(RenameWindowTest, DropOpensTheFolderHoldingTheFirstItem) {
    ASSERT_NE(OpenWindow(), nullptr);
    Drop(view->ResultPane(), folder / "beta/inner.txt");
    EXPECT_EQ(view->CurrentFolder(), folder / "beta");
    EXPECT_EQ(view->SourcePane()->model()->rowCount(), 1);

    // A dropped folder opens the folder that holds it, not the folder itself.
    Drop(view->SourcePane(), folder / "beta");
    EXPECT_EQ(view->CurrentFolder(), folder.Path());
    EXPECT_EQ(view->SourcePane()->model()->rowCount(), 6);
}

TEST_F(RenameWindowTest, RefreshRereadsTheFolderAndClearsTheSelection) {
    ASSERT_NE(OpenWindow(), nullptr);
    ClickRow(view->SourcePane(), 2);
    ASSERT_FALSE(view->Catalogue()->selection.empty());
    folder.File("e.txt", "new");

    // F5 reaches the rename window wherever the focus is in the program.
    QApplication::setActiveWindow(frame.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QTest::keyClick(view->Page(0), Qt::Key_F5);
    ProcessPostedEvents();
    EXPECT_EQ(ColumnTexts(view->SourcePane()),
              (std::vector<std::string>{"Alpha", "beta", "a.jpg", "b.TXT", "c.txt", "d", "e.txt"}));
    EXPECT_EQ(view->ResultPane()->model()->rowCount(), 7);
    EXPECT_TRUE(view->Catalogue()->selection.empty());
    EXPECT_TRUE(view->SourcePane()->SelectedRows().empty());
}

TEST_F(RenameWindowTest, StatusBarShowsTheFolderOnlyAfterChangeFolderReturned) {
    ASSERT_NE(OpenWindow(), nullptr);
    EXPECT_EQ(frame->StatusText(), ToQString(folder.Path()));
    const std::string beta = folder / "beta";
    SendUserMessage(view, UM_CHANGEFOLDER, 0, beta);
    // Posted by ChangeFolder: not there yet when the sent message has returned.
    EXPECT_EQ(frame->StatusText(), ToQString(folder.Path()));
    ProcessPostedEvents();
    EXPECT_EQ(frame->StatusText(), ToQString(beta));
    std::string asked;
    SendUserMessage(view, UM_GETFOLDER, 0, &asked);
    EXPECT_EQ(asked, beta);
}

TEST_F(RenameWindowTest, AFolderThatCannotBeReadStillBecomesCurrentAndShowsNoRows) {
    ASSERT_NE(OpenWindow(), nullptr);
    std::vector<std::string> unreadable = {folder / "missing"};
    // Permissions do not stop the superuser, so a locked folder is only tried without it.
    if (geteuid() != 0) {
        const std::string locked = folder.Folder("locked");
        folder.File("locked/hidden.txt");
        chmod(locked.c_str(), 0);
        unreadable.push_back(locked);
    }
    for (const std::string& path : unreadable) {
        SCOPED_TRACE(path);
        EXPECT_EQ(view->ChangeFolder(path), 1);
        ProcessPostedEvents();
        EXPECT_EQ(view->CurrentFolder(), path);
        EXPECT_EQ(frame->StatusText(), ToQString(path));
        EXPECT_EQ(view->SourcePane()->model()->rowCount(), 0);
        EXPECT_EQ(view->ResultPane()->model()->rowCount(), 0);
        // The window stays usable: the next folder reads as usual.
        view->ChangeFolder(folder / "beta");
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

TEST_F(RenameWindowTest, HistoriesKeepFourFoldersAndTabSwitchRefillsTheBoxes) {
    ASSERT_NE(OpenWindow(), nullptr);
    for (const char* name : {"/p1", "/p2", "/p3", "/p4", "/P2", "/p5"}) {
        PostUserMessage(view, UM_ADDSOURCEFOLDER, 0, std::string(name));
    }
    PostUserMessage(view, UM_ADDDESTFOLDER, 0, std::string("/out"));
    ProcessPostedEvents();
    EXPECT_EQ(view->SourceHistory(), (std::vector<std::string>{"/p5", "/P2", "/p4", "/p3"}));
    EXPECT_EQ(view->DestHistory(), (std::vector<std::string>{"/out"}));

    view->TabControl()->setCurrentIndex(2);
    ProcessPostedEvents();
    EXPECT_EQ(view->DocumentTitle(), QStringLiteral("Rename Folders"));
    QComboBox* box = view->Page(2)->FolderCombo();
    ASSERT_EQ(box->count(), 4);
    EXPECT_EQ(box->itemText(0), QStringLiteral("/p5"));
    EXPECT_EQ(box->currentText(), ToQString(folder.Path()));
}

TEST_F(RenameWindowTest, PerformRenameRenamesOnDiskAndShowsCollisionsThroughTheWindow) {
    ASSERT_NE(OpenWindow(), nullptr);
    auto* page = dynamic_cast<CRenamePage*>(view->Page(0));
    ASSERT_NE(page, nullptr);
    // "d" and "c.txt" would both become "c.txt" (change text to "c" keeps the extension).
    page->Rules().Options().DoChgName = true;
    page->Rules().Options().ChgName = "c";
    EXPECT_EQ(SendUserMessage(view, UM_PERFORMRENAME), rename::kRenameCollision);
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("TMK"));
    EXPECT_EQ(folder.Names(),
              (std::vector<std::string>{"Alpha", "a.jpg", "b.TXT", "beta", "c.txt", "d"}));

    page->Rules().Options().DoChgName = false;
    page->Rules().Options().DoPrepend = true;
    page->Rules().Options().Prepend = "x_";
    EXPECT_EQ(SendUserMessage(view, UM_PERFORMRENAME), rename::kRenameOk);
    ProcessPostedEvents();
    EXPECT_EQ(folder.Names(),
              (std::vector<std::string>{"Alpha", "beta", "x_a.jpg", "x_b.TXT", "x_c.txt", "x_d"}));
    // The folder was read again and the page's rule switches went off, so the preview shows
    // the names as they now are.
    EXPECT_FALSE(page->Rules().Options().DoPrepend);
    const std::vector<std::string> shown = {"Alpha",   "beta",    "x_a.jpg",
                                            "x_b.TXT", "x_c.txt", "x_d"};
    EXPECT_EQ(ColumnTexts(view->SourcePane()), shown);
    EXPECT_EQ(ColumnTexts(view->ResultPane()), shown);
}

TEST_F(RenameWindowTest, ActivatingTheWindowShowsTheCurrentPageAgain) {
    ASSERT_NE(OpenWindow(), nullptr);
    QComboBox* box = view->Page(0)->FolderCombo();
    box->setEditText(QStringLiteral("half typed"));
    QMdiSubWindow* window = frame->MdiArea()->subWindowList().front();
    frame->MdiArea()->setActiveSubWindow(nullptr);
    frame->MdiArea()->setActiveSubWindow(window);
    ProcessPostedEvents();
    EXPECT_EQ(box->currentText(), ToQString(folder.Path()));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Tidemark - [Rename Files]"));
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
            if (caption && !widget->isHidden()) {
                ++captions;
                EXPECT_GE(widget->width(), widget->sizeHint().width())
                    << tab << " " << widget->objectName().toStdString() << " "
                    << widget->property("text").toString().toStdString();
                EXPECT_TRUE(
                    page->rect().contains(QRect(widget->mapTo(page, QPoint(0, 0)), widget->size())))
                    << tab << " " << widget->property("text").toString().toStdString();
            }
        }
        EXPECT_GT(captions, 10) << tab;
    }
}

}  // namespace
}  // namespace tidemark::ui
